// The pictures of the calibration report, drawn offscreen by the same code
// that draws the window: the 3D scene (TSceneBuilder into a TGraphicWidget)
// at print resolution, seen from the window's current direction or from the
// isometric one the window starts with; and the residual chart.
#ifndef REPORTPICTURES_H
#define REPORTPICTURES_H

#include <QImage>
#include <QSize>
#include <vector>

#include "reportcontent.h"
#include "vector3.h"

class TGraphicWidget;
class TMeasurement;

// Where the camera looks from (toward the viewer) and which way is up.
struct TViewOrientation
{
  TVector3 direction;
  TVector3 up;
};

// The isometric view of the window's ISO button.
TViewOrientation Iso_View_Orientation();
// The orientation of a view's camera as it stands.
TViewOrientation View_Orientation_Of(const TGraphicWidget& view);

// The scene of the records (none drawn as selected) fitted to a picture of this many pixels.
QImage Scene_Picture(const std::vector<TMeasurement*>& records, const TViewOrientation& orientation,
                     const QSize& size);

// The residual chart of the results (the window's chart) drawn into a picture
// of the logical size, at REPORT_PICTURE_SCALE pixels per logical pixel; null
// when no record has a deviation after the fit.
QImage Residual_Chart_Picture(const TSetResults& results, const QSize& size);

// Puts the report's pictures into the content: the scene of the records and
// the residual chart of the content's results, at print resolution.
void Add_Report_Pictures(TReportContent* content, const std::vector<TMeasurement*>& records,
                         const TViewOrientation& orientation);

#endif
