// Draws a measurement set into the 3D view: each record as a solid in its
// own data set (a ball bar as a rod between two spheres, a length record as a
// square bar), the selected ones in blue, and a grey wire box around them.
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
  static TSceneBox Scene_Box(const std::vector<TMeasurement*>& records);

  // Replaces the view's data sets by the scene of the records, in list
  // order, and schedules a repaint; the camera is not moved. selected[i]
  // tells whether records[i] is drawn as selected.
  static TSceneBox Draw(TGraphicWidget* view, const std::vector<TMeasurement*>& records,
                        const std::vector<bool>& selected);

  // The solid of one record, added to the data set id.
  static void Draw_Measurement(TGraphicWidget* view, int id, const TMeasurement& record);
};

#endif
