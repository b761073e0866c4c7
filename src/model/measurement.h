// Measurement records: one measured line in the machine volume, given by its
// midpoint, unit direction, nominal and actual length (mm).
#ifndef MEASUREMENT_H
#define MEASUREMENT_H

#include <QString>
#include <memory>

#include "vector3.h"

class TMeasurement
{
public:
  enum TMeasurementType
  {
    MEASUREMENT_BALLBAR = 0,
    MEASUREMENT_LENGTH = 1
  };

  virtual ~TMeasurement() = 0;

  // A new record of the same kind with the same values.
  virtual std::unique_ptr<TMeasurement> Clone() const = 0;
  // Takes every value of another record of the same kind, exactly as stored.
  void Set_Values(const TMeasurement& other);

  // Display width factor of the drawn bar; only length records keep one.
  virtual double Draw_Offset() const { return 0.0; }
  virtual void Set_Draw_Offset(const double&) {}

  TMeasurementType Type() const { return d_type; }

  QString Name() const { return d_name; }
  void Set_Name(const QString& name) { d_name = name; }

  TVector3 Position() const { return d_position; }
  void Set_Position(const TVector3& position) { d_position = position; }

  TVector3 Axis() const { return d_axis; }
  void Set_Axis(const TVector3& axis);
  // Sets position and axis from two end points; the lengths are not touched.
  void Set_Start_End_Points(const TVector3& start, const TVector3& end);
  // The ends of the measured line: position -/+ axis * (actual length / 2).
  TVector3 Start_Point() const { return d_position - d_axis * (0.5 * d_actual_length); }
  TVector3 End_Point() const { return d_position + d_axis * (0.5 * d_actual_length); }

  double Nominal_Length() const { return d_nominal_length; }
  void Set_Nominal_Length(const double& length) { d_nominal_length = length; }

  double Actual_Length() const { return d_actual_length; }
  void Set_Actual_Length(const double& length) { d_actual_length = length; }

protected:
  explicit TMeasurement(TMeasurementType type) : d_type(type) {}

private:
  void Normalise_Axis();
  void Rescale_Huge_Axis();

  TMeasurementType d_type;
  QString d_name;
  TVector3 d_position;
  TVector3 d_axis{0.577350269189623, 0.577350269189623, 0.577350269189623};
  double d_nominal_length = 346.4101615137754;
  double d_actual_length = 346.4101615137754;
};

class TMeasurementBallBar : public TMeasurement
{
public:
  TMeasurementBallBar() : TMeasurement(MEASUREMENT_BALLBAR) {}
  ~TMeasurementBallBar() override;

  std::unique_ptr<TMeasurement> Clone() const override;
};

class TMeasurementLength : public TMeasurement
{
public:
  TMeasurementLength() : TMeasurement(MEASUREMENT_LENGTH) {}
  ~TMeasurementLength() override;

  std::unique_ptr<TMeasurement> Clone() const override;

  double Draw_Offset() const override { return d_draw_offset; }
  void Set_Draw_Offset(const double& offset) override { d_draw_offset = offset; }

private:
  double d_draw_offset = 1.0;
};

#endif
