// The Project Settings dialog: the stated standard uncertainties of the
// measured lengths, u = sqrt(a² + (b·L/1000)²) µm, as a (µm) and b (µm/m) for
// ball bars and for length measurements. A value that is not a finite number
// of 0 or more is marked and named, and OK waits until it is corrected.
#ifndef PROJECTSETTINGSDIALOG_H
#define PROJECTSETTINGSDIALOG_H

#include <QDialog>
#include <vector>

#include "projectsettings.h"

class QDialogButtonBox;
class QLabel;
class QLineEdit;

class TProjectSettingsDialog : public QDialog
{
  Q_OBJECT

public:
  TProjectSettingsDialog(const TProjectSettings& settings, QWidget* parent);

  // The settings as entered; those given to the dialog where a field cannot be read.
  TProjectSettings Settings() const;

private slots:
  void Check_Fields();

private:
  struct TField
  {
    QLineEdit* edit;
    QString title;
    double TLengthUncertainty::*value;
    TLengthUncertainty TUncertaintySettings::*kind;
  };

  QLineEdit* Add_Field(const char* name, const QString& title, TLengthUncertainty TUncertaintySettings::*kind,
                       double TLengthUncertainty::*value);

  TProjectSettings d_settings;
  std::vector<TField> d_fields;

  QLineEdit* ballbar_constant_edit;
  QLineEdit* ballbar_proportional_edit;
  QLineEdit* length_constant_edit;
  QLineEdit* length_proportional_edit;
  QLabel* settings_message_label;
  QDialogButtonBox* settings_buttons;
};

#endif
