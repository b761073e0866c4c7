// The warning shown where measurements enter the set (an import, a load, an
// Apply): records left out of the fit or beyond any machine, directions that
// a file gave as zero, and ball bars whose lengths disagree.
#ifndef RECORDWARNINGS_H
#define RECORDWARNINGS_H

#include <QString>
#include <QStringList>
#include <vector>

class TMeasurement;
class TMeasurementSet;

// What the records that have just come in give to warn about, found by
// looking at each once; an import does so where it reads the file, before
// the records enter the set.
struct TEnteredRecords
{
  void Add(const TMeasurement& record);

  // Records left out of the fit until corrected, and records beyond any
  // machine, in the order they came.
  std::vector<const TMeasurement*> left_out;
  std::vector<const TMeasurement*> beyond;
  long long ballbars = 0;
  long long lengths = 0;
};

// Rich text naming each problem and the records it concerns; empty when there
// is nothing to say. The names are read as the records are named in `set`,
// the whole set after they came (which also gives the ball-bar lengths).
QString Record_Warning_Text(const TEnteredRecords& entered, const QStringList& zero_directions,
                            const TMeasurementSet& set);

#endif
