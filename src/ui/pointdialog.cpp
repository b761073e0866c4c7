#include "pointdialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpacerItem>

#include "fixedtext.h"
#include "uihelpers.h"

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

  Create_Point_Row(grid, 1, QStringLiteral("Start Point:"), "start", {&d_start_x_edit, &d_start_y_edit, &d_start_z_edit});
  Create_Point_Row(grid, 2, QStringLiteral("End Point:"), "end", {&d_end_x_edit, &d_end_y_edit, &d_end_z_edit});

  grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), 3, 0, 1, 4);

  grid->addWidget(Sunken_Line(this), 4, 0, 1, 4);

  QHBoxLayout* button_row = new QHBoxLayout;
  button_row->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
  QPushButton* cancel_button = new QPushButton("Cancel", this);
  cancel_button->setObjectName("cancel_button");
  cancel_button->setAutoDefault(false);
  button_row->addWidget(cancel_button);
  d_accept_button = new QPushButton("Accept", this);
  d_accept_button->setObjectName("accept_button");
  d_accept_button->setAutoDefault(false);
  button_row->addWidget(d_accept_button);
  grid->addLayout(button_row, 5, 0, 1, 4);

  connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);
  connect(d_accept_button, &QPushButton::clicked, this, &QDialog::accept);
  for(QLineEdit* edit : Edits())
    connect(edit, &QLineEdit::textChanged, this, &TPointDialog::Check_Points);
}

std::vector<QLineEdit*> TPointDialog::Edits() const
{
  return {d_start_x_edit, d_start_y_edit, d_start_z_edit, d_end_x_edit, d_end_y_edit, d_end_z_edit};
}

// Accept takes only numbers: a field that holds none is marked and Accept waits.
void TPointDialog::Check_Points()
{
  bool all_numbers = true;
  for(QLineEdit* edit : Edits())
  {
    double value = 0.0;
    const bool number = Parse_Number(edit->text(), &value);
    Mark_Field(edit, number ? QString() : QStringLiteral("Not a number (digits with a point as decimal separator)"));
    all_numbers = all_numbers && number;
  }
  d_accept_button->setEnabled(all_numbers);
}

QLineEdit* TPointDialog::Create_Edit(const QString& object_name)
{
  QLineEdit* edit = new QLineEdit(this);
  edit->setObjectName(object_name);
  edit->setAlignment(Qt::AlignCenter);
  return edit;
}

// A title and the x, y and z fields of one point, named <prefix>_x_edit and so on.
void TPointDialog::Create_Point_Row(QGridLayout* grid, int row, const QString& title, const char* prefix,
                                   std::initializer_list<QLineEdit**> edits)
{
  grid->addWidget(new QLabel(title, this), row, 0);
  const char* const axis_names[3] = {"x", "y", "z"};
  int column = 0;
  for(QLineEdit** edit : edits)
  {
    *edit = Create_Edit(QStringLiteral("%1_%2_edit").arg(QLatin1String(prefix), QLatin1String(axis_names[column])));
    grid->addWidget(*edit, row, ++column);
  }
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
