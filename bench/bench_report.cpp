// The report of 100 measurements (results, the 3D view's picture and the PDF
// or HTML file), and the command line's analysis of a ball-bar file of
// 100 000 lines (reading, fit, uncertainty and JSON).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <cmath>
#include <memory>
#include <random>

#include "cli_options.h"
#include "cli_run.h"
#include "measurementset.h"
#include "reportfile.h"
#include "reportpictures.h"

namespace
{
const TVector3 DIRECTIONS[] = {TVector3(1, 1, 1), TVector3(-1, 1, 1), TVector3(-1, -1, 1), TVector3(1, -1, 1),
                               TVector3(1, 1, 0), TVector3(1, -1, 0), TVector3(0, 1, 1),   TVector3(0, 1, -1),
                               TVector3(1, 0, 1), TVector3(1, 0, -1)};
const int DIRECTION_COUNT = sizeof(DIRECTIONS) / sizeof(DIRECTIONS[0]);

// A ball bar of about 700 mm along a diagonal, or a 500 mm length along one.
std::unique_ptr<TMeasurement> Record(int i, std::mt19937* random)
{
  std::normal_distribution<double> noise(0.0, 0.001);
  TVector3 axis = DIRECTIONS[i % DIRECTION_COUNT];
  axis.Normal();
  std::unique_ptr<TMeasurement> record;
  if(i % 5 == 4)
  {
    record = std::make_unique<TMeasurementLength>();
    record->Set_Nominal_Length(500.0);
    record->Set_Actual_Length(500.0 + noise(*random));
  }
  else
  {
    record = std::make_unique<TMeasurementBallBar>();
    record->Set_Actual_Length(700.0 + noise(*random));
  }
  record->Set_Name(QStringLiteral("M%1").arg(i + 1));
  record->Set_Axis(axis);
  record->Set_Position(TVector3(i % 7 * 10.0, i % 11 * 10.0, i % 13 * 10.0));
  return record;
}

void Fill_Set(TMeasurementSet* set, int count)
{
  std::mt19937 random(4321);
  std::vector<std::unique_ptr<TMeasurement>> records;
  for(int i = 0; i < count; ++i)
    records.push_back(Record(i, &random));
  set->Reset(std::move(records));
}

void BM_Report(benchmark::State& state, const char* name)
{
  TMeasurementSet set;
  Fill_Set(&set, static_cast<int>(state.range(0)));
  QTemporaryDir directory;
  const QString path = directory.filePath(QString::fromLatin1(name));
  for(auto _ : state)
  {
    TReportContent content;
    content.results = Compute_Set_Results(set);
    content.created = QDateTime::currentDateTime();
    Add_Report_Pictures(&content, set.Records(), Iso_View_Orientation());
    QString error;
    if(!Write_Report(path, content, &error))
      state.SkipWithError(qPrintable(error));
  }
}
BENCHMARK_CAPTURE(BM_Report, pdf, "report.pdf")->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Report, html, "report.html")->Arg(100)->Unit(benchmark::kMillisecond);

// A BallBar_V1 file: name, index, both sphere centres and the fixture.
QString Ballbar_File(const QString& path, int lines)
{
  QFile file(path);
  if(!file.open(QIODevice::WriteOnly))
    return QString();
  QTextStream out(&file);
  out << "BallBar_V1\n";
  std::mt19937 random(99);
  std::normal_distribution<double> noise(0.0, 0.001);
  for(int i = 0; i < lines; ++i)
  {
    TVector3 axis = DIRECTIONS[i % 4];
    axis.Normal();
    const TVector3 half = axis * (0.5 * (700.0 + noise(random)));
    out << "BB" << i + 1 << ',' << i + 1 << ',' << QString::number(-half.x, 'f', 6) << ','
        << QString::number(-half.y, 'f', 6) << ',' << QString::number(-half.z, 'f', 6) << ','
        << QString::number(half.x, 'f', 6) << ',' << QString::number(half.y, 'f', 6) << ','
        << QString::number(half.z, 'f', 6) << ",0,0,0\n";
  }
  return path;
}

void BM_Cli_Ballbar_File(benchmark::State& state)
{
  QTemporaryDir directory;
  const QString file = Ballbar_File(directory.filePath("ballbar.dat"), static_cast<int>(state.range(0)));
  const TCliOptions options = Parse_Cli_Arguments({"orthavel-cli", "--format", "json", file});
  for(auto _ : state)
  {
    QString output_text, errors_text;
    QTextStream output(&output_text);
    QTextStream errors(&errors_text);
    if(Run_Cli(options, output, errors) != CLI_SUCCESS)
      state.SkipWithError(qPrintable(errors_text));
    benchmark::DoNotOptimize(output_text.size());
  }
}
BENCHMARK(BM_Cli_Ballbar_File)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
}

int main(int argc, char** argv)
{
  if(qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
