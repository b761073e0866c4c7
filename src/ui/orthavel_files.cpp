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
#include "measurement.h"
#include "measurement_factory.h"
#include "messagebox.h"

namespace
{
const int message_timeout = 4000;
const QString project_filter = QStringLiteral("Squareness Measurement Files (*.square)");
}

// The folder part of a path: everything before its last "/", or the whole
// path when it has none.
QString TOrthavel::Directory_Of(const QString& path)
{
  const int slash = path.lastIndexOf('/');
  return slash < 0 ? path : path.left(slash);
}

// Offers to save unsaved changes. Returns true when the command may go on: the
// user answered No, or answered Yes and the document was saved. A Yes whose
// save did not happen (dialog cancelled, write failed) keeps the document.
bool TOrthavel::Confirm_Discard_Changes()
{
  if(!data_modified)
    return true;

  message_box->setText(QStringLiteral("Data Not Saved"));
  message_box->setInformativeText(
    QStringLiteral("The squareness data has been modified.  Do you want to save the changes?"));
  message_box->setDetailedText(QString());
  message_box->setIcon(QMessageBox::Warning);
  message_box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  message_box->setDefaultButton(QMessageBox::Yes);

  switch(message_box->exec())
  {
    case QMessageBox::Yes:
      Menu_Save();
      return !data_modified;
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
  Clear_Measurement_Data();
  Draw_Data();
  file_name.clear();
  data_modified = false;
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
  data_modified = false;
}

void TOrthavel::Menu_SaveAs()
{
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Measurements"), last_directory,
                                                    project_filter);
  if(path.isEmpty())
    return;
  if(Save_Data(path))
  {
    file_name = path;
    data_modified = false;
  }
}

void TOrthavel::Menu_Save()
{
  if(file_name.isEmpty())
  {
    Menu_SaveAs();
    return;
  }
  if(Save_Data(file_name))
    data_modified = false;
}

void TOrthavel::Import_With_Dialog(const QString& title, const QString& filter)
{
  const QString path = QFileDialog::getOpenFileName(this, title, last_directory, filter);
  if(!path.isEmpty() && Import_Data(path))
    data_modified = true;
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
  file_name.clear();

  TMeasurementFactory factory;
  bool valid = false;
  const std::vector<TMeasurement*> imported = factory.Load_File(path, &valid);
  if(!valid)
  {
    status_bar->showMessage(factory.Last_Error(), message_timeout);
    return false;
  }
  if(imported.empty())
  {
    status_bar->showMessage(QStringLiteral("No measurement lengths found"), message_timeout);
    return false;
  }

  for(TMeasurement* measurement : imported)
    Add_Measurement(measurement, false);
  action_save->setEnabled(!measurements.empty());
  action_save_as->setEnabled(!measurements.empty());
  Hand_Measurements_To_Solver();
  Draw_Data();
  Proj_ISO();
  return true;
}

void TOrthavel::Open_Project(const QString& path)
{
  if(!Confirm_Discard_Changes())
    return;
  Load_Data(path);
  data_modified = false;
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
    status_bar->showMessage(QStringLiteral("ERR:  Single input file expected"), message_timeout);
    return;
  }

  Open_File(urls.front().toLocalFile());
}

// A project file opens (after the unsaved-changes prompt); any other file is imported.
void TOrthavel::Open_File(const QString& path)
{
  if(path.endsWith(QStringLiteral(".square"), Qt::CaseInsensitive))
    Open_Project(path);
  else if(Import_Data(path))
    data_modified = true;
}

void TOrthavel::Menu_About()
{
  message_box->setText(QStringLiteral("Help - About"));
  message_box->setInformativeText(QStringLiteral("Orthavel - Version 3.1"));
  message_box->setDetailedText(QString());
  message_box->setIcon(QMessageBox::Information);
  message_box->setStandardButtons(QMessageBox::Ok);
  message_box->setDefaultButton(QMessageBox::Ok);
  message_box->exec();
}

void TOrthavel::closeEvent(QCloseEvent* event)
{
  if(!Confirm_Discard_Changes())
  {
    event->ignore();
    return;
  }
  // Answering No discards the changes, so the close that follows the solver's stop does not ask again.
  data_modified = false;

  if(calculate_square->isRunning())
  {
    calculate_square->Request_Stop();
    event->ignore();
    return;
  }
  event->accept();
}
