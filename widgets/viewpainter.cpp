#include "viewpainter.h"

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QTextOption>
#include <algorithm>
#include <cmath>

#include "vector3.h"
#include "viewcamera.h"

namespace
{
const int SYMBOL_BEFORE = 3;
const int SYMBOL_AFTER = 2;

void Draw_Symbol(QPainter* painter, TDisplayList::TDrawSymbol symbol, const TViewProjector& projector, const TWindowPoint& w)
{
  if(symbol == TDisplayList::SYMBOL_NONE || !std::isfinite(w.x) || !std::isfinite(w.y))
    return;

  const QPoint p = projector.To_Pixel(w);
  // Outline pixels run from p - 3 to p + 2; the painter adds the pen's pixel to the size.
  const QRect box(p.x() - SYMBOL_BEFORE, p.y() - SYMBOL_BEFORE, SYMBOL_BEFORE + SYMBOL_AFTER, SYMBOL_BEFORE + SYMBOL_AFTER);
  switch(symbol)
  {
    case TDisplayList::SYMBOL_CIRCLE:
      painter->drawEllipse(box);
      break;
    case TDisplayList::SYMBOL_SQUARE:
      painter->drawRect(box);
      break;
    case TDisplayList::SYMBOL_CROSS:
      painter->drawLine(p.x() - SYMBOL_BEFORE, p.y() - SYMBOL_BEFORE, p.x() + SYMBOL_AFTER, p.y() + SYMBOL_AFTER);
      painter->drawLine(p.x() + SYMBOL_AFTER, p.y() - SYMBOL_BEFORE, p.x() - SYMBOL_BEFORE, p.y() + SYMBOL_AFTER);
      break;
    default:
      break;
  }
}

// The text centred on the point, over a translucent light box one pixel larger.
void Draw_Label(QPainter* painter, const QString& text, const QPoint& position)
{
  const QRect bounds = painter->boundingRect(QRect(), 0, text);
  const int width = bounds.width();
  const int height = bounds.height();
  const QRect box(position.x() - width / 2 - 1, position.y() - height / 2 - 1, width + 2, height + 2);
  painter->fillRect(box, QBrush(QColor(240, 240, 240, 212)));
  painter->drawText(QRectF(box), text, QTextOption(Qt::AlignCenter));
}

bool Holds_Lines_Alone(const TDisplayList::TDataSet& data_set)
{
  return data_set.triangle_items.empty() && data_set.color.alpha() == 255 &&
         (data_set.symbol == TDisplayList::SYMBOL_NONE || data_set.symbol == TDisplayList::SYMBOL_SQUARE);
}

bool Same_Look(const TDisplayList::TDataSet& a, const TDisplayList::TDataSet& b)
{
  return a.color == b.color && a.symbol == b.symbol;
}

QString Axis_Label(const QString& axis, const QString& label)
{
  return label.isEmpty() ? axis : QString("%1 %2").arg(axis, label);
}

// Every item drawn on its own, exactly as stored.
void Paint_Data_Set_Reference(QPainter* painter, const TViewProjector& projector, const TDisplayList::TDataSet& data_set)
{
  QLine line;
  for(const TDisplayList::TLineItem& item : data_set.line_items)
  {
    const TWindowPoint start = projector.Project(item.start);
    const TWindowPoint end = projector.Project(item.end);
    if(projector.To_Line(start, end, &line))
      painter->drawLine(line);
    Draw_Symbol(painter, data_set.symbol, projector, start);
    Draw_Symbol(painter, data_set.symbol, projector, end);
  }

  for(const TDisplayList::TTriangleItem& item : data_set.triangle_items)
  {
    const TWindowPoint p1 = projector.Project(item.p1);
    const TWindowPoint p2 = projector.Project(item.p2);
    const TWindowPoint p3 = projector.Project(item.p3);
    if(projector.To_Line(p1, p2, &line))
      painter->drawLine(line);
    if(projector.To_Line(p2, p3, &line))
      painter->drawLine(line);
    if(projector.To_Line(p3, p1, &line))
      painter->drawLine(line);
  }
}

void Paint_CSY_Sets(QPainter* painter, const TViewProjector& projector, const std::vector<TDisplayList::TCSYSet>& csy_sets, double axis_length)
{
  QLine line;
  for(const TDisplayList::TCSYSet& csy : csy_sets)
  {
    painter->setPen(QPen(csy.color, 3));
    const TWindowPoint origin = projector.Project(csy.origin);
    const TVector3 arms[3] = {csy.x_axis, csy.y_axis, csy.z_axis};
    const char* names[3] = {"X", "Y", "Z"};
    for(int i = 0; i < 3; ++i)
    {
      const TWindowPoint end = projector.Project(csy.origin + arms[i] * axis_length);
      if(projector.To_Line(origin, end, &line))
        painter->drawLine(line);
      if(std::isfinite(end.x) && std::isfinite(end.y))
        Draw_Label(painter, Axis_Label(names[i], csy.label), projector.To_Pixel(end));
    }
  }
}

void Paint_Default_Triad(QPainter* painter, const TViewProjector& projector, const TVector3& axis_origin, double axis_length)
{
  const TWindowPoint origin = projector.Project(axis_origin);
  const TVector3 arms[3] = {TVector3(1.0, 0.0, 0.0), TVector3(0.0, 1.0, 0.0), TVector3(0.0, 0.0, 1.0)};
  const char* names[3] = {"X", "Y", "Z"};
  QLine line;
  for(int i = 0; i < 3; ++i)
  {
    const TWindowPoint end = projector.Project(axis_origin + arms[i] * axis_length);
    painter->setPen(QPen(QColor(196, 196, 196)));
    if(projector.To_Line(origin, end, &line))
      painter->drawLine(line);
    painter->setPen(QPen(Qt::black));
    if(std::isfinite(end.x) && std::isfinite(end.y))
      Draw_Label(painter, names[i], projector.To_Pixel(end));
  }
}
} // namespace

void TViewPainter::Paint(QPainter* painter, const TViewCamera& camera, TDisplayList* display_list, bool reference)
{
  Paint_Data_Sets(painter, camera, display_list, reference, 0, QDeadlineTimer(QDeadlineTimer::Forever));
  Paint_Axes(painter, camera, *display_list);
}

size_t TViewPainter::Paint_Data_Sets(QPainter* painter, const TViewCamera& camera, TDisplayList* display_list,
                                     bool reference, size_t first, const QDeadlineTimer& deadline)
{
  const TViewProjector projector = camera.Projector();
  const std::vector<TDisplayList::TDataSet>& data_sets = display_list->Data_Sets();
  // Runs of line sets are cut into batches only when there is a deadline.
  const size_t batch = deadline.isForever() ? data_sets.size() : RUN_BATCH;
  size_t i = first;
  while(i < data_sets.size())
  {
    const TDisplayList::TDataSet& data_set = data_sets[i];
    painter->setPen(QPen(data_set.color, 0));
    painter->setBrush(Qt::NoBrush);
    if(reference)
      Paint_Data_Set_Reference(painter, projector, data_set);
    else if(Holds_Lines_Alone(data_set))
      i = Paint_Line_Run(painter, projector, data_sets, i, std::min(data_sets.size(), i + batch)) - 1;
    else
    {
      Paint_Line_Items(painter, projector, data_set);
      if(!data_set.triangle_items.empty())
        Paint_Mesh_Edges(painter, projector, display_list->Mesh(i), data_set.color.alpha() == 255);
    }
    ++i;
    if(deadline.hasExpired())
      break;
  }
  return i;
}

void TViewPainter::Paint_Axes(QPainter* painter, const TViewCamera& camera, const TDisplayList& display_list)
{
  const TViewProjector projector = camera.Projector();
  if(!display_list.CSY_Sets().empty())
    Paint_CSY_Sets(painter, projector, display_list.CSY_Sets(), camera.Axis_Length());
  else
    Paint_Default_Triad(painter, projector, camera.Axis_Origin(), camera.Axis_Length());
}

void TViewPainter::Paint_Line_Items(QPainter* painter, const TViewProjector& projector, const TDisplayList::TDataSet& data_set)
{
  if(data_set.line_items.empty())
    return;

  d_lines.clear();
  QLine line;
  for(const TDisplayList::TLineItem& item : data_set.line_items)
  {
    if(projector.To_Line(projector.Project(item.start), projector.Project(item.end), &line))
      d_lines.push_back(line);
  }
  painter->drawLines(d_lines.data(), static_cast<int>(d_lines.size()));

  if(data_set.symbol == TDisplayList::SYMBOL_NONE)
    return;
  for(const TDisplayList::TLineItem& item : data_set.line_items)
  {
    Draw_Symbol(painter, data_set.symbol, projector, projector.Project(item.start));
    Draw_Symbol(painter, data_set.symbol, projector, projector.Project(item.end));
  }
}

// Lines in one opaque colour give the same pixels in any order, and so do
// the outlines of their end squares drawn after them: a run may be painted
// in batches. Paints the run from first, but no further than end.
size_t TViewPainter::Paint_Line_Run(QPainter* painter, const TViewProjector& projector,
                                    const std::vector<TDisplayList::TDataSet>& data_sets, size_t first, size_t end_limit)
{
  const TDisplayList::TDataSet& look = data_sets[first];
  d_lines.clear();
  d_symbol_boxes.clear();
  size_t end = first;
  QLine line;
  for(; end < end_limit && Holds_Lines_Alone(data_sets[end]) && Same_Look(data_sets[end], look); ++end)
  {
    for(const TDisplayList::TLineItem& item : data_sets[end].line_items)
    {
      const TWindowPoint start = projector.Project(item.start);
      const TWindowPoint finish = projector.Project(item.end);
      if(projector.To_Line(start, finish, &line))
        d_lines.push_back(line);
      if(look.symbol == TDisplayList::SYMBOL_NONE)
        continue;
      for(const TWindowPoint& w : {start, finish})
      {
        if(!std::isfinite(w.x) || !std::isfinite(w.y))
          continue;
        const QPoint p = projector.To_Pixel(w);
        d_symbol_boxes.emplace_back(p.x() - SYMBOL_BEFORE, p.y() - SYMBOL_BEFORE, SYMBOL_BEFORE + SYMBOL_AFTER,
                                    SYMBOL_BEFORE + SYMBOL_AFTER);
      }
    }
  }
  painter->drawLines(d_lines.data(), static_cast<int>(d_lines.size()));
  if(!d_symbol_boxes.empty())
    painter->drawRects(d_symbol_boxes.data(), static_cast<int>(d_symbol_boxes.size()));
  return end;
}

// Each shared vertex is projected once and the edges go to the painter in one
// batch. An opaque colour draws an edge shared by two triangles once: the
// pixels it covers are the same either way. A translucent colour blends each
// overdraw, so then every triangle edge is drawn.
void TViewPainter::Paint_Mesh_Edges(QPainter* painter, const TViewProjector& projector, const TDisplayList::TTriangleMesh& mesh, bool opaque)
{
  const size_t vertex_count = mesh.vertices.size();
  d_window_points.resize(vertex_count);
  d_pixels.resize(vertex_count);
  d_pixel_valid.resize(vertex_count);
  for(size_t i = 0; i < vertex_count; ++i)
  {
    const TWindowPoint w = projector.Project(mesh.vertices[i]);
    d_window_points[i] = w;
    d_pixel_valid[i] = TViewProjector::In_Window_Range(w.x, w.y);
    if(d_pixel_valid[i])
      d_pixels[i] = projector.To_Pixel(w);
  }

  d_lines.clear();
  auto add_line = [&](int a, int b) {
    if(d_pixel_valid[a] && d_pixel_valid[b])
    {
      d_lines.emplace_back(d_pixels[a], d_pixels[b]);
      return;
    }
    QLine line;
    if(projector.To_Line(d_window_points[a], d_window_points[b], &line))
      d_lines.push_back(line);
  };

  if(opaque)
  {
    const std::vector<int>& edges = mesh.edges;
    for(size_t i = 0; i < edges.size(); i += 2)
      add_line(edges[i], edges[i + 1]);
    d_line_filter.Remove_Repeated_Lines(&d_lines);
  }
  else
  {
    const std::vector<int>& corners = mesh.corners;
    for(size_t i = 0; i < corners.size(); i += 3)
    {
      add_line(corners[i], corners[i + 1]);
      add_line(corners[i + 1], corners[i + 2]);
      add_line(corners[i + 2], corners[i]);
    }
  }
  painter->drawLines(d_lines.data(), static_cast<int>(d_lines.size()));
}
