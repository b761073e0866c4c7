// Results documents: ball-bar and step-gauge results in XML.
#include "measurement_factory.h"

std::vector<TMeasurement*> TMeasurementFactory::Load_Cordwell_Results_File(const QByteArray&, TImportFileType)
{
  return std::vector<TMeasurement*>();
}
