#include "uncertainty.h"

#include <cmath>

#include "uncertainty_matrix.h"
#include "uncertainty_model.h"
#include "uncertainty_reasons.h"

namespace
{
// Column of each parameter in a row of J; -1 for one that is not fitted.
struct TParameters
{
  int angle[SQUARE_ERROR_COUNT] = {-1, -1, -1};
  int ball_bar_length = -1;
  int count = 0;
};

// Sums over the records that the analysis needs.
struct TSums
{
  TSmallMatrix normal;   // JᵀJ
  TSmallMatrix weighted; // Jᵀ diag(u²) J
  double squared_residuals = 0.0;
  double squared_normalised = 0.0;
  bool zero_uncertainty = false;
  bool finite = true;
};

std::optional<double> Finite(double value)
{
  return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

TReason Reason(TReasonCode code, const std::string& text)
{
  return TReason{code, text};
}

bool Is_Finite(const TVector3& v)
{
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool Is_Ball_Bar(const TMeasurementValues& record)
{
  return record.type == TMeasurement::MEASUREMENT_BALLBAR;
}

TParameters Parameters_Of(const TEnabledErrors& valid, bool has_ball_bars)
{
  TParameters parameters;
  const bool enabled[SQUARE_ERROR_COUNT] = {valid.xy, valid.yz, valid.zx};
  for(int i = 0; i < SQUARE_ERROR_COUNT; ++i)
    if(enabled[i])
      parameters.angle[i] = parameters.count++;
  if(has_ball_bars)
    parameters.ball_bar_length = parameters.count++;
  return parameters;
}

bool Set_Is_Finite(const TMeasurementSnapshot& snapshot, const TFitResult& fit)
{
  if(!Is_Finite(fit.axes.x) || !Is_Finite(fit.axes.y) || !Is_Finite(fit.axes.z))
    return false;
  bool has_ball_bars = false;
  for(const TMeasurementValues& record : snapshot)
  {
    if(!Is_Finite(record.position) || !Is_Finite(record.axis) || !std::isfinite(record.actual_length))
      return false;
    if(Is_Ball_Bar(record))
      has_ball_bars = true;
    else if(!std::isfinite(record.nominal_length))
      return false;
  }
  return !has_ball_bars || std::isfinite(fit.ballbar_length);
}

int Count_Ball_Bars(const TMeasurementSnapshot& snapshot)
{
  int count = 0;
  for(const TMeasurementValues& record : snapshot)
    count += Is_Ball_Bar(record) ? 1 : 0;
  return count;
}

// The ball-bar nominal at the restart of the fit: the mean actual length.
double Ball_Bar_Length_Before(const TMeasurementSnapshot& snapshot, int ball_bars)
{
  if(ball_bars == 0)
    return 0.0;
  double sum = 0.0;
  for(const TMeasurementValues& record : snapshot)
    if(Is_Ball_Bar(record))
      sum += record.actual_length;
  return sum / ball_bars;
}

// The fit's estimate; should a fit come without one, the mean corrected length.
double Ball_Bar_Length_After(const TMeasurementSnapshot& snapshot, const TFitResult& fit, int ball_bars)
{
  if(ball_bars == 0 || fit.ballbar_count > 0)
    return fit.ballbar_length;
  const TMat4 correction = Correction_Matrix(fit.axes);
  double sum = 0.0;
  for(const TMeasurementValues& record : snapshot)
    if(Is_Ball_Bar(record))
      sum += Corrected_Length(correction, record);
  return sum / ball_bars;
}

void Fill_Row(const TParameters& parameters, const TLengthDerivatives& derivatives, bool ball_bar, double* row)
{
  const double angle_derivatives[SQUARE_ERROR_COUNT] = {derivatives.xy, derivatives.yz, derivatives.zx};
  for(int i = 0; i < SQUARE_ERROR_COUNT; ++i)
    if(parameters.angle[i] >= 0)
      row[parameters.angle[i]] = angle_derivatives[i];
  if(parameters.ball_bar_length >= 0)
    row[parameters.ball_bar_length] = ball_bar ? -1.0 : 0.0;
}

// One pass over the records: the residuals and the sums of the normal equations.
TSums Accumulate(const TMeasurementSnapshot& snapshot, const TFitResult& fit, const TUncertaintySettings& settings,
                 const TParameters& parameters, int ball_bars, TSquareAnalysis* analysis)
{
  const double ball_bar_before = Ball_Bar_Length_Before(snapshot, ball_bars);
  const double ball_bar_after = Ball_Bar_Length_After(snapshot, fit, ball_bars);

  TSums sums;
  sums.normal = TSmallMatrix(parameters.count);
  sums.weighted = TSmallMatrix(parameters.count);
  analysis->residuals.resize(snapshot.size());
  double row[MAXIMUM_PARAMETERS] = {};
  const TMat4 correction = Correction_Matrix(fit.axes);
  for(std::size_t i = 0; i < snapshot.size(); ++i)
  {
    const TMeasurementValues& record = snapshot[i];
    const bool ball_bar = Is_Ball_Bar(record);
    const TLengthDerivatives derivatives = Length_Derivatives(fit.axes, correction, record);
    const double residual = derivatives.corrected_length - (ball_bar ? ball_bar_after : record.nominal_length);
    const double before = record.actual_length - (ball_bar ? ball_bar_before : record.nominal_length);
    const double u = settings.Of_Type(record.type).Of_Length(record.actual_length);

    TRecordResidual& out = analysis->residuals[i];
    out.deviation_before = Finite(before);
    out.deviation_after = Finite(residual);
    out.standard_uncertainty = Finite(u);
    if(u > 0.0)
      out.normalised = Finite(residual / u);
    else
      sums.zero_uncertainty = true;

    Fill_Row(parameters, derivatives, ball_bar, row);
    sums.normal.Add_Outer_Product(row, 1.0);
    sums.weighted.Add_Outer_Product(row, u * u);
    sums.squared_residuals += residual * residual;
    sums.squared_normalised += u > 0.0 ? (residual / u) * (residual / u) : 0.0;
  }
  sums.finite = std::isfinite(sums.squared_residuals) && std::isfinite(sums.squared_normalised) &&
                sums.normal.Is_Finite() && sums.weighted.Is_Finite();
  return sums;
}

void Flag_Residuals(TSquareAnalysis* analysis, bool can_flag)
{
  analysis->flagged_count = 0;
  for(TRecordResidual& residual : analysis->residuals)
  {
    residual.flagged = can_flag && residual.normalised && std::fabs(*residual.normalised) > FLAG_LIMIT;
    analysis->flagged_count += residual.flagged ? 1 : 0;
  }
}

TReason Inverse_Reason(const TNormalInverse& inverse)
{
  if(inverse.inverse)
    return TReason();
  if(!inverse.condition_number)
    return Reason(REASON_SINGULAR, Singular_Text());
  return Reason(REASON_ILL_CONDITIONED, Ill_Conditioned_Text(*inverse.condition_number, CONDITION_LIMIT));
}

// Why the observed scatter, or the Birge ratio, cannot be given.
TReason Redundancy_Reason(const TSquareAnalysis& analysis, bool finite)
{
  if(!finite)
    return Reason(REASON_NOT_FINITE, Not_Finite_Text());
  if(analysis.degrees_of_freedom <= 0)
    return Reason(REASON_NO_REDUNDANCY, No_Redundancy_Text(analysis.degrees_of_freedom));
  return analysis.uncertainty_reason;
}

void Set_Scatter(TSquareAnalysis* analysis, const TSums& sums, bool finite)
{
  analysis->observed_reason = Redundancy_Reason(*analysis, finite);
  if(analysis->observed_reason.code == REASON_NONE)
    analysis->observed_scatter = Finite(std::sqrt(sums.squared_residuals / analysis->degrees_of_freedom));

  analysis->birge_reason = analysis->observed_reason;
  if(analysis->birge_reason.code == REASON_NONE && sums.zero_uncertainty)
    analysis->birge_reason = Reason(REASON_ZERO_UNCERTAINTY, Zero_Uncertainty_Text());
  if(analysis->birge_reason.code == REASON_NONE)
    analysis->birge_ratio = Finite(std::sqrt(sums.squared_normalised / analysis->degrees_of_freedom));
}

// Standard uncertainty in mm/m of an angle whose variance is in rad².
std::optional<double> Angle_Uncertainty(double variance)
{
  return Finite(std::sqrt(std::fmax(variance, 0.0)) * 1000.0);
}

void Set_Error_Uncertainties(TSquareAnalysis* analysis, const TMeasurementSnapshot& snapshot,
                             const TParameters& parameters, const std::optional<TSmallMatrix>& inverse,
                             const TSums& sums)
{
  std::optional<TDirectionCoverage> coverage;
  std::optional<TSmallMatrix> stated;
  if(inverse)
    stated = Sandwich(*inverse, sums.weighted);
  const std::optional<double> scatter = analysis->observed_scatter;

  for(int plane = 0; plane < SQUARE_ERROR_COUNT; ++plane)
  {
    TErrorUncertainty& error = analysis->errors[plane];
    const int k = parameters.angle[plane];
    error.determined = k >= 0;
    if(!error.determined)
    {
      if(!coverage)
        coverage = Direction_Coverage(snapshot);
      error.reason = Reason(REASON_DIRECTIONS_MISSING, Missing_Directions_Text(*coverage, plane));
      continue;
    }
    if(!stated)
    {
      error.reason = analysis->uncertainty_reason;
      continue;
    }
    error.stated = Angle_Uncertainty(stated->e[k][k]);
    if(scatter)
      error.observed = Angle_Uncertainty(*scatter * *scatter * inverse->e[k][k]);
    const double larger = std::fmax(error.stated.value_or(0.0), error.observed.value_or(0.0));
    if(error.stated)
      error.expanded = Finite(COVERAGE_FACTOR * larger);
    else
      error.reason = Reason(REASON_NOT_FINITE, Not_Finite_Text());
  }
}
}

TSquareAnalysis Analyse_Square(const TMeasurementSnapshot& snapshot, const TFitResult& fit,
                               const TUncertaintySettings& settings)
{
  TSquareAnalysis analysis;
  const int ball_bars = Count_Ball_Bars(snapshot);
  const TParameters parameters = Parameters_Of(fit.valid, ball_bars > 0);
  analysis.record_count = static_cast<int>(snapshot.size());
  analysis.parameter_count = parameters.count;
  analysis.degrees_of_freedom = analysis.record_count - analysis.parameter_count;

  const TSums sums = Accumulate(snapshot, fit, settings, parameters, ball_bars, &analysis);
  const bool finite = sums.finite && Set_Is_Finite(snapshot, fit);
  Flag_Residuals(&analysis, finite && analysis.degrees_of_freedom > 0);

  TNormalInverse inverse;
  if(finite)
  {
    inverse = Invert_Normal_Matrix(sums.normal, CONDITION_LIMIT);
    analysis.condition_number = inverse.condition_number;
    analysis.uncertainty_reason = Inverse_Reason(inverse);
  }
  else
    analysis.uncertainty_reason = Reason(REASON_NOT_FINITE, Not_Finite_Text());

  Set_Scatter(&analysis, sums, finite);
  Set_Error_Uncertainties(&analysis, snapshot, parameters, inverse.inverse, sums);
  return analysis;
}
