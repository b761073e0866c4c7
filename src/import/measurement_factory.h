// Importer of instrument data files: recognises a file by its first line and
// turns its content into new measurement records owned by the caller.
#ifndef MEASUREMENT_FACTORY_H
#define MEASUREMENT_FACTORY_H

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

#include "import_report.h"
#include "measurement.h"
#include "vector3.h"

class TImportRecorder;

class TMeasurementFactory
{
public:
  enum TImportFileType
  {
    IMPORT_UNRECOGNIZED = 0,
    IMPORT_BALLBAR_V1,
    IMPORT_BALLBAR_V2,
    IMPORT_B89_BALLBAR,
    IMPORT_B89_BALLBAR_10360,
    IMPORT_LENGTH_DATA,
    IMPORT_STEPGAUGE_SQUARENESS,
    IMPORT_KELVO_LASER,
    IMPORT_B89_MACHINE_AND_LASER,
    IMPORT_RESULTS_XML
  };

  // One raw step-gauge reading of a "Point:" line.
  struct TStepgaugeDataItem
  {
    int first_integer;
    int position_index;
    double value;
    double second_value;
    double third_value;
  };

  // Files larger than this are refused instead of being read into memory.
  static constexpr qint64 MAXIMUM_FILE_SIZE = qint64(256) * 1024 * 1024;
  // Step-gauge readings at a face number above this are ignored.
  static constexpr int MAXIMUM_STEPGAUGE_FACES = 1000;

  // Told how many bytes of how many were read (0 when the size is unknown);
  // returning false stops the reading, and the load then fails.
  using TReadProgress = std::function<bool(qint64 done, qint64 total)>;

  std::vector<TMeasurement*> Load_File(const QString& file_name, bool* valid);
  // Load_File reports its reading to progress; an empty one is not called.
  void Set_Read_Progress(const TReadProgress& progress) { d_read_progress = progress; }
  const QString& Last_Error() const { return d_last_error; }
  // What the last Load_File found; empty when the file was not recognised.
  const TImportReport& Last_Report() const { return d_last_report; }

  // The detection and the loaders are pure functions of the file content.
  // A loader given a report fills it afresh with what it found.
  static TImportFileType Determine_File_Type(const QByteArray& file_data);

  static std::vector<TMeasurement*> Load_Ballbar_File(const QByteArray& file_data, TImportFileType file_type,
                                                      TImportReport* report = nullptr);
  static std::vector<TMeasurement*> Load_Ballbar_10360_File(const QByteArray& file_data, TImportFileType file_type,
                                                            TImportReport* report = nullptr);
  static std::vector<TMeasurement*> Load_Laser_File(const QByteArray& file_data, TImportFileType file_type,
                                                    TImportReport* report = nullptr);
  static std::vector<TMeasurement*> Load_Stepgauge_Squareness_File(const QByteArray& file_data, TImportFileType file_type,
                                                                   TImportReport* report = nullptr);
  static std::vector<TMeasurement*> Load_Farrowline_Laser_File(const QByteArray& file_data, TImportFileType file_type,
                                                               TImportReport* report = nullptr);
  static std::vector<TMeasurement*> Load_Cordwell_Results_File(const QByteArray& file_data, TImportFileType file_type,
                                                               TImportReport* report = nullptr);

  static double Get_Stepgauge_Position(const std::vector<TStepgaugeDataItem>& data, int position_index);
  static bool Sort_Farrowline_Laser_Item(const TVector3& first, const TVector3& second);
  static std::vector<TVector3> Combine_Farrowline_Laser_Points(const std::vector<TVector3>& points);

private:
  static std::vector<TMeasurement*> Load_Content(const QByteArray& file_data, TImportFileType file_type,
                                                 TImportReport* report);
  bool Read_Content(const QString& file_name, QByteArray* content);

  // Alignment and description of the sectioned raw formats (10360 ball bar, step gauge).
  struct TSectionHeader
  {
    TVector3 x_axis{1.0, 0.0, 0.0};
    TVector3 translation;
    QString description;
  };
  // Walks the "Alignment_" and "Measurement_" sections; every measurement
  // line that starts with data_keyword goes to read_data with its line
  // number. Any other line that is not one of the format's keywords is a
  // data line out of place and is skipped.
  static void Read_Sections(const QByteArray& file_data, TSectionHeader* header, const char* data_keyword,
                            TImportRecorder* recorder, const std::function<void(const QString&, int)>& read_data);
  static bool Is_Header_Keyword(const QString& line);
  static double Round_Nominal_Length(const double& length);

  QString d_last_error;
  TImportReport d_last_report;
  TReadProgress d_read_progress;
};

#endif
