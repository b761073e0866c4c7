// Numbers as the program shows and stores them: fixed notation with a stated
// number of decimals, a point as decimal separator, no exponent and no padding;
// and the strict reading of a number a user typed.
#ifndef FIXEDTEXT_H
#define FIXEDTEXT_H

#include <QString>
#include <cmath>

inline QString Fixed_Text(double value, int decimals)
{
  return QStringLiteral("%1").arg(value, 0, 'f', decimals);
}

// A finite number in the program's format (a point as decimal separator,
// optional sign and exponent, blanks around it allowed); false for anything
// else, including an empty text, a comma and "nan" or "inf".
inline bool Parse_Number(const QString& text, double* value)
{
  bool ok = false;
  const double number = text.toDouble(&ok);
  if(!ok || !std::isfinite(number))
    return false;
  *value = number;
  return true;
}

#endif
