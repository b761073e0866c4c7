// Helpers of the analysis window tests: reading bars out of a painted chart,
// and projects of simulated machines with known squareness and residuals.
#ifndef ORTHAVEL_ANALYSIS_TEST_HELPERS_H
#define ORTHAVEL_ANALYSIS_TEST_HELPERS_H

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <vector>

#include "residualchart.h"
#include "vector3.h"

// Runs of neighbouring pixel columns that hold a pixel of a colour class,
// left to right, with the rows that pixels of the class occupy in each run.
struct TRun
{
  int first_x = 0;
  int last_x = 0;
  int top = 0;
  int bottom = 0;
};

inline bool Is_Bar_Colour(QRgb pixel)
{
  return qBlue(pixel) > qRed(pixel) + 60;
}

inline bool Is_Flag_Colour(QRgb pixel)
{
  return qRed(pixel) > qBlue(pixel) + 60 && qRed(pixel) > qGreen(pixel) + 60;
}

inline std::vector<TRun> Runs_Of(const QImage& image, bool (*is_class)(QRgb))
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

constexpr int FIT_TIMEOUT_MSEC = 20000;

struct TBar
{
  QString name;
  TVector3 position;
  TVector3 axis;
  double actual_length;
};

// A project of ball bars only.
inline QString Ballbar_Project(const std::vector<TBar>& bars)
{
  QString measurements;
  for(const TBar& bar : bars)
  {
    TVector3 axis = bar.axis;
    axis.Normal();
    measurements += QString("<Measurement><Name>%1</Name><Position>%2,%3,%4</Position><Axis>%5,%6,%7</Axis>"
                            "<Actual_Length>%8</Actual_Length></Measurement>\n")
                      .arg(bar.name)
                      .arg(bar.position.x, 0, 'f', 6)
                      .arg(bar.position.y, 0, 'f', 6)
                      .arg(bar.position.z, 0, 'f', 6)
                      .arg(axis.x, 0, 'f', 12)
                      .arg(axis.y, 0, 'f', 12)
                      .arg(axis.z, 0, 'f', 12)
                      .arg(bar.actual_length, 0, 'f', 6);
  }
  return QString("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Orthavel File_Version=\"1\">\n<BallBar>\n%1</BallBar>\n"
                 "<Length/>\n</Orthavel>\n")
    .arg(measurements);
}

// A machine whose X axis leans towards +Y by 0.1 mm/m, Y towards +Z by 0.2
// mm/m and Z towards +X by 0.3 mm/m, measured along the four body diagonals
// with a ball bar of 1000 mm: each reported length is what the machine reads
// along the reported direction.
inline QString Leaning_Machine_Project()
{
  const double a = 0.1e-3, b = 0.2e-3, c = 0.3e-3;
  const TVector3 machine_axes[3] = {TVector3(std::cos(a), std::sin(a), 0), TVector3(0, std::cos(b), std::sin(b)),
                                    TVector3(std::sin(c), 0, std::cos(c))};
  const TVector3 diagonals[4] = {TVector3(1, 1, 1), TVector3(-1, 1, 1), TVector3(-1, -1, 1), TVector3(1, -1, 1)};
  std::vector<TBar> bars;
  for(int i = 0; i < 4; ++i)
  {
    TVector3 d = diagonals[i];
    d.Normal();
    const TVector3 in_space = machine_axes[0] * d.x + machine_axes[1] * d.y + machine_axes[2] * d.z;
    bars.push_back(TBar{QString("Diagonal %1").arg(i + 1), TVector3(), d, 1000.0 / in_space.Length()});
  }
  return Ballbar_Project(bars);
}

// The two XY face diagonals, 1000 mm each: two records, two parameters.
inline QString Face_Pair_Project()
{
  return Ballbar_Project({{"Plus", TVector3(), TVector3(1, 1, 0), 1000.0},
                          {"Minus", TVector3(), TVector3(1, -1, 0), 1000.0}});
}

// Eight ball bars along each XY face diagonal with deviations of at most
// 0.5 µm, and one 20 µm too long.
inline QString Planted_Error_Project()
{
  std::vector<TBar> bars;
  for(int i = 0; i < 16; ++i)
  {
    const double noise = 0.0005 * ((i % 3) - 1);
    bars.push_back(TBar{QString("Bar %1").arg(i + 1), TVector3(10.0 * i, -5.0 * i, 3.0 * i),
                        i % 2 == 0 ? TVector3(1, 1, 0) : TVector3(1, -1, 0), 1000.0 + noise + (i == 5 ? 0.020 : 0.0)});
  }
  return Ballbar_Project(bars);
}

// The number a label shows is within half its last decimal of the value.
inline bool Shows_Number(const QString& text, double value, int decimals)
{
  bool ok = false;
  const double shown = text.toDouble(&ok);
  return ok && std::fabs(shown - value) <= 0.5 * std::pow(10.0, -decimals) * 1.0001 &&
         text.section('.', 1).size() == decimals;
}

inline QLabel* Label_With_Text(const QObject* parent, const QString& text)
{
  for(QLabel* label : parent->findChildren<QLabel*>())
    if(label->text() == text)
      return label;
  return nullptr;
}

inline QImage Chart_Image(const std::vector<TResidualBar>& bars, int width, int height)
{
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  Paint_Residual_Chart(&painter, QRectF(0, 0, width, height), bars);
  return image;
}

#endif
