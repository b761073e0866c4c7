#include "graphicwidget.h"

#include <QBrush>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <QResizeEvent>
#include <QRubberBand>
#include <QTextOption>
#include <QWheelEvent>
#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "graphicgeometryfactory.h"

namespace
{
const double ZERO_EPSILON = 1e-6;
const double FIT_MARGIN = 0.001;
const double WHEEL_ZOOM_IN = 1.1111;
const double WHEEL_ZOOM_OUT = 0.9;
const int SYMBOL_BEFORE = 3;
const int SYMBOL_AFTER = 2;
// Window coordinates are kept within this many pixels so that every
// conversion to int is defined and the painter never sees absurd values.
const double WINDOW_LIMIT = 4194304.0;

bool Is_Finite(const TVector3& v)
{
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool In_Window_Range(double x, double y)
{
  return x >= -WINDOW_LIMIT && x <= WINDOW_LIMIT && y >= -WINDOW_LIMIT && y <= WINDOW_LIMIT;
}

// Truncation toward zero, clamped to the window range; not-a-number goes to the low edge.
int Truncate(double value)
{
  if(!(value >= -WINDOW_LIMIT))
    return -static_cast<int>(WINDOW_LIMIT);
  if(value > WINDOW_LIMIT)
    return static_cast<int>(WINDOW_LIMIT);
  return static_cast<int>(value);
}

// Clips the segment a-b to the square window range (Liang-Barsky). False when
// nothing of it lies inside or an end is not finite.
bool Clip_To_Window_Range(double* ax, double* ay, double* bx, double* by)
{
  if(!std::isfinite(*ax) || !std::isfinite(*ay) || !std::isfinite(*bx) || !std::isfinite(*by))
    return false;

  const double dx = *bx - *ax;
  const double dy = *by - *ay;
  double t0 = 0.0;
  double t1 = 1.0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {*ax + WINDOW_LIMIT, WINDOW_LIMIT - *ax, *ay + WINDOW_LIMIT, WINDOW_LIMIT - *ay};
  for(int i = 0; i < 4; ++i)
  {
    if(p[i] == 0.0)
    {
      if(q[i] < 0.0)
        return false;
      continue;
    }
    const double t = q[i] / p[i];
    if(p[i] < 0.0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
  }
  if(!(t0 <= t1))
    return false;

  const double start_x = *ax + t0 * dx;
  const double start_y = *ay + t0 * dy;
  *bx = *ax + t1 * dx;
  *by = *ay + t1 * dy;
  *ax = start_x;
  *ay = start_y;
  return true;
}

struct TVertexKey
{
  std::uint64_t bits[3];

  bool operator==(const TVertexKey& other) const
  {
    return bits[0] == other.bits[0] && bits[1] == other.bits[1] && bits[2] == other.bits[2];
  }
};

struct TVertexKeyHash
{
  size_t operator()(const TVertexKey& key) const
  {
    std::uint64_t h = key.bits[0] * 0x9E3779B97F4A7C15ull;
    h ^= key.bits[1] + 0x7F4A7C159E3779B9ull + (h << 6) + (h >> 2);
    h ^= key.bits[2] + 0x94D049BB133111EBull + (h << 6) + (h >> 2);
    return static_cast<size_t>(h);
  }
};

std::uint64_t Bits_Of(double value)
{
  value += 0.0;  // -0 and +0 are the same point
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

TVertexKey Key_Of(const TVector3& v)
{
  return TVertexKey{{Bits_Of(v.x), Bits_Of(v.y), Bits_Of(v.z)}};
}

// The two end pixels in a fixed order, packed into 64 bits; false when a
// coordinate does not fit in 16 bits.
bool Line_Key(const QLine& line, std::uint64_t* key)
{
  int x1 = line.x1(), y1 = line.y1(), x2 = line.x2(), y2 = line.y2();
  if(x2 < x1 || (x2 == x1 && y2 < y1))
  {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  const int values[4] = {x1, y1, x2, y2};
  std::uint64_t packed = 0;
  for(int value : values)
  {
    const int shifted = value + 32768;
    if(shifted < 0 || shifted > 65535)
      return false;
    packed = (packed << 16) | static_cast<std::uint64_t>(shifted);
  }
  *key = packed;
  return true;
}

QString Axis_Label(const QString& axis, const QString& label)
{
  return label.isEmpty() ? axis : QString("%1 %2").arg(axis, label);
}
} // namespace

TGraphicWidget::TGraphicWidget(QWidget* parent)
  : QWidget(parent),
    fit_requested(false),
    pan_mode(true),
    rotate_2d_mode(false),
    rotate_3d_mode(false),
    reference_painting(false),
    viewport{0, 0, 0, 0},
    last_position(0, 0),
    right_dragged(true),
    band_active(false),
    rubber_band(nullptr),
    first_vertex(true),
    axis_length(20.0),
    geometry_factory(new TGraphicGeometryFactory)
{
  geometry_factory->subdivision_depth = 2;
  setMinimumSize(1, 1);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TGraphicWidget::~TGraphicWidget()
{
  delete geometry_factory;
}

void TGraphicWidget::Update()
{
  update();
}

// v1 is the direction from the scene toward the viewer, v2 the up hint.
void TGraphicWidget::Look_At(const TVector3& v1, const TVector3& v2)
{
  assert(v1.Length() > ZERO_EPSILON);
  assert(v2.Length() > ZERO_EPSILON);

  TVector3 xs = v2 * v1;
  if(xs.Length() <= ZERO_EPSILON)
    return;
  TVector3 ys = v1 * xs;
  TVector3 normal(v1);
  normal.Normal();
  ys.Normal();
  xs.Normal();

  const TVector3 rows[3] = {xs, ys, normal};
  for(int row = 0; row < 3; ++row)
  {
    rotation[4 * row] = rows[row].x;
    rotation[4 * row + 1] = rows[row].y;
    rotation[4 * row + 2] = rows[row].z;
  }

  fit_requested = true;
  Update();
}

QPoint TGraphicWidget::Translate_To_Window(const TVector3& p) const
{
  const TProjector projector = Make_Projector();
  return To_Pixel(projector, projector.Project(p));
}

// ---------------------------------------------------------------------------
// Data sets

int TGraphicWidget::Create_Data_Set(TDrawSymbol symbol, QColor color)
{
  TDataSet data_set;
  data_set.id = static_cast<int>(data_sets.size()) + 1;
  data_set.color = color;
  data_set.symbol = symbol;
  data_sets.push_back(data_set);
  set_meshes.emplace_back();
  return data_set.id;
}

void TGraphicWidget::Clear_Data_Sets()
{
  data_sets.clear();
  set_meshes.clear();
}

void TGraphicWidget::Delete_Data_Set(int id)
{
  const int index = Find_Data_Set_Index(id);
  if(index < 0)
    return;
  data_sets.erase(data_sets.begin() + index);
  set_meshes.erase(set_meshes.begin() + index);
}

bool TGraphicWidget::Add_Line_Item(int id, const TVector3& start, const TVector3& end)
{
  TDataSet* data_set = Find_Data_Set(id);
  if(!data_set)
    return false;
  data_set->line_items.push_back(TLineItem{start, end});
  return true;
}

bool TGraphicWidget::Add_Triangle_Item(int id, const TVector3& p1, const TVector3& p2, const TVector3& p3)
{
  TDataSet* data_set = Find_Data_Set(id);
  if(!data_set)
    return false;
  data_set->triangle_items.push_back(TTriangleItem{p1, p2, p3});
  Invalidate_Mesh(id);
  return true;
}

bool TGraphicWidget::Add_Draw_Triangles(int id, const std::vector<TVector3>& points)
{
  if(points.empty() || points.size() % 3 != 0)
    return false;
  TDataSet* data_set = Find_Data_Set(id);
  if(!data_set)
    return false;

  data_set->triangle_items.reserve(data_set->triangle_items.size() + points.size() / 3);
  for(size_t i = 0; i < points.size(); i += 3)
    data_set->triangle_items.push_back(TTriangleItem{points[i], points[i + 1], points[i + 2]});
  Invalidate_Mesh(id);
  return true;
}

bool TGraphicWidget::Draw_Wire_Cube(int id, const TVector3& corner1, const TVector3& corner2)
{
  TDataSet* data_set = Find_Data_Set(id);
  if(!data_set)
    return false;

  const TVector3& a = corner1;
  const TVector3& b = corner2;
  const TVector3 corners[8] = {TVector3(a.x, a.y, a.z), TVector3(b.x, a.y, a.z), TVector3(b.x, b.y, a.z), TVector3(a.x, b.y, a.z),
                               TVector3(a.x, a.y, b.z), TVector3(b.x, a.y, b.z), TVector3(b.x, b.y, b.z), TVector3(a.x, b.y, b.z)};
  const int edges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0},
                            {4, 5}, {5, 6}, {6, 7}, {7, 4},
                            {0, 4}, {1, 5}, {2, 6}, {3, 7}};
  for(const auto& edge : edges)
    data_set->line_items.push_back(TLineItem{corners[edge[0]], corners[edge[1]]});
  return true;
}

bool TGraphicWidget::Draw_Cube(int id, const TVector3& corner1, const TVector3& corner2)
{
  const TVector3& a = corner1;
  const TVector3& b = corner2;
  const TVector3 faces[6][4] = {
    {TVector3(a.x, a.y, a.z), TVector3(b.x, a.y, a.z), TVector3(b.x, a.y, b.z), TVector3(a.x, a.y, b.z)},
    {TVector3(b.x, a.y, a.z), TVector3(b.x, b.y, a.z), TVector3(b.x, b.y, b.z), TVector3(b.x, a.y, b.z)},
    {TVector3(b.x, b.y, b.z), TVector3(a.x, b.y, b.z), TVector3(a.x, b.y, a.z), TVector3(b.x, b.y, a.z)},
    {TVector3(a.x, b.y, b.z), TVector3(a.x, a.y, b.z), TVector3(a.x, a.y, a.z), TVector3(a.x, b.y, a.z)},
    {TVector3(a.x, a.y, a.z), TVector3(b.x, a.y, a.z), TVector3(b.x, b.y, a.z), TVector3(a.x, b.y, a.z)},
    {TVector3(b.x, b.y, b.z), TVector3(a.x, b.y, b.z), TVector3(a.x, a.y, b.z), TVector3(b.x, a.y, b.z)}};

  for(const auto& face : faces)
  {
    if(!Add_Draw_Triangles(id, geometry_factory->Render_Plane(face[0], face[1], face[2], face[3])))
      return false;
  }
  return true;
}

bool TGraphicWidget::Draw_Plane(int id, const TVector3& c1, const TVector3& c2, const TVector3& c3, const TVector3& c4)
{
  return Add_Draw_Triangles(id, geometry_factory->Render_Plane(c1, c2, c3, c4));
}

bool TGraphicWidget::Draw_Circular_Plane(int id, const TVector3& centre, const TVector3& normal, const TVector3& reference, const double& radius)
{
  return Add_Draw_Triangles(id, geometry_factory->Render_Circular_Plane(centre, normal, reference, radius));
}

bool TGraphicWidget::Draw_Polygon(int id, const TVector3& centre, const TVector3& axis, const TVector3& reference, const double& radius, const double& height, int sides)
{
  return Add_Draw_Triangles(id, geometry_factory->Render_Polygon(centre, axis, reference, radius, height, sides));
}

bool TGraphicWidget::Draw_Cylinder(int id, const TVector3& centre, const TVector3& axis, const double& radius, const double& length)
{
  return Add_Draw_Triangles(id, geometry_factory->Render_Cylinder(centre, axis, radius, length));
}

bool TGraphicWidget::Draw_Sphere(int id, const TVector3& centre, const double& radius)
{
  return Add_Draw_Triangles(id, geometry_factory->Render_Sphere(centre, radius));
}

bool TGraphicWidget::Add_CSY(const TVector3& origin, const QColor& color, const QString& label, const TVector3& x_axis, const TVector3& y_axis, const TVector3& z_axis)
{
  csy_sets.push_back(TCSYSet{color, origin, label, x_axis, y_axis, z_axis});
  return true;
}

TGraphicWidget::TDataSet* TGraphicWidget::Find_Data_Set(int id)
{
  const int index = Find_Data_Set_Index(id);
  return index < 0 ? nullptr : &data_sets[index];
}

int TGraphicWidget::Find_Data_Set_Index(int id) const
{
  for(size_t i = 0; i < data_sets.size(); ++i)
  {
    if(data_sets[i].id == id)
      return static_cast<int>(i);
  }
  return -1;
}

void TGraphicWidget::Invalidate_Mesh(int id)
{
  const int index = Find_Data_Set_Index(id);
  if(index >= 0)
    set_meshes[index].valid = false;
}

// Merges bit-identical triangle corners into shared vertices and lists every
// distinct edge once, in order of first appearance.
void TGraphicWidget::Build_Mesh(const TDataSet& data_set, TSetMesh* mesh) const
{
  assert(mesh);

  mesh->vertices.clear();
  mesh->corners.clear();
  mesh->edges.clear();

  const size_t corner_count = data_set.triangle_items.size() * 3;
  std::unordered_map<TVertexKey, int, TVertexKeyHash> vertex_index;
  vertex_index.reserve(corner_count);
  mesh->corners.reserve(corner_count);

  auto add_corner = [&](const TVector3& p) {
    const auto inserted = vertex_index.emplace(Key_Of(p), static_cast<int>(mesh->vertices.size()));
    if(inserted.second)
      mesh->vertices.push_back(p);
    mesh->corners.push_back(inserted.first->second);
  };
  for(const TTriangleItem& triangle : data_set.triangle_items)
  {
    add_corner(triangle.p1);
    add_corner(triangle.p2);
    add_corner(triangle.p3);
  }

  std::unordered_set<std::uint64_t> seen_edges;
  seen_edges.reserve(corner_count);
  auto add_edge = [&](int a, int b) {
    const std::uint64_t low = static_cast<std::uint32_t>(std::min(a, b));
    const std::uint64_t high = static_cast<std::uint32_t>(std::max(a, b));
    if(seen_edges.insert((high << 32) | low).second)
    {
      mesh->edges.push_back(a);
      mesh->edges.push_back(b);
    }
  };
  for(size_t i = 0; i < mesh->corners.size(); i += 3)
  {
    add_edge(mesh->corners[i], mesh->corners[i + 1]);
    add_edge(mesh->corners[i + 1], mesh->corners[i + 2]);
    add_edge(mesh->corners[i + 2], mesh->corners[i]);
  }

  mesh->valid = true;
}

// ---------------------------------------------------------------------------
// Projection

TGraphicWidget::TWindowPoint TGraphicWidget::TProjector::Project(const TVector3& p) const
{
  const double qx = r[0] * p.x + r[1] * p.y + r[2] * p.z;
  const double qy = r[3] * p.x + r[4] * p.y + r[5] * p.z;
  return TWindowPoint{base_x + half_width * (sx * qx), base_y + half_height * (sy * qy)};
}

TGraphicWidget::TProjector TGraphicWidget::Make_Projector() const
{
  TProjector projector;
  for(int row = 0; row < 3; ++row)
    for(int column = 0; column < 3; ++column)
      projector.r[3 * row + column] = rotation[4 * row + column];
  projector.sx = projection[0];
  projector.sy = projection[5];
  projector.half_width = viewport[2] * 0.5;
  projector.half_height = viewport[3] * 0.5;
  projector.base_x = viewport[0] + projector.half_width + projector.half_width * projection[12];
  projector.base_y = viewport[1] + projector.half_height + projector.half_height * projection[13];
  projector.left = viewport[0];
  projector.bottom = viewport[3] + viewport[1];
  return projector;
}

QPoint TGraphicWidget::To_Pixel(const TProjector& projector, const TWindowPoint& w) const
{
  return QPoint(Truncate(w.x) - projector.left, projector.bottom - Truncate(w.y));
}

bool TGraphicWidget::To_Line(const TProjector& projector, TWindowPoint a, TWindowPoint b, QLine* line) const
{
  if(!In_Window_Range(a.x, a.y) || !In_Window_Range(b.x, b.y))
  {
    if(!Clip_To_Window_Range(&a.x, &a.y, &b.x, &b.y))
      return false;
  }
  *line = QLine(To_Pixel(projector, a), To_Pixel(projector, b));
  return true;
}

// ---------------------------------------------------------------------------
// Camera

void TGraphicWidget::Convert_Viewport_To_Model(int x, int y, double* mx, double* my) const
{
  assert(mx);
  assert(my);

  const int half_width = viewport[2] / 2;
  const int half_height = viewport[3] / 2;
  if(half_width == 0 || half_height == 0)
  {
    *mx = 0.0;
    *my = 0.0;
    return;
  }

  const int ox = Truncate(half_width * (1.0 + projection[12]));
  const int oy = Truncate(half_height * (1.0 + projection[13]));
  *mx = (1.0 / projection[0]) * (static_cast<double>(x) - ox) / half_width;
  *my = (1.0 / projection[5]) * (static_cast<double>(y) - oy) / half_height;
}

void TGraphicWidget::Set_Rotation_Center()
{
  TMat4 transposed(rotation);
  transposed.Transpose();
  rotation_center = transposed * TVector3(projection[12] / projection[0],
                                          projection[13] / projection[5],
                                          projection[14] / projection[10]);
}

// Turns the scene about a screen axis and keeps the pivot at the view centre.
void TGraphicWidget::Rotate_View(TVector3 axis, const double& angle)
{
  axis.Normal();
  TMat4 step;
  step.Rotate(axis, angle);
  rotation *= step;

  const TVector3 pivot = rotation * rotation_center;
  projection[12] = projection[0] * pivot.x;
  projection[13] = projection[5] * pivot.y;
  projection[14] = projection[10] * pivot.z;
}

void TGraphicWidget::Pan_View(int dx, int dy)
{
  const int cx = (viewport[0] + viewport[2]) / 2;
  const int cy = (viewport[1] + viewport[3]) / 2;
  if(cx == 0 || cy == 0)
    return;
  projection[12] += static_cast<double>(dx) / cx;
  projection[13] += static_cast<double>(dy) / cy;
}

void TGraphicWidget::Rotate_In_Plane(const QPoint& previous, const QPoint& current)
{
  const int cx = (viewport[0] + viewport[2]) / 2;
  const int cy = (viewport[1] + viewport[3]) / 2;
  TVector3 u(previous.x() - cx, previous.y() - cy, 0.0);
  TVector3 v(current.x() - cx, current.y() - cy, 0.0);
  if(u.Length() <= 5.0 || v.Length() <= 5.0)
    return;

  u.Normal();
  v.Normal();
  const double d = u ^ v;
  if(!(d > 0.0 && d < 1.0))
    return;

  const TVector3 axis = v * u;
  if(axis.Length() <= 1e-8)
    return;
  Rotate_View(axis, std::acos(d));
}

void TGraphicWidget::Click_In_Out(int, int y)
{
  const int half = viewport[3] / 2;
  if(half == 0 || y == half)
    return;
  Scale_View(((half - y) * 0.5 + half) / half);
}

void TGraphicWidget::Wheel_In_Out(int delta)
{
  if(delta > 0)
    Scale_View(WHEEL_ZOOM_IN);
  else if(delta < 0)
    Scale_View(WHEEL_ZOOM_OUT);
}

// Scaling S and T together zooms about the viewport centre.
void TGraphicWidget::Scale_View(const double& factor)
{
  for(int index : {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14})
    projection[index] *= factor;
}

void TGraphicWidget::Zoom_To_Rect(const QRect& rect)
{
  double ax = 0.0, ay = 0.0, bx = 0.0, by = 0.0;
  Convert_Viewport_To_Model(viewport[0] + rect.left(), viewport[3] + viewport[1] - rect.top(), &ax, &ay);
  Convert_Viewport_To_Model(viewport[0] + rect.right(), viewport[3] + viewport[1] - rect.bottom(), &bx, &by);

  const double x0 = std::min(ax, bx);
  const double x1 = std::max(ax, bx);
  const double y0 = std::min(ay, by);
  const double y1 = std::max(ay, by);
  if(!(x1 - x0 >= ZERO_EPSILON) || !(y1 - y0 >= ZERO_EPSILON))
    return;

  const double extent = std::max(x1 - x0, y1 - y0);
  double kx = 1.0, ky = 1.0;
  Aspect_Factors(&kx, &ky);
  const double factor = 2.0 / extent;

  projection[0] = kx * factor;
  projection[1] = projection[2] = 0.0;
  projection[4] = projection[6] = 0.0;
  projection[5] = ky * factor;
  projection[12] = -(x0 + x1) / extent * kx;
  projection[13] = -(y0 + y1) / extent * ky;
}

// Factors that give both screen axes the same pixels per model unit; the
// longer viewport side is shrunk to the shorter one.
void TGraphicWidget::Aspect_Factors(double* kx, double* ky) const
{
  *kx = 1.0;
  *ky = 1.0;
  if(viewport[2] == 0 || viewport[3] == 0)
    return;

  const double half_width = viewport[2] * 0.5;
  const double half_height = viewport[3] * 0.5;
  if(std::fabs(half_width) > std::fabs(half_height))
    *kx = half_height / half_width;
  else
    *ky = half_width / half_height;
}

void TGraphicWidget::Begin_Fit_To_Viewport()
{
  first_vertex = true;
  view_min = TVector3(-FIT_MARGIN, -FIT_MARGIN, -FIT_MARGIN);
  view_max = TVector3(FIT_MARGIN, FIT_MARGIN, FIT_MARGIN);
}

// Points with a component that is not finite are left out of the bounds.
void TGraphicWidget::Process_Vertex(const TVector3& p)
{
  if(!Is_Finite(p))
    return;
  const TVector3 q = rotation * p;

  if(first_vertex)
  {
    view_max = q + FIT_MARGIN;
    view_min = q - FIT_MARGIN;
    model_min = p - FIT_MARGIN;
    model_max = p + FIT_MARGIN;
    first_vertex = false;
    return;
  }

  Widen_Box(&view_min, &view_max, q);
  Widen_Box(&model_min, &model_max, p);
}

void TGraphicWidget::End_Fit_To_Viewport()
{
  const TVector3 model_size = model_max - model_min;
  axis_length = std::max(20.0, 0.1 * model_size.Length());
  axis_origin = model_min - model_size * 0.01;

  const TVector3 extent = (view_max - view_min) * 1.05;
  const double largest = std::max(extent.x, extent.y);

  double tx = -(view_max.x + view_min.x) / largest;
  double ty = -(view_max.y + view_min.y) / largest;
  const double tz = ((view_max.z + view_min.z) * 0.5) / (4.0 * extent.z);

  double kx = 1.0, ky = 1.0;
  Aspect_Factors(&kx, &ky);
  tx *= kx;
  ty *= ky;

  projection.Identity();
  projection[0] = kx * 2.0 / largest;
  projection[5] = ky * 2.0 / largest;
  projection[10] = -0.25 / extent.z;
  projection[15] = 1.0;
  projection[12] = tx;
  projection[13] = ty;
  projection[14] = tz;
}

void TGraphicWidget::Update_Viewport(const int* new_viewport)
{
  assert(new_viewport);

  if(new_viewport[2] > 0 && new_viewport[3] > 0)
  {
    const double sx = projection[0] * (static_cast<double>(viewport[2]) / new_viewport[2]);
    const double sy = projection[5] * (static_cast<double>(viewport[3]) / new_viewport[3]);
    projection[0] = sx;
    projection[1] = 0.0;
    projection[2] = 0.0;
    projection[4] = 0.0;
    projection[5] = sy;
    projection[6] = 0.0;
  }
  std::copy(new_viewport, new_viewport + 4, viewport);
}

QPoint TGraphicWidget::Window_Position(const QPoint& widget_position) const
{
  return QPoint(widget_position.x() + viewport[0], viewport[3] + viewport[1] - widget_position.y());
}

// ---------------------------------------------------------------------------
// Events

void TGraphicWidget::mousePressEvent(QMouseEvent* event)
{
  setFocus(Qt::OtherFocusReason);

  if(event->buttons() & Qt::LeftButton)
    band_active = false;

  if(event->buttons() & Qt::RightButton)
  {
    last_position = Window_Position(event->pos());
    right_dragged = false;
    Set_Rotation_Center();
  }
}

void TGraphicWidget::mouseMoveEvent(QMouseEvent* event)
{
  if(event->buttons() == Qt::LeftButton)
  {
    if(!band_active)
    {
      zoom_rect = QRect(event->pos(), event->pos());
      if(!rubber_band)
        rubber_band = new QRubberBand(QRubberBand::Rectangle, this);
      rubber_band->setGeometry(zoom_rect);
      rubber_band->show();
      band_active = true;
    }
    else
    {
      zoom_rect.setBottomRight(event->pos());
      rubber_band->setGeometry(zoom_rect.normalized());
    }
    return;
  }

  if(event->buttons() != Qt::RightButton)
    return;

  const QPoint position = Window_Position(event->pos());
  const int dx = position.x() - last_position.x();
  const int dy = position.y() - last_position.y();
  if(std::abs(dx) <= 1 && std::abs(dy) <= 1)
    return;

  const Qt::KeyboardModifiers modifiers = event->modifiers();
  if((modifiers & Qt::ControlModifier) || rotate_3d_mode)
  {
    const double angle = 0.02 * (std::log(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy)) + 1.0);
    Rotate_View(TVector3(dy, -dx, 0.0), angle);
  }
  else if((modifiers & Qt::ShiftModifier) || rotate_2d_mode)
    Rotate_In_Plane(last_position, position);
  else
    Pan_View(dx, dy);

  Update();
  right_dragged = true;
  last_position = position;
}

void TGraphicWidget::mouseReleaseEvent(QMouseEvent* event)
{
  if(event->button() == Qt::LeftButton)
  {
    if(band_active && rubber_band)
    {
      rubber_band->hide();
      Zoom_To_Rect(zoom_rect);
      Update();
    }
  }
  else if(event->button() == Qt::RightButton)
  {
    if(!right_dragged)
    {
      const QPoint position = Window_Position(event->pos());
      Click_In_Out(position.x(), position.y());
      Update();
    }
  }
}

void TGraphicWidget::wheelEvent(QWheelEvent* event)
{
  Wheel_In_Out(event->angleDelta().y());
  Update();
}

void TGraphicWidget::keyPressEvent(QKeyEvent* event)
{
  if(event->key() == Qt::Key_Shift || event->key() == Qt::Key_Control)
    event->ignore();
  else
    event->accept();
}

void TGraphicWidget::keyReleaseEvent(QKeyEvent* event)
{
  if(event->key() == Qt::Key_Shift || event->key() == Qt::Key_Control)
    event->ignore();
  else
    event->accept();
}

void TGraphicWidget::resizeEvent(QResizeEvent* event)
{
  const int new_viewport[4] = {0, 0, event->size().width(), event->size().height()};
  if(viewport[2] > 0 && viewport[3] > 0)
  {
    Update_Viewport(new_viewport);
    return;
  }

  std::copy(new_viewport, new_viewport + 4, viewport);
  fit_requested = true;
  Update();
}

// ---------------------------------------------------------------------------
// Painting

void TGraphicWidget::paintEvent(QPaintEvent*)
{
  QPainter painter(this);
  Paint(&painter);
}

void TGraphicWidget::Paint(QPainter* painter)
{
  painter->fillRect(rect(), QBrush(Qt::white));

  if(fit_requested)
  {
    Fit_To_Data();
    fit_requested = false;
  }

  const TProjector projector = Make_Projector();
  for(size_t i = 0; i < data_sets.size(); ++i)
  {
    const TDataSet& data_set = data_sets[i];
    painter->setPen(QPen(data_set.color, 0));
    painter->setBrush(Qt::NoBrush);
    if(reference_painting)
      Paint_Data_Set_Reference(painter, projector, data_set);
    else
      Paint_Data_Set_Fast(painter, projector, data_set, &set_meshes[i]);
  }

  if(!csy_sets.empty())
    Paint_CSY_Sets(painter, projector);
  else
    Paint_Default_Triad(painter, projector);
}

// Line ends and triangle corners of every data set, then the CSY arms. The
// shared vertices give the same bounds as all corners, since the first corner
// of a set is its first vertex.
void TGraphicWidget::Fit_To_Data()
{
  Begin_Fit_To_Viewport();
  for(size_t i = 0; i < data_sets.size(); ++i)
  {
    const TDataSet& data_set = data_sets[i];
    for(const TLineItem& line : data_set.line_items)
    {
      Process_Vertex(line.start);
      Process_Vertex(line.end);
    }

    if(reference_painting)
    {
      for(const TTriangleItem& triangle : data_set.triangle_items)
      {
        Process_Vertex(triangle.p1);
        Process_Vertex(triangle.p2);
        Process_Vertex(triangle.p3);
      }
      continue;
    }

    TSetMesh& mesh = set_meshes[i];
    if(!mesh.valid)
      Build_Mesh(data_set, &mesh);
    for(const TVector3& vertex : mesh.vertices)
      Process_Vertex(vertex);
  }

  for(const TCSYSet& csy : csy_sets)
  {
    Process_Vertex(csy.origin);
    Process_Vertex(csy.origin + csy.x_axis * axis_length);
    Process_Vertex(csy.origin + csy.y_axis * axis_length);
    Process_Vertex(csy.origin + csy.z_axis * axis_length);
  }
  End_Fit_To_Viewport();
}

// Every item drawn on its own, exactly as stored.
void TGraphicWidget::Paint_Data_Set_Reference(QPainter* painter, const TProjector& projector, const TDataSet& data_set)
{
  QLine line;
  for(const TLineItem& item : data_set.line_items)
  {
    const TWindowPoint start = projector.Project(item.start);
    const TWindowPoint end = projector.Project(item.end);
    if(To_Line(projector, start, end, &line))
      painter->drawLine(line);
    Draw_Symbol(painter, data_set.symbol, projector, start);
    Draw_Symbol(painter, data_set.symbol, projector, end);
  }

  for(const TTriangleItem& item : data_set.triangle_items)
  {
    const TWindowPoint p1 = projector.Project(item.p1);
    const TWindowPoint p2 = projector.Project(item.p2);
    const TWindowPoint p3 = projector.Project(item.p3);
    if(To_Line(projector, p1, p2, &line))
      painter->drawLine(line);
    if(To_Line(projector, p2, p3, &line))
      painter->drawLine(line);
    if(To_Line(projector, p3, p1, &line))
      painter->drawLine(line);
  }
}

// Each shared vertex is projected once and the edges go to the painter in one
// batch. An opaque colour draws an edge shared by two triangles once: the
// pixels it covers are the same either way. A translucent colour blends each
// overdraw, so then every triangle edge is drawn.
void TGraphicWidget::Paint_Data_Set_Fast(QPainter* painter, const TProjector& projector, const TDataSet& data_set, TSetMesh* mesh)
{
  Paint_Line_Items(painter, projector, data_set);
  if(data_set.triangle_items.empty())
    return;

  if(!mesh->valid)
    Build_Mesh(data_set, mesh);

  const size_t vertex_count = mesh->vertices.size();
  window_points.resize(vertex_count);
  pixels.resize(vertex_count);
  pixel_valid.resize(vertex_count);
  for(size_t i = 0; i < vertex_count; ++i)
  {
    const TWindowPoint w = projector.Project(mesh->vertices[i]);
    window_points[i] = w;
    pixel_valid[i] = In_Window_Range(w.x, w.y);
    if(pixel_valid[i])
      pixels[i] = To_Pixel(projector, w);
  }

  lines.clear();
  auto add_line = [&](int a, int b) {
    if(pixel_valid[a] && pixel_valid[b])
    {
      lines.emplace_back(pixels[a], pixels[b]);
      return;
    }
    QLine line;
    if(To_Line(projector, window_points[a], window_points[b], &line))
      lines.push_back(line);
  };

  if(data_set.color.alpha() == 255)
  {
    const std::vector<int>& edges = mesh->edges;
    for(size_t i = 0; i < edges.size(); i += 2)
      add_line(edges[i], edges[i + 1]);
    Remove_Repeated_Lines();
  }
  else
  {
    const std::vector<int>& corners = mesh->corners;
    for(size_t i = 0; i < corners.size(); i += 3)
    {
      add_line(corners[i], corners[i + 1]);
      add_line(corners[i + 1], corners[i + 2]);
      add_line(corners[i + 2], corners[i]);
    }
  }
  painter->drawLines(lines.data(), static_cast<int>(lines.size()));
}

// Drops every line whose two end pixels equal those of an earlier line, in
// either direction: small solids far away collapse many edges onto the same
// few pixels. Lines with coordinates beyond 16 bits are always kept.
void TGraphicWidget::Remove_Repeated_Lines()
{
  size_t table_size = 1024;
  while(table_size < 2 * lines.size())
    table_size *= 2;
  if(line_keys.size() < table_size)
  {
    line_keys.assign(table_size, 0);
    line_key_stamps.assign(table_size, 0);
    line_key_stamp = 0;
  }
  if(++line_key_stamp == 0)
  {
    std::fill(line_key_stamps.begin(), line_key_stamps.end(), 0);
    line_key_stamp = 1;
  }
  const size_t mask = line_keys.size() - 1;

  size_t kept = 0;
  for(size_t i = 0; i < lines.size(); ++i)
  {
    const QLine& line = lines[i];
    std::uint64_t key = 0;
    if(Line_Key(line, &key))
    {
      size_t slot = static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & mask;
      bool repeated = false;
      while(line_key_stamps[slot] == line_key_stamp)
      {
        if(line_keys[slot] == key)
        {
          repeated = true;
          break;
        }
        slot = (slot + 1) & mask;
      }
      if(repeated)
        continue;
      line_keys[slot] = key;
      line_key_stamps[slot] = line_key_stamp;
    }
    lines[kept++] = line;
  }
  lines.resize(kept);
}

void TGraphicWidget::Paint_Line_Items(QPainter* painter, const TProjector& projector, const TDataSet& data_set)
{
  if(data_set.line_items.empty())
    return;

  lines.clear();
  QLine line;
  for(const TLineItem& item : data_set.line_items)
  {
    if(To_Line(projector, projector.Project(item.start), projector.Project(item.end), &line))
      lines.push_back(line);
  }
  painter->drawLines(lines.data(), static_cast<int>(lines.size()));

  if(data_set.symbol == SYMBOL_NONE)
    return;
  for(const TLineItem& item : data_set.line_items)
  {
    Draw_Symbol(painter, data_set.symbol, projector, projector.Project(item.start));
    Draw_Symbol(painter, data_set.symbol, projector, projector.Project(item.end));
  }
}

void TGraphicWidget::Draw_Symbol(QPainter* painter, TDrawSymbol symbol, const TProjector& projector, const TWindowPoint& w) const
{
  if(symbol == SYMBOL_NONE || !std::isfinite(w.x) || !std::isfinite(w.y))
    return;

  const QPoint p = To_Pixel(projector, w);
  // Outline pixels run from p - 3 to p + 2; the painter adds the pen's pixel to the size.
  const QRect box(p.x() - SYMBOL_BEFORE, p.y() - SYMBOL_BEFORE, SYMBOL_BEFORE + SYMBOL_AFTER, SYMBOL_BEFORE + SYMBOL_AFTER);
  switch(symbol)
  {
    case SYMBOL_CIRCLE:
      painter->drawEllipse(box);
      break;
    case SYMBOL_SQUARE:
      painter->drawRect(box);
      break;
    case SYMBOL_CROSS:
      painter->drawLine(p.x() - SYMBOL_BEFORE, p.y() - SYMBOL_BEFORE, p.x() + SYMBOL_AFTER, p.y() + SYMBOL_AFTER);
      painter->drawLine(p.x() + SYMBOL_AFTER, p.y() - SYMBOL_BEFORE, p.x() - SYMBOL_BEFORE, p.y() + SYMBOL_AFTER);
      break;
    default:
      break;
  }
}

void TGraphicWidget::Paint_CSY_Sets(QPainter* painter, const TProjector& projector) const
{
  QLine line;
  for(const TCSYSet& csy : csy_sets)
  {
    painter->setPen(QPen(csy.color, 3));
    const TWindowPoint origin = projector.Project(csy.origin);
    const TVector3 arms[3] = {csy.x_axis, csy.y_axis, csy.z_axis};
    const char* names[3] = {"X", "Y", "Z"};
    for(int i = 0; i < 3; ++i)
    {
      const TWindowPoint end = projector.Project(csy.origin + arms[i] * axis_length);
      if(To_Line(projector, origin, end, &line))
        painter->drawLine(line);
      if(std::isfinite(end.x) && std::isfinite(end.y))
        Draw_Label(painter, Axis_Label(names[i], csy.label), To_Pixel(projector, end));
    }
  }
}

void TGraphicWidget::Paint_Default_Triad(QPainter* painter, const TProjector& projector) const
{
  const TWindowPoint origin = projector.Project(axis_origin);
  const TVector3 arms[3] = {TVector3(1.0, 0.0, 0.0), TVector3(0.0, 1.0, 0.0), TVector3(0.0, 0.0, 1.0)};
  const char* names[3] = {"X", "Y", "Z"};
  QLine line;
  for(int i = 0; i < 3; ++i)
  {
    const TWindowPoint end = projector.Project(axis_origin + arms[i] * axis_length);
    painter->setPen(QPen(QColor(196, 196, 196)));
    if(To_Line(projector, origin, end, &line))
      painter->drawLine(line);
    painter->setPen(QPen(Qt::black));
    if(std::isfinite(end.x) && std::isfinite(end.y))
      Draw_Label(painter, names[i], To_Pixel(projector, end));
  }
}

// The text centred on the point, over a translucent light box one pixel larger.
void TGraphicWidget::Draw_Label(QPainter* painter, const QString& text, const QPoint& position) const
{
  const QRect bounds = painter->boundingRect(QRect(), 0, text);
  const int width = bounds.width();
  const int height = bounds.height();
  const QRect box(position.x() - width / 2 - 1, position.y() - height / 2 - 1, width + 2, height + 2);
  painter->fillRect(box, QBrush(QColor(240, 240, 240, 212)));
  painter->drawText(QRectF(box), text, QTextOption(Qt::AlignCenter));
}

#include "moc_graphicwidget.cpp"
