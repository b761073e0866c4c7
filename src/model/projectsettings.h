// What a project keeps besides its records: the stated uncertainties of the
// measured lengths, which the uncertainty analysis propagates to the errors,
// and the information a report names (projectinformation.h). A project whose
// settings are the defaults is written without them.
#ifndef PROJECTSETTINGS_H
#define PROJECTSETTINGS_H

#include "measurement.h"
#include "projectinformation.h"

// Standard uncertainty of a measured length L (mm): u = sqrt(a² + (b·L/1000)²) µm.
struct TLengthUncertainty
{
  double constant_um = 0.0;           // a, µm
  double proportional_um_per_m = 0.0; // b, µm/m

  // u of a length (mm), in mm.
  double Of_Length(double length) const;
  // Both values are finite and not negative.
  bool Is_Valid() const;
};

bool operator==(const TLengthUncertainty& a, const TLengthUncertainty& b);
bool operator!=(const TLengthUncertainty& a, const TLengthUncertainty& b);

// The stated length uncertainties, one per kind of record.
struct TUncertaintySettings
{
  TLengthUncertainty ball_bar{1.0, 1.0};
  TLengthUncertainty length{0.5, 0.5};

  const TLengthUncertainty& Of_Type(TMeasurement::TMeasurementType type) const;
  // True for the defaults above; a project with default settings omits them.
  bool Is_Default() const;
};

bool operator==(const TUncertaintySettings& a, const TUncertaintySettings& b);
bool operator!=(const TUncertaintySettings& a, const TUncertaintySettings& b);

struct TProjectSettings
{
  TUncertaintySettings uncertainty;
  TProjectInformation information;

  bool Is_Default() const;
};

bool operator==(const TProjectSettings& a, const TProjectSettings& b);
bool operator!=(const TProjectSettings& a, const TProjectSettings& b);

#endif
