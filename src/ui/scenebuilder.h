// Draws a measurement set into the 3D view: each record as a solid in its
// own data set (a ball bar as a rod between two spheres, a length record as a
// square bar), the selected ones in blue, and a grey wire box around them.
// A set of more than LINE_MODE_LIMIT records is drawn in line mode: each
// record as a line between its end points, the ends marked.
#ifndef SCENEBUILDER_H
#define SCENEBUILDER_H

#include <vector>

#include "vector3.h"

class TGraphicWidget;
class TMeasurement;

// The box around the end points of every record; (-500, -500, -500) to
// (500, 500, 500) for an empty set.
struct TSceneBox
{
  TVector3 minimum{-500.0, -500.0, -500.0};
  TVector3 maximum{500.0, 500.0, 500.0};

  TVector3 Centre() const { return (minimum + maximum) / 2.0; }
};

class TSceneBuilder
{
public:
  static constexpr size_t LINE_MODE_LIMIT = 1000;
  static bool Line_Mode(size_t record_count) { return record_count > LINE_MODE_LIMIT; }

  static TSceneBox Scene_Box(const std::vector<TMeasurement*>& records);

  // Replaces the view's data sets by the scene of the records, in list
  // order, and schedules a repaint; the camera is not moved. selected[i]
  // tells whether records[i] is drawn as selected.
  static TSceneBox Draw(TGraphicWidget* view, const std::vector<TMeasurement*>& records,
                        const std::vector<bool>& selected);
  // Draw in steps: Begin_Draw empties the view for a scene of record_count
  // records, Draw_Rows adds the records of rows first to end (each row in
  // turn, from 0 on), and Finish_Draw adds the box around them all.
  static void Begin_Draw(TGraphicWidget* view, size_t record_count);
  static void Draw_Rows(TGraphicWidget* view, const std::vector<TMeasurement*>& records,
                        const std::vector<bool>& selected, size_t first, size_t end);
  static TSceneBox Finish_Draw(TGraphicWidget* view, const std::vector<TMeasurement*>& records);

  // Draws the record at row again, in the mode of the whole set, and the box
  // around the set; the other records' data sets stay as they are. The view
  // must hold the scene Draw made of the same number of records.
  static TSceneBox Redraw_Record(TGraphicWidget* view, const std::vector<TMeasurement*>& records, size_t row,
                                 bool selected);
  // Draws the records of the rows again as selected[row] now says; the other
  // records and the box stay as they are. The view must hold the scene Draw
  // made of the same records.
  static void Redraw_Selection(TGraphicWidget* view, const std::vector<TMeasurement*>& records,
                               const std::vector<size_t>& rows, const std::vector<bool>& selected);

  // The solid of one record, added to the data set id.
  static void Draw_Measurement(TGraphicWidget* view, int id, const TMeasurement& record);
  // The line of one record between its end points, added to the data set id.
  static void Draw_Measurement_Line(TGraphicWidget* view, int id, const TMeasurement& record);

private:
  static void Draw_Record(TGraphicWidget* view, int id, const TMeasurement& record, bool line_mode);
  static void Draw_Row_Again(TGraphicWidget* view, const std::vector<TMeasurement*>& records, size_t row,
                             bool selected);
};

#endif
