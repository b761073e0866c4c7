// The project commands of the window's File menu: Project Information and
// Project Settings, each change one undoable step; Export Report (PDF or
// HTML, by the file's suffix) and Export Measurements (CSV), whose results
// are computed afresh from the set as it stands, as the solver computes them,
// and shown in the sign convention and unit of the results panel.
#ifndef PROJECTCOMMANDS_H
#define PROJECTCOMMANDS_H

#include <QObject>
#include <QString>
#include <functional>

#include "reportcontent.h"

class QAction;
class QWidget;
class TEditHistory;
class TMeasurementSet;
class TResultsPanel;
class TSceneView;

class TProjectCommands : public QObject
{
  Q_OBJECT

public:
  // last_directory gives the folder proposed for a set without a file name.
  TProjectCommands(TMeasurementSet* document, TEditHistory* history, const TResultsPanel* results_panel,
                  const TSceneView* scene_view, std::function<QString()> last_directory, QWidget* window);

  QAction* Project_Information_Action() const { return action_project_information; }
  QAction* Project_Settings_Action() const { return action_project_settings; }
  QAction* Export_Report_Action() const { return action_export_report; }
  QAction* Export_Csv_Action() const { return action_export_csv; }

  // What the report holds for the set as it stands, without its pictures.
  TReportContent Report_Content() const;

signals:
  void Status_Message(const QString& text);
  void Failure(const QString& title, const QString& message);

public slots:
  void Menu_Project_Information();
  void Menu_Project_Settings();
  void Menu_Export_Report();
  void Menu_Export_Csv();

private:
  TResultsDisplay Display() const;
  QString Export_File_Name(const QString& title, const QString& filter, const QString& suffix);

  TMeasurementSet* d_document;
  TEditHistory* d_history;
  const TResultsPanel* d_results_panel;
  const TSceneView* d_scene_view;
  std::function<QString()> d_last_directory;
  QWidget* d_window;
  QAction* action_project_information;
  QAction* action_project_settings;
  QAction* action_export_report;
  QAction* action_export_csv;
};

#endif
