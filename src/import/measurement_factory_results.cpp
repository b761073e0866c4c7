// Results documents: averaged ball-bar measurements and step-gauge lengths in
// XML. A missing required element ends the reading; what was read is kept.
// The data elements are the bar measurements (Measurement in
// BarMeasurements) and the step-gauge values (StepGageValue in Values).
#include "measurement_factory.h"

#include <QSet>
#include <QtGlobal>
#include <cmath>

#include "import_recorder.h"
#include "xmlfile.h"

namespace
{
  constexpr double FIRST_STEPGAUGE_DRAW_OFFSET = 5.0;
  constexpr double MINIMUM_STEPGAUGE_LENGTH = 1.0;
  constexpr double AXIS_DIRECTION_LIMIT = 0.95;

  // The message of an exception without its "ERR:  " mark.
  QString Plain_Message(const TXmlFileException& exception)
  {
    const QString message = exception.Message();
    return message.startsWith(QLatin1String("ERR:  ")) ? message.mid(6) : message;
  }

  // Identity of an element: where its start tag ends.
  qint64 Element_Key(const QDomElement& element)
  {
    return (qint64(element.lineNumber()) << 32) | qint64(quint32(element.columnNumber()));
  }

  class TResultsReader
  {
  public:
    TResultsReader(std::vector<TMeasurement*>* measurements, TImportRecorder* recorder)
      : d_measurements(measurements), d_recorder(recorder) {}

    void Open(const QByteArray& file_data);
    void Read();
    // The reading stopped at the element being read.
    void Stop(const QString& message);
    // Counts the data elements, skips those that gave no record and says why
    // the file gave nothing.
    void Account();

  private:
    void Read_Ballbars(QDomElement* root);
    void Read_Bar(QDomElement* bar);
    void Read_Stepgauges(QDomElement* root);
    void Read_Stepgauge(QDomElement* fleet);
    bool Read_Mean_Actual(QDomElement* value, double* mean) const;

    double Read_Double(QDomElement* parent, const char* name) const;
    TVector3 Read_Vector(QDomElement* parent, const char* name, const char* x, const char* y, const char* z) const;

    void Account_Elements(const QDomElement& root, const char* name, const char* parent_name);
    QString Nothing_Found_Reason() const;

    TXmlFile d_xml;
    std::vector<TMeasurement*>* d_measurements;
    TImportRecorder* d_recorder;
    QDomElement d_current;            // the element being read
    QSet<qint64> d_used;      // data elements that gave a record
    QSet<qint64> d_rejected;  // step-gauge values read without an actual length above 1.0
    int d_stop_line = 0;      // where the reading stopped, 0 when it did not
    qint64 d_stop_key = 0;
    QString d_stop_message;
    int d_unread_elements = 0;
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

  void TResultsReader::Open(const QByteArray& file_data)
  {
    d_xml.Open_Data(file_data, "Results", nullptr, true);
    d_current = *d_xml.Root_Node();
  }

  void TResultsReader::Read()
  {
    Read_Ballbars(d_xml.Root_Node());
    Read_Stepgauges(d_xml.Root_Node());
  }

  void TResultsReader::Stop(const QString& message)
  {
    d_stop_line = d_current.lineNumber();
    d_stop_key = Element_Key(d_current);
    d_stop_message = message;
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
    d_current = *bar;
    QDomElement bar_number = d_xml.Get_Node(bar, "BarNo", false);
    const QString name = QString("Pos: %1").arg(d_xml.Read_Text_Node(&bar_number, false));
    QDomElement measurements = d_xml.Get_Node(bar, "BarMeasurements", false);

    TVector3 sphere1_sum;
    TVector3 sphere2_sum;
    int count = 0;
    std::vector<qint64> read;
    for(QDomElement measurement = d_xml.Get_Node(&measurements, "Measurement", true); !measurement.isNull();
        measurement = d_xml.Get_Sibling_Node(&measurement, "Measurement", true))
    {
      d_current = measurement;
      read.push_back(Element_Key(measurement));
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
    d_recorder->Check_Direction(*ballbar, sphere1, sphere2, 0);
    d_measurements->push_back(ballbar);
    for(qint64 key : read)
      d_used.insert(key);
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
    d_current = *fleet;
    const TVector3 origin = Read_Vector(fleet, "Origin", "X", "Y", "Z");
    const TVector3 direction = Read_Vector(fleet, "Vector", "I", "J", "K");
    QDomElement values = d_xml.Get_Node(fleet, "Values", false);

    double draw_offset = FIRST_STEPGAUGE_DRAW_OFFSET;
    for(QDomElement value = d_xml.Get_Node(&values, "StepGageValue", true); !value.isNull();
        value = d_xml.Get_Sibling_Node(&value, "StepGageValue", true))
    {
      d_current = value;
      const double calibrated_length = Read_Double(&value, "Calibrated");
      double actual_length = 0.0;
      if(!Read_Mean_Actual(&value, &actual_length) || !(actual_length > MINIMUM_STEPGAUGE_LENGTH))
      {
        d_rejected.insert(Element_Key(value));
        continue;
      }
      const TVector3 end = origin + direction * actual_length;

      TMeasurementLength* length = new TMeasurementLength;
      length->Set_Draw_Offset(draw_offset);
      draw_offset -= 1.0;
      length->Set_Name(Stepgauge_Name(direction, calibrated_length));
      length->Set_Start_End_Points(origin, end);
      length->Set_Nominal_Length(calibrated_length);
      length->Set_Actual_Length(actual_length);
      d_recorder->Check_Direction(*length, origin, end, 0);
      d_measurements->push_back(length);
      d_used.insert(Element_Key(value));
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

  void TResultsReader::Account()
  {
    const QDomElement root = *d_xml.Root_Node();
    Account_Elements(root, "Measurement", "BarMeasurements");
    Account_Elements(root, "StepGageValue", "Values");
    if(d_measurements->empty())
      d_recorder->Nothing_Found(Nothing_Found_Reason());
  }

  void TResultsReader::Account_Elements(const QDomElement& root, const char* name, const char* parent_name)
  {
    const QDomNodeList elements = root.elementsByTagName(QLatin1String(name));
    for(int i = 0; i < elements.size(); ++i)
    {
      const QDomElement element = elements.item(i).toElement();
      if(element.parentNode().nodeName() != QLatin1String(parent_name))
        continue;

      d_recorder->Data_Line();
      const qint64 key = Element_Key(element);
      if(d_used.contains(key))
        continue;
      const bool stopped = d_stop_line > 0;
      const bool rejected = d_rejected.contains(key);
      if(!stopped && !rejected)
        ++d_unread_elements;
      d_recorder->Skip(element.lineNumber(), [&] {
        if(stopped && key == d_stop_key)
          return d_stop_message;
        if(rejected)
          return QString("no mean actual length above %1").arg(MINIMUM_STEPGAUGE_LENGTH, 0, 'f', 1);
        if(stopped)
          return QString("no record, the reading stopped at line %1").arg(d_stop_line);
        return QStringLiteral("in a part of the file that is not read");
      });
    }
  }

  QString TResultsReader::Nothing_Found_Reason() const
  {
    if(d_stop_line > 0)
      return QString("The reading stopped at line %1: %2").arg(d_stop_line).arg(d_stop_message);
    const int count = d_recorder->Data_Lines();
    if(count == 0)
      return QStringLiteral("The results file holds no bar measurements and no step-gauge values.");

    QStringList causes;
    if(!d_rejected.isEmpty())
      causes.append(QString("%1 step-gauge values have no mean actual length above %2")
                      .arg(d_rejected.size()).arg(MINIMUM_STEPGAUGE_LENGTH, 0, 'f', 1));
    if(d_unread_elements > 0)
      causes.append(QString("%1 lie in parts of the file that are not read").arg(d_unread_elements));
    return QString("None of its %1 measurement elements gave a record: %2.").arg(count).arg(causes.join(", "));
  }
}

std::vector<TMeasurement*> TMeasurementFactory::Load_Cordwell_Results_File(const QByteArray& file_data, TImportFileType,
                                                                           TImportReport* report)
{
  std::vector<TMeasurement*> measurements;
  TImportRecorder recorder(report);

  TResultsReader reader(&measurements, &recorder);
  try
  {
    reader.Open(file_data);
  }
  catch(const TXmlFileException& exception)
  {
    qWarning("%s", qPrintable(exception.Message()));
    recorder.Nothing_Found(QString("The results file could not be read: %1").arg(Plain_Message(exception)));
    return measurements;
  }

  try
  {
    reader.Read();
  }
  catch(const TXmlFileException& exception)
  {
    qWarning("%s", qPrintable(exception.Message()));
    reader.Stop(Plain_Message(exception));
  }

  reader.Account();
  return measurements;
}
