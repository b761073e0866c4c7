// The window's report commands: Project Information, Export Report (PDF or
// HTML) and Export Measurements (CSV). The results are computed afresh from
// the set as it stands, as the solver computes them.
#include "orthavel.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>
#include <QStatusBar>

#include "measurementset.h"
#include "projectinformationdialog.h"
#include "reportfile.h"
#include "reportpictures.h"
#include "resultscsv.h"
#include "resultspanel.h"
#include "sceneview.h"
#include "uihelpers.h"

void TOrthavel::Menu_Project_Information()
{
  TProjectInformationDialog dialog(document->Settings().information, this);
  dialog.setObjectName(QStringLiteral("project_information_dialog"));
  if(dialog.exec() == QDialog::Accepted)
    Set_Project_Information(dialog.Information());
}

// A change marks the project modified, so it is saved with it.
void TOrthavel::Set_Project_Information(const TProjectInformation& information)
{
  TProjectSettings settings = document->Settings();
  settings.information = information;
  document->Set_Settings(settings);
}

TAngleUnit TOrthavel::Report_Unit() const
{
  return DEFAULT_ANGLE_UNIT;
}

TResultsDisplay TOrthavel::Report_Display() const
{
  TResultsDisplay display;
  display.sign_convention = results_panel->Sign_Combo()->currentIndex();
  display.unit = Report_Unit();
  return display;
}

TReportContent TOrthavel::Report_Content() const
{
  TReportContent content;
  content.results = Compute_Set_Results(*document);
  content.display = Report_Display();
  content.information = document->Settings().information;
  content.source = document->File_Name().isEmpty() ? QString() : QFileInfo(document->File_Name()).fileName();
  content.created = QDateTime::currentDateTime();
  return content;
}

// The name chosen in a save dialog, with the suffix added when none was typed;
// empty when the dialog was cancelled.
QString TOrthavel::Export_File_Name(const QString& title, const QString& filter, const QString& suffix)
{
  const QString project = document->File_Name();
  const QString proposal =
    project.isEmpty() ? last_directory : QFileInfo(project).dir().filePath(QFileInfo(project).completeBaseName() + suffix);
  QString path = QFileDialog::getSaveFileName(this, title, proposal, filter);
  if(!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
    path += suffix;
  return path;
}

void TOrthavel::Menu_Export_Report()
{
  const QString path = Export_File_Name(QStringLiteral("Export Report"),
                                        QStringLiteral("PDF Files (*.pdf);;HTML Files (*.html *.htm)"),
                                        QStringLiteral(".pdf"));
  if(path.isEmpty())
    return;
  TReportContent content = Report_Content();
  Add_Report_Pictures(&content, document->Records(), View_Orientation_Of(*scene_view->View()));
  QString error;
  if(!Write_Report(path, content, &error))
  {
    Report_Failure(QStringLiteral("Cannot Export Report"), error);
    return;
  }
  Show_Status(status_bar, QStringLiteral("Exported the report to %1").arg(QFileInfo(path).fileName()));
}

void TOrthavel::Menu_Export_Csv()
{
  const QString path =
    Export_File_Name(QStringLiteral("Export Measurements"), QStringLiteral("CSV Files (*.csv)"), QStringLiteral(".csv"));
  if(path.isEmpty())
    return;
  const QString text = Results_Csv(Compute_Set_Results(*document), Report_Display());
  QSaveFile file(path);
  if(!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
  {
    Report_Failure(QStringLiteral("Cannot Export Measurements"),
                   QStringLiteral("ERR:  Cannot write file '%1'.  Reason: %2").arg(path, file.errorString()));
    return;
  }
  Show_Status(status_bar, QStringLiteral("Exported the measurements to %1").arg(QFileInfo(path).fileName()));
}
