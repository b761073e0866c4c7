// Paint time of the 3D view for scenes of ball bars and length bars, with and
// without a fit, on the batched shared-edge path and on per-triangle drawing.
#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

#include "graphicwidget.h"
#include "vector3.h"

namespace
{
const int VIEW_WIDTH = 951;
const int VIEW_HEIGHT = 651;

// The scene the main window draws: every measurement in its own data set,
// ball bars as a cylinder and two spheres, length bars as square bars, and a box.
void Draw_Scene(TGraphicWidget* widget, int measurements)
{
  widget->Clear_Data_Sets();
  TVector3 minimum;
  TVector3 maximum;
  for(int i = 0; i < measurements; ++i)
  {
    const double a = 2.399963 * i;
    TVector3 axis(std::cos(a), std::sin(a), 0.6 * std::cos(0.37 * i));
    axis.Normal();
    const TVector3 position(300.0 * std::sin(0.71 * i), 300.0 * std::cos(0.53 * i), 200.0 * std::sin(0.29 * i));
    const double actual = 100.0 + 5.0 * (i % 80);
    const TVector3 start = position - axis * (0.5 * actual);
    const TVector3 end = position + axis * (0.5 * actual);
    if(i == 0)
      minimum = maximum = start;
    for(int k = 0; k < 3; ++k)
    {
      minimum(k) = std::min(minimum(k), std::min(start(k), end(k)));
      maximum(k) = std::max(maximum(k), std::max(start(k), end(k)));
    }

    const int id = widget->Create_Data_Set(TGraphicWidget::SYMBOL_NONE, i == 3 ? QColor(60, 60, 240) : QColor(80, 80, 80));
    if(i % 2 == 0)
    {
      widget->Draw_Cylinder(id, position, axis, 6.0, actual - 22.0);
      widget->Draw_Sphere(id, start, 12.5);
      widget->Draw_Sphere(id, end, 12.5);
    }
    else
    {
      const TVector3 reference = std::fabs(axis ^ TVector3(0, 0, 1)) > 0.707107 ? TVector3(1, 0, 0) : TVector3(0, 0, 1);
      widget->Draw_Polygon(id, position, axis, reference, 10.0, actual, 4);
    }
  }
  const int box = widget->Create_Data_Set(TGraphicWidget::SYMBOL_NONE, QColor(160, 160, 160));
  widget->Draw_Wire_Cube(box, minimum, maximum);
  widget->Update();
}

std::unique_ptr<TGraphicWidget> Make_View(int measurements, bool reference)
{
  std::unique_ptr<TGraphicWidget> widget(new TGraphicWidget);
  widget->resize(VIEW_WIDTH, VIEW_HEIGHT);
  widget->reference_painting = reference;
  Draw_Scene(widget.get(), measurements);
  widget->Look_At(TVector3(-0.684791, -0.684791, 0.249244), TVector3(0, 0, 1));
  return widget;
}

void Paint(benchmark::State& state, bool reference)
{
  const int measurements = static_cast<int>(state.range(0));
  const bool fit = state.range(1) != 0;
  std::unique_ptr<TGraphicWidget> widget = Make_View(measurements, reference);
  QImage image(VIEW_WIDTH, VIEW_HEIGHT, QImage::Format_ARGB32_Premultiplied);
  widget->render(&image);

  size_t triangles = 0;
  for(const TGraphicWidget::TDataSet& data_set : widget->Data_Sets())
    triangles += data_set.triangle_items.size();

  for(auto _ : state)
  {
    widget->fit_requested = fit;
    widget->render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["triangles"] = static_cast<double>(triangles);
}

void BM_Paint(benchmark::State& state)
{
  Paint(state, false);
}

void BM_Paint_Per_Triangle(benchmark::State& state)
{
  Paint(state, true);
}

// What a selection change costs: the scene is rebuilt, then painted once.
void BM_Redraw_Scene_And_Paint(benchmark::State& state)
{
  const int measurements = static_cast<int>(state.range(0));
  std::unique_ptr<TGraphicWidget> widget = Make_View(measurements, false);
  QImage image(VIEW_WIDTH, VIEW_HEIGHT, QImage::Format_ARGB32_Premultiplied);
  widget->render(&image);
  for(auto _ : state)
  {
    Draw_Scene(widget.get(), measurements);
    widget->render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
} // namespace

BENCHMARK(BM_Paint)->ArgsProduct({{10, 100, 500}, {0, 1}})->ArgNames({"measurements", "fit"})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint_Per_Triangle)->ArgsProduct({{10, 100, 500}, {0, 1}})->ArgNames({"measurements", "fit"})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Redraw_Scene_And_Paint)->Arg(10)->Arg(100)->Arg(500)->ArgName("measurements")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
  if(qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if(benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
