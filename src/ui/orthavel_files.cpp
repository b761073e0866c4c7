// File commands of the main window: New, Open, Save, Save As, Import, drag
// and drop, About, and closing with unsaved changes.
#include "orthavel.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

#include "calculatesquare.h"
#include "measurement_factory.h"
#include "measurementset.h"
#include "messagebox.h"
#include "projectfile.h"
#include "sceneview.h"
#include "uihelpers.h"

namespace
{
const QString project_filter = QStringLiteral("Squareness Measurement Files (*.square)");

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
}

void TOrthavel::Menu_Open()
{
  if(!Confirm_Discard_Changes())
    return;
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open Measurements"), last_directory,
                                                    project_filter);
  if(path.isEmpty())
    return;
  Load_Data(path);
  document->Set_Modified(false);
}

void TOrthavel::Menu_SaveAs()
{
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Measurements"), last_directory,
                                                    project_filter);
  if(path.isEmpty())
    return;
  if(Save_Data(path))
  {
    document->Set_File_Name(path);
    document->Set_Modified(false);
  }
}

void TOrthavel::Menu_Save()
{
  if(document->File_Name().isEmpty())
  {
    Menu_SaveAs();
    return;
  }
  if(Save_Data(document->File_Name()))
    document->Set_Modified(false);
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

bool TOrthavel::Import_Data(const QString& path)
{
  last_directory = Directory_Of(path);
  document->Set_File_Name(QString());

  TMeasurementFactory factory;
  bool valid = false;
  const std::vector<TMeasurement*> imported = factory.Load_File(path, &valid);
  if(!valid)
  {
    Show_Status(status_bar, factory.Last_Error());
    return false;
  }
  if(imported.empty())
  {
    Show_Status(status_bar, QStringLiteral("No measurement lengths found"));
    return false;
  }

  std::vector<std::unique_ptr<TMeasurement>> records(imported.begin(), imported.end());
  document->Append(std::move(records));
  action_save->setEnabled(!document->Is_Empty());
  action_save_as->setEnabled(!document->Is_Empty());
  scene_view->Proj_ISO();
  return true;
}

bool TOrthavel::Save_Data(const QString& path) const
{
  QString error;
  if(TProjectFile::Save(path, document->Records(), &error))
    return true;
  Show_Status(status_bar, error);
  return false;
}

// A load that fails keeps the records read before the fault on show.
bool TOrthavel::Load_Data(const QString& path)
{
  last_directory = Directory_Of(path);
  action_save->setEnabled(false);
  action_save_as->setEnabled(false);

  TProjectFile::TRecords records;
  QString error;
  const bool loaded = TProjectFile::Load(path, &records, &error);
  document->Reset(std::move(records));
  if(loaded)
  {
    action_save->setEnabled(!document->Is_Empty());
    action_save_as->setEnabled(!document->Is_Empty());
    document->Set_File_Name(path);
  }
  else
  {
    Show_Status(status_bar, error);
  }
  scene_view->Proj_ISO();
  return loaded;
}

void TOrthavel::Open_Project(const QString& path)
{
  if(!Confirm_Discard_Changes())
    return;
  Load_Data(path);
  document->Set_Modified(false);
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
  if(path.endsWith(QStringLiteral(".square"), Qt::CaseInsensitive))
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
