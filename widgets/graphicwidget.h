// The 3D view: a camera (TViewCamera) over a display list of data sets and
// coordinate-system triads (TDisplayList), painted as a wireframe with
// QPainter (TViewPainter). Mouse and wheel pan, rotate and zoom the view.
#ifndef GRAPHICWIDGET_H
#define GRAPHICWIDGET_H

#include <QColor>
#include <QDeadlineTimer>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <utility>
#include <vector>

#include "displaylist.h"
#include "mat4.h"
#include "vector3.h"
#include "viewcamera.h"
#include "viewpainter.h"

class QRubberBand;

// The data sets and triads are the view's own display list: its operations
// (Create_Data_Set, the Draw_ and Add_ functions, Data_Sets) are the view's.
class TGraphicWidget : public QWidget, public TDisplayList
{
  Q_OBJECT

public:
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
  // Lets a view of more than PROGRESSIVE_FROM data sets paint them a part
  // at a time into a picture it keeps, one part per turn of the event loop,
  // so that painting never holds up the window for long; the picture is
  // shown as it grows and is kept until the data or the view change.
  bool progressive_painting;
  static constexpr size_t PROGRESSIVE_FROM = 20000;
  // How long one progressive paint may take, a fit of the view included, ms.
  int progressive_budget_ms = 12;
  // True while a progressive paint has data sets still to paint.
  bool Painting() const;

  // Repaints the view after its data or its camera changed.
  void Update();
  // Repaints the view after data sets were only appended: a progressive
  // paint goes on from the sets it has painted instead of starting again.
  void Update_Appended();
  void Look_At(const TVector3& direction, const TVector3& up);
  QPoint Translate_To_Window(const TVector3& p) const { return camera.Translate_To_Window(p); }

  // The index of the segment (model start and end points) drawn nearest to a
  // widget position, when it passes within tolerance pixels; -1 otherwise.
  int Nearest_Segment(const std::vector<std::pair<TVector3, TVector3>>& segments, const QPoint& position,
                      double tolerance) const;

  // Read-only views of the state, for inspection.
  const TMat4& Rotation() const { return camera.Rotation(); }
  const TMat4& Projection() const { return camera.Projection(); }
  QRect Viewport() const { return camera.Viewport(); }
  TVector3 Axis_Origin() const { return camera.Axis_Origin(); }
  double Axis_Length() const { return camera.Axis_Length(); }

signals:
  // A left click that did not drag, at a widget position.
  void Clicked(const QPoint& position);

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
  bool Paints_Progressively() const;
  void Paint_Progressively(QPainter* painter, const QDeadlineTimer& deadline);

  TViewCamera camera;
  TViewPainter view_painter;

  QPoint last_position;
  bool right_dragged;
  bool band_active;
  bool left_pressed;
  QRubberBand* rubber_band;
  QRect zoom_rect;

  // The data sets painted so far by a progressive paint, and the index of the
  // first one not yet painted; stale once the data or the view change.
  QImage d_picture;
  size_t d_picture_next = 0;
  bool d_picture_stale = true;
};

#endif
