#include "scenebuilder.h"

#include <QColor>
#include <cassert>
#include <cmath>

#include "graphicwidget.h"
#include "measurement.h"

namespace
{
const QColor SELECTED_COLOR(60, 60, 240);
const QColor UNSELECTED_COLOR(80, 80, 80);
const QColor BOX_COLOR(160, 160, 160);

const double BALLBAR_RADIUS = 6.0;
const double BALL_RADIUS = 12.5;
// The rod stops short of the ball centres by this much in all.
const double BALLBAR_ROD_SHORTENING = 22.0;
const double BAR_RADIUS = 10.0;

// A bar along Z would be edge-on to the Z reference, so it takes X instead.
TVector3 Bar_Reference(const TVector3& axis)
{
  const TVector3 z_axis(0, 0, 1);
  return std::fabs(axis ^ z_axis) > 0.707107 ? TVector3(1, 0, 0) : z_axis;
}
}

TSceneBox TSceneBuilder::Scene_Box(const std::vector<TMeasurement*>& records)
{
  TSceneBox box;
  for(size_t row = 0; row < records.size(); ++row)
  {
    const TVector3 start = records[row]->Start_Point();
    const TVector3 end = records[row]->End_Point();
    if(row == 0)
      box.minimum = box.maximum = start;
    Widen_Box(&box.minimum, &box.maximum, start);
    Widen_Box(&box.minimum, &box.maximum, end);
  }
  return box;
}

TSceneBox TSceneBuilder::Draw(TGraphicWidget* view, const std::vector<TMeasurement*>& records,
                              const std::vector<bool>& selected)
{
  assert(view);
  assert(selected.size() == records.size());
  view->Clear_Data_Sets();
  for(size_t row = 0; row < records.size(); ++row)
  {
    const int id = view->Create_Data_Set(TGraphicWidget::SYMBOL_NONE, selected[row] ? SELECTED_COLOR : UNSELECTED_COLOR);
    Draw_Measurement(view, id, *records[row]);
  }

  const TSceneBox box = Scene_Box(records);
  const int box_id = view->Create_Data_Set(TGraphicWidget::SYMBOL_NONE, BOX_COLOR);
  view->Draw_Wire_Cube(box_id, box.minimum, box.maximum);
  view->Update();
  return box;
}

void TSceneBuilder::Draw_Measurement(TGraphicWidget* view, int id, const TMeasurement& record)
{
  switch(record.Type())
  {
    case TMeasurement::MEASUREMENT_BALLBAR:
      view->Draw_Cylinder(id, record.Position(), record.Axis(), BALLBAR_RADIUS,
                          record.Actual_Length() - BALLBAR_ROD_SHORTENING);
      view->Draw_Sphere(id, record.Start_Point(), BALL_RADIUS);
      view->Draw_Sphere(id, record.End_Point(), BALL_RADIUS);
      break;
    case TMeasurement::MEASUREMENT_LENGTH:
      view->Draw_Polygon(id, record.Position(), record.Axis(), Bar_Reference(record.Axis()),
                         BAR_RADIUS * record.Draw_Offset(), record.Actual_Length(), 4);
      break;
  }
}
