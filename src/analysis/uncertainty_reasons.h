// Why a number of the uncertainty analysis is missing: which measurement
// directions an undetermined error lacks, and the texts for the other causes.
#ifndef UNCERTAINTY_REASONS_H
#define UNCERTAINTY_REASONS_H

#include <string>

#include "squaremodel.h"

// Which of the six face diagonals (XY: (1, 1, 0), (1, -1, 0); YZ: (0, 1, 1),
// (0, 1, -1); ZX: (1, 0, 1), (1, 0, -1)) and four body diagonals ((1, 1, 1),
// (-1, 1, 1), (-1, -1, 1), (1, -1, 1)) some record lies along, within 30
// degrees and in either sense, as the fit decides which errors to determine.
struct TDirectionCoverage
{
  bool face[6] = {};
  bool body[4] = {};
};

TDirectionCoverage Direction_Coverage(const TMeasurementSnapshot& snapshot);

// What is missing for the error of a plane (0 XY, 1 YZ, 2 ZX), e.g.
// "XY needs measurements along both XY face diagonals, or along all four body
// diagonals; the face diagonal along (1, -1, 0) is missing".
std::string Missing_Directions_Text(const TDirectionCoverage& coverage, int plane);

std::string Singular_Text();
std::string Ill_Conditioned_Text(double condition_number, double limit);
std::string Not_Finite_Text();
std::string No_Redundancy_Text(int degrees_of_freedom);
std::string Zero_Uncertainty_Text();

#endif
