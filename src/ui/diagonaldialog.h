// "Add Diagonal Set": the body and face diagonals of a box in one step. The
// user gives the box's size and centre (at first the scene's box), which
// diagonals, and whether they are ball bars of one length or length
// measurements with the diagonals' nominal lengths.
#ifndef DIAGONALDIALOG_H
#define DIAGONALDIALOG_H

#include <QDialog>
#include <memory>
#include <vector>

#include "diagonalset.h"
#include "scenebuilder.h"

class QCheckBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QGridLayout;
class QRadioButton;

class TDiagonalDialog : public QDialog
{
  Q_OBJECT

public:
  explicit TDiagonalDialog(QWidget* parent = nullptr);

  // Fills the fields from the box (an edge shorter than 1 mm takes the
  // longest edge) and the ball bar's length; the choice of diagonals and
  // kind stays as the user left it.
  void Set_Box(const TSceneBox& box, double ballbar_length);
  TDiagonalSet Diagonal_Set() const;
  std::vector<std::unique_ptr<TMeasurement>> Records() const { return Diagonal_Records(Diagonal_Set()); }

private:
  QDoubleSpinBox* Create_Spin(const char* name, double minimum, double maximum);
  void Create_Vector_Row(QGridLayout* grid, int row, const QString& title, QDoubleSpinBox* const (&spins)[3]);
  void Update_Buttons();

  QDoubleSpinBox* size_x_spin;
  QDoubleSpinBox* size_y_spin;
  QDoubleSpinBox* size_z_spin;
  QDoubleSpinBox* centre_x_spin;
  QDoubleSpinBox* centre_y_spin;
  QDoubleSpinBox* centre_z_spin;
  QCheckBox* body_check;
  QCheckBox* face_check;
  QRadioButton* ballbar_radio;
  QRadioButton* length_radio;
  QDoubleSpinBox* ballbar_length_spin;
  QDialogButtonBox* button_box;
};

#endif
