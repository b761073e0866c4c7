#include "projectcommands.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>

#include "edithistory.h"
#include "measurementset.h"
#include "projectinformationdialog.h"
#include "projectsettingsdialog.h"
#include "reportfile.h"
#include "reportpictures.h"
#include "resultscsv.h"
#include "resultspanel.h"
#include "sceneview.h"
#include "uihelpers.h"

TProjectCommands::TProjectCommands(TMeasurementSet* document, TEditHistory* history, const TResultsPanel* results_panel,
                                 const TSceneView* scene_view, std::function<QString()> last_directory,
                                 QWidget* window)
  : QObject(window),
    d_document(document),
    d_history(history),
    d_results_panel(results_panel),
    d_scene_view(scene_view),
    d_last_directory(std::move(last_directory)),
    d_window(window)
{
  action_project_information =
    Named(new QAction(QStringLiteral("Project Information…"), this), "action_project_information");
  action_project_settings =
    Named(new QAction(QString::fromUtf8("Project Settings\xE2\x80\xA6"), this), "action_project_settings");
  action_export_report = Named(new QAction(QStringLiteral("Export Report…"), this), "action_export_report");
  action_export_csv = Named(new QAction(QStringLiteral("Export Measurements (CSV)…"), this), "action_export_csv");
  connect(action_project_information, &QAction::triggered, this, &TProjectCommands::Menu_Project_Information);
  connect(action_project_settings, &QAction::triggered, this, &TProjectCommands::Menu_Project_Settings);
  connect(action_export_report, &QAction::triggered, this, &TProjectCommands::Menu_Export_Report);
  connect(action_export_csv, &QAction::triggered, this, &TProjectCommands::Menu_Export_Csv);
}

// A change is one undoable step and marks the project modified, so it is
// saved with it.
void TProjectCommands::Menu_Project_Information()
{
  TProjectInformationDialog dialog(d_document->Settings().information, d_window);
  Named(&dialog, "project_information_dialog");
  if(dialog.exec() != QDialog::Accepted)
    return;
  TProjectSettings settings = d_document->Settings();
  settings.information = dialog.Information();
  d_history->Push_Settings(QStringLiteral("Project Information"), settings);
}

void TProjectCommands::Menu_Project_Settings()
{
  TProjectSettingsDialog dialog(d_document->Settings(), d_window);
  Named(&dialog, "project_settings_dialog");
  if(dialog.exec() == QDialog::Accepted)
    d_history->Push_Settings(QStringLiteral("Project Settings"), dialog.Settings());
}

// As the results panel shows the errors now.
TResultsDisplay TProjectCommands::Display() const
{
  TResultsDisplay display;
  display.sign_convention = d_results_panel->Sign_Convention();
  display.unit = d_results_panel->Unit();
  return display;
}

TReportContent TProjectCommands::Report_Content() const
{
  TReportContent content;
  content.results = Compute_Set_Results(*d_document);
  content.display = Display();
  content.information = d_document->Settings().information;
  content.source = d_document->File_Name().isEmpty() ? QString() : QFileInfo(d_document->File_Name()).fileName();
  content.created = QDateTime::currentDateTime();
  return content;
}

// The name chosen in a save dialog, with the suffix added when none was typed;
// empty when the dialog was cancelled.
QString TProjectCommands::Export_File_Name(const QString& title, const QString& filter, const QString& suffix)
{
  const QString project = d_document->File_Name();
  const QString proposal =
    project.isEmpty() ? d_last_directory() : QFileInfo(project).dir().filePath(QFileInfo(project).completeBaseName() + suffix);
  QString path = QFileDialog::getSaveFileName(d_window, title, proposal, filter);
  if(!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
    path += suffix;
  return path;
}

void TProjectCommands::Menu_Export_Report()
{
  const QString path = Export_File_Name(QStringLiteral("Export Report"),
                                        QStringLiteral("PDF Files (*.pdf);;HTML Files (*.html *.htm)"),
                                        QStringLiteral(".pdf"));
  if(path.isEmpty())
    return;
  TReportContent content = Report_Content();
  Add_Report_Pictures(&content, d_document->Records(), View_Orientation_Of(*d_scene_view->View()));
  QString error;
  if(!Write_Report(path, content, &error))
  {
    emit Failure(QStringLiteral("Cannot Export Report"), error);
    return;
  }
  emit Status_Message(QStringLiteral("Exported the report to %1").arg(QFileInfo(path).fileName()));
}

void TProjectCommands::Menu_Export_Csv()
{
  const QString path =
    Export_File_Name(QStringLiteral("Export Measurements"), QStringLiteral("CSV Files (*.csv)"), QStringLiteral(".csv"));
  if(path.isEmpty())
    return;
  const QString text = Results_Csv(Compute_Set_Results(*d_document), Display());
  QSaveFile file(path);
  if(!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
  {
    emit Failure(QStringLiteral("Cannot Export Measurements"),
                 QStringLiteral("ERR:  Cannot write file '%1'.  Reason: %2").arg(path, file.errorString()));
    return;
  }
  emit Status_Message(QStringLiteral("Exported the measurements to %1").arg(QFileInfo(path).fileName()));
}
