// The Analysis dock: the uncertainty of each error, the residuals of the
// records as a table and as a chart.
#include <QtTest>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <cmath>
#include <vector>

#include "orthavel_analysis_test_helpers.h"
#include "projectfile.h"
#include "projectsettingsdialog.h"
#include "residualchart.h"
#include "residualtablemodel.h"
#include "squaresearch.h"
#include "uncertainty.h"
#include "window_helpers.h"
#include "windowtest.h"

class TOrthavelAnalysisTest : public TWindowTest
{
  Q_OBJECT

private slots:
  void chart_paints_one_bar_per_record();
  void chart_keeps_the_extreme_of_many_records_data();
  void chart_keeps_the_extreme_of_many_records();
  void chart_widget_paints_its_bars();
  void dock_shows_the_analysis_of_the_demo();
  void units_convert_panel_and_dock();
  void signs_follow_the_convention_and_explain_it();
  void no_redundancy_gives_reasons_and_no_flags();
  void flagged_record_is_highlighted_and_selectable();
  void settings_round_trip();

private:
  void Load_Demo();
  void Load(const QString& name, const QString& project);
  QString Wait_For_Analysis();
  TResidualTableModel* Residual_Model() const;
  QSortFilterProxyModel* Residual_Proxy() const;
  void Change_Settings(const QStringList& values, QString* message = nullptr);
};

// +10 µm, -5 µm flagged, +2 µm: two bars in the bar colour above the zero
// line, the flagged one in the warning colour below it, heights in proportion.
void TOrthavelAnalysisTest::chart_paints_one_bar_per_record()
{
  const QImage image =
    Chart_Image({{"a", 10.0, false}, {"b", -5.0, true}, {"c", 2.0, false}}, 400, 200);
  const std::vector<TRun> normal = Runs_Of(image, Is_Bar_Colour);
  const std::vector<TRun> flagged = Runs_Of(image, Is_Flag_Colour);
  QCOMPARE(int(normal.size()), 2);
  QCOMPARE(int(flagged.size()), 1);
  QVERIFY(normal[0].last_x < flagged[0].first_x && flagged[0].last_x < normal[1].first_x);
  // The flagged bar hangs below the bottom of the other two.
  QVERIFY(flagged[0].top > normal[0].bottom);
  QVERIFY(std::abs(normal[0].bottom - normal[1].bottom) <= 1);

  const double tall = normal[0].bottom - normal[0].top + 1;
  const double short_bar = normal[1].bottom - normal[1].top + 1;
  const double hanging = flagged[0].bottom - flagged[0].top + 1;
  QVERIFY2(std::fabs(tall / short_bar - 5.0) < 0.5, qPrintable(QString::number(tall / short_bar)));
  QVERIFY2(std::fabs(tall / hanging - 2.0) < 0.1, qPrintable(QString::number(tall / hanging)));
  // The bars are as wide as each other and leave gaps between them.
  const int width = normal[0].last_x - normal[0].first_x;
  QVERIFY(std::abs(width - (flagged[0].last_x - flagged[0].first_x)) <= 1);
  QVERIFY(flagged[0].first_x - normal[0].last_x > 2);
}

// Among far more records than pixel columns, one flagged record of -30 µm
// among others within ±5 µm still shows, and the others fill the plot.
void TOrthavelAnalysisTest::chart_keeps_the_extreme_of_many_records_data()
{
  QTest::addColumn<int>("count");
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("height");
  QTest::newRow("screen") << 100000 << 300 << 150;
  QTest::newRow("print resolution") << 100000 << 3000 << 1500;
}

void TOrthavelAnalysisTest::chart_keeps_the_extreme_of_many_records()
{
  QFETCH(int, count);
  QFETCH(int, width);
  QFETCH(int, height);
  std::vector<TResidualBar> bars;
  bars.reserve(size_t(count));
  for(int i = 0; i < count; ++i)
    bars.push_back(TResidualBar{QString(), 5.0 * std::sin(i * 0.37), false});
  bars[size_t(count / 2 + 17)] = TResidualBar{QStringLiteral("planted"), -30.0, true};
  const QImage image = Chart_Image(bars, width, height);

  const std::vector<TRun> flagged = Runs_Of(image, Is_Flag_Colour);
  QCOMPARE(int(flagged.size()), 1);
  QVERIFY(flagged[0].last_x - flagged[0].first_x <= 1);
  const std::vector<TRun> normal = Runs_Of(image, Is_Bar_Colour);
  QCOMPARE(int(normal.size()), 2); // interrupted only by the flagged column
  const int plot_width = normal[1].last_x - normal[0].first_x + 1;
  QVERIFY2(plot_width > width * 0.7, qPrintable(QString::number(plot_width)));
  // The flagged bar reaches -30 µm, the others span ±5 µm: 1/3 of its height.
  const double full = flagged[0].bottom - flagged[0].top;
  const double others = normal[0].bottom - normal[0].top;
  QVERIFY2(others / full > 0.25 && others / full < 0.42, qPrintable(QString::number(others / full)));
}

void TOrthavelAnalysisTest::chart_widget_paints_its_bars()
{
  TResidualChart chart;
  chart.resize(320, 160);
  chart.Set_Bars({{"a", 3.0, false}, {"b", 4.0, true}});
  QCOMPARE(int(chart.Bars().size()), 2);
  const QImage image = chart.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  QCOMPARE(int(Runs_Of(image, Is_Bar_Colour).size()), 1);
  QCOMPARE(int(Runs_Of(image, Is_Flag_Colour).size()), 1);
}

void TOrthavelAnalysisTest::Load(const QString& name, const QString& project)
{
  QVERIFY(window->Load_Data(Write_File(name, project)));
}

void TOrthavelAnalysisTest::Load_Demo()
{
  QVERIFY(window->Load_Data(QString(ORTHAVEL_EXAMPLES) + "/demo.square"));
}

// Waits until the dock shows a fit of every record of the set.
QString TOrthavelAnalysisTest::Wait_For_Analysis()
{
  const int count = window->Document()->Count();
  if(!QTest::qWaitFor([&] { return Residual_Model()->rowCount() == count && count > 0; }, FIT_TIMEOUT_MSEC))
    return QStringLiteral("no analysis of %1 records").arg(count);
  return QString();
}

TResidualTableModel* TOrthavelAnalysisTest::Residual_Model() const
{
  return Member<TResidualTableModel>(window, "residual_model");
}

QSortFilterProxyModel* TOrthavelAnalysisTest::Residual_Proxy() const
{
  return Member<QSortFilterProxyModel>(window, "residual_proxy");
}

// The project is read and fitted here, apart from the window, and analysed
// with the settings read from it; the dock shows those numbers.
void TOrthavelAnalysisTest::dock_shows_the_analysis_of_the_demo()
{
  const QString path = QString(ORTHAVEL_EXAMPLES) + "/demo.square";
  TProjectFile::TRecords records;
  QString error;
  TProjectSettings settings;
  QVERIFY(TProjectFile::Load(path, &records, &error, nullptr, &settings));
  std::vector<TMeasurement*> list;
  for(const auto& record : records)
    list.push_back(record.get());
  const TMeasurementSnapshot snapshot = Snapshot_Of(list);
  const TFitResult fit = Fit_Square(snapshot);
  const TSquareAnalysis expected = Analyse_Square(snapshot, fit, settings.uncertainty);

  Load_Demo();
  const QString waited = Wait_For_Analysis();
  QVERIFY2(waited.isEmpty(), qPrintable(waited));
  QVERIFY(Member<QDockWidget>(window, "analysis_dock")->isVisible());

  const double errors[3] = {fit.xy_error, fit.yz_error, fit.zx_error};
  const char* values[3] = {"xy_value_label", "yz_value_label", "zx_value_label"};
  const char* uncertainties[3] = {"xy_uncertainty_label", "yz_uncertainty_label", "zx_uncertainty_label"};
  for(int i = 0; i < 3; ++i)
  {
    QVERIFY(expected.errors[size_t(i)].expanded);
    QCOMPARE(Text_Of(window, values[i]), QString::number(errors[i], 'f', 4));
    QCOMPARE(Text_Of(window, uncertainties[i]), QString::number(*expected.errors[size_t(i)].expanded, 'f', 4));
  }
  QVERIFY(expected.degrees_of_freedom > 0 && expected.birge_ratio);
  QCOMPARE(Text_Of(window, "degrees_of_freedom_label"), QString::number(expected.degrees_of_freedom));
  QCOMPARE(Text_Of(window, "birge_ratio_label"), QString::number(*expected.birge_ratio, 'f', 3));

  const std::vector<TResidualRow>& rows = Residual_Model()->Rows();
  const std::vector<TResidualBar>& bars = Member<TResidualChart>(window, "residual_chart")->Bars();
  QCOMPARE(rows.size(), list.size());
  QCOMPARE(bars.size(), list.size());
  for(size_t i = 0; i < rows.size(); ++i)
  {
    const TRecordResidual& residual = expected.residuals[i];
    QCOMPARE(rows[i].name, list[i]->Name());
    QCOMPARE(*rows[i].deviation_before_um, *residual.deviation_before * 1000.0);
    QCOMPARE(*rows[i].deviation_after_um, *residual.deviation_after * 1000.0);
    QCOMPARE(*rows[i].normalised, *residual.normalised);
    QCOMPARE(rows[i].flagged, residual.flagged);
    QCOMPARE(bars[i].deviation_um, *residual.deviation_after * 1000.0);
    const QModelIndex after = Residual_Model()->index(int(i), TResidualTableModel::COLUMN_AFTER);
    QCOMPARE(after.data().toString(), QString::number(*residual.deviation_after * 1000.0, 'f', 2));
  }
}

// 1 mm/m = 1000 µm/m = 1000 µrad = 206.264806 arcsec, in the results panel,
// its headers and the dock alike. (One window for all units: each window
// costs seconds under the sanitizers.)
void TOrthavelAnalysisTest::units_convert_panel_and_dock()
{
  struct TUnit
  {
    QString label;
    double factor;
    int decimals;
  };
  const TUnit units[] = {{QString::fromUtf8("\xC2\xB5m/m"), 1000.0, 1},
                         {QString::fromUtf8("\xC2\xB5rad"), 1000.0, 1},
                         {"arcsec", 206.264806, 2},
                         {"mm/m", 1.0, 4}};
  Load_Demo();
  const QString waited = Wait_For_Analysis();
  QVERIFY2(waited.isEmpty(), qPrintable(waited));
  const TSolverResult result = Solver_Of(window)->Result();
  QVERIFY(result.analysis);
  const double xy_mm_per_m = result.xy_error;
  const double zx_u_mm_per_m = *result.analysis->errors[SQUARE_ERROR_ZX].expanded;
  const QString mm_per_m_text = Text_Of(window, "xy_squareness_label");
  QCOMPARE(mm_per_m_text, QString::number(xy_mm_per_m, 'f', 4));

  QComboBox* combo = Member<QComboBox>(window, "unit_combo");
  QCOMPARE(combo->currentText(), QString("mm/m"));
  for(const TUnit& unit : units)
  {
    const QByteArray name = unit.label.toUtf8();
    combo->setCurrentIndex(combo->findText(unit.label));
    QCOMPARE(combo->currentText(), unit.label);
    for(const char* error : {"XY", "YZ", "ZX"})
      QVERIFY2(Label_With_Text(Member<QObject>(window, "results_panel"), QString("%1 %2").arg(error, unit.label)),
               name.constData());
    QVERIFY2(Shows_Number(Text_Of(window, "xy_squareness_label"), xy_mm_per_m * unit.factor, unit.decimals),
             name.constData());
    QCOMPARE(Text_Of(window, "xy_value_label"), Text_Of(window, "xy_squareness_label"));
    QVERIFY2(Shows_Number(Text_Of(window, "zx_uncertainty_label"), zx_u_mm_per_m * unit.factor, unit.decimals),
             name.constData());
  }
  QCOMPARE(Text_Of(window, "xy_squareness_label"), mm_per_m_text);
}

// The machine's X axis leans towards +Y, Y towards +Z and Z towards +X; each
// maker shows that with its signs, and its tool tip says which way a
// positive error leans.
void TOrthavelAnalysisTest::signs_follow_the_convention_and_explain_it()
{
  struct TMaker
  {
    QString name;
    int signs[3];
  };
  const TMaker makers[] = {{"AAT", {-1, -1, 1}},      {"BnS", {1, 1, 1}},        {"DEA", {1, 1, -1}},
                           {"LK", {-1, -1, 1}},       {"Renishaw", {-1, -1, -1}}, {"Sheffield", {1, -1, 1}},
                           {"Wenzel", {-1, -1, 1}},   {"Zeiss", {1, -1, 1}}};
  Load("leaning.square", Leaning_Machine_Project());
  const QString waited = Wait_For_Analysis();
  QVERIFY2(waited.isEmpty(), qPrintable(waited));
  QComboBox* combo = Member<QComboBox>(window, "sign_combo");
  const double leans[3] = {0.1, 0.2, 0.3};
  const char* panel[3] = {"xy_squareness_label", "yz_squareness_label", "zx_squareness_label"};
  const char* dock[3] = {"xy_value_label", "yz_value_label", "zx_value_label"};
  const char* uncertainty[3] = {"xy_uncertainty_label", "yz_uncertainty_label", "zx_uncertainty_label"};
  const QString meanings[3] = {"Positive XY: the X axis leans towards %1Y.", "Positive YZ: the Y axis leans towards %1Z.",
                               "Positive ZX: the Z axis leans towards %1X."};
  for(const TMaker& maker : makers)
  {
    const QByteArray name = maker.name.toUtf8();
    const int index = combo->findText(maker.name);
    QVERIFY2(index >= 0, name.constData());
    combo->setCurrentIndex(index);
    const QString tool_tip = combo->itemData(index, Qt::ToolTipRole).toString();
    for(int i = 0; i < 3; ++i)
    {
      const QString shown = QString::number(maker.signs[i] * leans[i], 'f', 4);
      QCOMPARE(Text_Of(window, panel[i]), shown);
      QCOMPARE(Text_Of(window, dock[i]), shown);
      QVERIFY(Text_Of(window, uncertainty[i]).toDouble() > 0.0);
      // A positive number means the lean this machine has, a negative one the other.
      QVERIFY2(tool_tip.contains(meanings[i].arg(maker.signs[i] > 0 ? "+" : "-")), qPrintable(maker.name + tool_tip));
    }
  }
}

// Two ball bars along the XY face diagonals: n = p = 2. U(XY) = 2·√2·u/L with
// u = √(1² + 1²) µm and L = 1000 mm is 0.004 mm/m; nothing else is known and
// the dock says why.
void TOrthavelAnalysisTest::no_redundancy_gives_reasons_and_no_flags()
{
  Load("pair.square", Face_Pair_Project());
  const QString waited = Wait_For_Analysis();
  QVERIFY2(waited.isEmpty(), qPrintable(waited));
  QCOMPARE(Text_Of(window, "xy_uncertainty_label"), QString("0.0040"));
  QCOMPARE(Text_Of(window, "yz_uncertainty_label"), QString("----"));
  QCOMPARE(Text_Of(window, "zx_uncertainty_label"), QString("----"));
  QCOMPARE(Text_Of(window, "degrees_of_freedom_label"), QString("0"));
  QCOMPARE(Text_Of(window, "birge_ratio_label"), QString("----"));
  QCOMPARE(Text_Of(window, "flagged_label"), QString());
  const QString reasons = Text_Of(window, "reason_label");
  QVERIFY2(reasons.contains("YZ: YZ needs measurements along both YZ face diagonals"), qPrintable(reasons));
  QVERIFY2(reasons.contains("ZX: ZX needs measurements along both ZX face diagonals"), qPrintable(reasons));
  QVERIFY2(reasons.contains("Birge ratio: ") && reasons.contains("n - p = 0"), qPrintable(reasons));
  QVERIFY(Member<QLabel>(window, "reason_label")->isVisible());
  for(const TResidualRow& row : Residual_Model()->Rows())
    QVERIFY(!row.flagged);
}

// The planted error is the one flagged row, highlighted; sorting by the
// deviation after the fit puts it last, and choosing it in the table selects
// it in the measurement list.
void TOrthavelAnalysisTest::flagged_record_is_highlighted_and_selectable()
{
  Load("planted.square", Planted_Error_Project());
  const QString waited = Wait_For_Analysis();
  QVERIFY2(waited.isEmpty(), qPrintable(waited));
  TResidualTableModel* model = Residual_Model();
  int flagged = 0;
  for(int row = 0; row < model->rowCount(); ++row)
  {
    const bool highlighted = model->index(row, 0).data(Qt::BackgroundRole).isValid();
    QCOMPARE(highlighted, model->Rows()[size_t(row)].flagged);
    flagged += highlighted ? 1 : 0;
  }
  QCOMPARE(flagged, 1);
  QVERIFY(Text_Of(window, "flagged_label").startsWith("Flagged: 1"));

  QTableView* table = Member<QTableView>(window, "residual_table");
  table->sortByColumn(TResidualTableModel::COLUMN_AFTER, Qt::AscendingOrder);
  QSortFilterProxyModel* proxy = Residual_Proxy();
  const int last = proxy->rowCount() - 1;
  QCOMPARE(proxy->index(last, TResidualTableModel::COLUMN_NAME).data().toString(), QString("Bar 6"));
  for(int row = 1; row <= last; ++row)
    QVERIFY(proxy->index(row - 1, TResidualTableModel::COLUMN_AFTER).data(Qt::UserRole).toDouble() <=
            proxy->index(row, TResidualTableModel::COLUMN_AFTER).data(Qt::UserRole).toDouble());

  table->selectRow(last);
  const QList<QListWidgetItem*> selected = Member<QListWidget>(window, "measurement_list")->selectedItems();
  QCOMPARE(selected.size(), 1);
  QCOMPARE(selected.front()->text(), QString("Bar 6"));
  QCOMPARE(Text_Of(window, "name_edit"), QString("Bar 6"));
}

// Types the four values into the settings dialog and presses OK; the first
// entry is first tried as "abc", which holds OK and is named.
void TOrthavelAnalysisTest::Change_Settings(const QStringList& values, QString* message)
{
  When_Shown<TProjectSettingsDialog>([values, message](TProjectSettingsDialog* dialog) {
    QLineEdit* first = Member<QLineEdit>(dialog, "ballbar_constant_edit");
    QAbstractButton* ok = Member<QDialogButtonBox>(dialog, "settings_buttons")->button(QDialogButtonBox::Ok);
    first->setText("abc");
    if(message && !ok->isEnabled() && Member<QLabel>(dialog, "settings_message_label")->isVisibleTo(dialog))
      *message = Text_Of(dialog, "settings_message_label");
    const char* names[4] = {"ballbar_constant_edit", "ballbar_proportional_edit", "length_constant_edit",
                            "length_proportional_edit"};
    for(int i = 0; i < 4; ++i)
      Member<QLineEdit>(dialog, names[i])->setText(values[i]);
    ok->click();
  });
  Member<QAction>(window, "action_project_settings")->trigger();
}

// Settings entered in the dialog mark the set modified, re-analyse it, are
// saved and read back; back at the defaults the file is written as before.
void TOrthavelAnalysisTest::settings_round_trip()
{
  Load("pair.square", Face_Pair_Project());
  const QString waited = Wait_For_Analysis();
  QVERIFY2(waited.isEmpty(), qPrintable(waited));
  const QString plain = directory.filePath("plain.square");
  QVERIFY(window->Save_Data(plain));
  QFile plain_file(plain);
  QVERIFY(plain_file.open(QIODevice::ReadOnly));
  const QByteArray plain_bytes = plain_file.readAll();
  QVERIFY(!plain_bytes.contains("Project_Settings"));

  // u = √(3² + (4·1000/1000)²) = 5 µm: U(XY) = 2·√2·5e-3/1000 rad = 0.0141 mm/m.
  QString message;
  Change_Settings({"3", "4", "0.25", "0"}, &message);
  QVERIFY2(message.contains("'abc' is not a number of 0 or more"), qPrintable(message));
  QVERIFY(window->Document()->Is_Modified());
  TUncertaintySettings expected;
  expected.ball_bar = TLengthUncertainty{3.0, 4.0};
  expected.length = TLengthUncertainty{0.25, 0.0};
  QVERIFY(window->Document()->Settings().uncertainty == expected);
  QTRY_COMPARE_WITH_TIMEOUT(Text_Of(window, "xy_uncertainty_label"), QString("0.0141"), FIT_TIMEOUT_MSEC);

  const QString with_settings = directory.filePath("settings.square");
  QVERIFY(window->Save_Data(with_settings));
  Load("pair.square", Face_Pair_Project());
  QVERIFY(window->Document()->Settings().Is_Default());
  QVERIFY(window->Load_Data(with_settings));
  QVERIFY(window->Document()->Settings().uncertainty == expected);

  Change_Settings({"1", "1", "0.5", "0.5"});
  QVERIFY(window->Document()->Settings().Is_Default());
  const QString again = directory.filePath("again.square");
  QVERIFY(window->Save_Data(again));
  QFile again_file(again);
  QVERIFY(again_file.open(QIODevice::ReadOnly));
  QCOMPARE(again_file.readAll(), plain_bytes);
}

QTEST_MAIN(TOrthavelAnalysisTest)

#include "test_orthavel_analysis.moc"
