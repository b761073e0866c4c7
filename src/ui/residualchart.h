// A bar chart of the records' deviations after the fit, in µm: one bar per
// record around a zero line, with a symmetric scale labelled in µm and the
// flagged records in a warning colour. The painting is a function of a
// painter, so the same chart goes on the screen, into an image or onto a
// printed page; with more bars than pixel columns each column shows the
// extremes of the bars that fall into it.
#ifndef RESIDUALCHART_H
#define RESIDUALCHART_H

#include <QRectF>
#include <QString>
#include <QWidget>
#include <vector>

class QPainter;

struct TResidualBar
{
  QString name;
  // Corrected length at the fitted axes minus the nominal length, µm. A
  // record without one is left out by the caller.
  double deviation_um;
  bool flagged;
};

// Paints axes, the zero line, the ±scale labels in µm and the bars into the
// area. The painter's state is restored afterwards.
void Paint_Residual_Chart(QPainter* painter, const QRectF& area, const std::vector<TResidualBar>& bars);

class TResidualChart : public QWidget
{
  Q_OBJECT

public:
  explicit TResidualChart(QWidget* parent = nullptr);

  void Set_Bars(std::vector<TResidualBar> bars);
  const std::vector<TResidualBar>& Bars() const { return d_bars; }

  QSize minimumSizeHint() const override;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  std::vector<TResidualBar> d_bars;
};

#endif
