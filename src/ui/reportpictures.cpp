#include "reportpictures.h"

#include <QPainter>
#include <cassert>

#include "graphicwidget.h"
#include "residualchart.h"
#include "scenebuilder.h"

namespace
{
// The 3D view's picture is as wide as the page's pictures and two thirds as high.
const QSize SCENE_PICTURE_SIZE(REPORT_PICTURE_WIDTH* REPORT_PICTURE_SCALE, REPORT_PICTURE_WIDTH* REPORT_PICTURE_SCALE * 2 / 3);
// The chart is as wide as the page's pictures (logical pixels).
const QSize CHART_SIZE(REPORT_PICTURE_WIDTH, REPORT_PICTURE_WIDTH / 3);
}

TViewOrientation Iso_View_Orientation()
{
  return {TVector3(-0.684791, -0.684791, 0.249244), TVector3(0, 0, 1)};
}

// The rows of the camera's rotation are the screen's x and y axes and the
// direction toward the viewer.
TViewOrientation View_Orientation_Of(const TGraphicWidget& view)
{
  const TMat4& rotation = view.Rotation();
  return {TVector3(rotation[8], rotation[9], rotation[10]), TVector3(rotation[4], rotation[5], rotation[6])};
}

QImage Scene_Picture(const std::vector<TMeasurement*>& records, const TViewOrientation& orientation,
                     const QSize& size)
{
  TGraphicWidget view;
  view.setAttribute(Qt::WA_DontShowOnScreen);
  view.resize(size);
  TSceneBuilder::Draw(&view, records, std::vector<bool>(records.size(), false));
  view.Look_At(orientation.direction, orientation.up);
  QImage picture(size, QImage::Format_RGB32);
  picture.fill(Qt::white);
  view.render(&picture);
  return picture;
}

void Add_Report_Pictures(TReportContent* content, const std::vector<TMeasurement*>& records,
                         const TViewOrientation& orientation)
{
  assert(content);
  content->scene_picture = Scene_Picture(records, orientation, SCENE_PICTURE_SIZE);
  content->residual_chart = Residual_Chart_Picture(content->results, CHART_SIZE);
}

QImage Residual_Chart_Picture(const TSetResults& results, const QSize& size)
{
  std::vector<TResidualBar> bars;
  for(const TRecordRow& row : results.rows)
    if(row.fitted && row.residual.deviation_after)
      bars.push_back({row.name, *row.residual.deviation_after * 1000.0, row.residual.flagged});
  if(bars.empty())
    return QImage();
  QImage picture(size * REPORT_PICTURE_SCALE, QImage::Format_RGB32);
  picture.setDevicePixelRatio(REPORT_PICTURE_SCALE);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  Paint_Residual_Chart(&painter, QRectF(QPointF(0.0, 0.0), QSizeF(size)), bars);
  return picture;
}
