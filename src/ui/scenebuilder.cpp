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
// How line mode marks the ends of a record.
const TGraphicWidget::TDrawSymbol LINE_END_SYMBOL = TGraphicWidget::SYMBOL_SQUARE;

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
  Begin_Draw(view, records.size());
  Draw_Rows(view, records, selected, 0, records.size());
  const TSceneBox box = Finish_Draw(view, records);
  view->Update();
  return box;
}

void TSceneBuilder::Begin_Draw(TGraphicWidget* view, size_t record_count)
{
  assert(view);
  view->Clear_Data_Sets();
  view->Reserve_Data_Sets(record_count + 1);
}

void TSceneBuilder::Draw_Rows(TGraphicWidget* view, const std::vector<TMeasurement*>& records,
                              const std::vector<bool>& selected, size_t first, size_t end)
{
  assert(view);
  assert(selected.size() == records.size() && end <= records.size());
  assert(view->Data_Sets().size() == first);
  const bool line_mode = Line_Mode(records.size());
  const TGraphicWidget::TDrawSymbol symbol = line_mode ? LINE_END_SYMBOL : TGraphicWidget::SYMBOL_NONE;
  for(size_t row = first; row < end; ++row)
  {
    const int id = view->Create_Data_Set(symbol, selected[row] ? SELECTED_COLOR : UNSELECTED_COLOR);
    Draw_Record(view, id, *records[row], line_mode);
  }
}

TSceneBox TSceneBuilder::Finish_Draw(TGraphicWidget* view, const std::vector<TMeasurement*>& records)
{
  assert(view && view->Data_Sets().size() == records.size());
  const TSceneBox box = Scene_Box(records);
  const int box_id = view->Create_Data_Set(TGraphicWidget::SYMBOL_NONE, BOX_COLOR);
  view->Draw_Wire_Cube(box_id, box.minimum, box.maximum);
  return box;
}

// Data set ids are the rows counted from 1, the box's is one past the last row.
TSceneBox TSceneBuilder::Redraw_Record(TGraphicWidget* view, const std::vector<TMeasurement*>& records, size_t row,
                                       bool selected)
{
  assert(view);
  assert(row < records.size());
  assert(view->Data_Sets().size() == records.size() + 1);
  Draw_Row_Again(view, records, row, selected);

  const TSceneBox box = Scene_Box(records);
  const int box_id = static_cast<int>(records.size()) + 1;
  view->Clear_Data_Set(box_id, BOX_COLOR);
  view->Draw_Wire_Cube(box_id, box.minimum, box.maximum);
  view->Update();
  return box;
}

void TSceneBuilder::Redraw_Selection(TGraphicWidget* view, const std::vector<TMeasurement*>& records,
                                     const std::vector<size_t>& rows, const std::vector<bool>& selected)
{
  assert(view);
  assert(view->Data_Sets().size() == records.size() + 1 && selected.size() == records.size());
  for(size_t row : rows)
    Draw_Row_Again(view, records, row, selected[row]);
  view->Update();
}

// The data set of a row keeps its place in the view, so it is painted in
// the same order as before.
void TSceneBuilder::Draw_Row_Again(TGraphicWidget* view, const std::vector<TMeasurement*>& records, size_t row,
                                   bool selected)
{
  assert(row < records.size());
  const int id = static_cast<int>(row) + 1;
  view->Clear_Data_Set(id, selected ? SELECTED_COLOR : UNSELECTED_COLOR);
  Draw_Record(view, id, *records[row], Line_Mode(records.size()));
}

void TSceneBuilder::Draw_Record(TGraphicWidget* view, int id, const TMeasurement& record, bool line_mode)
{
  if(line_mode)
    Draw_Measurement_Line(view, id, record);
  else
    Draw_Measurement(view, id, record);
}

void TSceneBuilder::Draw_Measurement_Line(TGraphicWidget* view, int id, const TMeasurement& record)
{
  view->Add_Line_Item(id, record.Start_Point(), record.End_Point());
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
