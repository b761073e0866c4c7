// The sign conventions of the machine makers: each shows the solver's XY, YZ
// and ZX errors with its own signs. The solver's own sign: a positive XY
// means the X axis leans towards +Y, a positive YZ that Y leans towards +Z,
// a positive ZX that Z leans towards +X.
#ifndef SIGNCONVENTION_H
#define SIGNCONVENTION_H

#include <array>
#include <optional>
#include <string>

struct TSignConvention
{
  const char* maker;
  // +1 keeps the solver's sign of the error, -1 flips it; XY, YZ, ZX.
  std::array<int, 3> signs;
};

// In the order of the window's sign box.
const std::array<TSignConvention, 8>& Sign_Conventions();
// Index of the convention shown at start ("BnS", the solver's own signs).
constexpr int DEFAULT_SIGN_CONVENTION = 1;
// The convention of a maker's name, compared without regard to case.
std::optional<int> Sign_Convention_Index(const std::string& maker);
// What a positive XY, YZ and ZX mean in a convention, in one sentence each.
std::string Sign_Convention_Meaning(const TSignConvention& convention);

#endif
