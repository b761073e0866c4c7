// Paints a display list through a camera with QPainter as a wireframe: line
// items with their end-point symbols, triangle edges, and the coordinate-system
// triads with labels, or a grey default triad when there are none.
#ifndef VIEWPAINTER_H
#define VIEWPAINTER_H

#include <QDeadlineTimer>
#include <QLine>
#include <QPoint>
#include <QRect>
#include <vector>

#include "displaylist.h"
#include "repeatedlinefilter.h"
#include "viewprojector.h"

class QPainter;
class TViewCamera;

class TViewPainter
{
public:
  // reference draws every triangle edge on its own instead of the batched,
  // shared-edge path; both give the same pixels. The fast path builds the
  // meshes it needs.
  void Paint(QPainter* painter, const TViewCamera& camera, TDisplayList* display_list, bool reference);

  // The data sets from first on, until the deadline has passed (it is looked
  // at after each data set and each batch of at most RUN_BATCH line sets, so
  // at least one is painted); returns the index of the first set not painted.
  static constexpr size_t RUN_BATCH = 2500;
  size_t Paint_Data_Sets(QPainter* painter, const TViewCamera& camera, TDisplayList* display_list, bool reference,
                         size_t first, const QDeadlineTimer& deadline);
  // The coordinate-system triads, or the default triad when there are none.
  void Paint_Axes(QPainter* painter, const TViewCamera& camera, const TDisplayList& display_list);

private:
  void Paint_Line_Items(QPainter* painter, const TViewProjector& projector, const TDisplayList::TDataSet& data_set);
  // Data sets from first on that hold lines alone, in one opaque colour with
  // one symbol, drawn in one batch; returns the index past the last of them.
  size_t Paint_Line_Run(QPainter* painter, const TViewProjector& projector,
                        const std::vector<TDisplayList::TDataSet>& data_sets, size_t first, size_t end);
  void Paint_Mesh_Edges(QPainter* painter, const TViewProjector& projector, const TDisplayList::TTriangleMesh& mesh, bool opaque);

  // Paint buffers, reused so a paint allocates nothing once warmed up.
  std::vector<TWindowPoint> d_window_points;
  std::vector<QPoint> d_pixels;
  std::vector<char> d_pixel_valid;
  std::vector<QLine> d_lines;
  std::vector<QRect> d_symbol_boxes;
  TRepeatedLineFilter d_line_filter;
};

#endif
