#include "sceneview.h"

#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "graphicwidget.h"
#include "measurement.h"
#include "uihelpers.h"

namespace
{
QToolButton* View_Button(QWidget* parent, const char* name, const QString& text, const QString& tip,
                         const QString& icon, bool checkable)
{
  QToolButton* button = Named(new QToolButton(parent), name);
  button->setText(text);
  button->setToolTip(tip);
  button->setIcon(QIcon(icon));
  button->setCheckable(checkable);
  return button;
}

// The shortcut works wherever the window has the focus (a text field keeps
// its plain letters) and is named in the tool tip. It clicks the button at
// once, as a mouse click does.
void Set_Shortcut(QToolButton* button, const QKeySequence& shortcut)
{
  QShortcut* key = new QShortcut(shortcut, button->window());
  key->setContext(Qt::WindowShortcut);
  QObject::connect(key, &QShortcut::activated, button, &QAbstractButton::click);
  button->setToolTip(QStringLiteral("%1 (%2)").arg(button->toolTip(), shortcut.toString(QKeySequence::NativeText)));
}
}

TSceneView::TSceneView(QToolBar* tool_bar, QObject* parent) : QObject(parent)
{
  Run_Next_Turn(&d_build_timer, this, &TSceneView::Build_Next_Slice);
  Fill_Tool_Bar(tool_bar);
  pan_button->setChecked(true);
  rotate_2d_button->setChecked(false);
  rotate_3d_button->setChecked(false);
}

void TSceneView::Fill_Tool_Bar(QToolBar* tool_bar)
{
  scale_to_fit_button = View_Button(tool_bar, "scale_to_fit_button", QStringLiteral("Fit"),
                                    QStringLiteral("Scale to Fit"), QStringLiteral(":/toolbar/tb_scale_to_fit.png"), false);
  pan_button = View_Button(tool_bar, "pan_button", QStringLiteral("Pan"), QStringLiteral("Enable Pan Mode"),
                           QStringLiteral(":/toolbar/tb_pan.png"), true);
  rotate_2d_button = View_Button(tool_bar, "rotate_2d_button", QStringLiteral("Rot 2D"),
                                 QStringLiteral("Enable Rotate 2D Mode"), QStringLiteral(":/toolbar/tb_rotate_2d.png"), true);
  rotate_3d_button = View_Button(tool_bar, "rotate_3d_button", QStringLiteral("Rot 3D"),
                                 QStringLiteral("Enable Rotate 3D Mode"), QStringLiteral(":/toolbar/tb_rotate_3d.png"), true);
  proj_xy_button = View_Button(tool_bar, "proj_xy_button", QStringLiteral("XY"), QStringLiteral("Set XY View"),
                               QStringLiteral(":/toolbar/tb_proj_xy.png"), false);
  proj_yz_button = View_Button(tool_bar, "proj_yz_button", QStringLiteral("YZ"), QStringLiteral("Set YZ View"),
                               QStringLiteral(":/toolbar/tb_proj_yz.png"), false);
  proj_zx_button = View_Button(tool_bar, "proj_zx_button", QStringLiteral("ZX"), QStringLiteral("Set ZX View"),
                               QStringLiteral(":/toolbar/tb_proj_zx.png"), false);
  proj_iso_button = View_Button(tool_bar, "proj_iso_button", QStringLiteral("ISO"), QStringLiteral("Set ISO View"),
                                QStringLiteral(":/toolbar/tb_proj_iso.png"), false);
  Set_Shortcut(scale_to_fit_button, QKeySequence(Qt::Key_F));
  Set_Shortcut(proj_xy_button, QKeySequence(Qt::CTRL + Qt::Key_1));
  Set_Shortcut(proj_yz_button, QKeySequence(Qt::CTRL + Qt::Key_2));
  Set_Shortcut(proj_zx_button, QKeySequence(Qt::CTRL + Qt::Key_3));
  Set_Shortcut(proj_iso_button, QKeySequence(Qt::CTRL + Qt::Key_4));
  tool_bar->addWidget(scale_to_fit_button);
  tool_bar->addWidget(pan_button);
  tool_bar->addWidget(rotate_2d_button);
  tool_bar->addWidget(rotate_3d_button);
  tool_bar->addSeparator();
  tool_bar->addWidget(proj_xy_button);
  tool_bar->addWidget(proj_yz_button);
  tool_bar->addWidget(proj_zx_button);
  tool_bar->addWidget(proj_iso_button);
}

TGraphicWidget* TSceneView::Create_View(QWidget* view_parent)
{
  graphic_widget = Named(new TGraphicWidget(view_parent), "graphic_widget");
  graphic_widget->progressive_painting = true;
  graphic_widget->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::MinimumExpanding);
  graphic_widget->pan_mode = true;
  graphic_widget->rotate_2d_mode = false;
  graphic_widget->rotate_3d_mode = false;
  line_mode_notice = Named(new QLabel(graphic_widget), "line_mode_notice");
  line_mode_notice->setText(QStringLiteral("More than %1 measurements: each is drawn as a line between its end points.")
                              .arg(QLocale(QLocale::English).toString(qulonglong(TSceneBuilder::LINE_MODE_LIMIT))));
  line_mode_notice->move(6, 6);
  line_mode_notice->adjustSize();
  line_mode_notice->hide();
  Connect_Buttons();
  return graphic_widget;
}

void TSceneView::Connect_Buttons()
{
  connect(pan_button, &QToolButton::toggled, this, &TSceneView::Mode_Pan);
  connect(rotate_2d_button, &QToolButton::toggled, this, &TSceneView::Mode_Rotate_2d);
  connect(rotate_3d_button, &QToolButton::toggled, this, &TSceneView::Mode_Rotate_3d);
  connect(scale_to_fit_button, &QToolButton::clicked, this, &TSceneView::Scale_To_Fit);
  connect(proj_xy_button, &QToolButton::clicked, this, &TSceneView::Proj_XY);
  connect(proj_yz_button, &QToolButton::clicked, this, &TSceneView::Proj_YZ);
  connect(proj_zx_button, &QToolButton::clicked, this, &TSceneView::Proj_ZX);
  connect(proj_iso_button, &QToolButton::clicked, this, &TSceneView::Proj_ISO);
  connect(graphic_widget, &TGraphicWidget::Clicked, this, &TSceneView::Pick);
}

void TSceneView::Draw_Data(std::vector<TMeasurement*> records, std::vector<bool> selected)
{
  line_mode_notice->setVisible(TSceneBuilder::Line_Mode(records.size()));
  if(Only_Marked_Record_Changed(records.size(), selected))
  {
    const size_t row = static_cast<size_t>(d_changed_row);
    d_scene_box = TSceneBuilder::Redraw_Record(graphic_widget, records, row, selected[row]);
    if(!d_segments.empty())
      d_segments[row] = {records[row]->Start_Point(), records[row]->End_Point()};
  }
  else if(Only_Selection_Changed(records, selected))
    TSceneBuilder::Redraw_Selection(graphic_widget, records, Rows_Selected_Otherwise(selected), selected);
  else
  {
    d_build_timer.stop();
    d_segments.clear();
    d_built = 0;
    d_drawn_records = std::move(records);
    if(d_drawn_records.size() > BUILD_SLICE)
    {
      TSceneBuilder::Begin_Draw(graphic_widget, d_drawn_records.size());
      graphic_widget->Update();
      d_build_timer.start();
    }
    else
    {
      d_scene_box = TSceneBuilder::Draw(graphic_widget, d_drawn_records, selected);
      d_built = d_drawn_records.size();
      // A fit asked for meanwhile is made at the next paint of this scene.
      d_fit_when_built = false;
    }
  }
  d_drawn_selection = std::move(selected);
  d_changed_row = -1;
}

// The next slice of the records goes into the view, which paints it on top of
// what it has painted; the last slice adds the box.
void TSceneView::Build_Next_Slice()
{
  d_built = Work_For_A_Slice(d_built, d_drawn_records.size(), BUILD_CHUNK, [this](size_t first, size_t end) {
    TSceneBuilder::Draw_Rows(graphic_widget, d_drawn_records, d_drawn_selection, first, end);
  });
  if(Building())
    d_build_timer.start();
  else
  {
    d_scene_box = TSceneBuilder::Finish_Draw(graphic_widget, d_drawn_records);
    if(d_fit_when_built)
      Scale_To_Fit();
    d_fit_when_built = false;
  }
  graphic_widget->Update_Appended();
}

// A fit asked for while the scene is built is made again once it is whole.
void TSceneView::Fit_When_Built()
{
  if(Building())
    d_fit_when_built = true;
}

void TSceneView::Mark_Record_Changed(int row)
{
  d_changed_row = row;
}

bool TSceneView::Only_Marked_Record_Changed(size_t record_count, const std::vector<bool>& selected) const
{
  return d_changed_row >= 0 && static_cast<size_t>(d_changed_row) < record_count && record_count == d_drawn_records.size() &&
         graphic_widget->Data_Sets().size() == record_count + 1 && selected == d_drawn_selection;
}

// In a scene built in slices, a new selection draws again only the records
// whose selection changed; a whole scene drawn again would take a second.
bool TSceneView::Only_Selection_Changed(const std::vector<TMeasurement*>& records,
                                        const std::vector<bool>& selected) const
{
  return records.size() > BUILD_SLICE && d_changed_row < 0 && !Building() &&
         graphic_widget->Data_Sets().size() == records.size() + 1 && selected.size() == records.size() &&
         d_drawn_selection.size() == selected.size() && records == d_drawn_records;
}

std::vector<size_t> TSceneView::Rows_Selected_Otherwise(const std::vector<bool>& selected) const
{
  std::vector<size_t> rows;
  for(size_t row = 0; row < selected.size(); ++row)
    if(selected[row] != d_drawn_selection[row])
      rows.push_back(row);
  return rows;
}

// A click away from every measurement picks nothing and changes nothing.
void TSceneView::Pick(const QPoint& position)
{
  if(d_segments.empty())
  {
    d_segments.reserve(d_drawn_records.size());
    for(const TMeasurement* record : d_drawn_records)
      d_segments.emplace_back(record->Start_Point(), record->End_Point());
  }
  const int row = graphic_widget->Nearest_Segment(d_segments, position, PICK_TOLERANCE);
  if(row >= 0)
    emit Measurement_Picked(row);
}

void TSceneView::Scale_To_Fit()
{
  Fit_When_Built();
  graphic_widget->fit_requested = true;
  graphic_widget->Update();
}

void TSceneView::Proj_XY()
{
  Fit_When_Built();
  graphic_widget->Look_At(TVector3(0, 0, 1), TVector3(0, 1, 0));
}

void TSceneView::Proj_YZ()
{
  Fit_When_Built();
  graphic_widget->Look_At(TVector3(1, 0, 0), TVector3(0, 0, 1));
}

void TSceneView::Proj_ZX()
{
  Fit_When_Built();
  graphic_widget->Look_At(TVector3(0, 1, 0), TVector3(0, 0, 1));
}

void TSceneView::Proj_ISO()
{
  Fit_When_Built();
  graphic_widget->Look_At(TVector3(-0.684791, -0.684791, 0.249244), TVector3(0, 0, 1));
}

// Exactly one mode button is checked; unchecking the checked one moves on to
// the next mode in the cycle pan, rotate 2D, rotate 3D.
void TSceneView::Set_Mode_Buttons(bool pan, bool rotate_2d, bool rotate_3d)
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

void TSceneView::Mode_Pan(bool checked)
{
  if(checked)
    Set_Mode_Buttons(true, false, false);
  else
    Set_Mode_Buttons(false, true, false);
}

void TSceneView::Mode_Rotate_2d(bool checked)
{
  if(checked)
    Set_Mode_Buttons(false, true, false);
  else
    Set_Mode_Buttons(false, false, true);
}

void TSceneView::Mode_Rotate_3d(bool checked)
{
  if(checked)
    Set_Mode_Buttons(false, false, true);
  else
    Set_Mode_Buttons(true, false, false);
}
