// Feeds arbitrary bytes to the measurement importer through one reused
// temporary file and checks the import contract on the way back.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "fuzz_input.h"
#include "measurement_factory.h"

namespace
{
  void Discard_Message(QtMsgType, const QMessageLogContext&, const QString&) {}

  const QString& Input_Path() { return ::Input_Path(QStringLiteral("input")); }

  void Check_Import()
  {
    TMeasurementFactory factory;
    bool valid = false;
    std::vector<TMeasurement*> measurements = factory.Load_File(Input_Path(), &valid);

    if(!valid && (!measurements.empty() || !factory.Last_Error().startsWith("ERR:  ")))
      std::abort();
    if(valid && !factory.Last_Error().isEmpty())
      std::abort();

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
