// Uncertainty of the squareness errors against hand calculations and
// simulated machines; residuals and flags.
#include <QtTest>

#include <cmath>
#include <random>
#include <vector>

#include "uncertainty.h"
#include "uncertainty_helpers.h"
#include "uncertainty_model.h"

using namespace uncertainty_test;

class TTestUncertainty : public QObject
{
  Q_OBJECT

private slots:
  void settings();
  void jacobian_data();
  void jacobian();
  void handCalculation_data();
  void handCalculation();
  void observedScatterWithoutAngles_data();
  void observedScatterWithoutAngles();
  void residuals();
  void monteCarlo_data();
  void monteCarlo();
  void plantedError_data();
  void plantedError();
};

void TTestUncertainty::settings()
{
  const TUncertaintySettings defaults;
  QVERIFY(defaults.Is_Default());
  QCOMPARE(defaults.ball_bar.constant_um, 1.0);
  QCOMPARE(defaults.ball_bar.proportional_um_per_m, 1.0);
  QCOMPARE(defaults.length.constant_um, 0.5);
  QCOMPARE(defaults.length.proportional_um_per_m, 0.5);
  // sqrt(1² + (1 · 1000 / 1000)²) µm and sqrt(0.5² + (0.5 · 2000 / 1000)²) µm.
  QVERIFY(std::fabs(defaults.Of_Type(BALL_BAR).Of_Length(1000.0) - std::sqrt(2.0) / 1000.0) < 1e-15);
  QVERIFY(std::fabs(defaults.Of_Type(LENGTH).Of_Length(2000.0) - std::sqrt(1.25) / 1000.0) < 1e-15);

  TLengthUncertainty TUncertaintySettings::*kinds[] = {&TUncertaintySettings::ball_bar, &TUncertaintySettings::length};
  double TLengthUncertainty::*fields[] = {&TLengthUncertainty::constant_um,
                                          &TLengthUncertainty::proportional_um_per_m};
  for(auto kind : kinds)
    for(auto field : fields)
    {
      TUncertaintySettings changed;
      (changed.*kind).*field += 0.25;
      QVERIFY(!changed.Is_Default());
      QVERIFY(changed != defaults);
      QVERIFY(!(changed == defaults));
      (changed.*kind).*field -= 0.25;
      QVERIFY(changed == defaults);
    }
}

void TTestUncertainty::jacobian_data()
{
  QTest::addColumn<TVector3>("direction");
  QTest::addColumn<TVector3>("position");
  QTest::addColumn<double>("length");

  QTest::newRow("xy face") << TVector3(1, 1, 0) << TVector3(100, -50, 20) << 700.0;
  QTest::newRow("yz face reversed") << TVector3(0, -1, 1) << TVector3(-300, 10, 400) << 650.0;
  QTest::newRow("body") << TVector3(-1, 1, 1) << TVector3(0, 0, 0) << 1200.0;
  QTest::newRow("skew") << TVector3(0.3, -0.8, 0.5) << TVector3(2500, -1800, 900) << 333.3;
  QTest::newRow("along x") << TVector3(1, 0, 0) << TVector3(5, 5, 5) << 500.0;
}

void TTestUncertainty::jacobian()
{
  QFETCH(TVector3, direction);
  QFETCH(TVector3, position);
  QFETCH(double, length);

  const TMeasurementValues record = Record(LENGTH, direction, length, length, position);
  const double angles[3] = {0.05, -0.03, 0.04};
  const TLengthDerivatives derivatives =
    Length_Derivatives(Axes_Of(angles[0] * 1000.0, angles[1] * 1000.0, angles[2] * 1000.0), record);
  QVERIFY(std::fabs(derivatives.corrected_length - Reference_Length(angles[0], angles[1], angles[2], record)) <
          1e-10 * length);

  const double computed[3] = {derivatives.xy, derivatives.yz, derivatives.zx};
  const double h = 1e-5;
  for(int k = 0; k < 3; ++k)
  {
    double plus[3] = {angles[0], angles[1], angles[2]};
    double minus[3] = {angles[0], angles[1], angles[2]};
    plus[k] += h;
    minus[k] -= h;
    const double difference = (Reference_Length(plus[0], plus[1], plus[2], record) -
                               Reference_Length(minus[0], minus[1], minus[2], record)) / (2.0 * h);
    QVERIFY2(std::fabs(computed[k] - difference) < 1e-8 * length,
             qPrintable(QString("angle %1: %2 against %3").arg(k).arg(computed[k], 0, 'g', 15).arg(difference)));
  }
}

void TTestUncertainty::handCalculation_data()
{
  QTest::addColumn<TDesign>("design");
  QTest::addColumn<TMeasurement::TMeasurementType>("type");
  QTest::addColumn<double>("length");
  QTest::addColumn<double>("u_um");
  QTest::addColumn<double>("factor");
  QTest::addColumn<double>("condition");

  // Face-diagonal pair: J = [L/2 -1; -L/2 -1], var = 2 u² / L².
  // Body diagonals: angle columns L/3 (±1, ±1, ±1, ±1), orthogonal, var = 9 u² / (4 L²).
  // Lopsided XY ball bars: JᵀJ = [L² -L; -L 4], var = 4 u² / (3 L²); scaled
  // off-diagonal -1/2, condition number 3. As lengths: var = u² / L².
  const double sqrt2 = std::sqrt(2.0);
  QTest::newRow("ball bars xy") << XY_PAIR << BALL_BAR << 700.0 << 1.0 << sqrt2 << 1.0;
  QTest::newRow("ball bars yz") << YZ_PAIR << BALL_BAR << 450.0 << 2.5 << sqrt2 << 1.0;
  QTest::newRow("ball bars zx") << ZX_PAIR << BALL_BAR << 1000.0 << 0.7 << sqrt2 << 1.0;
  QTest::newRow("ball bars body") << BODY << BALL_BAR << 866.0 << 1.2 << 1.5 << 1.0;
  QTest::newRow("ball bars lopsided xy") << LOPSIDED_XY << BALL_BAR << 600.0 << 1.5 << 2.0 / std::sqrt(3.0) << 3.0;
  QTest::newRow("lengths xy") << XY_PAIR << LENGTH << 700.0 << 1.0 << sqrt2 << 1.0;
  QTest::newRow("lengths body") << BODY << LENGTH << 1500.0 << 3.0 << 1.5 << 1.0;
  QTest::newRow("lengths lopsided xy") << LOPSIDED_XY << LENGTH << 600.0 << 1.5 << 1.0 << 1.0;
}

// A square machine measured exactly: U = 2 · factor · u / L (radians), e.g.
// 2 sqrt(2) u / L for a face-diagonal pair and 2 · 1.5 u / L for the four
// body diagonals.
void TTestUncertainty::handCalculation()
{
  QFETCH(TDesign, design);
  QFETCH(TMeasurement::TMeasurementType, type);
  QFETCH(double, length);
  QFETCH(double, u_um);
  QFETCH(double, factor);
  QFETCH(double, condition);

  const TMeasurementSnapshot snapshot = Exact_Design(design, type, length);
  TFitResult fit;
  fit.valid = TEnabledErrors{design == XY_PAIR || design == LOPSIDED_XY || design == BODY,
                             design == YZ_PAIR || design == BODY, design == ZX_PAIR || design == BODY};
  fit.ballbar_length = length;
  fit.ballbar_count = type == BALL_BAR ? int(snapshot.size()) : 0;

  const TSquareAnalysis analysis = Analyse_Square(snapshot, fit, Uniform_Settings(u_um));
  const double expected = 1000.0 * 2.0 * factor * (u_um / 1000.0) / length;
  const bool determined[3] = {fit.valid.xy, fit.valid.yz, fit.valid.zx};
  const int parameters = int(determined[0]) + int(determined[1]) + int(determined[2]) + (type == BALL_BAR ? 1 : 0);
  const int n = int(snapshot.size());

  QCOMPARE(analysis.parameter_count, parameters);
  QCOMPARE(analysis.degrees_of_freedom, n - parameters);
  QCOMPARE(analysis.observed_scatter.has_value(), n > parameters);
  for(int i = 0; i < SQUARE_ERROR_COUNT; ++i)
  {
    const TErrorUncertainty& error = analysis.errors[i];
    QCOMPARE(error.determined, determined[i]);
    QCOMPARE(error.expanded.has_value(), determined[i]);
    if(!determined[i])
      continue;
    QVERIFY2(std::fabs(*error.expanded - expected) < 1e-9 * expected,
             qPrintable(QString("%1 against %2").arg(*error.expanded, 0, 'g', 15).arg(expected, 0, 'g', 15)));
    QVERIFY(std::fabs(*error.stated - expected / 2.0) < 1e-9 * expected);
    QCOMPARE(error.observed.has_value(), n > parameters);
    QCOMPARE(int(error.reason.code), int(REASON_NONE));
  }
  QVERIFY(analysis.condition_number && std::fabs(*analysis.condition_number - condition) < 1e-9 * condition);
}

void TTestUncertainty::observedScatterWithoutAngles_data()
{
  QTest::addColumn<TMeasurement::TMeasurementType>("type");
  QTest::newRow("lengths") << LENGTH;
  QTest::newRow("ball bars") << BALL_BAR;
}

void TTestUncertainty::observedScatterWithoutAngles()
{
  QFETCH(TMeasurement::TMeasurementType, type);

  const double deviations[4] = {0.002, -0.001, 0.004, 0.003};
  const TVector3 directions[4] = {TVector3(1, 0, 0), TVector3(0, 1, 0), TVector3(0, 0, 1), TVector3(0, 1, 0)};
  TMeasurementSnapshot snapshot;
  for(int i = 0; i < 4; ++i)
    snapshot.push_back(Record(type, directions[i], 500.0 + deviations[i], 500.0));
  const double mean = 0.002;
  TFitResult fit;
  fit.ballbar_length = 500.0 + mean;
  fit.ballbar_count = type == BALL_BAR ? 4 : 0;

  const TSquareAnalysis analysis = Analyse_Square(snapshot, fit, Uniform_Settings(2.0));
  const int p = type == BALL_BAR ? 1 : 0;
  double sum = 0.0;
  for(double d : deviations)
    sum += (type == BALL_BAR ? (d - mean) * (d - mean) : d * d);
  QCOMPARE(analysis.parameter_count, p);
  QCOMPARE(analysis.degrees_of_freedom, 4 - p);
  QVERIFY(analysis.observed_scatter && std::fabs(*analysis.observed_scatter - std::sqrt(sum / (4 - p))) < 1e-12);
  QVERIFY(analysis.birge_ratio && std::fabs(*analysis.birge_ratio - std::sqrt(sum / (4 - p)) / 0.002) < 1e-9);
  for(const TErrorUncertainty& error : analysis.errors)
    QVERIFY(!error.determined && !error.expanded && error.reason.code == REASON_DIRECTIONS_MISSING);
}

void TTestUncertainty::residuals()
{
  TSimulatedMachine machine{Axes_Of(0.08, -0.05, 0.03)};
  std::mt19937 random(11);
  std::normal_distribution<double> noise(0.0, 0.002);
  TMeasurementSnapshot snapshot;
  for(int i = 0; i < 6; ++i)
    snapshot.push_back(Record(BALL_BAR, FACE_DIAGONALS[i], machine.Reported_Length(FACE_DIAGONALS[i], 700.0) +
                                                             noise(random), 123.0, FACE_DIAGONALS[i] * 50.0));
  const TVector3 axes[3] = {TVector3(1, 0, 0), TVector3(0, 1, 0), TVector3(0, 0, 1)};
  for(const TVector3& axis : axes)
    snapshot.push_back(Record(LENGTH, axis, machine.Reported_Length(axis, 600.0) + noise(random), 600.0));

  const TFitResult fit = Fit(snapshot);
  const TUncertaintySettings settings;
  const TSquareAnalysis analysis = Analyse_Square(snapshot, fit, settings);
  QCOMPARE(analysis.residuals.size(), snapshot.size());
  double mean_actual = 0.0;
  for(int i = 0; i < 6; ++i)
    mean_actual += snapshot[i].actual_length / 6.0;
  for(std::size_t i = 0; i < snapshot.size(); ++i)
  {
    const TMeasurementValues& record = snapshot[i];
    const TRecordResidual& residual = analysis.residuals[i];
    const bool ball_bar = record.type == BALL_BAR;
    const double before = record.actual_length - (ball_bar ? mean_actual : record.nominal_length);
    const double after = Reference_Length(fit.xy_error / 1000.0, fit.yz_error / 1000.0, fit.zx_error / 1000.0, record) -
                         (ball_bar ? fit.ballbar_length : record.nominal_length);
    const double ab[2] = {ball_bar ? 1.0 : 0.5, ball_bar ? 1.0 : 0.5};
    const double u = std::hypot(ab[0], ab[1] * record.actual_length / 1000.0) / 1000.0;
    QVERIFY(std::fabs(*residual.deviation_before - before) < 1e-9);
    QVERIFY(std::fabs(*residual.deviation_after - after) < 1e-9);
    QVERIFY(std::fabs(*residual.standard_uncertainty - u) < 1e-15);
    QVERIFY(std::fabs(*residual.normalised - after / u) < 1e-6);
  }
}

void TTestUncertainty::monteCarlo_data()
{
  QTest::addColumn<int>("design");
  QTest::newRow("ball bars on body diagonals, lengths on axes") << 0;
  QTest::newRow("ball bars on face diagonals, lengths on face diagonals") << 1;
  QTest::newRow("lopsided xy ball bars, lengths on the other faces") << 2;
}

void TTestUncertainty::monteCarlo()
{
  QFETCH(int, design);

  const TSimulatedMachine machine{Axes_Of(0.05, -0.03, 0.02)};
  TMeasurementSnapshot exact;
  if(design == 0)
  {
    for(const TVector3& d : BODY_DIAGONALS)
      exact.push_back(Record(BALL_BAR, d, machine.Reported_Length(d, 700.0), 700.0, d * 40.0));
    const double lengths[3] = {800.0, 600.0, 500.0};
    for(int i = 0; i < 3; ++i)
    {
      const TVector3 axis(i == 0, i == 1, i == 2);
      exact.push_back(Record(LENGTH, axis, machine.Reported_Length(axis, lengths[i]), lengths[i], axis * -100.0));
    }
  }
  else if(design == 1)
    for(int i = 0; i < 6; ++i)
    {
      const TVector3& d = FACE_DIAGONALS[i];
      exact.push_back(Record(BALL_BAR, d, machine.Reported_Length(d, 300.0), 300.0, d * 20.0));
      exact.push_back(Record(LENGTH, d, machine.Reported_Length(d, 900.0 + 50 * i), 900.0 + 50 * i));
    }
  else
  {
    // The ball-bar length and XY are correlated here.
    for(int i = 0; i < 5; ++i)
    {
      const TVector3& d = FACE_DIAGONALS[i == 4 ? 1 : 0];
      exact.push_back(Record(BALL_BAR, d, machine.Reported_Length(d, 500.0), 500.0, d * (10.0 * i)));
    }
    for(int i = 2; i < 7; ++i)
    {
      const TVector3& d = FACE_DIAGONALS[i % 6 == 0 ? 2 : i];
      exact.push_back(Record(LENGTH, d, machine.Reported_Length(d, 400.0 + 100 * i), 400.0 + 100 * i));
    }
  }

  TUncertaintySettings settings;
  settings.ball_bar = TLengthUncertainty{2.0, 3.0};
  settings.length = TLengthUncertainty{1.0, 4.0};
  const TSquareAnalysis analysis = Analyse_Square(exact, Fit(exact), settings);

  std::mt19937 random(20240611);
  std::normal_distribution<double> normal(0.0, 1.0);
  std::vector<double> fitted[3];
  const int repetitions = 2000;
  for(int repetition = 0; repetition < repetitions; ++repetition)
  {
    TMeasurementSnapshot noisy = exact;
    for(TMeasurementValues& record : noisy)
    {
      const TLengthUncertainty& ab = record.type == BALL_BAR ? settings.ball_bar : settings.length;
      const double u_um = std::hypot(ab.constant_um, ab.proportional_um_per_m * record.actual_length / 1000.0);
      record.actual_length += normal(random) * u_um / 1000.0;
    }
    const TFitResult fit = Fit(noisy);
    fitted[0].push_back(fit.xy_error);
    fitted[1].push_back(fit.yz_error);
    fitted[2].push_back(fit.zx_error);
  }
  for(int i = 0; i < SQUARE_ERROR_COUNT; ++i)
  {
    QVERIFY(analysis.errors[i].stated);
    const double spread = Standard_Deviation(fitted[i]);
    const double stated = *analysis.errors[i].stated;
    qInfo("error %d: spread %.4g, stated %.4g mm/m", i, spread, stated);
    QVERIFY2(std::fabs(spread / stated - 1.0) < 0.10,
             qPrintable(QString("error %1: spread %2, stated %3 mm/m").arg(i).arg(spread).arg(stated)));
  }
}

void TTestUncertainty::plantedError_data()
{
  QTest::addColumn<int>("planted");
  QTest::addColumn<double>("error");
  QTest::addColumn<int>("seed");

  QTest::newRow("first, long") << 0 << 0.020 << 1;
  QTest::newRow("xy, short") << 13 << -0.020 << 2;
  QTest::newRow("yz, long") << 27 << 0.020 << 3;
  QTest::newRow("last, short") << 59 << -0.020 << 4;
}

void TTestUncertainty::plantedError()
{
  QFETCH(int, planted);
  QFETCH(double, error);
  QFETCH(int, seed);

  const TSimulatedMachine machine{Axes_Of(0.03, -0.02, 0.04)};
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> noise(-0.001, 0.001);
  std::uniform_real_distribution<double> place(-300.0, 300.0);
  TMeasurementSnapshot snapshot;
  for(const TVector3& d : FACE_DIAGONALS)
    for(int i = 0; i < 10; ++i)
      snapshot.push_back(Record(BALL_BAR, d, machine.Reported_Length(d, 500.0) + noise(random), 0.0,
                                TVector3(place(random), place(random), place(random))));
  snapshot[planted].actual_length += error;

  const TSquareAnalysis analysis = Analyse_Square(snapshot, Fit(snapshot), Uniform_Settings(1.0));
  QCOMPARE(analysis.flagged_count, 1);
  for(int i = 0; i < int(snapshot.size()); ++i)
    QVERIFY2(analysis.residuals[i].flagged == (i == planted),
             qPrintable(QString("record %1: %2").arg(i).arg(*analysis.residuals[i].normalised)));
}

QTEST_GUILESS_MAIN(TTestUncertainty)

#include "test_uncertainty.moc"
