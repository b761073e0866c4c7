// The 3D view: an orthographic software camera over retained data sets of
// lines and triangles and labelled coordinate-system triads, painted as a
// wireframe with QPainter. Mouse and wheel pan, rotate and zoom the view.
#ifndef GRAPHICWIDGET_H
#define GRAPHICWIDGET_H

#include <QColor>
#include <QLine>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "mat4.h"
#include "vector3.h"

class QKeyEvent;
class QMouseEvent;
class QPaintEvent;
class QPainter;
class QResizeEvent;
class QRubberBand;
class QWheelEvent;
class TGraphicGeometryFactory;

class TGraphicWidget : public QWidget
{
  Q_OBJECT

public:
  enum TDrawSymbol
  {
    SYMBOL_NONE = 0,
    SYMBOL_CIRCLE = 1,
    SYMBOL_SQUARE = 2,
    SYMBOL_CROSS = 3
  };

  struct TLineItem
  {
    TVector3 start;
    TVector3 end;
  };

  struct TTriangleItem
  {
    TVector3 p1;
    TVector3 p2;
    TVector3 p3;
  };

  struct TDataSet
  {
    int id;
    QColor color;
    TDrawSymbol symbol;
    std::vector<TLineItem> line_items;
    std::vector<TTriangleItem> triangle_items;
  };

  struct TCSYSet
  {
    QColor color;
    TVector3 origin;
    QString label;
    TVector3 x_axis;
    TVector3 y_axis;
    TVector3 z_axis;
  };

  explicit TGraphicWidget(QWidget* parent = nullptr);
  ~TGraphicWidget() override;

  // When set, the next paint fits the view to the data and clears it.
  bool fit_requested;
  // Mouse mode chosen by the owner; exactly one is true.
  bool pan_mode;
  bool rotate_2d_mode;
  bool rotate_3d_mode;
  // Draws every triangle edge separately instead of the batched, shared-edge
  // path; both give the same pixels (kept for verification).
  bool reference_painting;

  void Update();
  void Look_At(const TVector3& direction, const TVector3& up);
  QPoint Translate_To_Window(const TVector3& p) const;

  int Create_Data_Set(TDrawSymbol symbol, QColor color);
  void Clear_Data_Sets();
  void Delete_Data_Set(int id);
  bool Add_Line_Item(int id, const TVector3& start, const TVector3& end);
  bool Add_Triangle_Item(int id, const TVector3& p1, const TVector3& p2, const TVector3& p3);
  bool Add_Draw_Triangles(int id, const std::vector<TVector3>& points);
  bool Draw_Wire_Cube(int id, const TVector3& corner1, const TVector3& corner2);
  bool Draw_Cube(int id, const TVector3& corner1, const TVector3& corner2);
  bool Draw_Plane(int id, const TVector3& c1, const TVector3& c2, const TVector3& c3, const TVector3& c4);
  bool Draw_Circular_Plane(int id, const TVector3& centre, const TVector3& normal, const TVector3& reference, const double& radius);
  bool Draw_Polygon(int id, const TVector3& centre, const TVector3& axis, const TVector3& reference, const double& radius, const double& height, int sides);
  bool Draw_Cylinder(int id, const TVector3& centre, const TVector3& axis, const double& radius, const double& length);
  bool Draw_Sphere(int id, const TVector3& centre, const double& radius);
  bool Add_CSY(const TVector3& origin, const QColor& color, const QString& label, const TVector3& x_axis, const TVector3& y_axis, const TVector3& z_axis);

  // Read-only views of the state, for inspection.
  const std::vector<TDataSet>& Data_Sets() const { return data_sets; }
  const std::vector<TCSYSet>& CSY_Sets() const { return csy_sets; }
  const TMat4& Rotation() const { return rotation; }
  const TMat4& Projection() const { return projection; }
  QRect Viewport() const { return QRect(viewport[0], viewport[1], viewport[2], viewport[3]); }
  TVector3 Axis_Origin() const { return axis_origin; }
  double Axis_Length() const { return axis_length; }

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  // Window position of a model point before truncation to pixels.
  struct TWindowPoint
  {
    double x;
    double y;
  };

  // Camera constants of one paint, so every point is projected with the same arithmetic.
  struct TProjector
  {
    double r[9];
    double sx;
    double sy;
    double base_x;
    double base_y;
    double half_width;
    double half_height;
    int left;
    int bottom;

    TWindowPoint Project(const TVector3& p) const;
  };

  // Shared vertices and edges of one data set's triangles, rebuilt after it changes.
  struct TSetMesh
  {
    bool valid = false;
    std::vector<TVector3> vertices;
    std::vector<int> corners;
    std::vector<int> edges;
  };

  TDataSet* Find_Data_Set(int id);
  int Find_Data_Set_Index(int id) const;
  void Invalidate_Mesh(int id);
  void Build_Mesh(const TDataSet& data_set, TSetMesh* mesh) const;

  TProjector Make_Projector() const;
  QPoint To_Pixel(const TProjector& projector, const TWindowPoint& w) const;
  bool To_Line(const TProjector& projector, TWindowPoint a, TWindowPoint b, QLine* line) const;

  void Convert_Viewport_To_Model(int x, int y, double* mx, double* my) const;
  void Set_Rotation_Center();
  void Rotate_View(TVector3 axis, const double& angle);
  void Pan_View(int dx, int dy);
  void Rotate_In_Plane(const QPoint& previous, const QPoint& current);
  void Click_In_Out(int x, int y);
  void Wheel_In_Out(int delta);
  void Scale_View(const double& factor);
  void Zoom_To_Rect(const QRect& rect);
  void Aspect_Factors(double* kx, double* ky) const;
  void Begin_Fit_To_Viewport();
  void Process_Vertex(const TVector3& p);
  void End_Fit_To_Viewport();
  void Update_Viewport(const int* new_viewport);
  QPoint Window_Position(const QPoint& widget_position) const;

  void Paint(QPainter* painter);
  void Fit_To_Data();
  void Paint_Data_Set_Reference(QPainter* painter, const TProjector& projector, const TDataSet& data_set);
  void Paint_Data_Set_Fast(QPainter* painter, const TProjector& projector, const TDataSet& data_set, TSetMesh* mesh);
  void Remove_Repeated_Lines();
  void Paint_Line_Items(QPainter* painter, const TProjector& projector, const TDataSet& data_set);
  void Draw_Symbol(QPainter* painter, TDrawSymbol symbol, const TProjector& projector, const TWindowPoint& w) const;
  void Paint_CSY_Sets(QPainter* painter, const TProjector& projector) const;
  void Paint_Default_Triad(QPainter* painter, const TProjector& projector) const;
  void Draw_Label(QPainter* painter, const QString& text, const QPoint& position) const;

  TMat4 rotation;
  TMat4 projection;
  int viewport[4];
  TVector3 rotation_center;
  QPoint last_position;
  bool right_dragged;
  bool band_active;
  QRubberBand* rubber_band;
  QRect zoom_rect;
  TVector3 view_min;
  TVector3 view_max;
  TVector3 model_min;
  TVector3 model_max;
  bool first_vertex;
  TVector3 axis_origin;
  double axis_length;

  std::vector<TDataSet> data_sets;
  std::vector<TCSYSet> csy_sets;
  std::vector<TSetMesh> set_meshes;
  TGraphicGeometryFactory* geometry_factory;

  // Paint buffers, reused so a paint allocates nothing once warmed up.
  std::vector<TWindowPoint> window_points;
  std::vector<QPoint> pixels;
  std::vector<char> pixel_valid;
  std::vector<QLine> lines;
  std::vector<std::uint64_t> line_keys;
  std::vector<std::uint32_t> line_key_stamps;
  std::uint32_t line_key_stamp = 0;
};

#endif
