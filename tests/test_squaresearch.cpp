// The step-halving search over a snapshot: fits of simulated machines, what
// a fit gives, interruption, and results identical to the last bit to those
// of the solver before the search became a class of its own.
#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "measurement.h"
#include "squaremodel.h"
#include "squaresearch.h"

namespace
{
TVector3 Unit(const TVector3& direction)
{
  TVector3 unit(direction);
  return unit.Normal();
}

const TVector3 body_diagonals[4] = {TVector3(1, 1, 1), TVector3(-1, 1, 1), TVector3(-1, -1, 1), TVector3(1, -1, 1)};
const TVector3 face_diagonals[6] = {TVector3(1, 1, 0), TVector3(1, -1, 0), TVector3(0, 1, 1),
                                    TVector3(0, 1, -1), TVector3(1, 0, 1), TVector3(1, 0, -1)};
const TVector3 machine_axes[3] = {TVector3(1, 0, 0), TVector3(0, 1, 0), TVector3(0, 0, 1)};

// A machine whose axes are tilted by the given squareness errors (mm/m): its
// axis directions in true space are the rows of the correction matrix.
class TSimulatedMachine
{
public:
  TSimulatedMachine(double xy, double yz, double zx)
    : d_x(std::cos(xy / 1000.0), std::sin(xy / 1000.0), 0.0),
      d_y(0.0, std::cos(yz / 1000.0), std::sin(yz / 1000.0)),
      d_z(std::sin(zx / 1000.0), 0.0, std::cos(zx / 1000.0))
  {
  }

  // Length the machine reports along a unit direction for a line of a true length.
  double Reported_Length(const TVector3& unit, double true_length) const
  {
    const TVector3 corrected(d_x ^ unit, d_y ^ unit, d_z ^ unit);
    return true_length / corrected.Length();
  }

private:
  TVector3 d_x;
  TVector3 d_y;
  TVector3 d_z;
};

enum TSimulatedSet
{
  BALL_BAR_FACE_DIAGONALS,
  BALL_BAR_BODY_DIAGONALS,
  LENGTH_AXES_AND_FACE_DIAGONALS,
  LENGTH_AXES_AND_BODY_DIAGONALS_BALL_BAR
};

// The lines of an 800 x 600 x 500 box: ball bars of 700 mm, or lengths the
// size of the box, along the given directions.
void Add_Lines(TMeasurementSnapshot* snapshot, const TSimulatedMachine& machine, const TVector3* directions, int count,
               bool ball_bars)
{
  for(int i = 0; i < count; ++i)
  {
    const TVector3 line(directions[i].x * 800.0, directions[i].y * 600.0, directions[i].z * 500.0);
    const double true_length = ball_bars ? 700.0 : line.Length();
    const double reported = machine.Reported_Length(Unit(line), true_length);
    if(ball_bars)
      snapshot->push_back({TMeasurement::MEASUREMENT_BALLBAR, line * 0.1, Unit(line), reported, reported});
    else
      snapshot->push_back({TMeasurement::MEASUREMENT_LENGTH, line * -0.2, Unit(line), true_length, reported});
  }
}

TMeasurementSnapshot Simulated_Set(const TSimulatedMachine& machine, TSimulatedSet set)
{
  TMeasurementSnapshot snapshot;
  if(set == LENGTH_AXES_AND_FACE_DIAGONALS || set == LENGTH_AXES_AND_BODY_DIAGONALS_BALL_BAR)
    Add_Lines(&snapshot, machine, machine_axes, 3, false);
  if(set == BALL_BAR_FACE_DIAGONALS || set == LENGTH_AXES_AND_FACE_DIAGONALS)
    Add_Lines(&snapshot, machine, face_diagonals, 6, set == BALL_BAR_FACE_DIAGONALS);
  else
    Add_Lines(&snapshot, machine, body_diagonals, 4, true);
  return snapshot;
}

// The lines of a set, in order: ball bars along the first group of
// directions, lengths along the other two.
struct TRegressionLayout
{
  const TVector3* ball_bars;
  int ball_bar_count;
  const TVector3* lengths[2];
  int length_count[2];
};

const TRegressionLayout BODY_BALL_BARS_AXIS_LENGTHS = {body_diagonals, 4, {machine_axes, nullptr}, {3, 0}};
const TRegressionLayout FACE_BALL_BARS = {face_diagonals, 6, {nullptr, nullptr}, {0, 0}};
const TRegressionLayout MIXED_DIAGONALS = {body_diagonals, 4, {face_diagonals, machine_axes}, {6, 3}};
const TRegressionLayout XY_ONLY = {face_diagonals, 2, {machine_axes, nullptr}, {2, 0}};
const TRegressionLayout BODY_LENGTHS = {nullptr, 0, {body_diagonals, nullptr}, {4, 0}};

// Fixed pseudo-random sets of simulated machines, and what the solver gave
// for them before the error model became functions of a snapshot (printed
// with 17 significant digits, which give back the same doubles).
struct TRegressionCase
{
  const char* name;
  unsigned seed;
  int count;
  const TRegressionLayout& layout;
  double xy, yz, zx;
  // Expected:
  double fitted[3];
  bool valid[3];
  double initial[4];
  double final[4];
  double ballbar_length;
  int ballbar_count;
};

const TRegressionCase regression_cases[] = {
  {"body ball bars and axis lengths, 10", 11u, 10, BODY_BALL_BARS_AXIS_LENGTHS, 0.05, -0.03, 0.02,
   {0.046653745659525854, -0.031251526138225245, 0.021829223163120567}, {true, true, true},
   {369.02247863555431, 600.01948467454383, -0.012371708341447629, 0.020029908533388152},
   {369.02252328684682, 600.00100719612976, -0.0016991726187143286, 0.0017034273187164217}, 599.99930376881105, 7},
  {"face ball bars, 57", 22u, 57, FACE_BALL_BARS, -0.12, 0.08, 0.015,
   {-0.12120971648183838, 0.081149289948056882, 0.013815307149821392}, {true, true, true},
   {599.96210529387793, 600.03792304052058, -0.037427079039616729, 0.038390667603039219},
   {599.99770826431813, 600.0023044657197, -0.0021513819419851643, 0.0024448194595834138}, 599.99985964626012, 57},
  {"mixed diagonals, 200, tilted", 33u, 200, MIXED_DIAGONALS, 0.3, 0.1, -0.25,
   {0.300161732212333, 0.099237058439519812, -0.24991454706169602}, {true, true, true},
   {207.7567896581387, 898.18802808932173, -0.13226659802455742, 0.13229561506011578},
   {207.74658755027431, 898.07932242382094, -0.0020908803005568188, 0.0021291933292104659}, 600.00018865637173, 64},
  {"xy only, 30", 44u, 30, XY_ONLY, 0.2, 0.0, 0.0,
   {0.19979400107399053, 0, 0}, {true, false, false},
   {223.77762789518064, 840.19384759325158, -0.061448240288314082, 0.062043070466870631},
   {223.77806832878102, 840.19139019056854, -0.0019999389726308436, 0.0021165218299756816}, 599.99989934752932, 16},
  {"body lengths, square machine, 100", 55u, 100, BODY_LENGTHS, 0.0, 0.0, 0.0,
   {-0.00098571821788104958, -0.00020904585460068806, 0.001068114789924696}, {true, true, true},
   {200.01279972460463, 889.26269157947866, -0.0019791986157997599, 0.0019387229951917107},
   {200.01278891924002, 889.26215250859616, -0.0020262745513264235, 0.0022952308570438618}, 0.0, 0},
  {"mixed diagonals, 143, strongly tilted", 66u, 143, MIXED_DIAGONALS, 1.5, -0.9, 0.7,
   {1.500040560740117, -0.89992662384913202, 0.70024101019693819}, {true, true, true},
   {205.01402401187786, 880.870114896833, -0.65235317057567954, 0.67151260948116942},
   {205.01183768599955, 880.86795876192753, -0.0021970302664158226, 0.0020217615164597191}, 600.00025275488281, 44},
};

struct TRegressionLine
{
  TVector3 direction;
  bool ball_bar;
};

std::vector<TRegressionLine> Regression_Lines(const TRegressionLayout& layout)
{
  std::vector<TRegressionLine> lines;
  for(int i = 0; i < layout.ball_bar_count; ++i)
    lines.push_back({layout.ball_bars[i], true});
  for(int group = 0; group < 2; ++group)
    for(int i = 0; i < layout.length_count[group]; ++i)
      lines.push_back({layout.lengths[group][i], false});
  return lines;
}

// Uniform in [low, high) from the raw bits of the generator, so that the sets
// do not depend on the library's distributions.
double Uniform(std::mt19937_64* random, double low, double high)
{
  return low + (high - low) * static_cast<double>((*random)() >> 11) / 9007199254740992.0;
}

TVector3 Random_Vector(std::mt19937_64* random, double low, double high)
{
  const double x = Uniform(random, low, high);
  const double y = Uniform(random, low, high);
  const double z = Uniform(random, low, high);
  return TVector3(x, y, z);
}

// Records with directions up to about a degree off the nominal lines and
// noisy lengths, copied as the window hands them over.
TMeasurementSnapshot Regression_Snapshot(const TRegressionCase& set)
{
  std::mt19937_64 random(set.seed);
  const TSimulatedMachine machine(set.xy, set.yz, set.zx);
  const std::vector<TRegressionLine> lines = Regression_Lines(set.layout);

  std::vector<std::unique_ptr<TMeasurement>> records;
  std::vector<TMeasurement*> list;
  for(int i = 0; i < set.count; ++i)
  {
    const TRegressionLine& line = lines[static_cast<std::size_t>(i) % lines.size()];
    TVector3 u = Unit(line.direction);
    u += Random_Vector(&random, -0.02, 0.02);
    u.Normal();
    const TVector3 position = Random_Vector(&random, -400.0, 400.0);
    const double true_length = line.ball_bar ? 600.0 : Uniform(&random, 200.0, 900.0);
    const double reported = machine.Reported_Length(u, true_length) + Uniform(&random, -0.002, 0.002);

    std::unique_ptr<TMeasurement> record;
    if(line.ball_bar)
      record = std::make_unique<TMeasurementBallBar>();
    else
      record = std::make_unique<TMeasurementLength>();
    record->Set_Axis(u);
    record->Set_Position(position);
    record->Set_Actual_Length(reported);
    record->Set_Nominal_Length(line.ball_bar ? reported : true_length);
    list.push_back(record.get());
    records.push_back(std::move(record));
  }
  return Snapshot_Of(list);
}
}

class TTestSquareSearch : public QObject
{
  Q_OBJECT

private slots:
  void workedExample_data();
  void workedExample();
  void simulatedMachine_data();
  void simulatedMachine();
  void absurdInputEnds_data();
  void absurdInputEnds();
  void endlesslyFallingErrorEnds();
  void resultIsThatOfTheLastPass();
  void interruptionEndsLineSearches();
  void sameResultsAsBefore_data();
  void sameResultsAsBefore();
};

void TTestSquareSearch::workedExample_data()
{
  QTest::addColumn<bool>("ball_bars");
  QTest::addColumn<double>("length_along_plus");
  QTest::addColumn<double>("length_along_minus");
  QTest::addColumn<double>("expected_xy");

  QTest::newRow("ball bars") << true << 999.9 << 1000.1 << 0.2;
  QTest::newRow("ball bars swapped") << true << 1000.1 << 999.9 << -0.2;
  QTest::newRow("lengths") << false << 999.9 << 1000.1 << 0.2;
  QTest::newRow("lengths swapped") << false << 1000.1 << 999.9 << -0.2;
}

// Two face diagonals of 1000 mm that a machine with an XY error of e rad
// reports as 1000 / sqrt(1 +- e): 0.1 mm shorter and longer give 0.2 mm/m.
void TTestSquareSearch::workedExample()
{
  QFETCH(bool, ball_bars);
  QFETCH(double, length_along_plus);
  QFETCH(double, length_along_minus);
  QFETCH(double, expected_xy);

  const TMeasurement::TMeasurementType type = ball_bars ? TMeasurement::MEASUREMENT_BALLBAR
                                                        : TMeasurement::MEASUREMENT_LENGTH;
  const double nominal_plus = ball_bars ? length_along_plus : 1000.0;
  const double nominal_minus = ball_bars ? length_along_minus : 1000.0;
  const TFitResult result =
    Fit_Square({{type, TVector3(5, 5, 5), Unit(TVector3(1, 1, 0)), nominal_plus, length_along_plus},
                {type, TVector3(-5, 300, 0), Unit(TVector3(1, -1, 0)), nominal_minus, length_along_minus}});

  QVERIFY2(std::fabs(result.xy_error - expected_xy) < 1e-6, qPrintable(QString::number(result.xy_error, 'g', 17)));
  QVERIFY(result.valid.xy);
  QCOMPARE(result.yz_error, 0.0);
  QVERIFY(!result.valid.yz);
  QCOMPARE(result.zx_error, 0.0);
  QVERIFY(!result.valid.zx);
  QCOMPARE(result.ballbar_count, ball_bars ? 2 : 0);
  QVERIFY(!ball_bars || std::fabs(result.ballbar_length - 1000.0) < 1e-3);
}

void TTestSquareSearch::simulatedMachine_data()
{
  QTest::addColumn<int>("set");
  QTest::addColumn<double>("xy");
  QTest::addColumn<double>("yz");
  QTest::addColumn<double>("zx");
  QTest::addColumn<bool>("all_valid");

  QTest::newRow("ball bars on face diagonals") << int(BALL_BAR_FACE_DIAGONALS) << 0.05 << -0.03 << 0.02 << true;
  QTest::newRow("ball bars on body diagonals") << int(BALL_BAR_BODY_DIAGONALS) << 0.05 << -0.03 << 0.02 << true;
  QTest::newRow("lengths on axes and face diagonals")
    << int(LENGTH_AXES_AND_FACE_DIAGONALS) << -0.12 << 0.08 << 0.015 << true;
  QTest::newRow("lengths on axes, ball bars on body diagonals")
    << int(LENGTH_AXES_AND_BODY_DIAGONALS_BALL_BAR) << 0.3 << 0.1 << -0.25 << true;
}

void TTestSquareSearch::simulatedMachine()
{
  QFETCH(int, set);
  QFETCH(double, xy);
  QFETCH(double, yz);
  QFETCH(double, zx);
  QFETCH(bool, all_valid);

  const TFitResult result = Fit_Square(Simulated_Set(TSimulatedMachine(xy, yz, zx), TSimulatedSet(set)));

  const QString message = QString("fitted %1 %2 %3")
                            .arg(result.xy_error, 0, 'g', 12)
                            .arg(result.yz_error, 0, 'g', 12)
                            .arg(result.zx_error, 0, 'g', 12);
  QVERIFY2(std::fabs(result.xy_error - xy) < 1e-5, qPrintable(message));
  QVERIFY2(std::fabs(result.yz_error - yz) < 1e-5, qPrintable(message));
  QVERIFY2(std::fabs(result.zx_error - zx) < 1e-5, qPrintable(message));
  QCOMPARE(result.valid.xy && result.valid.yz && result.valid.zx, all_valid);
}

void TTestSquareSearch::absurdInputEnds_data()
{
  QTest::addColumn<double>("length_along_plus");
  QTest::addColumn<double>("nominal_along_plus");
  QTest::addColumn<double>("length_along_minus");

  const double infinity = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  QTest::newRow("nan") << nan << 1000.0 << 1000.0;
  QTest::newRow("infinite") << infinity << 1000.0 << 1000.0;
  QTest::newRow("infinite nominal") << 1000.0 << infinity << 1000.0;
  QTest::newRow("huge") << 1e300 << 1000.0 << 1000.0;
  QTest::newRow("huge nominal") << 1000.0 << 1e12 << 1000.0;
  QTest::newRow("zero and huge") << 0.0 << 1000.0 << 1e9;
  QTest::newRow("negative") << -1000.0 << 1000.0 << 1000.0;
}

// The fit ends on any input; the values themselves are not meaningful here.
void TTestSquareSearch::absurdInputEnds()
{
  QFETCH(double, length_along_plus);
  QFETCH(double, nominal_along_plus);
  QFETCH(double, length_along_minus);

  const auto line = [](TMeasurement::TMeasurementType type, const TVector3& axis, double actual, double nominal) {
    return TMeasurementValues{type, TVector3(), Unit(axis), nominal, actual};
  };
  const TMeasurement::TMeasurementType length = TMeasurement::MEASUREMENT_LENGTH;
  const TMeasurement::TMeasurementType ball_bar = TMeasurement::MEASUREMENT_BALLBAR;
  const TFitResult result = Fit_Square({line(length, TVector3(1, 1, 0), length_along_plus, nominal_along_plus),
                                        line(length, TVector3(1, -1, 0), length_along_minus, 1000.0),
                                        line(ball_bar, TVector3(0, 1, 1), length_along_plus, length_along_plus),
                                        line(ball_bar, TVector3(0, 1, -1), length_along_minus, length_along_minus),
                                        line(length, TVector3(1, 0, 1), length_along_minus, nominal_along_plus),
                                        line(length, TVector3(1, 0, -1), length_along_plus, 1000.0)});
  QVERIFY(result.valid.xy);
}

// A length along X that should be 0 makes the error fall with every step that
// turns X towards Y, for millions of steps; the bounded line searches end the
// fit regardless.
void TTestSquareSearch::endlesslyFallingErrorEnds()
{
  const TMeasurement::TMeasurementType type = TMeasurement::MEASUREMENT_LENGTH;
  const TFitResult result = Fit_Square({{type, TVector3(), Unit(TVector3(1, 1, 0)), 0.0, 0.0},
                                        {type, TVector3(), Unit(TVector3(1, -1, 0)), 0.0, 0.0},
                                        {type, TVector3(), Unit(TVector3(1, 0, 0)), 0.0, 1000.0}});

  QVERIFY(result.valid.xy);
  QVERIFY(std::isfinite(result.xy_error));
  QVERIFY2(result.xy_error > 1570.0 && result.xy_error < 1571.0, qPrintable(QString::number(result.xy_error, 'g', 12)));
}
// The final statistics and the ball-bar length are those of the snapshot as
// the last pass left it, at the fitted axes; the errors are the axes' angles.
void TTestSquareSearch::resultIsThatOfTheLastPass()
{
  const TMeasurementSnapshot snapshot = Regression_Snapshot(regression_cases[0]);
  TSquareSearch search;
  search.Restart(snapshot);
  while(!search.Converged())
    search.Run_Pass();

  const TFitResult result = search.Result();
  const TLengthStatistics final_statistics = Final_Statistics(search.Snapshot(), result.axes);
  QVERIFY(result.final_statistics.min_error == final_statistics.min_error);
  QVERIFY(result.final_statistics.max_error == final_statistics.max_error);
  for(const TMeasurementValues& values : search.Snapshot())
    if(values.type == TMeasurement::MEASUREMENT_BALLBAR)
      QVERIFY(values.nominal_length == result.ballbar_length);
  QVERIFY(std::fabs(std::tan(result.xy_error / 1000.0) - result.axes.x.y / result.axes.x.x) < 1e-15);
  QVERIFY(std::fabs(std::tan(result.zx_error / 1000.0) - result.axes.z.x / result.axes.z.z) < 1e-15);
  QVERIFY(Fit_Square(snapshot).xy_error == result.xy_error);
}

// Asked after each improving step: once it answers true, every line search
// of the pass ends after its first step, and the step back leaves the axes
// where they were.
void TTestSquareSearch::interruptionEndsLineSearches()
{
  const TMeasurementSnapshot snapshot = Regression_Snapshot(regression_cases[2]);
  int questions = 0;
  TSquareSearch interrupted([&questions] { return ++questions > 0; });
  interrupted.Restart(snapshot);
  interrupted.Run_Pass();
  QVERIFY(questions <= 3);
  QVERIFY(std::fabs(interrupted.Result().xy_error) < 1e-9);
  QVERIFY(!interrupted.Converged());

  questions = 0;
  TSquareSearch never([&questions] { return ++questions < 0; });
  never.Restart(snapshot);
  while(!never.Converged())
    never.Run_Pass();
  QVERIFY(questions > 3);
  QVERIFY(never.Result().xy_error == regression_cases[2].fitted[0]);
}

void TTestSquareSearch::sameResultsAsBefore_data()
{
  QTest::addColumn<int>("index");
  for(int i = 0; i < int(sizeof(regression_cases) / sizeof(regression_cases[0])); ++i)
    QTest::newRow(regression_cases[i].name) << i;
}

// To the last bit: QCOMPARE on two doubles would accept a difference in the
// last digits, their distance in units of the last place must be 0.
void TTestSquareSearch::sameResultsAsBefore()
{
  QFETCH(int, index);
  const TRegressionCase& set = regression_cases[index];

  const TFitResult result = Fit_Square(Regression_Snapshot(set));

  QCOMPARE(qFloatDistance(result.xy_error, set.fitted[0]), quint64(0));
  QCOMPARE(qFloatDistance(result.yz_error, set.fitted[1]), quint64(0));
  QCOMPARE(qFloatDistance(result.zx_error, set.fitted[2]), quint64(0));
  QCOMPARE(qFloatDistance(result.initial_statistics.min_length, set.initial[0]), quint64(0));
  QCOMPARE(qFloatDistance(result.initial_statistics.max_length, set.initial[1]), quint64(0));
  QCOMPARE(qFloatDistance(result.initial_statistics.min_error, set.initial[2]), quint64(0));
  QCOMPARE(qFloatDistance(result.initial_statistics.max_error, set.initial[3]), quint64(0));
  QCOMPARE(qFloatDistance(result.final_statistics.min_length, set.final[0]), quint64(0));
  QCOMPARE(qFloatDistance(result.final_statistics.max_length, set.final[1]), quint64(0));
  QCOMPARE(qFloatDistance(result.final_statistics.min_error, set.final[2]), quint64(0));
  QCOMPARE(qFloatDistance(result.final_statistics.max_error, set.final[3]), quint64(0));
  QCOMPARE(qFloatDistance(result.ballbar_length, set.ballbar_length), quint64(0));
  QCOMPARE(result.valid.xy, set.valid[0]);
  QCOMPARE(result.valid.yz, set.valid[1]);
  QCOMPARE(result.valid.zx, set.valid[2]);
  QCOMPARE(result.ballbar_count, set.ballbar_count);
  QVERIFY(result.has_statistics);
}

QTEST_GUILESS_MAIN(TTestSquareSearch)

#include "test_squaresearch.moc"
