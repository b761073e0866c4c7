// Hands the records of the set that the fit may use to the solver, and names
// those it leaves out. The values of an ordinary set are copied at once;
// those of a large set are copied a slice at a time, one slice per turn of the
// event loop from the next one on, so that the window keeps answering. The
// solver is then told at once that its data is out of date, so that no fit
// made before is taken for the set as it stands.
//
// The slices read the set as it stands. Every change of the set must
// therefore be followed by a new hand-over, which abandons the copy under
// way; the window hands the set over on each change.
#ifndef SOLVERFEED_H
#define SOLVERFEED_H

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <vector>

#include "projectsettings.h"
#include "squaremodel.h"

class TCalculateSquare;
class TMeasurement;
class TMeasurementSet;

class TSolverFeed : public QObject
{
  Q_OBJECT

public:
  // Sets of more records than this are copied a slice at a time, in chunks
  // of COPY_CHUNK records.
  static constexpr size_t SLICE = 20000;
  static constexpr size_t COPY_CHUNK = 10000;

  TSolverFeed(TCalculateSquare* solver, const TMeasurementSet* document, QObject* parent);

  // True while records are still to be copied.
  bool Feeding() const { return d_feeding; }
  // The records the last hand-over gave the fit, in the fit's order; whole
  // once the feed is no longer feeding, and good until the set changes.
  const std::vector<TMeasurement*>& Fed_Records() const { return d_fed; }

public slots:
  // Hands over the set as it stands, with its uncertainty settings.
  void Hand_Over();

signals:
  // The names of the records the fit leaves out, once every record has been
  // looked at.
  void Left_Out_Named(const QStringList& names);

private:
  void Copy_Next_Slice();
  void Take_Rows(size_t first, size_t end);

  TCalculateSquare* d_solver;
  const TMeasurementSet* d_document;
  bool d_feeding = false;
  // The next row of the set to look at while feeding.
  size_t d_next_row = 0;
  std::vector<TMeasurement*> d_fed;
  QStringList d_left_out;
  TMeasurementSnapshot d_snapshot;
  TUncertaintySettings d_settings;
  QTimer d_timer;
};

#endif
