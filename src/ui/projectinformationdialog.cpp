#include "projectinformationdialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

#include "fixedtext.h"
#include "uihelpers.h"

namespace
{
const QString DATE_FORMAT = QStringLiteral("yyyy-MM-dd");
const int INSTRUMENT_COLUMNS = 3;

QString Cell_Text(const QTableWidget* table, int row, int column)
{
  const QTableWidgetItem* item = table->item(row, column);
  return item ? item->text().trimmed() : QString();
}

// Empty text is no temperature; other text must be a finite number.
bool Read_Temperature(const QLineEdit* edit, std::optional<double>* value)
{
  const QString text = edit->text().trimmed();
  double number = 0.0;
  if(text.isEmpty())
    value->reset();
  else if(Parse_Number(text, &number))
    *value = number;
  else
    return false;
  return true;
}

QString Temperature_Text(const std::optional<double>& value)
{
  return value ? QString::number(*value, 'g', QLocale::FloatingPointShortest) : QString();
}
}

TProjectInformationDialog::TProjectInformationDialog(const TProjectInformation& information, QWidget* parent)
  : QDialog(parent)
{
  setWindowTitle(QStringLiteral("Project Information"));
  Create_Fields();
  Show_Information(information);
  Check_Fields();
}

QLineEdit* TProjectInformationDialog::Line_Edit(const char* name)
{
  QLineEdit* edit = Named(new QLineEdit(this), name);
  connect(edit, &QLineEdit::textChanged, this, &TProjectInformationDialog::Check_Fields);
  return edit;
}

void TProjectInformationDialog::Create_Fields()
{
  QFormLayout* form = new QFormLayout;
  form->addRow(QStringLiteral("Machine maker:"), machine_maker_edit = Line_Edit("machine_maker_edit"));
  form->addRow(QStringLiteral("Machine model:"), machine_model_edit = Line_Edit("machine_model_edit"));
  form->addRow(QStringLiteral("Machine serial number:"), machine_serial_edit = Line_Edit("machine_serial_edit"));
  form->addRow(QStringLiteral("Customer:"), customer_edit = Line_Edit("customer_edit"));
  form->addRow(QStringLiteral("Operator:"), operator_edit = Line_Edit("operator_edit"));
  form->addRow(QStringLiteral("Date of measurement:"), measurement_date_edit = Line_Edit("measurement_date_edit"));
  measurement_date_edit->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));
  form->addRow(QStringLiteral("Air temperature °C:"), air_temperature_edit = Line_Edit("air_temperature_edit"));
  form->addRow(QStringLiteral("Machine temperature °C:"),
               machine_temperature_edit = Line_Edit("machine_temperature_edit"));

  instrument_table = Named(new QTableWidget(0, INSTRUMENT_COLUMNS, this), "instrument_table");
  instrument_table->setHorizontalHeaderLabels(
    {QStringLiteral("Instrument"), QStringLiteral("Serial number"), QStringLiteral("Calibration certificate")});
  instrument_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  add_instrument_button = Named(new QPushButton(QStringLiteral("Add Instrument"), this), "add_instrument_button");
  remove_instrument_button =
    Named(new QPushButton(QStringLiteral("Remove Instrument"), this), "remove_instrument_button");
  connect(add_instrument_button, &QPushButton::clicked, this, &TProjectInformationDialog::Add_Instrument);
  connect(remove_instrument_button, &QPushButton::clicked, this, &TProjectInformationDialog::Remove_Instrument);
  QHBoxLayout* instrument_buttons = new QHBoxLayout;
  instrument_buttons->addWidget(add_instrument_button);
  instrument_buttons->addWidget(remove_instrument_button);
  instrument_buttons->addStretch();

  notes_edit = Named(new QPlainTextEdit(this), "notes_edit");
  problem_label = Named(new QLabel(this), "problem_label");
  problem_label->setStyleSheet(QStringLiteral("color: #b00000;"));
  problem_label->setWordWrap(true);
  button_box = Named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this), "button_box");
  connect(button_box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(button_box, &QDialogButtonBox::rejected, this, &QDialog::reject);

  QVBoxLayout* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(new QLabel(QStringLiteral("Instruments used:"), this));
  layout->addWidget(instrument_table);
  layout->addLayout(instrument_buttons);
  layout->addWidget(new QLabel(QStringLiteral("Notes:"), this));
  layout->addWidget(notes_edit);
  layout->addWidget(problem_label);
  layout->addWidget(button_box);
}

void TProjectInformationDialog::Show_Information(const TProjectInformation& information)
{
  machine_maker_edit->setText(information.machine_maker);
  machine_model_edit->setText(information.machine_model);
  machine_serial_edit->setText(information.machine_serial_number);
  customer_edit->setText(information.customer);
  operator_edit->setText(information.operator_name);
  measurement_date_edit->setText(information.measurement_date.toString(DATE_FORMAT));
  air_temperature_edit->setText(Temperature_Text(information.air_temperature_c));
  machine_temperature_edit->setText(Temperature_Text(information.machine_temperature_c));
  for(const TInstrument& instrument : information.instruments)
  {
    const int row = instrument_table->rowCount();
    instrument_table->insertRow(row);
    instrument_table->setItem(row, 0, new QTableWidgetItem(instrument.name));
    instrument_table->setItem(row, 1, new QTableWidgetItem(instrument.serial_number));
    instrument_table->setItem(row, 2, new QTableWidgetItem(instrument.certificate));
  }
  notes_edit->setPlainText(information.notes);
}

TProjectInformation TProjectInformationDialog::Information() const
{
  TProjectInformation information;
  information.machine_maker = machine_maker_edit->text().trimmed();
  information.machine_model = machine_model_edit->text().trimmed();
  information.machine_serial_number = machine_serial_edit->text().trimmed();
  information.customer = customer_edit->text().trimmed();
  information.operator_name = operator_edit->text().trimmed();
  information.measurement_date = QDate::fromString(measurement_date_edit->text().trimmed(), DATE_FORMAT);
  Read_Temperature(air_temperature_edit, &information.air_temperature_c);
  Read_Temperature(machine_temperature_edit, &information.machine_temperature_c);
  for(int row = 0; row < instrument_table->rowCount(); ++row)
  {
    const TInstrument instrument{Cell_Text(instrument_table, row, 0), Cell_Text(instrument_table, row, 1),
                                 Cell_Text(instrument_table, row, 2)};
    if(!instrument.Is_Empty())
      information.instruments.push_back(instrument);
  }
  // Line ends as XML reads them back; no blank lines at the end.
  QString notes = notes_edit->toPlainText();
  notes.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\r', '\n');
  while(!notes.isEmpty() && notes.back().isSpace())
    notes.chop(1);
  information.notes = notes;
  return information;
}

void TProjectInformationDialog::Check_Fields()
{
  QStringList problems;
  const QString date_text = measurement_date_edit->text().trimmed();
  const bool date_ok = date_text.isEmpty() || QDate::fromString(date_text, DATE_FORMAT).isValid();
  Mark_Field(measurement_date_edit, date_ok ? QString() : QStringLiteral("not a date written YYYY-MM-DD"));
  if(!date_ok)
    problems << QStringLiteral("The date of measurement must be written YYYY-MM-DD, for example 2026-12-09.");

  std::optional<double> unused;
  const std::pair<QLineEdit*, QString> temperatures[] = {{air_temperature_edit, QStringLiteral("air")},
                                                         {machine_temperature_edit, QStringLiteral("machine")}};
  for(const auto& [edit, name] : temperatures)
  {
    const bool ok = Read_Temperature(edit, &unused);
    Mark_Field(edit, ok ? QString() : QStringLiteral("not a number"));
    if(!ok)
      problems << QStringLiteral("The %1 temperature must be a number in °C, for example 20.5, or empty.").arg(name);
  }
  problem_label->setText(problems.join('\n'));
  problem_label->setVisible(!problems.isEmpty());
  button_box->button(QDialogButtonBox::Ok)->setEnabled(problems.isEmpty());
}

void TProjectInformationDialog::Add_Instrument()
{
  const int row = instrument_table->rowCount();
  instrument_table->insertRow(row);
  for(int column = 0; column < INSTRUMENT_COLUMNS; ++column)
    instrument_table->setItem(row, column, new QTableWidgetItem);
  instrument_table->setCurrentCell(row, 0);
  instrument_table->editItem(instrument_table->item(row, 0));
}

void TProjectInformationDialog::Remove_Instrument()
{
  const int row = instrument_table->currentRow();
  if(row >= 0)
    instrument_table->removeRow(row);
}
