// The Analysis dock: the uncertainty of each error, the residuals of the
// records as a table and as a chart.
#include <QtTest>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <vector>

#include "residualchart.h"
#include "window_helpers.h"
#include "windowtest.h"

namespace
{
// Runs of neighbouring pixel columns that hold a pixel of a colour class,
// left to right, with the rows that pixels of the class occupy in each run.
struct TRun
{
  int first_x = 0;
  int last_x = 0;
  int top = 0;
  int bottom = 0;
};

bool Is_Bar_Colour(QRgb pixel)
{
  return qBlue(pixel) > qRed(pixel) + 60;
}

bool Is_Flag_Colour(QRgb pixel)
{
  return qRed(pixel) > qBlue(pixel) + 60 && qRed(pixel) > qGreen(pixel) + 60;
}

std::vector<TRun> Runs_Of(const QImage& image, bool (*is_class)(QRgb))
{
  std::vector<TRun> runs;
  bool in_run = false;
  for(int x = 0; x < image.width(); ++x)
  {
    int top = -1, bottom = -1;
    for(int y = 0; y < image.height(); ++y)
      if(is_class(image.pixel(x, y)))
      {
        if(top < 0)
          top = y;
        bottom = y;
      }
    if(top < 0)
    {
      in_run = false;
      continue;
    }
    if(!in_run)
      runs.push_back(TRun{x, x, top, bottom});
    TRun& run = runs.back();
    run.last_x = x;
    run.top = std::min(run.top, top);
    run.bottom = std::max(run.bottom, bottom);
    in_run = true;
  }
  return runs;
}

QImage Chart_Image(const std::vector<TResidualBar>& bars, int width, int height)
{
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  Paint_Residual_Chart(&painter, QRectF(0, 0, width, height), bars);
  return image;
}
}

class TOrthavelAnalysisTest : public TWindowTest
{
  Q_OBJECT

private slots:
  void chart_paints_one_bar_per_record();
  void chart_keeps_the_extreme_of_many_records_data();
  void chart_keeps_the_extreme_of_many_records();
  void chart_widget_paints_its_bars();
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

QTEST_MAIN(TOrthavelAnalysisTest)

#include "test_orthavel_analysis.moc"
