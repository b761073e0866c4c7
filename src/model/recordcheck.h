// Checks of a measurement record that no machine could have produced: a
// number that is not finite, a length that is not positive, or a place far
// beyond any machine. A record that fails the first two is kept in the set
// but left out of the fit until it is corrected; one beyond any machine is
// only flagged.
#ifndef RECORDCHECK_H
#define RECORDCHECK_H

#include <QString>
#include <vector>

class TMeasurement;
class TMeasurementSet;

enum class TRecordProblem
{
  NONE,
  // A coordinate, direction component or length is not a finite number.
  NOT_FINITE,
  // The actual length (or the nominal length of a length record) is zero or negative.
  LENGTH_NOT_POSITIVE,
  // A coordinate or a length lies beyond MACHINE_LIMIT.
  OUTSIDE_MACHINE
};

// No machine measures beyond a kilometre, mm.
constexpr double MACHINE_LIMIT = 1e6;

// The worst problem of the record.
TRecordProblem Record_Problem(const TMeasurement& record);
// Whether the fit may use the record: its numbers are finite and its lengths positive.
bool Is_Fit_Usable(const TMeasurement& record);
// "not a finite number", "length not positive", "beyond 1000000 mm"; empty for NONE.
QString Problem_Text(TRecordProblem problem);

// When the usable ball bars' actual lengths spread over more than a percent
// of their mean: those that differ from the median by more than that (or,
// when none stands apart, the shortest and the longest); empty while all
// agree. The model assumes one ball bar of one length for the whole set.
// While they agree, the set is looked at once and nothing is stored.
std::vector<const TMeasurement*> Ballbar_Length_Outliers(const TMeasurementSet& set);

#endif
