#include "resultspanel.h"

#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QSizePolicy>
#include <QStringList>
#include <initializer_list>

#include "calculatesquare.h"
#include "fixedtext.h"
#include "uihelpers.h"

namespace
{
const QString NOT_AVAILABLE = QStringLiteral("----");

QLabel* Row_Title(const QString& text, QWidget* parent)
{
  QLabel* label = new QLabel(text, parent);
  label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  return label;
}

// One row of the panel: an optional title in column 0, then columns 1 to 4.
void Place_Row(QGridLayout* grid, int row, QWidget* title, std::initializer_list<QWidget*> cells)
{
  if(title)
    grid->addWidget(title, row, 0);
  int column = 1;
  for(QWidget* cell : cells)
    grid->addWidget(cell, row, column++);
}
}

TResultsPanel::TResultsPanel(const TCalculateSquare* solver, const QFont& header_font, QWidget* parent)
  : QWidget(parent), d_solver(solver)
{
  Create_Rows(header_font);
  Fill_Sign_Combo();
  connect(sign_combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &TResultsPanel::Sign_Changed);
}

void TResultsPanel::Create_Rows(const QFont& header_font)
{
  QGridLayout* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(5);

  auto header = [&](const char* text) { return Header_Label(QString::fromLatin1(text), header_font, this); };
  Place_Row(grid, 0, nullptr, {header("Sign"), header("XY mm/m"), header("YZ mm/m"), header("ZX mm/m")});
  sign_combo = Named(new QComboBox(this), "sign_combo");
  Place_Row(grid, 1, Row_Title(QStringLiteral("Squareness: "), this),
            {sign_combo, xy_squareness_label = Value_Label(this, "xy_squareness_label"),
             yz_squareness_label = Value_Label(this, "yz_squareness_label"),
             zx_squareness_label = Value_Label(this, "zx_squareness_label")});
  Place_Row(grid, 2, nullptr,
            {header(" Max Length mm "), header(" Min Length mm "), header(" Max Error mm "), header(" Min Error mm ")});
  Place_Row(grid, 3, Row_Title(QStringLiteral("Initial: "), this),
            {initial_max_length_label = Value_Label(this, "initial_max_length_label"),
             initial_min_length_label = Value_Label(this, "initial_min_length_label"),
             initial_max_error_label = Value_Label(this, "initial_max_error_label"),
             initial_min_error_label = Value_Label(this, "initial_min_error_label")});
  Place_Row(grid, 4, Row_Title(QStringLiteral("Final: "), this),
            {final_max_length_label = Value_Label(this, "final_max_length_label"),
             final_min_length_label = Value_Label(this, "final_min_length_label"),
             final_max_error_label = Value_Label(this, "final_max_error_label"),
             final_min_error_label = Value_Label(this, "final_min_error_label")});

  left_out_label = Named(new QLabel(this), "left_out_label");
  left_out_label->setWordWrap(true);
  left_out_label->setStyleSheet(QStringLiteral("color: #b00000;"));
  left_out_label->hide();
  grid->addWidget(left_out_label, 5, 0, 1, 5);
}

void TResultsPanel::Show_Left_Out(const QStringList& names)
{
  const int listed = 8;
  QStringList shown = names.mid(0, listed);
  if(names.size() > listed)
    shown << QStringLiteral("and %1 more").arg(names.size() - listed);
  left_out_label->setText(QStringLiteral("Left out of the fit (a number not finite or a length not positive): %1")
                            .arg(shown.join(QStringLiteral(", "))));
  left_out_label->setVisible(!names.isEmpty());
}

// The makers' conventions, each as the sign it gives XY, YZ and ZX.
void TResultsPanel::Fill_Sign_Combo()
{
  struct TSignEntry
  {
    const char* maker;
    int xy;
    int yz;
    int zx;
  };
  static const TSignEntry entries[] = {{"AAT", -1, -1, 1},    {"BnS", 1, 1, 1},         {"DEA", 1, 1, -1},
                                       {"LK", -1, -1, 1},     {"Renishaw", -1, -1, -1}, {"Sheffield", 1, -1, 1},
                                       {"Wenzel", -1, -1, 1}, {"Zeiss", 1, -1, 1}};
  for(const TSignEntry& entry : entries)
    sign_combo->addItem(QString::fromLatin1(entry.maker),
                        Create_Squareness_Sign_Parameter(entry.xy, entry.yz, entry.zx));
  sign_combo->setCurrentIndex(1);
}

int TResultsPanel::Create_Squareness_Sign_Parameter(int xy_sign, int yz_sign, int zx_sign) const
{
  int parameter = 0;
  if(xy_sign > 0)
    parameter |= 1;
  if(yz_sign > 0)
    parameter |= 2;
  if(zx_sign > 0)
    parameter |= 4;
  return parameter;
}

int TResultsPanel::Extract_Squareness_Sign_XY(int parameter) const
{
  return (parameter & 1) ? 1 : -1;
}

int TResultsPanel::Extract_Squareness_Sign_YZ(int parameter) const
{
  return (parameter & 2) ? 1 : -1;
}

int TResultsPanel::Extract_Squareness_Sign_ZX(int parameter) const
{
  return (parameter & 4) ? 1 : -1;
}

void TResultsPanel::Show_Statistics(bool available, const double values[4], QLabel* const labels[4])
{
  for(int i = 0; i < 4; ++i)
    labels[i]->setText(available ? Fixed_Text(values[i], 4) : NOT_AVAILABLE);
}

void TResultsPanel::Show_Error(QLabel* label, double value, bool valid, int sign)
{
  label->setText(valid ? Fixed_Text(sign > 0 ? value : -value, 4) : NOT_AVAILABLE);
}

void TResultsPanel::Update_Squareness()
{
  double values[4];
  bool available = d_solver->Initial_Error_Statistics(&values[0], &values[1], &values[2], &values[3]);
  QLabel* const initial_labels[4] = {initial_min_length_label, initial_max_length_label, initial_min_error_label,
                                     initial_max_error_label};
  Show_Statistics(available, values, initial_labels);

  available = d_solver->Final_Error_Statistics(&values[0], &values[1], &values[2], &values[3]);
  QLabel* const final_labels[4] = {final_min_length_label, final_max_length_label, final_min_error_label,
                                   final_max_error_label};
  Show_Statistics(available, values, final_labels);

  const int parameter = sign_combo->currentData(Qt::UserRole).toInt();
  bool valid = false;
  double value = d_solver->XY_Error(&valid);
  Show_Error(xy_squareness_label, value, valid, Extract_Squareness_Sign_XY(parameter));
  value = d_solver->YZ_Error(&valid);
  Show_Error(yz_squareness_label, value, valid, Extract_Squareness_Sign_YZ(parameter));
  value = d_solver->ZX_Error(&valid);
  Show_Error(zx_squareness_label, value, valid, Extract_Squareness_Sign_ZX(parameter));
}

void TResultsPanel::Sign_Changed()
{
  Update_Squareness();
}
