// Modal editor for the start and end points of a measurement, six numbers
// shown with three decimals.
#ifndef POINTDIALOG_H
#define POINTDIALOG_H

#include <QDialog>
#include <initializer_list>
#include <vector>

#include "vector3.h"

class QGridLayout;
class QLineEdit;
class QPushButton;
class QWidget;

class TPointDialog : public QDialog
{
  Q_OBJECT

public:
  explicit TPointDialog(const QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

  void Set_Points(const TVector3& start, const TVector3& end);
  TVector3 Start_Point() const;
  TVector3 End_Point() const;

private:
  QLineEdit* Create_Edit(const QString& object_name);
  std::vector<QLineEdit*> Edits() const;
  void Check_Points();
  void Create_Point_Row(QGridLayout* grid, int row, const QString& title, const char* prefix,
                        std::initializer_list<QLineEdit**> edits);

  QLineEdit* d_end_x_edit;
  QLineEdit* d_end_y_edit;
  QLineEdit* d_end_z_edit;
  QLineEdit* d_start_x_edit;
  QLineEdit* d_start_y_edit;
  QLineEdit* d_start_z_edit;
  QPushButton* d_accept_button;
};

#endif
