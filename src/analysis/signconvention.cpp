#include "signconvention.h"

#include <algorithm>
#include <cctype>

const std::array<TSignConvention, 8>& Sign_Conventions()
{
  static const std::array<TSignConvention, 8> conventions = {{{"AAT", {-1, -1, 1}},
                                                              {"BnS", {1, 1, 1}},
                                                              {"DEA", {1, 1, -1}},
                                                              {"LK", {-1, -1, 1}},
                                                              {"Renishaw", {-1, -1, -1}},
                                                              {"Sheffield", {1, -1, 1}},
                                                              {"Wenzel", {-1, -1, 1}},
                                                              {"Zeiss", {1, -1, 1}}}};
  return conventions;
}

std::optional<int> Sign_Convention_Index(const std::string& maker)
{
  const auto& conventions = Sign_Conventions();
  for(size_t i = 0; i < conventions.size(); ++i)
  {
    const std::string name = conventions[i].maker;
    const bool same = name.size() == maker.size() &&
                      std::equal(name.begin(), name.end(), maker.begin(), [](char a, char b) {
                        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
                      });
    if(same)
      return static_cast<int>(i);
  }
  return std::nullopt;
}

// The axis that leans and the one it leans towards, for each error with a
// positive value in the solver's sign.
std::string Sign_Convention_Meaning(const TSignConvention& convention)
{
  static const char* const pairs[3][2] = {{"X", "Y"}, {"Y", "Z"}, {"Z", "X"}};
  static const char* const errors[3] = {"XY", "YZ", "ZX"};
  std::string meaning;
  for(int i = 0; i < 3; ++i)
  {
    if(i > 0)
      meaning += "\n";
    meaning += std::string("Positive ") + errors[i] + ": the " + pairs[i][0] + " axis leans towards " +
               (convention.signs[size_t(i)] > 0 ? "+" : "-") + pairs[i][1] + ".";
  }
  return meaning;
}
