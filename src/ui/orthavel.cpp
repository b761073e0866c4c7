#include "orthavel.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QSpacerItem>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoStack>

#include "analysispanel.h"
#include "calculatesquare.h"
#include "edithistory.h"
#include "graphicwidget.h"
#include "measurementeditor.h"
#include "measurementlist.h"
#include "measurementset.h"
#include "projectcommands.h"
#include "recordcheck.h"
#include "recordwarnings.h"
#include "messagebox.h"
#include "resultspanel.h"
#include "sceneview.h"
#include "solverfeed.h"
#include "uihelpers.h"

// The pictures live in a static library, whose resource registration the
// linker may drop; register them explicitly before the window uses them.
static void Register_Resources()
{
  Q_INIT_RESOURCE(orthavel);
}

TOrthavel::TOrthavel(const QWidget* parent, Qt::WindowFlags flags)
  : QMainWindow(const_cast<QWidget*>(parent), flags), last_directory(QDir::homePath())
{
  Register_Resources();
  document = Named(new TMeasurementSet(this), "document");
  edit_history = Named(new TEditHistory(document, this), "edit_history");
  message_box = Named(new TMessageBox(this), "message_box");
  calculate_square = Named(new TCalculateSquare(this), "calculate_square");
  solver_feed = Named(new TSolverFeed(calculate_square, document, this), "solver_feed");

  resize(951, 651);
  setAcceptDrops(true);

  Create_Actions();
  tool_bar = Named(new QToolBar(this), "tool_bar");
  addToolBar(Qt::TopToolBarArea, tool_bar);
  tool_bar->addAction(action_new);
  tool_bar->addSeparator();
  tool_bar->addAction(action_open);
  tool_bar->addAction(action_save);
  tool_bar->addSeparator();
  scene_view = Named(new TSceneView(tool_bar, this), "scene_view");

  Create_Central_Widget();
  Create_Editor_Dock();
  Create_Analysis_Dock();
  project_commands = Named(new TProjectCommands(document, edit_history, results_panel, scene_view,
                                              [this] { return last_directory; }, this),
                          "project_commands");
  Create_Menus();
  status_bar = Named(new QStatusBar(this), "status_bar");
  setStatusBar(status_bar);
  Set_Tab_Order();

  Connect_Actions();
  Connect_Document();
  Update_Save_Actions();
  Update_Title();

  Create_Solver();
  static_cast<QGridLayout*>(centralWidget()->layout())->addWidget(scene_view->Create_View(centralWidget()), 0, 0, 1, 5);
  Draw_Data();
  scene_view->Proj_ISO();
}

TOrthavel::~TOrthavel()
{
  Stop_Solver();
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
  action_undo = Named(edit_history->Stack()->createUndoAction(this, QStringLiteral("Undo")), "action_undo");
  action_undo->setShortcut(QKeySequence::Undo);
  action_redo = Named(edit_history->Stack()->createRedoAction(this, QStringLiteral("Redo")), "action_redo");
  action_redo->setShortcut(QKeySequence::Redo);
}

// The 3D view on top (placed once the solver runs), the results below it and
// a notice with the logo at the bottom.
void TOrthavel::Create_Central_Widget()
{
  QWidget* central = Named(new QWidget(this), "central_widget");
  QGridLayout* grid = new QGridLayout(central);
  grid->setSpacing(5);
  results_panel = Named(new TResultsPanel(calculate_square, Header_Font(), central), "results_panel");
  grid->addWidget(results_panel, 1, 0, 1, 5);

  QHBoxLayout* notice_row = new QHBoxLayout;
  QLabel* notice = Named(
    new QLabel(QStringLiteral("Squareness errors in mm/m from ball-bar and length measurements."), central),
    "notice_label");
  notice->setFont(Notice_Font());
  notice->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
  notice_row->addWidget(notice);
  notice_row->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
  QLabel* logo_label = Named(new QLabel(central), "logo_label");
  logo_label->setFixedSize(100, 40);
  logo_label->setPixmap(QPixmap(QStringLiteral(":/images/logo.png")));
  notice_row->addWidget(logo_label);
  grid->addLayout(notice_row, 2, 0, 1, 5);
  setCentralWidget(central);
}

void TOrthavel::Create_Editor_Dock()
{
  editor_dock = Named(new QDockWidget(QStringLiteral("Measurement Editor"), this), "editor_dock");
  editor_dock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  measurement_editor =
    Named(new TMeasurementEditor(document, edit_history, message_box, Header_Font(), editor_dock), "measurement_editor");
  measurement_editor->Set_Scene_Box_Source([this] { return scene_view->Scene_Box(); });
  editor_dock->setWidget(measurement_editor);
  addDockWidget(Qt::LeftDockWidgetArea, editor_dock);
}

// The uncertainty and residuals beside the results, in their sign convention and unit.
void TOrthavel::Create_Analysis_Dock()
{
  analysis_dock = Named(new QDockWidget(QStringLiteral("Analysis"), this), "analysis_dock");
  analysis_dock->setAllowedAreas(Qt::AllDockWidgetAreas);
  analysis_panel = Named(new TAnalysisPanel(Header_Font(), analysis_dock), "analysis_panel");
  analysis_dock->setWidget(analysis_panel);
  addDockWidget(Qt::RightDockWidgetArea, analysis_dock);
  Show_Display_Choice();
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
  file_menu->addAction(project_commands->Project_Information_Action());
  file_menu->addAction(project_commands->Project_Settings_Action());
  file_menu->addSeparator();
  file_menu->addAction(project_commands->Export_Report_Action());
  file_menu->addAction(project_commands->Export_Csv_Action());
  file_menu->addSeparator();
  QMenu* import_menu = Named(file_menu->addMenu(QStringLiteral("Import")), "import_menu");
  import_menu->addAction(action_import_ballbar);
  import_menu->addAction(action_import_laser);
  import_menu->addAction(action_import_stepgauge_square);
  import_menu->addAction(action_import_bns_results);
  file_menu->addSeparator();
  file_menu->addAction(action_quit);

  QMenu* edit_menu = Named(menuBar()->addMenu(QStringLiteral("Edit")), "edit_menu");
  edit_menu->addAction(action_undo);
  edit_menu->addAction(action_redo);
  edit_menu->addSeparator();
  edit_menu->addAction(measurement_editor->Duplicate_Action());
  edit_menu->addAction(measurement_editor->Diagonal_Set_Action());

  QMenu* view_menu = Named(menuBar()->addMenu(QStringLiteral("View")), "view_menu");
  view_menu->addAction(editor_dock->toggleViewAction());
  view_menu->addAction(analysis_dock->toggleViewAction());

  QMenu* help_menu = Named(menuBar()->addMenu(QStringLiteral("Help")), "help_menu");
  help_menu->addAction(action_about);
}

void TOrthavel::Set_Tab_Order()
{
  std::vector<QWidget*> order = measurement_editor->Tab_Order();
  order.push_back(results_panel->Sign_Combo());
  order.push_back(results_panel->Unit_Combo());
  for(size_t i = 1; i < order.size(); ++i)
    setTabOrder(order[i - 1], order[i]);
}

void TOrthavel::Connect_Actions()
{
  connect(action_new, &QAction::triggered, this, &TOrthavel::Menu_New);
  connect(action_open, &QAction::triggered, this, &TOrthavel::Menu_Open);
  connect(action_save, &QAction::triggered, this, &TOrthavel::Menu_Save);
  connect(action_save_as, &QAction::triggered, this, &TOrthavel::Menu_SaveAs);
  connect(project_commands, &TProjectCommands::Status_Message, this, [this](const QString& text) { Show_Status(status_bar, text); });
  connect(project_commands, &TProjectCommands::Failure, this, &TOrthavel::Report_Failure);
  connect(action_import_ballbar, &QAction::triggered, this, &TOrthavel::Menu_Import_BallBar);
  connect(action_import_laser, &QAction::triggered, this, &TOrthavel::Menu_Import_Laser);
  connect(action_import_stepgauge_square, &QAction::triggered, this, &TOrthavel::Menu_Import_Stepgauge_Square);
  connect(action_import_bns_results, &QAction::triggered, this, &TOrthavel::Menu_Import_BnS_Results);
  connect(action_quit, &QAction::triggered, this, &QWidget::close);
  connect(action_about, &QAction::triggered, this, &TOrthavel::Menu_About);
}

// The one place where a change of the set reaches the fit and the scene.
void TOrthavel::Connect_Document()
{
  connect(document, &TMeasurementSet::Set_Changed, solver_feed, &TSolverFeed::Hand_Over);
  connect(document, &TMeasurementSet::Settings_Changed, solver_feed, &TSolverFeed::Hand_Over);
  connect(solver_feed, &TSolverFeed::Left_Out_Named, results_panel, &TResultsPanel::Show_Left_Out);
  connect(document, &TMeasurementSet::Set_Changed, analysis_panel, &TAnalysisPanel::Forget_Records);
  connect(document, &TMeasurementSet::Record_Changed, scene_view, &TSceneView::Mark_Record_Changed);
  connect(document, &TMeasurementSet::Set_Changed, this, &TOrthavel::Draw_Data);
  connect(measurement_editor, &TMeasurementEditor::Selection_Changed, this, &TOrthavel::Draw_Data);
  connect(scene_view, &TSceneView::Measurement_Picked, measurement_editor, &TMeasurementEditor::Select_Row);
  connect(analysis_panel, &TAnalysisPanel::Record_Selected, measurement_editor, &TMeasurementEditor::Select_Record);
  connect(results_panel, &TResultsPanel::Display_Changed, this, &TOrthavel::Show_Display_Choice);
  connect(document, &TMeasurementSet::Set_Changed, this, &TOrthavel::Update_Save_Actions);
  connect(document, &TMeasurementSet::File_Name_Changed, this, &TOrthavel::Update_Title);
  connect(document, &TMeasurementSet::Modified_Changed, this, &TOrthavel::Update_Title);
}

// The estimate is written into the records before the editor reads it, so
// the connection to the document comes first. Thread_Started does nothing
// and runs in the solver thread as it starts; the close that waits for the
// solver follows Stopped(), which comes in this thread once it has finished.
void TOrthavel::Create_Solver()
{
  connect(calculate_square, &QThread::started, this, &TOrthavel::Thread_Started, Qt::DirectConnection);
  connect(calculate_square, &TCalculateSquare::Stopped, this, &TOrthavel::Thread_Finished);
  connect(calculate_square, &TCalculateSquare::Squareness_Updated, results_panel, &TResultsPanel::Update_Squareness);
  connect(calculate_square, &TCalculateSquare::Squareness_Updated, this, &TOrthavel::Show_Analysis);
  connect(calculate_square, &TCalculateSquare::Nominal_Ballbar_Length_Updated, this, &TOrthavel::Take_Ballbar_Estimate);
  connect(calculate_square, &TCalculateSquare::Nominal_Ballbar_Length_Updated, measurement_editor,
          &TMeasurementEditor::Update_Nominal_Ballbar_Length);
  calculate_square->start(QThread::NormalPriority);
}

// The window may be destroyed without a close (for instance by its owner); a
// thread object must not be destroyed while it still runs.
void TOrthavel::Stop_Solver()
{
  if(!calculate_square->isRunning())
    return;
  disconnect(calculate_square, &TCalculateSquare::Stopped, this, &TOrthavel::Thread_Finished);
  calculate_square->Request_Stop();
  calculate_square->wait();
}

// Where records enter the set, whatever could mislead the fit is named in a
// box the user must dismiss.
void TOrthavel::Warn_About_Records(const TEnteredRecords& entered, const QStringList& zero_directions)
{
  const QString text = Record_Warning_Text(entered, zero_directions, *document);
  if(!text.isEmpty())
    message_box->Ask(QStringLiteral("Check These Measurements"), text, QMessageBox::Warning, QMessageBox::Ok,
                     QMessageBox::Ok);
}

// Only a fit of the set as it stands may write its estimate into the records.
void TOrthavel::Take_Ballbar_Estimate()
{
  const TFitResult result = calculate_square->Result();
  if(result.serial == calculate_square->Data_Serial() && result.ballbar_count > 0)
    document->Set_Ballbar_Estimate(result.ballbar_length);
}

// The dock shows a fit of the set as it stands, whose residuals belong to
// the records row by row; an older fit is followed by a newer one.
void TOrthavel::Show_Analysis()
{
  const TSolverResult result = calculate_square->Result();
  if(result.serial == calculate_square->Data_Serial())
    analysis_panel->Show_Analysis(result, solver_feed->Fed_Records());
}

void TOrthavel::Show_Display_Choice()
{
  analysis_panel->Set_Display(results_panel->Sign_Convention(), results_panel->Unit());
}

void TOrthavel::Draw_Data()
{
  scene_view->Draw_Data(document->Records(), measurement_editor->List()->Selection_Flags());
}

// A set with records can always be saved; one without a file name goes through Save As.
void TOrthavel::Update_Save_Actions()
{
  action_save->setEnabled(!document->Is_Empty());
  action_save_as->setEnabled(!document->Is_Empty());
}

// "demo.square - Orthavel", with the desktop's unsaved mark while the set has changes.
void TOrthavel::Update_Title()
{
  const QString& path = document->File_Name();
  setWindowFilePath(path);
  const QString name = path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path).fileName();
  setWindowTitle(QStringLiteral("%1[*] - Orthavel").arg(name));
  setWindowModified(document->Is_Modified());
}

void TOrthavel::Thread_Started()
{
}

void TOrthavel::Thread_Finished()
{
  close();
}
