// Numbers as the program shows and stores them: fixed notation with a stated
// number of decimals, a point as decimal separator, no exponent and no padding.
#ifndef FIXEDTEXT_H
#define FIXEDTEXT_H

#include <QString>

inline QString Fixed_Text(double value, int decimals)
{
  return QStringLiteral("%1").arg(value, 0, 'f', decimals);
}

#endif
