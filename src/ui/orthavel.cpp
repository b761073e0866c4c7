#include "orthavel.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QSizePolicy>
#include <QSpacerItem>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "measurement.h"

// The pictures live in the static library, whose resource registration the
// linker may drop; register them explicitly before the window uses them.
static void Register_Resources()
{
  Q_INIT_RESOURCE(orthavel);
}

namespace
{
// Every member widget carries its member name so tests and accessibility tools can find it.
template<class T> T* Named(T* object, const char* name)
{
  object->setObjectName(QString::fromLatin1(name));
  return object;
}

QLabel* Value_Label(QWidget* parent, const char* name)
{
  QLabel* label = Named(new QLabel(QStringLiteral("----"), parent), name);
  label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  label->setFrameShape(QFrame::StyledPanel);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
  return label;
}

QLabel* Header_Label(const QString& text, const QFont& font, QWidget* parent)
{
  QLabel* label = new QLabel(text, parent);
  label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  label->setFont(font);
  label->setFrameShape(QFrame::StyledPanel);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
  return label;
}

QLabel* Row_Title(const QString& text, QWidget* parent)
{
  QLabel* label = new QLabel(text, parent);
  label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  return label;
}

// One row of the results panel: an optional title in column 0, then columns 1 to 4.
void Place_Row(QGridLayout* grid, int row, QWidget* title, std::initializer_list<QWidget*> cells)
{
  if(title)
    grid->addWidget(title, row, 0);
  int column = 1;
  for(QWidget* cell : cells)
    grid->addWidget(cell, row, column++);
}

QFrame* Sunken_Line(QWidget* parent)
{
  QFrame* line = new QFrame(parent);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

QLineEdit* Editor_Field(QWidget* parent, const char* name)
{
  QLineEdit* edit = Named(new QLineEdit(parent), name);
  edit->setAlignment(Qt::AlignCenter);
  return edit;
}

QToolButton* Tool_Button(QWidget* parent, const char* name, const QString& text)
{
  QToolButton* button = Named(new QToolButton(parent), name);
  button->setText(text);
  return button;
}

QToolButton* View_Button(QWidget* parent, const char* name, const QString& text, const QString& tip,
                         const QString& icon, bool checkable)
{
  QToolButton* button = Tool_Button(parent, name, text);
  button->setToolTip(tip);
  button->setIcon(QIcon(icon));
  button->setCheckable(checkable);
  return button;
}
}

TOrthavel::TOrthavel(const QWidget* parent, Qt::WindowFlags flags)
  : QMainWindow(const_cast<QWidget*>(parent), flags),
    data_modified(false),
    last_directory(QDir::homePath()),
    default_ballbar_length(1000.0),
    default_axis_length(1000.0),
    message_box(nullptr),
    point_dialog(nullptr),
    calculate_square(nullptr),
    graphic_widget(nullptr)
{
  QFont header_font;
  header_font.setWeight(QFont::Normal);
  header_font.setItalic(true);
  QFont notice_font(QStringLiteral("Verdana"), 8);
  notice_font.setItalic(true);

  Register_Resources();
  Create_Message_Box();

  resize(951, 651);
  setAcceptDrops(true);

  Create_Actions();
  QToolBar* tool_bar = Named(new QToolBar(this), "tool_bar");
  addToolBar(Qt::TopToolBarArea, tool_bar);

  QWidget* central = Named(new QWidget(this), "central_widget");
  QGridLayout* grid = new QGridLayout(central);
  grid->setSpacing(5);
  Create_Results_Panel(grid, header_font, notice_font);
  setCentralWidget(central);

  Create_Editor_Dock(header_font);
  Create_Menus();
  status_bar = Named(new QStatusBar(this), "status_bar");
  setStatusBar(status_bar);
  Set_Tab_Order();
  Fill_Tool_Bar(tool_bar);

  setWindowTitle(QStringLiteral("Orthavel"));
  Set_Initial_States();
  Fill_Sign_Combo();
  Connect_Widgets();

  Create_Solver();
  Create_Graphic_Widget(grid);
  Draw_Data();
  Proj_ISO();
}

TOrthavel::~TOrthavel()
{
  Stop_Solver();
  Clear_Measurement_Data();
}

void TOrthavel::Create_Actions()
{
  action_new = Named(new QAction(QIcon(":/menu/file_new.png"), QStringLiteral("New"), this), "action_new");
  action_new->setShortcut(QKeySequence::New);
  action_open = Named(new QAction(QIcon(":/menu/file_open.png"), QStringLiteral("Open"), this), "action_open");
  action_open->setShortcut(QKeySequence::Open);
  action_save = Named(new QAction(QIcon(":/menu/file_save.png"), QStringLiteral("Save"), this), "action_save");
  action_save->setShortcut(QKeySequence::Save);
  action_save_as = Named(new QAction(QStringLiteral("Save As"), this), "action_save_as");
  action_save_as->setShortcut(QKeySequence::SaveAs);
  action_save_as->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+S")));
  action_quit = Named(new QAction(QStringLiteral("Quit"), this), "action_quit");
  action_quit->setShortcut(QKeySequence::Quit);
  action_import_ballbar = Named(new QAction(QStringLiteral("Ball Bar"), this), "action_import_ballbar");
  action_import_laser = Named(new QAction(QStringLiteral("Laser"), this), "action_import_laser");
  action_import_stepgauge_square =
    Named(new QAction(QStringLiteral("Stepgauge Square"), this), "action_import_stepgauge_square");
  action_import_bns_results = Named(new QAction(QStringLiteral("BnS Results"), this), "action_import_bns_results");
  action_about = Named(new QAction(QStringLiteral("About"), this), "action_about");
}

void TOrthavel::Create_Results_Panel(QGridLayout* grid, const QFont& header_font, const QFont& notice_font)
{
  QWidget* central = grid->parentWidget();

  auto header = [&](const char* text) { return Header_Label(QString::fromLatin1(text), header_font, central); };
  Place_Row(grid, 1, nullptr, {header("Sign"), header("XY mm/m"), header("YZ mm/m"), header("ZX mm/m")});
  sign_combo = Named(new QComboBox(central), "sign_combo");
  Place_Row(grid, 2, Row_Title(QStringLiteral("Squareness: "), central),
            {sign_combo, xy_squareness_label = Value_Label(central, "xy_squareness_label"),
             yz_squareness_label = Value_Label(central, "yz_squareness_label"),
             zx_squareness_label = Value_Label(central, "zx_squareness_label")});
  Place_Row(grid, 3, nullptr,
            {header(" Max Length mm "), header(" Min Length mm "), header(" Max Error mm "), header(" Min Error mm ")});
  Place_Row(grid, 4, Row_Title(QStringLiteral("Initial: "), central),
            {initial_max_length_label = Value_Label(central, "initial_max_length_label"),
             initial_min_length_label = Value_Label(central, "initial_min_length_label"),
             initial_max_error_label = Value_Label(central, "initial_max_error_label"),
             initial_min_error_label = Value_Label(central, "initial_min_error_label")});
  Place_Row(grid, 5, Row_Title(QStringLiteral("Final: "), central),
            {final_max_length_label = Value_Label(central, "final_max_length_label"),
             final_min_length_label = Value_Label(central, "final_min_length_label"),
             final_max_error_label = Value_Label(central, "final_max_error_label"),
             final_min_error_label = Value_Label(central, "final_min_error_label")});

  QHBoxLayout* notice_row = new QHBoxLayout;
  QLabel* notice = Named(new QLabel(QStringLiteral("Squareness errors in mm/m from ball-bar and length measurements."), central),
                         "notice_label");
  notice->setFont(notice_font);
  notice->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
  notice_row->addWidget(notice);
  notice_row->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
  logo_label = Named(new QLabel(central), "logo_label");
  logo_label->setFixedSize(100, 40);
  notice_row->addWidget(logo_label);
  grid->addLayout(notice_row, 6, 0, 1, 5);
}

void TOrthavel::Create_Menus()
{
  QMenu* file_menu = Named(menuBar()->addMenu(QStringLiteral("File")), "file_menu");
  file_menu->addAction(action_new);
  file_menu->addSeparator();
  file_menu->addAction(action_open);
  file_menu->addAction(action_save);
  file_menu->addAction(action_save_as);
  file_menu->addSeparator();
  QMenu* import_menu = Named(file_menu->addMenu(QStringLiteral("Import")), "import_menu");
  import_menu->addAction(action_import_ballbar);
  import_menu->addAction(action_import_laser);
  import_menu->addAction(action_import_stepgauge_square);
  import_menu->addAction(action_import_bns_results);
  file_menu->addSeparator();
  file_menu->addAction(action_quit);

  QMenu* view_menu = Named(menuBar()->addMenu(QStringLiteral("View")), "view_menu");
  view_menu->addAction(editor_dock->toggleViewAction());

  QMenu* help_menu = Named(menuBar()->addMenu(QStringLiteral("Help")), "help_menu");
  help_menu->addAction(action_about);
}

void TOrthavel::Create_Editor_Dock(const QFont& header_font)
{
  editor_dock = Named(new QDockWidget(QStringLiteral("Measurement Editor"), this), "editor_dock");
  editor_dock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  QWidget* content = Named(new QWidget(editor_dock), "editor_dock_content");
  QVBoxLayout* column = new QVBoxLayout(content);

  measurement_list = Named(new QListWidget(content), "measurement_list");
  measurement_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  measurement_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  column->addWidget(measurement_list);

  QHBoxLayout* list_buttons = new QHBoxLayout;
  list_buttons->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
  add_measurement_button = Tool_Button(content, "add_measurement_button", QStringLiteral("+"));
  add_measurement_button->setPopupMode(QToolButton::InstantPopup);
  add_measurement_button->setMinimumWidth(24);
  QMenu* add_menu = Named(new QMenu(add_measurement_button), "add_measurement_menu");
  action_add_ballbar = Named(add_menu->addAction(QStringLiteral("BallBar Measurement")), "action_add_ballbar");
  action_add_length = Named(add_menu->addAction(QStringLiteral("Length Measurement")), "action_add_length");
  add_measurement_button->setMenu(add_menu);
  remove_measurement_button = Tool_Button(content, "remove_measurement_button", QStringLiteral("-"));
  remove_measurement_button->setMinimumWidth(24);
  list_buttons->addWidget(add_measurement_button);
  list_buttons->addWidget(remove_measurement_button);
  column->addLayout(list_buttons);

  editor_widget = Named(new QWidget(content), "editor_widget");
  editor_widget->setMinimumSize(0, 0);
  Create_Editor_Fields(header_font);
  column->addWidget(editor_widget);

  editor_dock->setWidget(content);
  addDockWidget(Qt::LeftDockWidgetArea, editor_dock);
}

void TOrthavel::Create_Editor_Fields(const QFont& header_font)
{
  QVBoxLayout* layout = new QVBoxLayout(editor_widget);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Sunken_Line(editor_widget));

  QGridLayout* lengths = new QGridLayout;
  lengths->setSpacing(5);
  name_edit = Editor_Field(editor_widget, "name_edit");
  nominal_length_edit = Editor_Field(editor_widget, "nominal_length_edit");
  actual_length_edit = Editor_Field(editor_widget, "actual_length_edit");
  lengths->addWidget(new QLabel(QStringLiteral("Name:"), editor_widget), 0, 0);
  lengths->addWidget(name_edit, 0, 1);
  lengths->addWidget(new QLabel(QStringLiteral("Nominal Length:"), editor_widget), 1, 0);
  lengths->addWidget(nominal_length_edit, 1, 1);
  lengths->addWidget(new QLabel(QStringLiteral("Actual Length:"), editor_widget), 2, 0);
  lengths->addWidget(actual_length_edit, 2, 1);
  lengths->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, 2, 3, 1);
  layout->addLayout(lengths);
  layout->addWidget(Sunken_Line(editor_widget));

  QGridLayout* vectors = new QGridLayout;
  vectors->setSpacing(5);
  const char* const headers[2][3] = {{"X", "Y", "Z"}, {"I", "J", "K"}};
  for(int column = 0; column < 3; ++column)
  {
    vectors->addWidget(Header_Label(QString::fromLatin1(headers[0][column]), header_font, editor_widget), 0, column + 1);
    vectors->addWidget(Header_Label(QString::fromLatin1(headers[1][column]), header_font, editor_widget), 2, column + 1);
  }
  position_x_edit = Editor_Field(editor_widget, "position_x_edit");
  position_y_edit = Editor_Field(editor_widget, "position_y_edit");
  position_z_edit = Editor_Field(editor_widget, "position_z_edit");
  direction_i_edit = Editor_Field(editor_widget, "direction_i_edit");
  direction_j_edit = Editor_Field(editor_widget, "direction_j_edit");
  direction_k_edit = Editor_Field(editor_widget, "direction_k_edit");
  // Wide enough to read a direction component or a position in full.
  for(QLineEdit* edit : {position_x_edit, position_y_edit, position_z_edit, direction_i_edit, direction_j_edit,
                         direction_k_edit})
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-0.57735027")) + 12);
  vectors->addWidget(new QLabel(QStringLiteral("Position:"), editor_widget), 1, 0);
  vectors->addWidget(position_x_edit, 1, 1);
  vectors->addWidget(position_y_edit, 1, 2);
  vectors->addWidget(position_z_edit, 1, 3);
  vectors->addWidget(new QLabel(QStringLiteral("Direction:"), editor_widget), 3, 0);
  vectors->addWidget(direction_i_edit, 3, 1);
  vectors->addWidget(direction_j_edit, 3, 2);
  vectors->addWidget(direction_k_edit, 3, 3);
  layout->addLayout(vectors);
  layout->addWidget(Sunken_Line(editor_widget));

  QHBoxLayout* buttons = new QHBoxLayout;
  edit_points_button = Tool_Button(editor_widget, "edit_points_button", QStringLiteral("Edit Axis Points"));
  apply_button = Tool_Button(editor_widget, "apply_button", QStringLiteral("Apply"));
  reset_button = Tool_Button(editor_widget, "reset_button", QStringLiteral("Reset"));
  buttons->addWidget(edit_points_button);
  buttons->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
  buttons->addWidget(apply_button);
  buttons->addWidget(reset_button);
  layout->addLayout(buttons);
}

void TOrthavel::Set_Tab_Order()
{
  QWidget* const order[] = {measurement_list, add_measurement_button, remove_measurement_button, name_edit,
                            nominal_length_edit, actual_length_edit, position_x_edit, position_y_edit,
                            position_z_edit, direction_i_edit, direction_j_edit, direction_k_edit,
                            apply_button, reset_button, sign_combo};
  for(size_t i = 1; i < sizeof(order) / sizeof(order[0]); ++i)
    setTabOrder(order[i - 1], order[i]);
}

void TOrthavel::Fill_Tool_Bar(QToolBar* tool_bar)
{
  tool_bar->addAction(action_new);
  tool_bar->addSeparator();
  tool_bar->addAction(action_open);
  tool_bar->addAction(action_save);
  tool_bar->addSeparator();
  scale_to_fit_button = View_Button(tool_bar, "scale_to_fit_button", QStringLiteral("Fit"), QStringLiteral("Scale to Fit"),
                                    QStringLiteral(":/toolbar/tb_scale_to_fit.png"), false);
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

void TOrthavel::Set_Initial_States()
{
  pan_button->setChecked(true);
  rotate_2d_button->setChecked(false);
  rotate_3d_button->setChecked(false);
  editor_widget->setEnabled(false);
  remove_measurement_button->setEnabled(false);
  apply_button->setEnabled(false);
  reset_button->setEnabled(false);
  data_modified = false;
  action_save->setEnabled(false);
  action_save_as->setEnabled(false);
  default_ballbar_length = 1000.0;
  default_axis_length = 1000.0;
  logo_label->setPixmap(QPixmap(QStringLiteral(":/images/logo.png")));
}

void TOrthavel::Fill_Sign_Combo()
{
  struct TSignEntry
  {
    const char* maker;
    int xy;
    int yz;
    int zx;
  };
  static const TSignEntry entries[] = {{"AAT", -1, -1, 1},      {"BnS", 1, 1, 1},        {"DEA", 1, 1, -1},
                                       {"LK", -1, -1, 1},       {"Renishaw", -1, -1, -1}, {"Sheffield", 1, -1, 1},
                                       {"Wenzel", -1, -1, 1},   {"Zeiss", 1, -1, 1}};
  for(const TSignEntry& entry : entries)
    sign_combo->addItem(QString::fromLatin1(entry.maker),
                        Create_Squareness_Sign_Parameter(entry.xy, entry.yz, entry.zx));
  sign_combo->setCurrentIndex(1);
}

void TOrthavel::Connect_Widgets()
{
  connect(action_add_ballbar, &QAction::triggered, this, &TOrthavel::Add_Measurement_BallBar);
  connect(action_add_length, &QAction::triggered, this, &TOrthavel::Add_Measurement_Length);
  connect(remove_measurement_button, &QToolButton::clicked, this, &TOrthavel::Remove_Measurement);
  connect(apply_button, &QToolButton::clicked, this, &TOrthavel::Update_Current_Measurement);
  connect(reset_button, &QToolButton::clicked, this, &TOrthavel::Reset_Current_Measurement);
  connect(edit_points_button, &QToolButton::clicked, this, &TOrthavel::Edit_Points);
  connect(measurement_list, &QListWidget::itemSelectionChanged, this, &TOrthavel::Measurement_Selection_Changed);
  for(QLineEdit* edit : {actual_length_edit, name_edit, nominal_length_edit, position_x_edit, position_y_edit,
                         position_z_edit, direction_i_edit, direction_j_edit, direction_k_edit})
    connect(edit, &QLineEdit::textEdited, this, &TOrthavel::Measurement_Data_Changed);
  connect(action_new, &QAction::triggered, this, &TOrthavel::Menu_New);
  connect(action_open, &QAction::triggered, this, &TOrthavel::Menu_Open);
  connect(action_save, &QAction::triggered, this, &TOrthavel::Menu_Save);
  connect(action_save_as, &QAction::triggered, this, &TOrthavel::Menu_SaveAs);
  connect(action_import_ballbar, &QAction::triggered, this, &TOrthavel::Menu_Import_BallBar);
  connect(action_import_laser, &QAction::triggered, this, &TOrthavel::Menu_Import_Laser);
  connect(action_import_stepgauge_square, &QAction::triggered, this, &TOrthavel::Menu_Import_Stepgauge_Square);
  connect(action_import_bns_results, &QAction::triggered, this, &TOrthavel::Menu_Import_BnS_Results);
  connect(action_quit, &QAction::triggered, this, &QWidget::close);
  connect(action_about, &QAction::triggered, this, &TOrthavel::Menu_About);
  connect(sign_combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &TOrthavel::Sign_Changed);
}

void TOrthavel::Measurement_Data_Changed()
{
  apply_button->setEnabled(true);
  reset_button->setEnabled(true);
  measurement_list->setEnabled(false);
}
