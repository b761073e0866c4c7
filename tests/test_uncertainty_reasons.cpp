// What the uncertainty analysis leaves out, and why: sets without redundancy,
// zero stated uncertainties, missing directions, poor and non-finite sets.
#include <QtTest>

#include <cmath>
#include <limits>

#include "uncertainty.h"
#include "uncertainty_helpers.h"

using namespace uncertainty_test;

class TTestUncertaintyReasons : public QObject
{
  Q_OBJECT

private slots:
  void exactlyDetermined_data();
  void exactlyDetermined();
  void zeroUncertainty();
  void missingDirections_data();
  void missingDirections();
  void poorDesigns_data();
  void poorDesigns();
  void nonFinite_data();
  void nonFinite();
  void emptySet();
};

void TTestUncertaintyReasons::exactlyDetermined_data()
{
  QTest::addColumn<TDesign>("design");
  QTest::newRow("xy pair") << XY_PAIR;
  QTest::newRow("body diagonals") << BODY;
}

void TTestUncertaintyReasons::exactlyDetermined()
{
  QFETCH(TDesign, design);

  TMeasurementSnapshot snapshot = Exact_Design(design, BALL_BAR, 700.0);
  snapshot[1].actual_length += 0.05;
  const TSquareAnalysis analysis = Analyse_Square(snapshot, Fit(snapshot), Uniform_Settings(1.0));

  QCOMPARE(analysis.degrees_of_freedom, 0);
  QVERIFY(!analysis.observed_scatter);
  QCOMPARE(int(analysis.observed_reason.code), int(REASON_NO_REDUNDANCY));
  QVERIFY(!analysis.observed_reason.text.empty());
  QVERIFY(!analysis.birge_ratio);
  QCOMPARE(int(analysis.birge_reason.code), int(REASON_NO_REDUNDANCY));
  QCOMPARE(analysis.flagged_count, 0);
  QVERIFY(std::fabs(*analysis.residuals[1].deviation_before) > 0.01);
  for(const TRecordResidual& residual : analysis.residuals)
    QVERIFY(!residual.flagged && residual.normalised && std::fabs(*residual.normalised) < 0.01);
  for(const TErrorUncertainty& error : analysis.errors)
    QVERIFY(!error.determined || (error.expanded && !error.observed));
}

void TTestUncertaintyReasons::zeroUncertainty()
{
  TMeasurementSnapshot snapshot = Exact_Design(XY_PAIR, LENGTH, 700.0);
  const TMeasurementSnapshot more = Exact_Design(XY_PAIR, LENGTH, 500.0);
  snapshot.insert(snapshot.end(), more.begin(), more.end());
  snapshot[0].actual_length += 0.1;
  TFitResult fit;
  fit.valid.xy = true;

  const TSquareAnalysis analysis = Analyse_Square(snapshot, fit, Uniform_Settings(0.0));
  QVERIFY(All_Finite(analysis));
  QCOMPARE(analysis.flagged_count, 0);
  for(const TRecordResidual& residual : analysis.residuals)
    QVERIFY(!residual.normalised && !residual.flagged && *residual.standard_uncertainty == 0.0);
  QVERIFY(!analysis.birge_ratio);
  QCOMPARE(int(analysis.birge_reason.code), int(REASON_ZERO_UNCERTAINTY));
  const TErrorUncertainty& xy = analysis.errors[SQUARE_ERROR_XY];
  QCOMPARE(*xy.stated, 0.0);
  QVERIFY(*xy.observed > 0.0 && std::fabs(*xy.expanded - 2.0 * *xy.observed) < 1e-15);
}

void TTestUncertaintyReasons::missingDirections_data()
{
  QTest::addColumn<QList<TVector3>>("directions");
  QTest::addColumn<int>("plane");
  QTest::addColumn<QString>("expected");

  const QString base = " needs measurements along both %1 face diagonals, or along all four body diagonals";
  QTest::newRow("nothing") << QList<TVector3>{TVector3(1, 0, 0)} << 0 << "XY" + base.arg("XY");
  QTest::newRow("one xy face diagonal")
    << QList<TVector3>{TVector3(1, 1, 0), TVector3(0, 1, 1), TVector3(0, 1, -1)} << 0
    << "XY" + base.arg("XY") + "; the face diagonal along (1, -1, 0) is missing";
  QTest::newRow("other zx face diagonal") << QList<TVector3>{TVector3(-1, 0, 1)} << 2
                                          << "ZX" + base.arg("ZX") + "; the face diagonal along (1, 0, 1) is missing";
  QTest::newRow("three body diagonals")
    << QList<TVector3>{TVector3(1, 1, 1), TVector3(-1, 1, 1), TVector3(1, -1, 1)} << 1
    << "YZ" + base.arg("YZ") + "; the body diagonal along (-1, -1, 1) is missing";
  QTest::newRow("two body diagonals") << QList<TVector3>{TVector3(1, 1, 1), TVector3(-1, -1, 1), TVector3(0, 1, -1)}
                                      << 1
                                      << "YZ" + base.arg("YZ") +
                                           "; the face diagonal along (0, 1, 1) is missing; the body diagonals "
                                           "along (-1, 1, 1), (1, -1, 1) are missing";
}

void TTestUncertaintyReasons::missingDirections()
{
  QFETCH(QList<TVector3>, directions);
  QFETCH(int, plane);
  QFETCH(QString, expected);

  TMeasurementSnapshot snapshot;
  for(const TVector3& d : directions)
    snapshot.push_back(Record(BALL_BAR, d, 600.0, 600.0));
  const TFitResult fit = Fit(snapshot);
  const bool valid[3] = {fit.valid.xy, fit.valid.yz, fit.valid.zx};
  QVERIFY(!valid[plane]);

  const TSquareAnalysis analysis = Analyse_Square(snapshot, fit, TUncertaintySettings());
  const TErrorUncertainty& error = analysis.errors[plane];
  QVERIFY(!error.determined && !error.expanded && !error.stated);
  QCOMPARE(int(error.reason.code), int(REASON_DIRECTIONS_MISSING));
  QCOMPARE(QString::fromStdString(error.reason.text), expected);
}

void TTestUncertaintyReasons::poorDesigns_data()
{
  QTest::addColumn<QList<TVector3>>("directions");
  QTest::addColumn<double>("length");
  QTest::addColumn<int>("reason");

  // Near (1, 0.1, 0.1) the XY and ZX derivatives are almost proportional.
  const auto near = [](double delta) {
    return QList<TVector3>{TVector3(1, 0.1, 0.1), TVector3(1, 0.1 * (1 + delta), 0.1), TVector3(1, 0.1, 0.1)};
  };
  QTest::newRow("zero lengths") << QList<TVector3>{TVector3(1, 1, 0), TVector3(1, -1, 0)} << 0.0
                                << int(REASON_SINGULAR);
  QTest::newRow("proportional") << near(0.0) << 500.0 << int(REASON_SINGULAR);
  QTest::newRow("nearly proportional") << near(1e-6) << 500.0 << int(REASON_ILL_CONDITIONED);
  QTest::newRow("separable") << near(0.5) << 500.0 << int(REASON_NONE);
}

void TTestUncertaintyReasons::poorDesigns()
{
  QFETCH(QList<TVector3>, directions);
  QFETCH(double, length);
  QFETCH(int, reason);

  TMeasurementSnapshot snapshot;
  for(const TVector3& d : directions)
    snapshot.push_back(Record(LENGTH, d, length, length + 0.001));
  TFitResult fit;
  fit.valid = TEnabledErrors{true, false, true};
  const TSquareAnalysis analysis = Analyse_Square(snapshot, fit, TUncertaintySettings());

  QVERIFY(All_Finite(analysis));
  QCOMPARE(analysis.degrees_of_freedom, int(snapshot.size()) - 2);
  QCOMPARE(int(analysis.uncertainty_reason.code), reason);
  QCOMPARE(analysis.uncertainty_reason.text.empty(), reason == REASON_NONE);
  QCOMPARE(analysis.birge_ratio.has_value(), reason == REASON_NONE);
  QCOMPARE(analysis.condition_number.has_value(), reason != REASON_SINGULAR);
  if(reason == REASON_ILL_CONDITIONED)
    QVERIFY(*analysis.condition_number > CONDITION_LIMIT);
  if(analysis.condition_number)
  {
    // At square axes a line of length L along unit w changes by L w.x w.y per
    // radian of XY and by L w.z w.x per radian of ZX; with c the cosine between
    // these two columns the scaled normal matrix is [1 c; c 1].
    double aa = 0.0, cc = 0.0, ac = 0.0;
    for(const TMeasurementValues& record : snapshot)
    {
      const double a = length * record.axis.x * record.axis.y;
      const double c = length * record.axis.z * record.axis.x;
      aa += a * a;
      cc += c * c;
      ac += a * c;
    }
    const double cosine = std::fabs(ac) / std::sqrt(aa * cc);
    const double expected = (1.0 + cosine) / (1.0 - cosine);
    QVERIFY2(std::fabs(*analysis.condition_number / expected - 1.0) < 1e-3,
             qPrintable(QString("%1 against %2").arg(*analysis.condition_number).arg(expected)));
  }
  for(int i : {SQUARE_ERROR_XY, SQUARE_ERROR_ZX})
  {
    QCOMPARE(analysis.errors[i].expanded.has_value(), reason == REASON_NONE);
    QCOMPARE(int(analysis.errors[i].reason.code), reason);
  }
}

void TTestUncertaintyReasons::nonFinite_data()
{
  QTest::addColumn<int>("spoiled");
  QTest::newRow("infinite length") << 0;
  QTest::newRow("undefined position") << 1;
  QTest::newRow("undefined axis") << 2;
  QTest::newRow("infinite fitted length") << 3;
  QTest::newRow("length too large to square") << 4;
  QTest::newRow("infinite stated uncertainty") << 5;
}

void TTestUncertaintyReasons::nonFinite()
{
  QFETCH(int, spoiled);

  TMeasurementSnapshot snapshot = Exact_Design(BODY, BALL_BAR, 700.0);
  const TMeasurementSnapshot more = Exact_Design(XY_PAIR, BALL_BAR, 700.0);
  snapshot.insert(snapshot.end(), more.begin(), more.end());
  TFitResult fit;
  fit.valid = TEnabledErrors{true, true, true};
  fit.ballbar_length = 700.0;
  fit.ballbar_count = int(snapshot.size());
  TUncertaintySettings settings;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  switch(spoiled)
  {
    case 0: snapshot[2].actual_length = infinity; break;
    case 1: snapshot[1].position.y = nan; break;
    case 2: fit.axes.x.y = nan; break;
    case 3: fit.ballbar_length = -infinity; break;
    case 4: snapshot[0].actual_length = 1e300; break;
    default: settings.ball_bar.constant_um = infinity; break;
  }

  const TSquareAnalysis analysis = Analyse_Square(snapshot, fit, settings);
  QVERIFY(All_Finite(analysis));
  QCOMPARE(analysis.degrees_of_freedom, 2);
  QCOMPARE(int(analysis.uncertainty_reason.code), int(REASON_NOT_FINITE));
  QCOMPARE(int(analysis.observed_reason.code), int(REASON_NOT_FINITE));
  QCOMPARE(analysis.flagged_count, 0);
  for(const TErrorUncertainty& error : analysis.errors)
    QVERIFY(!error.expanded && error.reason.code == REASON_NOT_FINITE && !error.reason.text.empty());
}

// Nothing to analyse: every number is absent, with its reason.
void TTestUncertaintyReasons::emptySet()
{
  const TSquareAnalysis analysis = Analyse_Square(TMeasurementSnapshot(), TFitResult(), TUncertaintySettings());
  QVERIFY(All_Finite(analysis));
  QCOMPARE(analysis.record_count, 0);
  QCOMPARE(analysis.parameter_count, 0);
  QCOMPARE(analysis.degrees_of_freedom, 0);
  QVERIFY(analysis.residuals.empty());
  QVERIFY(!analysis.observed_scatter && !analysis.birge_ratio);
  QCOMPARE(int(analysis.observed_reason.code), int(REASON_NO_REDUNDANCY));
  for(const TErrorUncertainty& error : analysis.errors)
    QVERIFY(!error.expanded && error.reason.code == REASON_DIRECTIONS_MISSING);
}

QTEST_GUILESS_MAIN(TTestUncertaintyReasons)

#include "test_uncertainty_reasons.moc"
