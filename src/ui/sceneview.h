// The 3D view of the main window with its tool-bar commands: fit, the four
// standard views and the three mouse modes (pan, rotate 2D, rotate 3D), of
// which exactly one is on. Draws the measurement scene on request; after one
// record changed only that record is drawn again. A notice in the view says
// when the scene is drawn in line mode, and a click tells which measurement
// it picked. A scene of many records is built a slice of records at a time,
// one slice per turn of the event loop, and painted as it grows.
#ifndef SCENEVIEW_H
#define SCENEVIEW_H

#include <QObject>
#include <QTimer>
#include <utility>
#include <vector>

#include "scenebuilder.h"

class QPoint;
class QLabel;
class QToolBar;
class QToolButton;
class QWidget;
class TGraphicWidget;
class TMeasurement;

class TSceneView : public QObject
{
  Q_OBJECT

public:
  // Creates the view buttons in the tool bar; the view itself comes with Create_View.
  TSceneView(QToolBar* tool_bar, QObject* parent);

  // Creates the view as a child of view_parent, in pan mode.
  TGraphicWidget* Create_View(QWidget* view_parent);
  TGraphicWidget* View() const { return graphic_widget; }
  // The box of the scene drawn last; new hand-made records start at its centre.
  const TSceneBox& Scene_Box() const { return d_scene_box; }

  // Draws the records; when only the record marked changed differs from the
  // scene drawn last, draws that one alone, and when only the selection of a
  // large scene differs, only the records whose selection changed.
  void Draw_Data(std::vector<TMeasurement*> records, std::vector<bool> selected);

  // A click this near to a drawn measurement's line picks it, pixels.
  static constexpr double PICK_TOLERANCE = 5.0;
  // Scenes of more records than this are built a slice at a time, from the
  // next turn of the event loop on, in chunks of BUILD_CHUNK records.
  static constexpr size_t BUILD_SLICE = 40000;
  static constexpr size_t BUILD_CHUNK = 4000;
  // True while records of the scene are still to be drawn.
  bool Building() const { return d_built < d_drawn_records.size(); }

signals:
  // A left click in the view (without a drag) near the measurement of this row.
  void Measurement_Picked(int row);

public slots:
  // The record at row has new values; the next Draw_Data draws it again.
  void Mark_Record_Changed(int row);
  void Mode_Pan(bool checked);
  void Mode_Rotate_2d(bool checked);
  void Mode_Rotate_3d(bool checked);
  void Scale_To_Fit();
  void Proj_XY();
  void Proj_YZ();
  void Proj_ZX();
  void Proj_ISO();

private:
  void Fill_Tool_Bar(QToolBar* tool_bar);
  void Connect_Buttons();
  void Set_Mode_Buttons(bool pan, bool rotate_2d, bool rotate_3d);
  void Pick(const QPoint& position);
  bool Only_Marked_Record_Changed(size_t record_count, const std::vector<bool>& selected) const;
  bool Only_Selection_Changed(const std::vector<TMeasurement*>& records, const std::vector<bool>& selected) const;
  std::vector<size_t> Rows_Selected_Otherwise(const std::vector<bool>& selected) const;
  void Build_Next_Slice();
  void Fit_When_Built();

  TGraphicWidget* graphic_widget = nullptr;
  QToolButton* pan_button;
  QToolButton* rotate_2d_button;
  QToolButton* rotate_3d_button;
  QToolButton* scale_to_fit_button;
  QToolButton* proj_xy_button;
  QToolButton* proj_yz_button;
  QToolButton* proj_zx_button;
  QToolButton* proj_iso_button;
  QLabel* line_mode_notice = nullptr;
  TSceneBox d_scene_box;
  // The records drawn last (every change to the set draws them anew), their
  // selection, the row changed since (-1 for none) and how many of them are
  // in the view so far.
  std::vector<TMeasurement*> d_drawn_records;
  std::vector<bool> d_drawn_selection;
  int d_changed_row = -1;
  size_t d_built = 0;
  // Start and end point of each record drawn last, in row order; made when
  // a click first needs them.
  std::vector<std::pair<TVector3, TVector3>> d_segments;
  bool d_fit_when_built = false;
  QTimer d_build_timer;
};

#endif
