// What a calibration certificate names besides the results: the machine, the
// customer, who measured when, with which instruments, at what temperatures,
// and free notes. Kept with the project settings; all of it is optional.
#ifndef PROJECTINFORMATION_H
#define PROJECTINFORMATION_H

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

// One instrument used for the measurement.
struct TInstrument
{
  QString name;
  QString serial_number;
  QString certificate; // number of its calibration certificate

  bool Is_Empty() const;
};

bool operator==(const TInstrument& a, const TInstrument& b);
bool operator!=(const TInstrument& a, const TInstrument& b);

struct TProjectInformation
{
  QString machine_maker;
  QString machine_model;
  QString machine_serial_number;
  QString customer;
  QString operator_name;
  QDate measurement_date; // null when not given
  std::vector<TInstrument> instruments;
  std::optional<double> air_temperature_c;
  std::optional<double> machine_temperature_c;
  QString notes;

  // Nothing is given: such a project is written without the information.
  bool Is_Empty() const;
};

bool operator==(const TProjectInformation& a, const TProjectInformation& b);
bool operator!=(const TProjectInformation& a, const TProjectInformation& b);

#endif
