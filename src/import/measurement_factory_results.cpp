// Results documents: averaged ball-bar measurements and step-gauge lengths in
// XML. A missing required element ends the reading; what was read is kept.
#include "measurement_factory.h"

#include <QtGlobal>
#include <cmath>

#include "xmlfile.h"

namespace
{
  constexpr double FIRST_STEPGAUGE_DRAW_OFFSET = 5.0;
  constexpr double MINIMUM_STEPGAUGE_LENGTH = 1.0;
  constexpr double AXIS_DIRECTION_LIMIT = 0.95;

  class TResultsReader
  {
  public:
    explicit TResultsReader(std::vector<TMeasurement*>* measurements) : d_measurements(measurements) {}

    void Read(const QByteArray& file_data);

  private:
    void Read_Ballbars(QDomElement* root);
    void Read_Bar(QDomElement* bar);
    void Read_Stepgauges(QDomElement* root);
    void Read_Stepgauge(QDomElement* fleet);
    bool Read_Mean_Actual(QDomElement* value, double* mean) const;

    double Read_Double(QDomElement* parent, const char* name) const;
    TVector3 Read_Vector(QDomElement* parent, const char* name, const char* x, const char* y, const char* z) const;

    TXmlFile d_xml;
    std::vector<TMeasurement*>* d_measurements;
  };

  QString Stepgauge_Name(const TVector3& direction, double calibrated_length)
  {
    const char* format = "Diagonal Length:%1";
    if(std::fabs(direction.x) > AXIS_DIRECTION_LIMIT)
      format = "X Axis Length:%1";
    else if(std::fabs(direction.y) > AXIS_DIRECTION_LIMIT)
      format = "Y Axis Length:%1";
    else if(std::fabs(direction.z) > AXIS_DIRECTION_LIMIT)
      format = "Z Axis Length:%1";
    return QString(format).arg(calibrated_length, 0, 'f', 1);
  }

  void TResultsReader::Read(const QByteArray& file_data)
  {
    d_xml.Open_Data(file_data, "Results", nullptr, true);
    Read_Ballbars(d_xml.Root_Node());
    Read_Stepgauges(d_xml.Root_Node());
  }

  void TResultsReader::Read_Ballbars(QDomElement* root)
  {
    QDomElement ballbar = d_xml.Get_Node(root, "Ballbar", true);
    if(ballbar.isNull())
      return;
    QDomElement patterns = d_xml.Get_Node(&ballbar, "Patterns", true);
    if(patterns.isNull())
      return;

    for(QDomElement pattern = d_xml.Get_Node(&patterns, "PatternResult", true); !pattern.isNull();
        pattern = d_xml.Get_Sibling_Node(&pattern, "PatternResult", true))
    {
      QDomElement ballbars = d_xml.Get_Node(&pattern, "Ballbars", true);
      if(ballbars.isNull())
        continue;

      for(QDomElement bar = d_xml.Get_Node(&ballbars, "Bar", true); !bar.isNull(); bar = d_xml.Get_Sibling_Node(&bar, "Bar", true))
        Read_Bar(&bar);
    }
  }

  // One bar: the mean of all its measurements of the two sphere centres.
  void TResultsReader::Read_Bar(QDomElement* bar)
  {
    QDomElement bar_number = d_xml.Get_Node(bar, "BarNo", false);
    const QString name = QString("Pos: %1").arg(d_xml.Read_Text_Node(&bar_number, false));
    QDomElement measurements = d_xml.Get_Node(bar, "BarMeasurements", false);

    TVector3 sphere1_sum;
    TVector3 sphere2_sum;
    int count = 0;
    for(QDomElement measurement = d_xml.Get_Node(&measurements, "Measurement", true); !measurement.isNull();
        measurement = d_xml.Get_Sibling_Node(&measurement, "Measurement", true))
    {
      sphere1_sum += Read_Vector(&measurement, "Sphere1", "X", "Y", "Z");
      sphere2_sum += Read_Vector(&measurement, "Sphere2", "X", "Y", "Z");
      ++count;
    }
    if(count == 0)
      return;

    const TVector3 sphere1 = sphere1_sum / double(count);
    const TVector3 sphere2 = sphere2_sum / double(count);

    TMeasurementBallBar* ballbar = new TMeasurementBallBar;
    ballbar->Set_Name(name);
    ballbar->Set_Start_End_Points(sphere1, sphere2);
    ballbar->Set_Actual_Length((sphere2 - sphere1).Length());
    d_measurements->push_back(ballbar);
  }

  void TResultsReader::Read_Stepgauges(QDomElement* root)
  {
    QDomElement iso = d_xml.Get_Node(root, "Iso_2E", true);
    if(iso.isNull())
      return;
    QDomElement bars = d_xml.Get_Node(&iso, "Bars", true);
    if(bars.isNull())
      return;

    for(QDomElement array = d_xml.Get_Node(&bars, "ArrayOfStepGageFleet", true); !array.isNull();
        array = d_xml.Get_Sibling_Node(&array, "ArrayOfStepGageFleet", true))
    {
      QDomElement fleet = d_xml.Get_Node(&array, "StepGageFleet", true);
      if(!fleet.isNull())
        Read_Stepgauge(&fleet);
    }
  }

  // One step gauge: a length record for every value measured above 1.0.
  void TResultsReader::Read_Stepgauge(QDomElement* fleet)
  {
    const TVector3 origin = Read_Vector(fleet, "Origin", "X", "Y", "Z");
    const TVector3 direction = Read_Vector(fleet, "Vector", "I", "J", "K");
    QDomElement values = d_xml.Get_Node(fleet, "Values", false);

    double draw_offset = FIRST_STEPGAUGE_DRAW_OFFSET;
    for(QDomElement value = d_xml.Get_Node(&values, "StepGageValue", true); !value.isNull();
        value = d_xml.Get_Sibling_Node(&value, "StepGageValue", true))
    {
      const double calibrated_length = Read_Double(&value, "Calibrated");
      double actual_length = 0.0;
      if(!Read_Mean_Actual(&value, &actual_length) || !(actual_length > MINIMUM_STEPGAUGE_LENGTH))
        continue;

      TMeasurementLength* length = new TMeasurementLength;
      length->Set_Draw_Offset(draw_offset);
      draw_offset -= 1.0;
      length->Set_Name(Stepgauge_Name(direction, calibrated_length));
      length->Set_Start_End_Points(origin, origin + direction * actual_length);
      length->Set_Nominal_Length(calibrated_length);
      length->Set_Actual_Length(actual_length);
      d_measurements->push_back(length);
    }
  }

  // Mean of the "double" texts under "Actual"; false when there are none.
  bool TResultsReader::Read_Mean_Actual(QDomElement* value, double* mean) const
  {
    QDomElement actual = d_xml.Get_Node(value, "Actual", true);
    if(actual.isNull())
      return false;

    double sum = 0.0;
    int count = 0;
    for(QDomElement reading = d_xml.Get_Node(&actual, "double", true); !reading.isNull();
        reading = d_xml.Get_Sibling_Node(&reading, "double", true))
    {
      sum += d_xml.Read_Text_Node(&reading, false).toDouble();
      ++count;
    }
    if(count == 0)
      return false;

    *mean = sum / double(count);
    return true;
  }

  double TResultsReader::Read_Double(QDomElement* parent, const char* name) const
  {
    const QDomElement element = d_xml.Get_Node(parent, name, false);
    return d_xml.Read_Text_Node(&element, false).toDouble();
  }

  TVector3 TResultsReader::Read_Vector(QDomElement* parent, const char* name, const char* x, const char* y, const char* z) const
  {
    QDomElement element = d_xml.Get_Node(parent, name, false);
    const double vx = Read_Double(&element, x);
    const double vy = Read_Double(&element, y);
    const double vz = Read_Double(&element, z);
    return TVector3(vx, vy, vz);
  }
}

std::vector<TMeasurement*> TMeasurementFactory::Load_Cordwell_Results_File(const QByteArray& file_data, TImportFileType)
{
  std::vector<TMeasurement*> measurements;

  TResultsReader reader(&measurements);
  try
  {
    reader.Read(file_data);
  }
  catch(const TXmlFileException& exception)
  {
    qWarning("%s", qPrintable(exception.Message()));
  }

  return measurements;
}
