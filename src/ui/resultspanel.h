// The results under the 3D view: the three squareness errors in the sign
// convention of the chosen machine maker and the chosen unit, and the length
// and error statistics before and after the fit. Each maker's tool tip in the
// sign box says what positive errors mean in that convention.
#ifndef RESULTSPANEL_H
#define RESULTSPANEL_H

#include <QWidget>

#include "angleunit.h"

class QComboBox;
class QFont;
class QLabel;
class QStringList;
class TCalculateSquare;

class TResultsPanel : public QWidget
{
  Q_OBJECT

public:
  TResultsPanel(const TCalculateSquare* solver, const QFont& header_font, QWidget* parent);

  QComboBox* Sign_Combo() const { return sign_combo; }
  QComboBox* Unit_Combo() const { return unit_combo; }

  // How the errors are shown: the sign convention (an index into
  // Sign_Conventions(), signconvention.h) and the unit.
  int Sign_Convention() const;
  TAngleUnit Unit() const;

  // Sign parameter: bit 0 keeps the solver's sign of XY (clear: flipped),
  // bit 1 that of YZ, bit 2 that of ZX.
  int Create_Squareness_Sign_Parameter(int xy_sign, int yz_sign, int zx_sign) const;
  int Extract_Squareness_Sign_XY(int parameter) const;
  int Extract_Squareness_Sign_YZ(int parameter) const;
  int Extract_Squareness_Sign_ZX(int parameter) const;

  // Names the records left out of the fit; nothing is shown while there are none.
  void Show_Left_Out(const QStringList& names);

signals:
  // The sign convention or the unit changed.
  void Display_Changed();

public slots:
  // Shows what the solver published last.
  void Update_Squareness();
  // A new sign convention shows the same results with other signs.
  void Sign_Changed();
  // A new unit shows the same results in it, headers included.
  void Unit_Changed();

private:
  void Create_Rows(const QFont& header_font);
  void Fill_Sign_Combo();
  void Fill_Unit_Combo();
  void Show_Unit_Headers();
  void Show_Statistics(bool available, const double values[4], QLabel* const labels[4]);

  const TCalculateSquare* d_solver;
  QComboBox* sign_combo;
  QComboBox* unit_combo;
  QLabel* d_error_headers[3];
  QLabel* xy_squareness_label;
  QLabel* yz_squareness_label;
  QLabel* zx_squareness_label;
  QLabel* initial_min_length_label;
  QLabel* initial_max_length_label;
  QLabel* initial_min_error_label;
  QLabel* initial_max_error_label;
  QLabel* final_min_length_label;
  QLabel* final_max_length_label;
  QLabel* final_min_error_label;
  QLabel* final_max_error_label;
  QLabel* left_out_label;
};

#endif
