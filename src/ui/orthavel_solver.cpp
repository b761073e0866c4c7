// Solver thread hook-up, results panel and squareness sign conventions.
#include "orthavel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "calculatesquare.h"
#include "measurement.h"

namespace
{
const QString not_available = QStringLiteral("----");

QString Fixed(double value)
{
  return QString("%1").arg(value, 0, 'f', 4);
}
}

void TOrthavel::Create_Solver()
{
  calculate_square = new TCalculateSquare(this);
  calculate_square->setObjectName(QStringLiteral("calculate_square"));
  connect(calculate_square, &QThread::started, this, &TOrthavel::Thread_Started);
  connect(calculate_square, &QThread::finished, this, &TOrthavel::Thread_Finished);
  connect(calculate_square, &TCalculateSquare::Squareness_Updated, this, &TOrthavel::Update_Squareness);
  connect(calculate_square, &TCalculateSquare::Nominal_Ballbar_Length_Updated, this, [this] {
    Apply_Nominal_Ballbar_Length();
    Update_Nominal_Ballbar_Length();
  });
  calculate_square->start(QThread::NormalPriority);
}

// The window may be destroyed without a close (for instance by its owner); a
// thread object must not be destroyed while it still runs.
void TOrthavel::Stop_Solver()
{
  if(!calculate_square->isRunning())
    return;
  disconnect(calculate_square, &QThread::finished, this, &TOrthavel::Thread_Finished);
  calculate_square->Request_Stop();
  calculate_square->wait();
}

// The solver copies the values; the records may change or go at once.
void TOrthavel::Hand_Measurements_To_Solver()
{
  calculate_square->Set_Measurement_Data(measurements);
}

// The fit's ball-bar length estimate belongs to the records only while they
// are still those the fit was made for.
void TOrthavel::Apply_Nominal_Ballbar_Length()
{
  const TFitResult result = calculate_square->Result();
  if(result.serial != calculate_square->Data_Serial() || result.ballbar_count == 0)
    return;
  for(TMeasurement* measurement : measurements)
    if(measurement->Type() == TMeasurement::MEASUREMENT_BALLBAR)
      measurement->Set_Nominal_Length(result.ballbar_length);
}

int TOrthavel::Create_Squareness_Sign_Parameter(int xy_sign, int yz_sign, int zx_sign) const
{
  int parameter = 0;
  if(xy_sign > 0)
    parameter |= 1;
  if(yz_sign > 0)
    parameter |= 2;
  if(zx_sign > 0)
    parameter |= 4;
  return parameter;
}

int TOrthavel::Extract_Squareness_Sign_XY(int parameter) const
{
  return (parameter & 1) ? 1 : -1;
}

int TOrthavel::Extract_Squareness_Sign_YZ(int parameter) const
{
  return (parameter & 2) ? 1 : -1;
}

int TOrthavel::Extract_Squareness_Sign_ZX(int parameter) const
{
  return (parameter & 4) ? 1 : -1;
}

void TOrthavel::Show_Statistics(bool available, const double values[4], QLabel* const labels[4])
{
  for(int i = 0; i < 4; ++i)
    labels[i]->setText(available ? Fixed(values[i]) : not_available);
}

void TOrthavel::Show_Error(QLabel* label, double value, bool valid, int sign)
{
  label->setText(valid ? Fixed(sign > 0 ? value : -value) : not_available);
}

void TOrthavel::Update_Squareness()
{
  double values[4];
  bool available = calculate_square->Initial_Error_Statistics(&values[0], &values[1], &values[2], &values[3]);
  QLabel* const initial_labels[4] = {initial_min_length_label, initial_max_length_label, initial_min_error_label,
                                     initial_max_error_label};
  Show_Statistics(available, values, initial_labels);

  available = calculate_square->Final_Error_Statistics(&values[0], &values[1], &values[2], &values[3]);
  QLabel* const final_labels[4] = {final_min_length_label, final_max_length_label, final_min_error_label,
                                   final_max_error_label};
  Show_Statistics(available, values, final_labels);

  const int parameter = sign_combo->currentData(Qt::UserRole).toInt();
  bool valid = false;
  double value = calculate_square->XY_Error(&valid);
  Show_Error(xy_squareness_label, value, valid, Extract_Squareness_Sign_XY(parameter));
  value = calculate_square->YZ_Error(&valid);
  Show_Error(yz_squareness_label, value, valid, Extract_Squareness_Sign_YZ(parameter));
  value = calculate_square->ZX_Error(&valid);
  Show_Error(zx_squareness_label, value, valid, Extract_Squareness_Sign_ZX(parameter));
}

void TOrthavel::Sign_Changed()
{
  Update_Squareness();
}

void TOrthavel::Update_Nominal_Ballbar_Length()
{
  const TMeasurement* measurement = Selected_Measurement();
  if(!measurement || measurement->Type() != TMeasurement::MEASUREMENT_BALLBAR)
    return;
  default_ballbar_length = measurement->Nominal_Length();
  nominal_length_edit->setText(QString("%1").arg(default_ballbar_length, 0, 'f', 4));
}

void TOrthavel::Thread_Started()
{
}

void TOrthavel::Thread_Finished()
{
  close();
}
