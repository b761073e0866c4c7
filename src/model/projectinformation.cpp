#include "projectinformation.h"

bool TInstrument::Is_Empty() const
{
  return name.isEmpty() && serial_number.isEmpty() && certificate.isEmpty();
}

bool operator==(const TInstrument& a, const TInstrument& b)
{
  return a.name == b.name && a.serial_number == b.serial_number && a.certificate == b.certificate;
}

bool operator!=(const TInstrument& a, const TInstrument& b)
{
  return !(a == b);
}

bool TProjectInformation::Is_Empty() const
{
  return *this == TProjectInformation();
}

bool operator==(const TProjectInformation& a, const TProjectInformation& b)
{
  return a.machine_maker == b.machine_maker && a.machine_model == b.machine_model &&
         a.machine_serial_number == b.machine_serial_number && a.customer == b.customer &&
         a.operator_name == b.operator_name && a.measurement_date == b.measurement_date &&
         a.instruments == b.instruments && a.air_temperature_c == b.air_temperature_c &&
         a.machine_temperature_c == b.machine_temperature_c && a.notes == b.notes;
}

bool operator!=(const TProjectInformation& a, const TProjectInformation& b)
{
  return !(a == b);
}
