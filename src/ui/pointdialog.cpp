#include "pointdialog.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpacerItem>

#include "fixedtext.h"

TPointDialog::TPointDialog(const QWidget* parent, Qt::WindowFlags flags)
  : QDialog(const_cast<QWidget*>(parent), flags)
{
  resize(499, 189);
  setWindowTitle("Axis Points Editor");

  QGridLayout* grid = new QGridLayout(this);

  const char* const axis_names[3] = {"X", "Y", "Z"};
  for(int column = 0; column < 3; ++column)
  {
    QLabel* axis_label = new QLabel(axis_names[column], this);
    axis_label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    grid->addWidget(axis_label, 0, column + 1);
  }

  grid->addWidget(new QLabel("Start Point:", this), 1, 0);
  d_start_x_edit = Create_Edit("start_x_edit");
  d_start_y_edit = Create_Edit("start_y_edit");
  d_start_z_edit = Create_Edit("start_z_edit");
  grid->addWidget(d_start_x_edit, 1, 1);
  grid->addWidget(d_start_y_edit, 1, 2);
  grid->addWidget(d_start_z_edit, 1, 3);

  grid->addWidget(new QLabel("End Point:", this), 2, 0);
  d_end_x_edit = Create_Edit("end_x_edit");
  d_end_y_edit = Create_Edit("end_y_edit");
  d_end_z_edit = Create_Edit("end_z_edit");
  grid->addWidget(d_end_x_edit, 2, 1);
  grid->addWidget(d_end_y_edit, 2, 2);
  grid->addWidget(d_end_z_edit, 2, 3);

  grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), 3, 0, 1, 4);

  QFrame* separator = new QFrame(this);
  separator->setFrameShape(QFrame::HLine);
  separator->setFrameShadow(QFrame::Sunken);
  grid->addWidget(separator, 4, 0, 1, 4);

  QHBoxLayout* button_row = new QHBoxLayout;
  button_row->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
  QPushButton* cancel_button = new QPushButton("Cancel", this);
  cancel_button->setObjectName("cancel_button");
  cancel_button->setAutoDefault(false);
  button_row->addWidget(cancel_button);
  QPushButton* accept_button = new QPushButton("Accept", this);
  accept_button->setObjectName("accept_button");
  accept_button->setAutoDefault(false);
  button_row->addWidget(accept_button);
  grid->addLayout(button_row, 5, 0, 1, 4);

  connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);
  connect(accept_button, &QPushButton::clicked, this, &QDialog::accept);
}

QLineEdit* TPointDialog::Create_Edit(const QString& object_name)
{
  QLineEdit* edit = new QLineEdit(this);
  edit->setObjectName(object_name);
  edit->setAlignment(Qt::AlignCenter);
  return edit;
}

void TPointDialog::Set_Points(const TVector3& start, const TVector3& end)
{
  d_start_x_edit->setText(Fixed_Text(start.x, 3));
  d_start_y_edit->setText(Fixed_Text(start.y, 3));
  d_start_z_edit->setText(Fixed_Text(start.z, 3));
  d_end_x_edit->setText(Fixed_Text(end.x, 3));
  d_end_y_edit->setText(Fixed_Text(end.y, 3));
  d_end_z_edit->setText(Fixed_Text(end.z, 3));
}

TVector3 TPointDialog::Start_Point() const
{
  return TVector3(d_start_x_edit->text().toDouble(), d_start_y_edit->text().toDouble(),
                  d_start_z_edit->text().toDouble());
}

TVector3 TPointDialog::End_Point() const
{
  return TVector3(d_end_x_edit->text().toDouble(), d_end_y_edit->text().toDouble(), d_end_z_edit->text().toDouble());
}
