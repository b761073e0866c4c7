#include "projectsettingsdialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include "fixedtext.h"
#include "uihelpers.h"

namespace
{
// The shortest text that reads back as the same number.
QString Exact_Text(double value)
{
  return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

bool Read_Value(const QString& text, double* value)
{
  return Parse_Number(text, value) && *value >= 0.0;
}
}

TProjectSettingsDialog::TProjectSettingsDialog(const TProjectSettings& settings, QWidget* parent)
  : QDialog(parent), d_settings(settings)
{
  setWindowTitle(QStringLiteral("Project Settings"));
  QVBoxLayout* layout = new QVBoxLayout(this);
  QLabel* intro = new QLabel(
    QString::fromUtf8("Standard uncertainty of each measured length L (mm): "
                      "u = \xE2\x88\x9A(a\xC2\xB2 + (b \xC2\xB7 L / 1000)\xC2\xB2) \xC2\xB5m."),
    this);
  intro->setWordWrap(true);
  layout->addWidget(intro);

  QFormLayout* form = new QFormLayout;
  const QString micro = QString::fromUtf8("\xC2\xB5");
  form->addRow(QStringLiteral("Ball bar, a (%1m):").arg(micro),
               ballbar_constant_edit = Add_Field("ballbar_constant_edit", QStringLiteral("Ball bar, a"),
                                                 &TUncertaintySettings::ball_bar, &TLengthUncertainty::constant_um));
  form->addRow(QStringLiteral("Ball bar, b (%1m/m):").arg(micro),
               ballbar_proportional_edit =
                 Add_Field("ballbar_proportional_edit", QStringLiteral("Ball bar, b"), &TUncertaintySettings::ball_bar,
                           &TLengthUncertainty::proportional_um_per_m));
  form->addRow(QStringLiteral("Laser and step gauge, a (%1m):").arg(micro),
               length_constant_edit = Add_Field("length_constant_edit", QStringLiteral("Laser and step gauge, a"),
                                                &TUncertaintySettings::length, &TLengthUncertainty::constant_um));
  form->addRow(QStringLiteral("Laser and step gauge, b (%1m/m):").arg(micro),
               length_proportional_edit =
                 Add_Field("length_proportional_edit", QStringLiteral("Laser and step gauge, b"),
                           &TUncertaintySettings::length, &TLengthUncertainty::proportional_um_per_m));
  layout->addLayout(form);

  settings_message_label = Named(new QLabel(this), "settings_message_label");
  settings_message_label->setWordWrap(true);
  settings_message_label->setStyleSheet(QStringLiteral("color: #b00000;"));
  settings_message_label->hide();
  layout->addWidget(settings_message_label);

  settings_buttons = Named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this),
                           "settings_buttons");
  connect(settings_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(settings_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(settings_buttons);
}

QLineEdit* TProjectSettingsDialog::Add_Field(const char* name, const QString& title,
                                             TLengthUncertainty TUncertaintySettings::*kind,
                                             double TLengthUncertainty::*value)
{
  QLineEdit* edit = Named(new QLineEdit(Exact_Text(d_settings.uncertainty.*kind.*value), this), name);
  connect(edit, &QLineEdit::textChanged, this, &TProjectSettingsDialog::Check_Fields);
  d_fields.push_back(TField{edit, title, value, kind});
  return edit;
}

// Every field that cannot be taken is marked and named; OK waits for them.
void TProjectSettingsDialog::Check_Fields()
{
  QStringList problems;
  for(const TField& field : d_fields)
  {
    double value = 0.0;
    const bool readable = Read_Value(field.edit->text(), &value);
    const QString problem = readable ? QString()
                                     : QStringLiteral("%1: '%2' is not a number of 0 or more (use a point for decimals).")
                                         .arg(field.title, field.edit->text());
    Mark_Field(field.edit, problem);
    if(!readable)
      problems << problem;
  }
  settings_message_label->setText(problems.join(QLatin1Char('\n')));
  settings_message_label->setVisible(!problems.isEmpty());
  settings_buttons->button(QDialogButtonBox::Ok)->setEnabled(problems.isEmpty());
}

TProjectSettings TProjectSettingsDialog::Settings() const
{
  TProjectSettings settings = d_settings;
  for(const TField& field : d_fields)
  {
    double value = 0.0;
    if(Read_Value(field.edit->text(), &value))
      settings.uncertainty.*field.kind.*field.value = value;
  }
  return settings;
}
