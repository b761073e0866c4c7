// Shared by the 3D view's tests: sizing and showing the widget, sending it
// pointer events, grabbing what it painted and reading back its camera.
#ifndef GRAPHICWIDGET_TEST_HELPERS_H
#define GRAPHICWIDGET_TEST_HELPERS_H

#include <QApplication>
#include <QImage>
#include <QWheelEvent>
#include <QtTest>
#include <vector>

#include "graphicwidget.h"
#include "vector3.h"

Q_DECLARE_METATYPE(TVector3)

namespace graphicwidget_test
{
// Viewport without painting: the camera stays as it is until a paint fits it.
inline void Send_Resize(TGraphicWidget* widget, int width, int height)
{
  const QSize old_size = widget->size();
  widget->resize(width, height);
  QResizeEvent event(QSize(width, height), old_size);
  QApplication::sendEvent(widget, &event);
}

inline void Show(TGraphicWidget* widget, int width, int height)
{
  widget->resize(width, height);
  widget->show();
  QVERIFY(QTest::qWaitForWindowExposed(widget));
  QApplication::processEvents();
}

inline void Move(TGraphicWidget* widget, const QPoint& position, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
  QMouseEvent event(QEvent::MouseMove, position, widget->mapToGlobal(position), Qt::NoButton, buttons, modifiers);
  QApplication::sendEvent(widget, &event);
}

inline void Wheel(TGraphicWidget* widget, int delta)
{
  const QPointF position(50, 50);
  QWheelEvent event(position, QPointF(widget->mapToGlobal(position.toPoint())), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &event);
}

inline QImage Grab(TGraphicWidget* widget)
{
  return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline std::vector<double> Camera_Values(const TGraphicWidget& widget)
{
  const TMat4& p = widget.Projection();
  return {p[0], p[5], p[10], p[12], p[13], p[14]};
}

inline bool Is_Colour(const QImage& image, int x, int y, const QColor& colour)
{
  return image.pixelColor(x, y).rgb() == colour.rgb();
}
} // namespace graphicwidget_test

#endif
