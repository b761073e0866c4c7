// File commands of the main window: New, Open, Save, Save As, Import, drag
// and drop, About, and closing with unsaved changes.
#include "orthavel.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

#include "backgroundread.h"
#include "calculatesquare.h"
#include "edithistory.h"
#include "importmessages.h"
#include "measurement_factory.h"
#include "measurementset.h"
#include "messagebox.h"
#include "projectfile.h"
#include "recordwarnings.h"
#include "sceneview.h"
#include "uihelpers.h"

namespace
{
const QString project_filter = QStringLiteral("Squareness Measurement Files (*.square)");
const QString PROJECT_SUFFIX = QStringLiteral(".square");

// The folder part of a path: everything before its last "/", or the whole
// path when it has none.
QString Directory_Of(const QString& path)
{
  const int slash = path.lastIndexOf('/');
  return slash < 0 ? path : path.left(slash);
}
}

// Offers to save unsaved changes. Returns true when the command may go on: the
// user answered No, or answered Yes and the document was saved. A Yes whose
// save did not happen (dialog cancelled, write failed) keeps the document.
bool TOrthavel::Confirm_Discard_Changes()
{
  if(!document->Is_Modified())
    return true;

  const int answer = message_box->Ask(
    QStringLiteral("Data Not Saved"),
    QStringLiteral("The squareness data has been modified.  Do you want to save the changes?"), QMessageBox::Warning,
    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
  switch(answer)
  {
    case QMessageBox::Yes:
      Menu_Save();
      return !document->Is_Modified();
    case QMessageBox::No:
      return true;
    default:
      return false;
  }
}

void TOrthavel::Menu_New()
{
  if(!Confirm_Discard_Changes())
    return;
  document->Reset();
  document->Set_File_Name(QString());
  edit_history->Clear();
}

void TOrthavel::Menu_Open()
{
  if(!Confirm_Discard_Changes())
    return;
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open Measurements"), last_directory,
                                                    project_filter);
  if(path.isEmpty())
    return;
  Open_Project_File(path);
}

// A name typed without a suffix gets ".square", so that the Open dialog's filter shows the file.
void TOrthavel::Menu_SaveAs()
{
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Measurements"), last_directory,
                                              project_filter);
  if(path.isEmpty())
    return;
  if(QFileInfo(path).suffix().isEmpty())
    path += PROJECT_SUFFIX;
  if(Save_Project(path))
    document->Set_File_Name(path);
}

void TOrthavel::Menu_Save()
{
  if(document->File_Name().isEmpty())
    Menu_SaveAs();
  else
    Save_Project(document->File_Name());
}

// The file commands' save: a failure is shown in a box as well.
bool TOrthavel::Save_Project(const QString& path)
{
  QString error;
  if(!TProjectFile::Save(path, document->Records(), &error, document->Settings()))
  {
    Report_Failure(QStringLiteral("Cannot Save Project"), error);
    return false;
  }
  edit_history->Mark_Saved();
  Show_Status(status_bar, QStringLiteral("Saved %1").arg(QFileInfo(path).fileName()));
  return true;
}

void TOrthavel::Import_With_Dialog(const QString& title, const QString& filter)
{
  const QString path = QFileDialog::getOpenFileName(this, title, last_directory, filter);
  if(!path.isEmpty())
    Import_Data(path);
}

void TOrthavel::Menu_Import_BallBar()
{
  Import_With_Dialog(QStringLiteral("Import BallBar"), QStringLiteral("BallBar Files (*.dat);;All Files (*.*)"));
}

void TOrthavel::Menu_Import_Laser()
{
  Import_With_Dialog(QStringLiteral("Import Laser"), QStringLiteral("Laser Files (*.dat);;All Files (*.*)"));
}

void TOrthavel::Menu_Import_Stepgauge_Square()
{
  Import_With_Dialog(QStringLiteral("Import Stepgauge Square"),
                     QStringLiteral("Laser Files (*.dat);;All Files (*.*)"));
}

void TOrthavel::Menu_Import_BnS_Results()
{
  Import_With_Dialog(QStringLiteral("Import BnS Results"), QStringLiteral("XML Files (*.xml);;All Files (*.*)"));
}

// Appends the file's records, read in the background when the file is large.
// What was added and skipped is counted on the status bar; a failure, skipped
// lines and doubtful records are shown in a box. A cancelled import changes nothing.
bool TOrthavel::Import_Data(const QString& path)
{
  last_directory = Directory_Of(path);
  TMeasurementFactory factory;
  bool valid = false;
  std::vector<std::unique_ptr<TMeasurement>> owned;
  TEnteredRecords entered;
  const bool completed = TBackgroundRead::Run(
    this, path, QStringLiteral("Importing %1").arg(QFileInfo(path).fileName()), [&](const TReadProgress& progress) {
      factory.Set_Read_Progress(progress);
      const std::vector<TMeasurement*> read = factory.Load_File(path, &valid);
      owned.reserve(read.size());
      for(TMeasurement* record : read)
      {
        owned.emplace_back(record);
        entered.Add(*record);
      }
    });
  if(!completed)
  {
    Show_Status(status_bar, QStringLiteral("Import cancelled"));
    return false;
  }

  document->Set_File_Name(QString());
  const TImportReport& report = factory.Last_Report();
  if(!valid)
  {
    Report_Failure(QStringLiteral("Cannot Import"), factory.Last_Error());
    return false;
  }
  if(owned.empty())
  {
    Show_Status(status_bar, QStringLiteral("No measurement lengths found"));
    message_box->Ask(QStringLiteral("No measurement lengths found"),
                     QStringLiteral("%1 gave no measurement.  %2")
                       .arg(QFileInfo(path).fileName(), report.nothing_found_reason)
                       .toHtmlEscaped(),
                     QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok);
    return false;
  }

  Add_Imported_Records(QFileInfo(path).fileName(), std::move(owned));
  const QString summary = Import_Summary(entered.ballbars, entered.lengths, report, QFileInfo(path).fileName());
  Show_Status(status_bar, summary);
  const QString warnings =
    Skipped_Lines_Text(report) + Record_Warning_Text(entered, report.zero_direction_records, *document);
  if(!warnings.isEmpty())
    message_box->Ask(summary.toHtmlEscaped(), warnings, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok);
  return true;
}

// The one step in which an import's records enter the document.
void TOrthavel::Add_Imported_Records(const QString& file_name, std::vector<std::unique_ptr<TMeasurement>> records)
{
  edit_history->Push_Insert(QStringLiteral("Import %1").arg(file_name), document->Count(), std::move(records));
  scene_view->Proj_ISO();
}

bool TOrthavel::Save_Data(const QString& path) const
{
  QString error;
  if(TProjectFile::Save(path, document->Records(), &error, document->Settings()))
    return true;
  Show_Status(status_bar, error);
  return false;
}

bool TOrthavel::Load_Data(const QString& path)
{
  QString error;
  const bool loaded = Load_Project(path, &error);
  if(!error.isEmpty())
    Show_Status(status_bar, error);
  return loaded;
}

// Replaces the set by the project's records, read in the background when the
// file is large. When the file cannot be read as a project, leaves the set,
// its file name and its modified state as they were and gives the reason; a
// cancelled load leaves them too, with no reason.
bool TOrthavel::Load_Project(const QString& path, QString* error)
{
  last_directory = Directory_Of(path);
  TProjectFile::TRecords records;
  QStringList zero_directions;
  TProjectSettings settings;
  bool read = false;
  const bool completed = TBackgroundRead::Run(
    this, path, QStringLiteral("Opening %1").arg(QFileInfo(path).fileName()), [&](const TReadProgress& progress) {
      read = TProjectFile::Load(path, &records, error, &zero_directions, &settings, progress);
    });
  if(!completed)
  {
    error->clear();
    Show_Status(status_bar, QStringLiteral("Open cancelled"));
    return false;
  }
  if(!read)
  {
    *error = Instrument_File_Hint(path, *error);
    return false;
  }

  document->Reset(std::move(records), settings);
  document->Set_File_Name(path);
  edit_history->Clear();
  scene_view->Proj_ISO();
  Show_Status(status_bar, QStringLiteral("Opened %1").arg(QFileInfo(path).fileName()));
  TEnteredRecords loaded;
  for(int row = 0; row < document->Count(); ++row)
    loaded.Add(*document->At(row));
  Warn_About_Records(loaded, zero_directions);
  return true;
}

// An instrument data file given to Open is named as such, with the way to add it.
QString TOrthavel::Instrument_File_Hint(const QString& path, const QString& error)
{
  QFile file(path);
  if(!file.open(QIODevice::ReadOnly | QIODevice::Text))
    return error;
  const QByteArray head = file.read(64 * 1024);
  if(TMeasurementFactory::Determine_File_Type(head) == TMeasurementFactory::IMPORT_UNRECOGNIZED)
    return error;
  return QStringLiteral("ERR:  '%1' is an instrument data file, not a project.  Use File > Import to add its "
                        "measurements to the set.")
    .arg(path);
}

void TOrthavel::Open_Project(const QString& path)
{
  if(!Confirm_Discard_Changes())
    return;
  Open_Project_File(path);
}

// A failure is shown in a box as well; a cancel is not a failure.
void TOrthavel::Open_Project_File(const QString& path)
{
  QString error;
  if(!Load_Project(path, &error) && !error.isEmpty())
    Report_Failure(QStringLiteral("Cannot Open Project"), error);
}

// Shown on the status bar and in a box the user must dismiss.
void TOrthavel::Report_Failure(const QString& title, const QString& message)
{
  Show_Status(status_bar, message);
  message_box->Ask(title, message.toHtmlEscaped(), QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok);
}

void TOrthavel::dragEnterEvent(QDragEnterEvent* event)
{
  if(event->mimeData()->hasFormat(QStringLiteral("text/uri-list")))
    event->acceptProposedAction();
}

void TOrthavel::dropEvent(QDropEvent* event)
{
  event->acceptProposedAction();
  const QList<QUrl> urls = event->mimeData()->urls();
  if(urls.size() != 1)
  {
    Show_Status(status_bar, QStringLiteral("ERR:  Single input file expected"));
    return;
  }

  Open_File(urls.front().toLocalFile());
}

// A project file opens (after the unsaved-changes prompt); any other file is imported.
void TOrthavel::Open_File(const QString& path)
{
  if(path.endsWith(PROJECT_SUFFIX, Qt::CaseInsensitive))
    Open_Project(path);
  else
    Import_Data(path);
}

void TOrthavel::Menu_About()
{
  message_box->Ask(QStringLiteral("Help - About"), QStringLiteral("Orthavel - Version 3.1"), QMessageBox::Information,
                   QMessageBox::Ok, QMessageBox::Ok);
}

void TOrthavel::closeEvent(QCloseEvent* event)
{
  if(!Confirm_Discard_Changes())
  {
    event->ignore();
    return;
  }
  // Answering No discards the changes, so the close that follows the solver's stop does not ask again.
  document->Set_Modified(false);

  if(calculate_square->isRunning())
  {
    calculate_square->Request_Stop();
    event->ignore();
    return;
  }
  event->accept();
}
