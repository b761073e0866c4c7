// The warning shown where measurements enter the set (an import, a load, an
// Apply): records left out of the fit or beyond any machine, directions that
// a file gave as zero, and ball bars whose lengths disagree.
#ifndef RECORDWARNINGS_H
#define RECORDWARNINGS_H

#include <QString>
#include <QStringList>
#include <vector>

class TMeasurement;

// Rich text naming each problem and the records it concerns; empty when there
// is nothing to say. `entered` are the records that have just come in, `set`
// is the whole set after they came (for the ball-bar lengths).
QString Record_Warning_Text(const std::vector<const TMeasurement*>& entered, const QStringList& zero_directions,
                            const std::vector<TMeasurement*>& set);

#endif
