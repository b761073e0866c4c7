#include "diagonalset.h"

#include <QString>

namespace
{
struct TDiagonal
{
  const char* name;
  double x, y, z;  // signs of the box's edges along the diagonal
};

const TDiagonal BODY_DIAGONALS[] = {{"Body +X+Y+Z", 1, 1, 1},
                                    {"Body +X-Y+Z", 1, -1, 1},
                                    {"Body +X+Y-Z", 1, 1, -1},
                                    {"Body +X-Y-Z", 1, -1, -1}};
const TDiagonal FACE_DIAGONALS[] = {{"Face XY +X+Y", 1, 1, 0},  {"Face XY +X-Y", 1, -1, 0},
                                    {"Face YZ +Y+Z", 0, 1, 1},  {"Face YZ +Y-Z", 0, 1, -1},
                                    {"Face ZX +Z+X", 1, 0, 1},  {"Face ZX +Z-X", -1, 0, 1}};

std::unique_ptr<TMeasurement> Diagonal_Record(const TDiagonalSet& set, const TDiagonal& diagonal)
{
  const TVector3 span(diagonal.x * set.size.x, diagonal.y * set.size.y, diagonal.z * set.size.z);
  std::unique_ptr<TMeasurement> record;
  double length = set.ballbar_length;
  if(set.ball_bars)
  {
    record = std::make_unique<TMeasurementBallBar>();
  }
  else
  {
    record = std::make_unique<TMeasurementLength>();
    length = span.Length();
  }
  record->Set_Name(QString::fromLatin1(diagonal.name));
  record->Set_Position(set.centre);
  record->Set_Axis(span);
  record->Set_Nominal_Length(length);
  record->Set_Actual_Length(length);
  return record;
}
}

std::vector<std::unique_ptr<TMeasurement>> Diagonal_Records(const TDiagonalSet& set)
{
  std::vector<std::unique_ptr<TMeasurement>> records;
  if(set.body)
    for(const TDiagonal& diagonal : BODY_DIAGONALS)
      records.push_back(Diagonal_Record(set, diagonal));
  if(set.face)
    for(const TDiagonal& diagonal : FACE_DIAGONALS)
      records.push_back(Diagonal_Record(set, diagonal));
  return records;
}
