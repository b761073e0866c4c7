// The Project Information dialog: what a calibration certificate names
// besides the results (machine, customer, operator, date, instruments,
// temperatures, notes). A date or temperature that cannot be taken is marked,
// named below the fields and holds OK until it is corrected or cleared.
#ifndef PROJECTINFORMATIONDIALOG_H
#define PROJECTINFORMATIONDIALOG_H

#include <QDialog>

#include "projectinformation.h"

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

class TProjectInformationDialog : public QDialog
{
  Q_OBJECT

public:
  TProjectInformationDialog(const TProjectInformation& information, QWidget* parent);

  // The information as the fields hold it; only meaningful while OK is enabled.
  TProjectInformation Information() const;

private slots:
  void Check_Fields();
  void Add_Instrument();
  void Remove_Instrument();

private:
  void Create_Fields();
  void Show_Information(const TProjectInformation& information);
  QLineEdit* Line_Edit(const char* name);

  QLineEdit* machine_maker_edit;
  QLineEdit* machine_model_edit;
  QLineEdit* machine_serial_edit;
  QLineEdit* customer_edit;
  QLineEdit* operator_edit;
  QLineEdit* measurement_date_edit;
  QTableWidget* instrument_table;
  QPushButton* add_instrument_button;
  QPushButton* remove_instrument_button;
  QLineEdit* air_temperature_edit;
  QLineEdit* machine_temperature_edit;
  QPlainTextEdit* notes_edit;
  QLabel* problem_label;
  QDialogButtonBox* button_box;
};

#endif
