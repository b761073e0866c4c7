// The 3D view: a camera (TViewCamera) over a display list of data sets and
// coordinate-system triads (TDisplayList), painted as a wireframe with
// QPainter (TViewPainter). Mouse and wheel pan, rotate and zoom the view.
#ifndef GRAPHICWIDGET_H
#define GRAPHICWIDGET_H

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

#include "displaylist.h"
#include "mat4.h"
#include "vector3.h"
#include "viewcamera.h"
#include "viewpainter.h"

class QRubberBand;

class TGraphicWidget : public QWidget
{
  Q_OBJECT

public:
  using TDrawSymbol = TDisplayList::TDrawSymbol;
  static constexpr TDrawSymbol SYMBOL_NONE = TDisplayList::SYMBOL_NONE;
  static constexpr TDrawSymbol SYMBOL_CIRCLE = TDisplayList::SYMBOL_CIRCLE;
  static constexpr TDrawSymbol SYMBOL_SQUARE = TDisplayList::SYMBOL_SQUARE;
  static constexpr TDrawSymbol SYMBOL_CROSS = TDisplayList::SYMBOL_CROSS;
  using TLineItem = TDisplayList::TLineItem;
  using TTriangleItem = TDisplayList::TTriangleItem;
  using TDataSet = TDisplayList::TDataSet;
  using TCSYSet = TDisplayList::TCSYSet;

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
  QPoint Translate_To_Window(const TVector3& p) const { return camera.Translate_To_Window(p); }

  // The display list's operations (see TDisplayList).
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
  const std::vector<TDataSet>& Data_Sets() const { return display_list.Data_Sets(); }
  const std::vector<TCSYSet>& CSY_Sets() const { return display_list.CSY_Sets(); }
  const TMat4& Rotation() const { return camera.Rotation(); }
  const TMat4& Projection() const { return camera.Projection(); }
  QRect Viewport() const { return camera.Viewport(); }
  TVector3 Axis_Origin() const { return camera.Axis_Origin(); }
  double Axis_Length() const { return camera.Axis_Length(); }

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
  void Fit_To_Data();
  void Drag_Rubber_Band(const QPoint& position);

  TViewCamera camera;
  TDisplayList display_list;
  TViewPainter view_painter;

  QPoint last_position;
  bool right_dragged;
  bool band_active;
  QRubberBand* rubber_band;
  QRect zoom_rect;
};

#endif
