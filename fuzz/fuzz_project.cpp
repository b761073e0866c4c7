// Feeds arbitrary bytes to the project reader through one reused *.square
// file and checks what any load leaves behind: records with unit axes and a
// draw offset within 1 to 10, ball bars before length records, and an "ERR:"
// message for every failed load.
#include <QString>
#include <cstdint>
#include <cstdlib>

#include "fuzz_input.h"
#include "projectfile.h"

namespace
{
  void Discard_Message(QtMsgType, const QMessageLogContext&, const QString&) {}

  const QString& Input_Path() { return ::Input_Path(QStringLiteral("input.square")); }

  void Check_Records(const TProjectFile::TRecords& records)
  {
    bool length_seen = false;
    for(const std::unique_ptr<TMeasurement>& record : records)
    {
      if(!record)
        std::abort();
      const double length = record->Axis().Length();
      if(!(length > 0.999999 && length < 1.000001))
        std::abort();
      if(record->Type() == TMeasurement::MEASUREMENT_LENGTH)
      {
        length_seen = true;
        const double offset = record->Draw_Offset();
        if(!(offset >= 1.0 && offset <= 10.0))
          std::abort();
      }
      else if(length_seen)
        std::abort();
    }
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static const QtMessageHandler previous_handler = qInstallMessageHandler(Discard_Message);
  Q_UNUSED(previous_handler);

  Write_Input(Input_Path(), data, size);
  TProjectFile::TRecords records;
  QString error;
  const bool loaded = TProjectFile::Load(Input_Path(), &records, &error);
  Check_Records(records);
  if(loaded != error.isEmpty() || (!loaded && !error.startsWith(QStringLiteral("ERR:  "))))
    std::abort();
  return 0;
}
