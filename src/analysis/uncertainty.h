// Uncertainty of the fitted squareness errors, the residual of every record
// and the reasons why a number is missing, as one function of values:
//
//   TSquareAnalysis analysis = Analyse_Square(snapshot, fit, settings);
//
// The model is linearised at the fitted axes. Its parameters are the errors
// the fit determined (angles in radians) and, when the set holds ball bars,
// the ball-bar length. With J the derivatives of the residuals (corrected
// minus nominal length) with respect to them, u_i the stated standard
// uncertainty of record i and r_i its residual after the fit:
//
//   stated:    Cov = (JᵀJ)⁻¹ Jᵀ diag(u_i²) J (JᵀJ)⁻¹   (the unweighted fit)
//   observed:  Cov = s² (JᵀJ)⁻¹, s² = Σ r_i² / (n − p)  (only when n > p)
//   expanded:  U = 2 sqrt(max(stated, observed)) per error, mm/m
//   Birge ratio: sqrt(Σ (r_i / u_i)² / (n − p))         (only when n > p)
//
// Nothing here is NaN: a number that cannot be given is absent and a reason
// says why.
#ifndef UNCERTAINTY_H
#define UNCERTAINTY_H

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "measurement.h"
#include "projectsettings.h"
#include "squaremodel.h"

// Coverage factor of the expanded uncertainty.
const double COVERAGE_FACTOR = 2.0;
// A record is flagged when its residual exceeds this many standard uncertainties.
const double FLAG_LIMIT = 3.0;
// Largest condition number of the scaled normal matrix that still gives uncertainties.
const double CONDITION_LIMIT = 1e12;

// TLengthUncertainty and TUncertaintySettings, the stated length
// uncertainties, are kept with the project (projectsettings.h).

// Index of an error in TSquareAnalysis::errors.
enum TSquareError
{
  SQUARE_ERROR_XY = 0,
  SQUARE_ERROR_YZ = 1,
  SQUARE_ERROR_ZX = 2
};

const int SQUARE_ERROR_COUNT = 3;

// Why a number is absent (REASON_NONE when it is given).
enum TReasonCode
{
  REASON_NONE = 0,
  REASON_DIRECTIONS_MISSING, // the measurement directions do not determine the error
  REASON_SINGULAR,           // the normal equations are singular
  REASON_ILL_CONDITIONED,    // condition number above CONDITION_LIMIT
  REASON_NOT_FINITE,         // the set or the fit holds non-finite values
  REASON_NO_REDUNDANCY,      // n - p <= 0: no observed scatter
  REASON_ZERO_UNCERTAINTY    // a record's stated uncertainty is zero
};

struct TReason
{
  TReasonCode code = REASON_NONE;
  std::string text; // a sentence for the user (UTF-8); empty with REASON_NONE
};

// Uncertainty of one squareness error, mm/m.
struct TErrorUncertainty
{
  // The fit determined the error, and it is a parameter of the analysis.
  bool determined = false;
  // Expanded uncertainty U (k = COVERAGE_FACTOR).
  std::optional<double> expanded;
  // Standard uncertainties (k = 1): propagated from the stated length
  // uncertainties, and from the observed scatter (absent when n = p).
  std::optional<double> stated;
  std::optional<double> observed;
  // Why expanded is absent.
  TReason reason;
};

// One record's deviations, in the order of the snapshot. A value that is not a
// finite number is absent.
struct TRecordResidual
{
  // Actual minus nominal length before the fit, mm; the nominal of a ball bar
  // is then the mean actual length of all ball bars.
  std::optional<double> deviation_before;
  // Corrected length at the fitted axes minus the nominal the fit left, mm.
  std::optional<double> deviation_after;
  // Stated standard uncertainty u_i, mm.
  std::optional<double> standard_uncertainty;
  // deviation_after / u_i; absent when u_i is zero.
  std::optional<double> normalised;
  // |normalised| > FLAG_LIMIT while n > p and the set is finite.
  bool flagged = false;
};

struct TSquareAnalysis
{
  std::array<TErrorUncertainty, SQUARE_ERROR_COUNT> errors;

  int record_count = 0;       // n
  int parameter_count = 0;    // p
  int degrees_of_freedom = 0; // n - p

  // Condition number of D^-1/2 JᵀJ D^-1/2 (D = diag(JᵀJ)); absent when JᵀJ
  // is singular or not finite, 1 when there is no parameter.
  std::optional<double> condition_number;
  // Reason common to all determined errors when their uncertainties are absent.
  TReason uncertainty_reason;

  // Observed standard deviation s of the residuals, mm, and why it is absent.
  std::optional<double> observed_scatter;
  TReason observed_reason;

  std::optional<double> birge_ratio;
  TReason birge_reason;

  std::vector<TRecordResidual> residuals;
  int flagged_count = 0;
};

// Analyses a fit. snapshot is the set as handed to the fit (ball-bar nominal
// lengths as before the fit); fit holds the fitted axes, which errors are
// valid and the ball-bar length estimate.
TSquareAnalysis Analyse_Square(const TMeasurementSnapshot& snapshot, const TFitResult& fit,
                               const TUncertaintySettings& settings);

#endif
