// Feeds arbitrary bytes to the measurement importer through one reused
// temporary file and checks the import contract and its report on the way back.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "fuzz_input.h"
#include "measurement_factory.h"

namespace
{
  void Discard_Message(QtMsgType, const QMessageLogContext&, const QString&) {}

  const QString& Input_Path() { return ::Input_Path(QStringLiteral("input")); }

  // What the report promises: counts that add up, details only of skipped
  // lines, no more names than records, and a reason exactly when a
  // recognised file gave nothing (every data line then skipped). A file that
  // was not recognised reports nothing.
  void Check_Report(const TImportReport& report, bool valid, size_t record_count)
  {
    if(report.data_lines < 0 || report.skipped_lines < 0 || report.skipped_lines > report.data_lines)
      std::abort();
    if(report.skip_details.size() > std::min(report.skipped_lines, int(TImportReport::MAXIMUM_SKIP_DETAILS)))
      std::abort();
    if(size_t(report.zero_direction_records.size()) > record_count)
      std::abort();
    if(!valid && (report.data_lines != 0 || !report.nothing_found_reason.isEmpty()))
      std::abort();
    if(valid && (record_count == 0) == report.nothing_found_reason.isEmpty())
      std::abort();
    if(valid && record_count == 0 && report.skipped_lines != report.data_lines)
      std::abort();
  }

  void Check_Import()
  {
    TMeasurementFactory factory;
    bool valid = false;
    std::vector<TMeasurement*> measurements = factory.Load_File(Input_Path(), &valid);

    if(!valid && (!measurements.empty() || !factory.Last_Error().startsWith("ERR:  ")))
      std::abort();
    if(valid && !factory.Last_Error().isEmpty())
      std::abort();
    Check_Report(factory.Last_Report(), valid, measurements.size());

    for(TMeasurement* measurement : measurements)
    {
      if(!measurement)
        std::abort();
      delete measurement;
    }
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static const QtMessageHandler previous_handler = qInstallMessageHandler(Discard_Message);
  Q_UNUSED(previous_handler);

  Write_Input(Input_Path(), data, size);
  Check_Import();
  return 0;
}
