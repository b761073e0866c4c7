// Any project that loads must save, and load again to the same records: the
// same kinds in the same order, the same names, and every number equal to
// what was read within the precision it is written with. The project's
// settings come back exactly.
#include <QByteArray>
#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "projectfile.h"

namespace
{
  void Discard_Message(QtMsgType, const QMessageLogContext&, const QString&) {}

  // Half a unit of the last written decimal, plus the rounding of a double
  // of that size; not-a-number must stay not-a-number.
  bool Same_Number(double first, double second, int decimals)
  {
    if(std::isnan(first) || std::isnan(second))
      return std::isnan(first) && std::isnan(second);
    if(std::isinf(first) || std::isinf(second))
      return first == second;
    const double tolerance = 0.5 * std::pow(10.0, -decimals) + 4e-16 * std::max(std::fabs(first), std::fabs(second));
    return std::fabs(first - second) <= tolerance;
  }

  // An axis is normalised again when read, which can move a component by a
  // rounding of its own beyond the written decimals.
  bool Same_Vector(const TVector3& first, const TVector3& second, int decimals)
  {
    return Same_Number(first.x, second.x, decimals) && Same_Number(first.y, second.y, decimals) &&
           Same_Number(first.z, second.z, decimals);
  }

  bool Same_Record(const TMeasurement& first, const TMeasurement& second)
  {
    return first.Type() == second.Type() && first.Name() == second.Name() &&
           Same_Vector(first.Position(), second.Position(), 6) && Same_Vector(first.Axis(), second.Axis(), 11) &&
           Same_Number(first.Actual_Length(), second.Actual_Length(), 6) &&
           (first.Type() == TMeasurement::MEASUREMENT_BALLBAR ||
            (Same_Number(first.Nominal_Length(), second.Nominal_Length(), 6) &&
             Same_Number(first.Draw_Offset(), second.Draw_Offset(), 1)));
  }

  std::vector<TMeasurement*> Pointers(const TProjectFile::TRecords& records)
  {
    std::vector<TMeasurement*> pointers;
    for(const std::unique_ptr<TMeasurement>& record : records)
      pointers.push_back(record.get());
    return pointers;
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static const QtMessageHandler previous_handler = qInstallMessageHandler(Discard_Message);
  Q_UNUSED(previous_handler);

  TProjectFile::TRecords first;
  TProjectSettings first_settings;
  QString error;
  if(!TProjectFile::Load_Data(QByteArray(reinterpret_cast<const char*>(data), int(size)), &first, &error, nullptr,
                              &first_settings))
    return 0;

  QByteArray saved;
  if(!TProjectFile::Save_Data(&saved, Pointers(first), &error, first_settings))
    std::abort();
  TProjectFile::TRecords second;
  TProjectSettings second_settings;
  if(!TProjectFile::Load_Data(saved, &second, &error, nullptr, &second_settings))
    std::abort();

  if(first_settings != second_settings)
    std::abort();
  if(first.size() != second.size())
    std::abort();
  for(size_t i = 0; i < first.size(); ++i)
    if(!Same_Record(*first[i], *second[i]))
      std::abort();
  return 0;
}
