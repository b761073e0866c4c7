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
#include "signconvention.h"
#include "squaredisplay.h"
#include "uihelpers.h"

namespace
{

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
  Fill_Unit_Combo();
  connect(sign_combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &TResultsPanel::Sign_Changed);
  connect(unit_combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &TResultsPanel::Unit_Changed);
}

void TResultsPanel::Create_Rows(const QFont& header_font)
{
  QGridLayout* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(5);

  auto header = [&](const char* text) { return Header_Label(QString::fromLatin1(text), header_font, this); };
  unit_combo = Named(new QComboBox(this), "unit_combo");
  unit_combo->setToolTip(QStringLiteral("Unit of the squareness errors"));
  Place_Row(grid, 0, unit_combo,
            {header("Sign"), d_error_headers[0] = header("XY mm/m"), d_error_headers[1] = header("YZ mm/m"),
             d_error_headers[2] = header("ZX mm/m")});
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

// The makers' conventions, each with its sign parameter as item data and
// what positive errors mean in it as tool tip.
void TResultsPanel::Fill_Sign_Combo()
{
  for(const TSignConvention& convention : Sign_Conventions())
  {
    sign_combo->addItem(QString::fromLatin1(convention.maker),
                        Create_Squareness_Sign_Parameter(convention.signs[0], convention.signs[1], convention.signs[2]));
    sign_combo->setItemData(sign_combo->count() - 1, QString::fromStdString(Sign_Convention_Meaning(convention)),
                            Qt::ToolTipRole);
  }
  sign_combo->setCurrentIndex(DEFAULT_SIGN_CONVENTION);
}

void TResultsPanel::Fill_Unit_Combo()
{
  for(int unit = 0; unit < ANGLE_UNIT_COUNT; ++unit)
    unit_combo->addItem(QString::fromUtf8(Angle_Unit_Label(TAngleUnit(unit))), unit);
  unit_combo->setCurrentIndex(unit_combo->findData(int(DEFAULT_ANGLE_UNIT)));
}

int TResultsPanel::Sign_Convention() const
{
  return sign_combo->currentIndex();
}

TAngleUnit TResultsPanel::Unit() const
{
  return TAngleUnit(unit_combo->currentData().toInt());
}

void TResultsPanel::Show_Unit_Headers()
{
  const QString unit = QString::fromUtf8(Angle_Unit_Label(Unit()));
  const char* const names[3] = {"XY", "YZ", "ZX"};
  for(int i = 0; i < 3; ++i)
    d_error_headers[i]->setText(QStringLiteral("%1 %2").arg(QLatin1String(names[i]), unit));
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
    labels[i]->setText(available ? Fixed_Text(values[i], 4) : NOT_AVAILABLE_TEXT);
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

  const int convention = Sign_Convention();
  const TAngleUnit unit = Unit();
  bool valid = false;
  double value = d_solver->XY_Error(&valid);
  xy_squareness_label->setText(Error_Text(value, valid, SQUARE_ERROR_XY, convention, unit));
  value = d_solver->YZ_Error(&valid);
  yz_squareness_label->setText(Error_Text(value, valid, SQUARE_ERROR_YZ, convention, unit));
  value = d_solver->ZX_Error(&valid);
  zx_squareness_label->setText(Error_Text(value, valid, SQUARE_ERROR_ZX, convention, unit));
}

void TResultsPanel::Sign_Changed()
{
  Update_Squareness();
  emit Display_Changed();
}

void TResultsPanel::Unit_Changed()
{
  Show_Unit_Headers();
  Update_Squareness();
  emit Display_Changed();
}
