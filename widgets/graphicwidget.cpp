#include "graphicwidget.h"

#include <QBrush>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QRubberBand>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{
// Pixels from a point to the segment from a to b.
double Distance_To_Segment(const QPointF& point, const QPointF& a, const QPointF& b)
{
  const QPointF ab = b - a;
  const double squared = QPointF::dotProduct(ab, ab);
  double t = squared > 0.0 ? QPointF::dotProduct(point - a, ab) / squared : 0.0;
  t = std::min(1.0, std::max(0.0, t));
  const QPointF offset = point - (a + ab * t);
  return std::hypot(offset.x(), offset.y());
}
}

TGraphicWidget::TGraphicWidget(QWidget* parent)
  : QWidget(parent),
    fit_requested(false),
    pan_mode(true),
    rotate_2d_mode(false),
    rotate_3d_mode(false),
    reference_painting(false),
    progressive_painting(false),
    last_position(0, 0),
    right_dragged(true),
    band_active(false),
    left_pressed(false),
    rubber_band(nullptr)
{
  setMinimumSize(1, 1);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TGraphicWidget::~TGraphicWidget() = default;

void TGraphicWidget::Update()
{
  d_picture_stale = true;
  update();
}

void TGraphicWidget::Update_Appended()
{
  update();
}

void TGraphicWidget::Look_At(const TVector3& direction, const TVector3& up)
{
  if(!camera.Look_At(direction, up))
    return;
  fit_requested = true;
  Update();
}

int TGraphicWidget::Nearest_Segment(const std::vector<std::pair<TVector3, TVector3>>& segments,
                                    const QPoint& position, double tolerance) const
{
  int nearest = -1;
  double nearest_distance = tolerance;
  for(size_t i = 0; i < segments.size(); ++i)
  {
    const double distance = Distance_To_Segment(QPointF(position), QPointF(Translate_To_Window(segments[i].first)),
                                                QPointF(Translate_To_Window(segments[i].second)));
    if(distance <= nearest_distance)
    {
      nearest = static_cast<int>(i);
      nearest_distance = distance;
    }
  }
  return nearest;
}


// ---------------------------------------------------------------------------
// Events

void TGraphicWidget::mousePressEvent(QMouseEvent* event)
{
  setFocus(Qt::OtherFocusReason);

  if(event->buttons() & Qt::LeftButton)
  {
    band_active = false;
    left_pressed = event->button() == Qt::LeftButton;
  }

  if(event->buttons() & Qt::RightButton)
  {
    last_position = camera.Window_Position(event->pos());
    right_dragged = false;
    camera.Set_Rotation_Center();
  }
}

// A left drag spans the zoom rectangle; a right drag rotates with Control or
// in 3D mode, turns in the plane with Shift or in 2D mode, and pans otherwise.
void TGraphicWidget::mouseMoveEvent(QMouseEvent* event)
{
  if(event->buttons() == Qt::LeftButton)
  {
    Drag_Rubber_Band(event->pos());
    return;
  }

  if(event->buttons() != Qt::RightButton)
    return;

  const QPoint position = camera.Window_Position(event->pos());
  const int dx = position.x() - last_position.x();
  const int dy = position.y() - last_position.y();
  if(std::abs(dx) <= 1 && std::abs(dy) <= 1)
    return;

  const Qt::KeyboardModifiers modifiers = event->modifiers();
  if((modifiers & Qt::ControlModifier) || rotate_3d_mode)
    camera.Rotate_Free(dx, dy);
  else if((modifiers & Qt::ShiftModifier) || rotate_2d_mode)
    camera.Rotate_In_Plane(last_position, position);
  else
    camera.Pan_View(dx, dy);

  Update();
  right_dragged = true;
  last_position = position;
}

void TGraphicWidget::Drag_Rubber_Band(const QPoint& position)
{
  if(!band_active)
  {
    zoom_rect = QRect(position, position);
    if(!rubber_band)
      rubber_band = new QRubberBand(QRubberBand::Rectangle, this);
    rubber_band->setGeometry(zoom_rect);
    rubber_band->show();
    band_active = true;
  }
  else
  {
    zoom_rect.setBottomRight(position);
    rubber_band->setGeometry(zoom_rect.normalized());
  }
}

void TGraphicWidget::mouseReleaseEvent(QMouseEvent* event)
{
  if(event->button() == Qt::LeftButton)
  {
    if(band_active && rubber_band)
    {
      rubber_band->hide();
      camera.Zoom_To_Rect(zoom_rect);
      Update();
    }
    else if(left_pressed)
    {
      emit Clicked(event->pos());
    }
    left_pressed = false;
  }
  else if(event->button() == Qt::RightButton)
  {
    if(!right_dragged)
    {
      camera.Click_In_Out(camera.Window_Position(event->pos()).y());
      Update();
    }
  }
}

void TGraphicWidget::wheelEvent(QWheelEvent* event)
{
  camera.Wheel_In_Out(event->angleDelta().y());
  Update();
}

// Shift and Control go on to the parent, which may use them as shortcuts.
void TGraphicWidget::keyPressEvent(QKeyEvent* event)
{
  if(event->key() == Qt::Key_Shift || event->key() == Qt::Key_Control)
    event->ignore();
  else
    event->accept();
}

void TGraphicWidget::keyReleaseEvent(QKeyEvent* event)
{
  if(event->key() == Qt::Key_Shift || event->key() == Qt::Key_Control)
    event->ignore();
  else
    event->accept();
}

void TGraphicWidget::resizeEvent(QResizeEvent* event)
{
  if(!camera.Resize_Viewport(event->size().width(), event->size().height()))
    return;
  fit_requested = true;
  Update();
}

// ---------------------------------------------------------------------------
// Painting

void TGraphicWidget::paintEvent(QPaintEvent*)
{
  // A fit asked for belongs to the paint's time.
  const QDeadlineTimer deadline(progressive_budget_ms);
  QPainter painter(this);
  if(fit_requested)
  {
    Fit_To_Data();
    fit_requested = false;
    d_picture_stale = true;
  }
  if(Paints_Progressively())
  {
    Paint_Progressively(&painter, deadline);
    return;
  }
  painter.fillRect(rect(), QBrush(Qt::white));
  view_painter.Paint(&painter, camera, this, reference_painting);
}

bool TGraphicWidget::Paints_Progressively() const
{
  return progressive_painting && Data_Sets().size() > PROGRESSIVE_FROM;
}

bool TGraphicWidget::Painting() const
{
  return Paints_Progressively() && (d_picture_stale || d_picture_next < Data_Sets().size());
}

// Each paint adds the data sets that fit in its time to the picture and shows
// it with the triads on top; while sets remain, another paint follows.
void TGraphicWidget::Paint_Progressively(QPainter* painter, const QDeadlineTimer& deadline)
{
  const qreal ratio = devicePixelRatioF();
  if(d_picture_stale || d_picture.size() != size() * ratio)
  {
    d_picture = QImage(size() * ratio, QImage::Format_RGB32);
    d_picture.setDevicePixelRatio(ratio);
    d_picture.fill(Qt::white);
    d_picture_next = 0;
    d_picture_stale = false;
  }
  if(d_picture_next < Data_Sets().size())
  {
    QPainter picture_painter(&d_picture);
    d_picture_next = view_painter.Paint_Data_Sets(&picture_painter, camera, this, reference_painting, d_picture_next,
                                                  deadline);
    if(d_picture_next < Data_Sets().size())
      QTimer::singleShot(0, this, [this] { update(); });
  }
  painter->drawImage(0, 0, d_picture);
  view_painter.Paint_Axes(painter, camera, *this);
}

// Line ends and triangle corners of every data set, then the CSY arms. The
// shared vertices give the same bounds as all corners, since the first corner
// of a set is its first vertex.
void TGraphicWidget::Fit_To_Data()
{
  camera.Begin_Fit_To_Viewport();
  const std::vector<TDataSet>& data_sets = Data_Sets();
  for(size_t i = 0; i < data_sets.size(); ++i)
  {
    const TDataSet& data_set = data_sets[i];
    for(const TLineItem& line : data_set.line_items)
    {
      camera.Process_Vertex(line.start);
      camera.Process_Vertex(line.end);
    }

    if(reference_painting)
    {
      for(const TTriangleItem& triangle : data_set.triangle_items)
      {
        camera.Process_Vertex(triangle.p1);
        camera.Process_Vertex(triangle.p2);
        camera.Process_Vertex(triangle.p3);
      }
      continue;
    }

    if(data_set.triangle_items.empty())
      continue;
    for(const TVector3& vertex : Mesh(i).vertices)
      camera.Process_Vertex(vertex);
  }

  const double axis_length = camera.Axis_Length();
  for(const TCSYSet& csy : CSY_Sets())
  {
    camera.Process_Vertex(csy.origin);
    camera.Process_Vertex(csy.origin + csy.x_axis * axis_length);
    camera.Process_Vertex(csy.origin + csy.y_axis * axis_length);
    camera.Process_Vertex(csy.origin + csy.z_axis * axis_length);
  }
  camera.End_Fit_To_Viewport();
}

#include "moc_graphicwidget.cpp"
