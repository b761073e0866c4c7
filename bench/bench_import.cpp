// Import speed and memory for large instrument files: a 100 000-line ball-bar
// file, a 100 000-line length data file and a 100 000-reading raw laser file.
// Counters: file size, peak resident memory growth during one import and its
// ratio to the file size.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <fstream>
#include <memory>
#include <string>

#include "measurement_factory.h"

namespace
{
  constexpr int LINE_COUNT = 100000;

  QTemporaryDir& Directory()
  {
    static QTemporaryDir directory;
    return directory;
  }

  QString Write_File(const QString& name, const QByteArray& content)
  {
    const QString path = Directory().filePath(name);
    QFile file(path);
    if(!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
      return QString();
    return path;
  }

  QByteArray Ballbar_Content()
  {
    QByteArray content = "BallBar_V1\n# name, unused, sphere 1, sphere 2, offset\n";
    for(int i = 0; i < LINE_COUNT; ++i)
    {
      const double shift = 0.001 * (i % 1000);
      content += QString("Bar %1,0,%2,12.5,-40.25,%3,312.5,259.75,100.0,200.0,0.0\n")
                   .arg(i)
                   .arg(10.0 + shift, 0, 'f', 4)
                   .arg(310.0 - shift, 0, 'f', 4)
                   .toLatin1();
    }
    return content;
  }

  QByteArray Length_Data_Content()
  {
    QByteArray content = "Length_Data:Version=1:Type=Measurement\n:Data_Begin\n";
    for(int i = 0; i < LINE_COUNT; ++i)
    {
      const double end = 100.0 + (i % 900);
      content += QString("0.0,0.0,0.0,%1,0.0,0.0,%2,%3\n").arg(end, 0, 'f', 4).arg(end, 0, 'f', 1).arg(end + 0.0012, 0, 'f', 4).toLatin1();
    }
    return content + ":Data_End\n";
  }

  QByteArray Laser_Readings_Content()
  {
    QByteArray content = "Kelvo_Raw_Measurement:Version=1:Type=Machine_And_Laser\n"
                         "Start_Point:0,0,0\nMeasurement_Axis:1,0,0\nMeasurement_Type:Scale\n"
                         "Measurement_Begin:\nDescription:X\n";
    // Readings in descending order, ten at each position.
    for(int i = 0; i < LINE_COUNT; ++i)
    {
      const double position = 2.0 * ((LINE_COUNT - i) / 10) + 0.01 * (i % 10);
      content += QString("Point:%1,%2,%3,%2,0.0,0.0,0.0,0.0\n")
                   .arg(i)
                   .arg(position, 0, 'f', 4)
                   .arg(position + 0.0003, 0, 'f', 4)
                   .toLatin1();
    }
    return content + "Measurement_End:\n";
  }

  long Peak_Resident_Kib()
  {
    std::ifstream status("/proc/self/status");
    std::string line;
    while(std::getline(status, line))
    {
      if(line.compare(0, 6, "VmHWM:") == 0)
        return std::stol(line.substr(6));
    }
    return -1;
  }

  // Resets the peak to the current resident size (Linux 4.0 and later).
  bool Reset_Peak_Resident()
  {
    std::ofstream clear_refs("/proc/self/clear_refs");
    clear_refs << "5";
    return bool(clear_refs);
  }

  void Delete_Records(std::vector<TMeasurement*>* records)
  {
    for(TMeasurement* record : *records)
      delete record;
    records->clear();
  }

  // Peak growth of resident memory during one import, in bytes.
  double Import_Peak_Growth(const QString& path, size_t* record_count)
  {
    malloc_trim(0);
    if(!Reset_Peak_Resident())
      return -1.0;
    const long before = Peak_Resident_Kib();

    TMeasurementFactory factory;
    bool valid = false;
    std::vector<TMeasurement*> records = factory.Load_File(path, &valid);
    const long after = Peak_Resident_Kib();

    *record_count = records.size();
    Delete_Records(&records);
    return 1024.0 * double(after - before);
  }

  void Run_Import(benchmark::State& state, const QString& name, QByteArray (*make_content)())
  {
    const QByteArray content = make_content();
    const QString path = Write_File(name, content);
    if(path.isEmpty())
    {
      state.SkipWithError("cannot write the input file");
      return;
    }
    const double file_size = double(content.size());

    size_t record_count = 0;
    const double peak_growth = Import_Peak_Growth(path, &record_count);

    for(auto _ : state)
    {
      TMeasurementFactory factory;
      bool valid = false;
      std::vector<TMeasurement*> records = factory.Load_File(path, &valid);
      benchmark::DoNotOptimize(records.data());

      state.PauseTiming();
      Delete_Records(&records);
      state.ResumeTiming();
    }

    state.counters["file_MB"] = file_size / 1e6;
    state.counters["records"] = double(record_count);
    state.counters["peak_MB"] = peak_growth / 1e6;
    state.counters["peak_per_file_size"] = peak_growth / file_size;
  }

  void BM_Import_Ballbar_100k_Lines(benchmark::State& state)
  {
    Run_Import(state, "ballbar.txt", Ballbar_Content);
  }

  void BM_Import_Length_Data_100k_Lines(benchmark::State& state)
  {
    Run_Import(state, "length_data.txt", Length_Data_Content);
  }

  void BM_Import_Laser_100k_Readings(benchmark::State& state)
  {
    Run_Import(state, "laser.txt", Laser_Readings_Content);
  }
}

BENCHMARK(BM_Import_Ballbar_100k_Lines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import_Length_Data_100k_Lines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import_Laser_100k_Readings)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
