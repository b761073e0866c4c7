// Everything a calibration report shows: the results of the set in a sign
// convention and unit, the project information, where the set came from, when
// the report was made, and the pictures the window draws (the 3D view and the
// residual chart), which the caller renders.
#ifndef REPORTCONTENT_H
#define REPORTCONTENT_H

#include <QDateTime>
#include <QImage>
#include <QString>

#include "projectinformation.h"
#include "setresults.h"

struct TReportContent
{
  TSetResults results;
  TResultsDisplay display;
  TProjectInformation information;
  // The project file's name, or the files the set was read from; empty for a
  // set that was never saved.
  QString source;
  QDateTime created;
  // Left out of the report when null.
  QImage scene_picture;
  QImage residual_chart;
};

// Width of the pictures on the page, in the report's pixels (1/96 inch).
constexpr int REPORT_PICTURE_WIDTH = 600;
// The pictures are rendered this many times finer, for print.
constexpr int REPORT_PICTURE_SCALE = 3;

#endif
