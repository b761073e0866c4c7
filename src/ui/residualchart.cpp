#include "residualchart.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>

namespace
{
const QColor BAR_COLOUR(60, 110, 180);
const QColor FLAG_COLOUR(215, 50, 30);
const QColor AXIS_COLOUR(90, 90, 90);
const QString MICRO_METRE = QString::fromUtf8(" \xC2\xB5m");

// The smallest of 1, 2 and 5 times a power of ten that is not below the
// largest deviation; 1 µm for a chart without deviations.
double Scale_Of(const std::vector<TResidualBar>& bars)
{
  double largest = 0.0;
  for(const TResidualBar& bar : bars)
    if(std::isfinite(bar.deviation_um))
      largest = std::max(largest, std::fabs(bar.deviation_um));
  if(!(largest > 0.0) || !std::isfinite(largest))
    return 1.0;
  const double power = std::pow(10.0, std::floor(std::log10(largest)));
  for(double step : {1.0, 2.0, 5.0, 10.0})
    if(step * power >= largest)
      return step * power;
  return 10.0 * power;
}

QString Scale_Text(double value)
{
  return QString::number(value, 'g', 6) + MICRO_METRE;
}

// The extremes of the bars in one column of the plot, and whether any of
// them is flagged.
struct TColumn
{
  double high = 0.0;
  double low = 0.0;
  bool flagged = false;
  bool used = false;
};

struct TPlot
{
  QRectF area;
  double zero_y;
  double half_height;
  double scale;

  double Y_Of(double deviation) const
  {
    const double clamped = std::max(-scale, std::min(scale, deviation));
    return zero_y - clamped / scale * half_height;
  }
};

// One bar from zero to each extreme of the column.
void Add_Column(const TPlot& plot, double left, double width, const TColumn& column, std::vector<QRectF>* rects)
{
  if(column.high > 0.0)
    rects->push_back(QRectF(left, plot.Y_Of(column.high), width, plot.zero_y - plot.Y_Of(column.high)));
  if(column.low < 0.0)
    rects->push_back(QRectF(left, plot.zero_y, width, plot.Y_Of(column.low) - plot.zero_y));
}

// Few bars get a column each, with a gap between them when there is room;
// more bars than columns are gathered per column.
void Paint_Bars(QPainter* painter, const TPlot& plot, const std::vector<TResidualBar>& bars)
{
  const int columns = std::max(1, int(std::floor(plot.area.width())));
  const bool gathered = int(bars.size()) > columns;
  const int slot_count = gathered ? columns : int(bars.size());
  std::vector<TColumn> gathered_columns(static_cast<size_t>(slot_count));
  for(size_t i = 0; i < bars.size(); ++i)
  {
    const TResidualBar& bar = bars[i];
    if(!std::isfinite(bar.deviation_um))
      continue;
    const size_t slot = gathered ? size_t(double(i) * columns / double(bars.size())) : i;
    TColumn& column = gathered_columns[std::min(slot, size_t(slot_count - 1))];
    column.high = std::max(column.high, bar.deviation_um);
    column.low = std::min(column.low, bar.deviation_um);
    column.flagged = column.flagged || bar.flagged;
    column.used = true;
  }

  // Gathered columns are whole pixels, so that none is skipped in rounding.
  const double slot_width = gathered ? 1.0 : plot.area.width() / std::max(1, slot_count);
  const double left = gathered ? std::round(plot.area.left()) : plot.area.left();
  const double gap = slot_width >= 4.0 ? slot_width * 0.2 : 0.0;
  std::vector<QRectF> normal, flagged;
  for(int slot = 0; slot < slot_count; ++slot)
  {
    const TColumn& column = gathered_columns[size_t(slot)];
    if(column.used)
      Add_Column(plot, left + slot * slot_width + gap / 2.0, slot_width - gap, column,
                 column.flagged ? &flagged : &normal);
  }
  painter->setPen(Qt::NoPen);
  painter->setBrush(BAR_COLOUR);
  painter->drawRects(normal.data(), int(normal.size()));
  painter->setBrush(FLAG_COLOUR);
  painter->drawRects(flagged.data(), int(flagged.size()));
}

void Paint_Axes(QPainter* painter, const TPlot& plot, double label_right)
{
  const QString labels[3] = {QStringLiteral("+") + Scale_Text(plot.scale), QStringLiteral("0"),
                             QString::fromUtf8("\xE2\x88\x92") + Scale_Text(plot.scale)};
  const double ys[3] = {plot.area.top(), plot.zero_y, plot.area.bottom()};
  const QFontMetricsF metrics(painter->font());
  painter->setPen(QPen(AXIS_COLOUR, 0));
  for(int i = 0; i < 3; ++i)
  {
    const QRectF box(plot.area.left() - label_right - 1000.0, ys[i] - metrics.height(), 1000.0, 2 * metrics.height());
    painter->drawText(box, Qt::AlignRight | Qt::AlignVCenter, labels[i]);
    painter->drawLine(QPointF(plot.area.left() - label_right / 2.0, ys[i]), QPointF(plot.area.left(), ys[i]));
  }
  painter->drawLine(QPointF(plot.area.left(), plot.area.top()), QPointF(plot.area.left(), plot.area.bottom()));
  painter->drawLine(QPointF(plot.area.left(), plot.zero_y), QPointF(plot.area.right(), plot.zero_y));
}
}

void Paint_Residual_Chart(QPainter* painter, const QRectF& area, const std::vector<TResidualBar>& bars)
{
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, false);
  const QFontMetricsF metrics(painter->font());
  const double scale = Scale_Of(bars);
  const double tick = metrics.height() / 3.0;
  const double label_width = metrics.horizontalAdvance(QStringLiteral("+") + Scale_Text(scale)) + tick;
  TPlot plot;
  plot.area = area.adjusted(label_width + tick, metrics.height() / 2.0, -tick, -metrics.height() / 2.0);
  if(plot.area.width() > 0.0 && plot.area.height() > 0.0)
  {
    plot.scale = scale;
    plot.half_height = plot.area.height() / 2.0;
    plot.zero_y = plot.area.top() + plot.half_height;
    Paint_Bars(painter, plot, bars);
    Paint_Axes(painter, plot, tick);
  }
  painter->restore();
}

TResidualChart::TResidualChart(QWidget* parent) : QWidget(parent)
{
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
}

void TResidualChart::Set_Bars(std::vector<TResidualBar> bars)
{
  d_bars = std::move(bars);
  update();
}

QSize TResidualChart::minimumSizeHint() const
{
  return QSize(200, 100);
}

void TResidualChart::paintEvent(QPaintEvent*)
{
  QPainter painter(this);
  Paint_Residual_Chart(&painter, QRectF(rect()), d_bars);
}
