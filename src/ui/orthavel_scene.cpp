// The measurement scene in the 3D view and the view commands.
#include "orthavel.h"

#include <QColor>
#include <QGridLayout>
#include <QListWidget>
#include <QSignalBlocker>
#include <QToolButton>
#include <cmath>

#include "graphicwidget.h"
#include "measurement.h"

namespace
{
const QColor selected_color(60, 60, 240);
const QColor unselected_color(80, 80, 80);
const QColor box_color(160, 160, 160);

// A bar along Z would be edge-on to the Z reference, so it takes X instead.
TVector3 Bar_Reference(const TVector3& axis)
{
  const TVector3 z_axis(0, 0, 1);
  return std::fabs(axis ^ z_axis) > 0.707107 ? TVector3(1, 0, 0) : z_axis;
}
}

void TOrthavel::Create_Graphic_Widget(QGridLayout* grid)
{
  graphic_widget = new TGraphicWidget(grid->parentWidget());
  graphic_widget->setObjectName(QStringLiteral("graphic_widget"));
  graphic_widget->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::MinimumExpanding);
  grid->addWidget(graphic_widget, 0, 0, 1, 5);

  graphic_widget->pan_mode = true;
  graphic_widget->rotate_2d_mode = false;
  graphic_widget->rotate_3d_mode = false;

  connect(pan_button, &QToolButton::toggled, this, &TOrthavel::Mode_Pan);
  connect(rotate_2d_button, &QToolButton::toggled, this, &TOrthavel::Mode_Rotate_2d);
  connect(rotate_3d_button, &QToolButton::toggled, this, &TOrthavel::Mode_Rotate_3d);
  connect(scale_to_fit_button, &QToolButton::clicked, this, &TOrthavel::Scale_To_Fit);
  connect(proj_xy_button, &QToolButton::clicked, this, &TOrthavel::Proj_XY);
  connect(proj_yz_button, &QToolButton::clicked, this, &TOrthavel::Proj_YZ);
  connect(proj_zx_button, &QToolButton::clicked, this, &TOrthavel::Proj_ZX);
  connect(proj_iso_button, &QToolButton::clicked, this, &TOrthavel::Proj_ISO);
}

void TOrthavel::Draw_Data()
{
  graphic_widget->Clear_Data_Sets();

  const int count = measurement_list->count();
  if(count == 0)
  {
    scene_minimum = TVector3(-500, -500, -500);
    scene_maximum = TVector3(500, 500, 500);
  }

  for(int row = 0; row < count; ++row)
  {
    const QListWidgetItem* item = measurement_list->item(row);
    const TMeasurement* measurement = Measurement_From_Item(item);
    if(!measurement)
      continue;

    const TVector3 half_axis = measurement->Axis() * (0.5 * measurement->Actual_Length());
    const TVector3 start = measurement->Position() - half_axis;
    const TVector3 end = measurement->Position() + half_axis;
    if(row == 0)
      scene_minimum = scene_maximum = start;
    Widen_Box(&scene_minimum, &scene_maximum, start);
    Widen_Box(&scene_minimum, &scene_maximum, end);

    const int id = graphic_widget->Create_Data_Set(TGraphicWidget::SYMBOL_NONE,
                                                   item->isSelected() ? selected_color : unselected_color);
    Draw_Measurement(id, measurement);
  }

  const int box = graphic_widget->Create_Data_Set(TGraphicWidget::SYMBOL_NONE, box_color);
  graphic_widget->Draw_Wire_Cube(box, scene_minimum, scene_maximum);
  graphic_widget->Update();
}

void TOrthavel::Draw_Measurement(int id, const TMeasurement* measurement)
{
  const TVector3 half_axis = measurement->Axis() * (0.5 * measurement->Actual_Length());
  switch(measurement->Type())
  {
    case TMeasurement::MEASUREMENT_BALLBAR:
      graphic_widget->Draw_Cylinder(id, measurement->Position(), measurement->Axis(), 6.0,
                                    measurement->Actual_Length() - 22.0);
      graphic_widget->Draw_Sphere(id, measurement->Position() - half_axis, 12.5);
      graphic_widget->Draw_Sphere(id, measurement->Position() + half_axis, 12.5);
      break;
    case TMeasurement::MEASUREMENT_LENGTH:
      graphic_widget->Draw_Polygon(id, measurement->Position(), measurement->Axis(), Bar_Reference(measurement->Axis()),
                                   10.0 * measurement->Draw_Offset(), measurement->Actual_Length(), 4);
      break;
  }
}

void TOrthavel::Scale_To_Fit()
{
  graphic_widget->fit_requested = true;
  graphic_widget->Update();
}

void TOrthavel::Proj_XY()
{
  graphic_widget->Look_At(TVector3(0, 0, 1), TVector3(0, 1, 0));
}

void TOrthavel::Proj_YZ()
{
  graphic_widget->Look_At(TVector3(1, 0, 0), TVector3(0, 0, 1));
}

void TOrthavel::Proj_ZX()
{
  graphic_widget->Look_At(TVector3(0, 1, 0), TVector3(0, 0, 1));
}

void TOrthavel::Proj_ISO()
{
  graphic_widget->Look_At(TVector3(-0.684791, -0.684791, 0.249244), TVector3(0, 0, 1));
}

// Exactly one mode button is checked; unchecking the checked one moves on to
// the next mode in the cycle pan, rotate 2D, rotate 3D.
void TOrthavel::Set_Mode_Buttons(bool pan, bool rotate_2d, bool rotate_3d)
{
  const QSignalBlocker block_pan(pan_button);
  const QSignalBlocker block_2d(rotate_2d_button);
  const QSignalBlocker block_3d(rotate_3d_button);
  pan_button->setChecked(pan);
  rotate_2d_button->setChecked(rotate_2d);
  rotate_3d_button->setChecked(rotate_3d);
  graphic_widget->pan_mode = pan;
  graphic_widget->rotate_2d_mode = rotate_2d;
  graphic_widget->rotate_3d_mode = rotate_3d;
}

void TOrthavel::Mode_Pan(bool checked)
{
  if(checked)
    Set_Mode_Buttons(true, false, false);
  else
    Set_Mode_Buttons(false, true, false);
}

void TOrthavel::Mode_Rotate_2d(bool checked)
{
  if(checked)
    Set_Mode_Buttons(false, true, false);
  else
    Set_Mode_Buttons(false, false, true);
}

void TOrthavel::Mode_Rotate_3d(bool checked)
{
  if(checked)
    Set_Mode_Buttons(false, false, true);
  else
    Set_Mode_Buttons(true, false, false);
}
