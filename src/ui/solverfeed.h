// Hands the records the fit may use to the solver. The values of an ordinary
// set are copied at once; those of a large set are copied a slice of records
// per turn of the event loop, so that the window keeps answering, and the
// solver is told at once that its data is out of date, so that no fit made
// before is taken for the set as it stands. A new hand-over abandons the
// copy under way: the records it reads are those of the set as it stands.
#ifndef SOLVERFEED_H
#define SOLVERFEED_H

#include <QObject>
#include <QTimer>
#include <vector>

#include "projectsettings.h"
#include "squaremodel.h"

class TCalculateSquare;
class TMeasurement;

class TSolverFeed : public QObject
{
  Q_OBJECT

public:
  // Sets of more records than this are copied a slice of as many at a time.
  static constexpr size_t SLICE = 100000;

  TSolverFeed(TCalculateSquare* solver, QObject* parent);

  void Hand_Over(std::vector<TMeasurement*> records, const TUncertaintySettings& settings);
  // True while values are still to be copied.
  bool Feeding() const { return !d_records.empty(); }

private:
  void Copy_Next_Slice();

  TCalculateSquare* d_solver;
  std::vector<TMeasurement*> d_records;
  TMeasurementSnapshot d_snapshot;
  TUncertaintySettings d_settings;
  QTimer d_timer;
};

#endif
