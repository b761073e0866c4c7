// Paint time of the 3D view for scenes of ball bars and length bars, with and
// without a fit, on the batched shared-edge path and on per-triangle drawing.
#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <vector>

#include "graphicwidget.h"
#include "measurement.h"
#include "scenebuilder.h"
#include "vector3.h"

namespace
{
const int VIEW_WIDTH = 951;
const int VIEW_HEIGHT = 651;

// Ball bars and length bars alternating, spread through a 600 mm volume in
// many directions, the fourth one selected.
class TSceneRecords
{
public:
  explicit TSceneRecords(int measurements)
  {
    for(int i = 0; i < measurements; ++i)
    {
      std::unique_ptr<TMeasurement> record;
      if(i % 2 == 0)
        record = std::make_unique<TMeasurementBallBar>();
      else
        record = std::make_unique<TMeasurementLength>();
      const double a = 2.399963 * i;
      record->Set_Axis(TVector3(std::cos(a), std::sin(a), 0.6 * std::cos(0.37 * i)));
      record->Set_Position(TVector3(300.0 * std::sin(0.71 * i), 300.0 * std::cos(0.53 * i), 200.0 * std::sin(0.29 * i)));
      record->Set_Actual_Length(100.0 + 5.0 * (i % 80));
      d_pointers.push_back(record.get());
      d_selected.push_back(i == 3);
      d_records.push_back(std::move(record));
    }
  }

  // The scene the main window draws, through the window's own scene builder.
  void Draw(TGraphicWidget* widget) const { TSceneBuilder::Draw(widget, d_pointers, d_selected); }

private:
  std::vector<std::unique_ptr<TMeasurement>> d_records;
  std::vector<TMeasurement*> d_pointers;
  std::vector<bool> d_selected;
};

std::unique_ptr<TGraphicWidget> Make_View(const TSceneRecords& scene, bool reference)
{
  std::unique_ptr<TGraphicWidget> widget(new TGraphicWidget);
  widget->resize(VIEW_WIDTH, VIEW_HEIGHT);
  widget->reference_painting = reference;
  scene.Draw(widget.get());
  widget->Look_At(TVector3(-0.684791, -0.684791, 0.249244), TVector3(0, 0, 1));
  return widget;
}

void Paint(benchmark::State& state, bool reference)
{
  const int measurements = static_cast<int>(state.range(0));
  const bool fit = state.range(1) != 0;
  const TSceneRecords scene(measurements);
  std::unique_ptr<TGraphicWidget> widget = Make_View(scene, reference);
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
  const TSceneRecords scene(static_cast<int>(state.range(0)));
  std::unique_ptr<TGraphicWidget> widget = Make_View(scene, false);
  QImage image(VIEW_WIDTH, VIEW_HEIGHT, QImage::Format_ARGB32_Premultiplied);
  widget->render(&image);
  for(auto _ : state)
  {
    scene.Draw(widget.get());
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
