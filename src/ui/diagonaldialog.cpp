#include "diagonaldialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "uihelpers.h"

namespace
{
// The largest size or coordinate the fields take, mm.
const double FIELD_LIMIT = 1.0e6;
// An edge of the scene's box shorter than this takes the longest edge, mm.
const double SHORTEST_EDGE = 1.0;
}

TDiagonalDialog::TDiagonalDialog(QWidget* parent) : QDialog(parent)
{
  setWindowTitle(QStringLiteral("Add Diagonal Set"));
  QVBoxLayout* column = new QVBoxLayout(this);

  QGridLayout* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("X"), this), 0, 1, Qt::AlignHCenter);
  grid->addWidget(new QLabel(QStringLiteral("Y"), this), 0, 2, Qt::AlignHCenter);
  grid->addWidget(new QLabel(QStringLiteral("Z"), this), 0, 3, Qt::AlignHCenter);
  size_x_spin = Create_Spin("size_x_spin", SHORTEST_EDGE, FIELD_LIMIT);
  size_y_spin = Create_Spin("size_y_spin", SHORTEST_EDGE, FIELD_LIMIT);
  size_z_spin = Create_Spin("size_z_spin", SHORTEST_EDGE, FIELD_LIMIT);
  centre_x_spin = Create_Spin("centre_x_spin", -FIELD_LIMIT, FIELD_LIMIT);
  centre_y_spin = Create_Spin("centre_y_spin", -FIELD_LIMIT, FIELD_LIMIT);
  centre_z_spin = Create_Spin("centre_z_spin", -FIELD_LIMIT, FIELD_LIMIT);
  Create_Vector_Row(grid, 1, QStringLiteral("Box Size:"), {size_x_spin, size_y_spin, size_z_spin});
  Create_Vector_Row(grid, 2, QStringLiteral("Box Centre:"), {centre_x_spin, centre_y_spin, centre_z_spin});
  column->addLayout(grid);

  body_check = Named(new QCheckBox(QStringLiteral("Body diagonals (4)"), this), "body_check");
  face_check = Named(new QCheckBox(QStringLiteral("Face diagonals (6)"), this), "face_check");
  body_check->setChecked(true);
  column->addWidget(body_check);
  column->addWidget(face_check);

  QGridLayout* kind = new QGridLayout;
  ballbar_radio = Named(new QRadioButton(QStringLiteral("Ball bars of length:"), this), "ballbar_radio");
  length_radio =
    Named(new QRadioButton(QStringLiteral("Length measurements with the diagonals' nominal lengths"), this),
          "length_radio");
  ballbar_radio->setChecked(true);
  ballbar_length_spin = Create_Spin("ballbar_length_spin", SHORTEST_EDGE, FIELD_LIMIT);
  kind->addWidget(ballbar_radio, 0, 0);
  kind->addWidget(ballbar_length_spin, 0, 1);
  kind->addWidget(length_radio, 1, 0, 1, 2);
  column->addLayout(kind);

  button_box = Named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this), "button_box");
  column->addWidget(button_box);
  connect(button_box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(button_box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(body_check, &QCheckBox::toggled, this, &TDiagonalDialog::Update_Buttons);
  connect(face_check, &QCheckBox::toggled, this, &TDiagonalDialog::Update_Buttons);
  connect(ballbar_radio, &QRadioButton::toggled, ballbar_length_spin, &QWidget::setEnabled);
  Set_Box(TSceneBox(), 1000.0);
}

// Numbers are shown and typed with a point, as everywhere in the program.
QDoubleSpinBox* TDiagonalDialog::Create_Spin(const char* name, double minimum, double maximum)
{
  QDoubleSpinBox* spin = Named(new QDoubleSpinBox(this), name);
  spin->setLocale(QLocale::c());
  spin->setDecimals(3);
  spin->setRange(minimum, maximum);
  spin->setAlignment(Qt::AlignCenter);
  return spin;
}

void TDiagonalDialog::Create_Vector_Row(QGridLayout* grid, int row, const QString& title,
                                        QDoubleSpinBox* const (&spins)[3])
{
  grid->addWidget(new QLabel(title, this), row, 0);
  for(int column = 0; column < 3; ++column)
    grid->addWidget(spins[column], row, column + 1);
}

void TDiagonalDialog::Set_Box(const TSceneBox& box, double ballbar_length)
{
  const TVector3 size = box.maximum - box.minimum;
  double longest = std::max({size.x, size.y, size.z});
  if(!(longest >= SHORTEST_EDGE && longest <= FIELD_LIMIT))
    longest = 1000.0;
  const auto edge = [longest](double value) {
    return value >= SHORTEST_EDGE && value <= FIELD_LIMIT ? value : longest;
  };
  size_x_spin->setValue(edge(size.x));
  size_y_spin->setValue(edge(size.y));
  size_z_spin->setValue(edge(size.z));
  const TVector3 centre = box.Centre();
  const auto coordinate = [](double value) { return std::isfinite(value) ? value : 0.0; };
  centre_x_spin->setValue(coordinate(centre.x));
  centre_y_spin->setValue(coordinate(centre.y));
  centre_z_spin->setValue(coordinate(centre.z));
  ballbar_length_spin->setValue(std::isfinite(ballbar_length) ? ballbar_length : 1000.0);
  Update_Buttons();
}

TDiagonalSet TDiagonalDialog::Diagonal_Set() const
{
  TDiagonalSet set;
  set.size = TVector3(size_x_spin->value(), size_y_spin->value(), size_z_spin->value());
  set.centre = TVector3(centre_x_spin->value(), centre_y_spin->value(), centre_z_spin->value());
  set.body = body_check->isChecked();
  set.face = face_check->isChecked();
  set.ball_bars = ballbar_radio->isChecked();
  set.ballbar_length = ballbar_length_spin->value();
  return set;
}

// Without a kind of diagonal there is nothing to add.
void TDiagonalDialog::Update_Buttons()
{
  button_box->button(QDialogButtonBox::Ok)->setEnabled(body_check->isChecked() || face_check->isChecked());
}
