#include "displaylist.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace
{
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
} // namespace

// ---------------------------------------------------------------------------
// Triangle mesh

void TDisplayList::TTriangleMesh::Build(const std::vector<TTriangleItem>& triangles)
{
  vertices.clear();
  corners.clear();
  edges.clear();

  const size_t corner_count = triangles.size() * 3;
  std::unordered_map<TVertexKey, int, TVertexKeyHash> vertex_index;
  vertex_index.reserve(corner_count);
  corners.reserve(corner_count);

  auto add_corner = [&](const TVector3& p) {
    const auto inserted = vertex_index.emplace(Key_Of(p), static_cast<int>(vertices.size()));
    if(inserted.second)
      vertices.push_back(p);
    corners.push_back(inserted.first->second);
  };
  for(const TTriangleItem& triangle : triangles)
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
      edges.push_back(a);
      edges.push_back(b);
    }
  };
  for(size_t i = 0; i < corners.size(); i += 3)
  {
    add_edge(corners[i], corners[i + 1]);
    add_edge(corners[i + 1], corners[i + 2]);
    add_edge(corners[i + 2], corners[i]);
  }

  valid = true;
}

// ---------------------------------------------------------------------------
// Data sets

TDisplayList::TDisplayList()
{
  d_geometry_factory.subdivision_depth = 2;
}

const TDisplayList::TTriangleMesh& TDisplayList::Mesh(size_t index)
{
  TDataSet& data_set = d_data_sets[index];
  if(!data_set.mesh.valid)
    data_set.mesh.Build(data_set.triangle_items);
  return data_set.mesh;
}

int TDisplayList::Create_Data_Set(TDrawSymbol symbol, QColor color)
{
  TDataSet data_set;
  data_set.id = static_cast<int>(d_data_sets.size()) + 1;
  data_set.color = color;
  data_set.symbol = symbol;
  d_data_sets.push_back(std::move(data_set));
  return d_data_sets.back().id;
}

void TDisplayList::Clear_Data_Sets()
{
  d_data_sets.clear();
}

void TDisplayList::Delete_Data_Set(int id)
{
  const auto found = std::find_if(d_data_sets.begin(), d_data_sets.end(), [id](const TDataSet& data_set) { return data_set.id == id; });
  if(found != d_data_sets.end())
    d_data_sets.erase(found);
}

bool TDisplayList::Clear_Data_Set(int id, QColor color)
{
  TDataSet* data_set = Find_Data_Set(id);
  if(!data_set)
    return false;
  data_set->color = color;
  data_set->line_items.clear();
  data_set->triangle_items.clear();
  data_set->mesh = TTriangleMesh();
  return true;
}

// A data set sits at index id - 1 until one before it is deleted.
TDisplayList::TDataSet* TDisplayList::Find_Data_Set(int id)
{
  if(id >= 1 && static_cast<size_t>(id) <= d_data_sets.size() && d_data_sets[static_cast<size_t>(id) - 1].id == id)
    return &d_data_sets[static_cast<size_t>(id) - 1];
  for(TDataSet& data_set : d_data_sets)
  {
    if(data_set.id == id)
      return &data_set;
  }
  return nullptr;
}

bool TDisplayList::Add_Line_Item(int id, const TVector3& start, const TVector3& end)
{
  TDataSet* data_set = Find_Data_Set(id);
  if(!data_set)
    return false;
  data_set->line_items.push_back(TLineItem{start, end});
  return true;
}

bool TDisplayList::Add_Triangle_Item(int id, const TVector3& p1, const TVector3& p2, const TVector3& p3)
{
  TDataSet* data_set = Find_Data_Set(id);
  if(!data_set)
    return false;
  data_set->triangle_items.push_back(TTriangleItem{p1, p2, p3});
  data_set->mesh.valid = false;
  return true;
}

bool TDisplayList::Add_Draw_Triangles(int id, const std::vector<TVector3>& points)
{
  if(points.empty() || points.size() % 3 != 0)
    return false;
  TDataSet* data_set = Find_Data_Set(id);
  if(!data_set)
    return false;

  data_set->triangle_items.reserve(data_set->triangle_items.size() + points.size() / 3);
  for(size_t i = 0; i < points.size(); i += 3)
    data_set->triangle_items.push_back(TTriangleItem{points[i], points[i + 1], points[i + 2]});
  data_set->mesh.valid = false;
  return true;
}

bool TDisplayList::Add_CSY(const TVector3& origin, const QColor& color, const QString& label, const TVector3& x_axis, const TVector3& y_axis, const TVector3& z_axis)
{
  d_csy_sets.push_back(TCSYSet{color, origin, label, x_axis, y_axis, z_axis});
  return true;
}

// ---------------------------------------------------------------------------
// Solids

bool TDisplayList::Draw_Wire_Cube(int id, const TVector3& corner1, const TVector3& corner2)
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

bool TDisplayList::Draw_Cube(int id, const TVector3& corner1, const TVector3& corner2)
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
    if(!Add_Draw_Triangles(id, d_geometry_factory.Render_Plane(face[0], face[1], face[2], face[3])))
      return false;
  }
  return true;
}

bool TDisplayList::Draw_Plane(int id, const TVector3& c1, const TVector3& c2, const TVector3& c3, const TVector3& c4)
{
  return Add_Draw_Triangles(id, d_geometry_factory.Render_Plane(c1, c2, c3, c4));
}

bool TDisplayList::Draw_Circular_Plane(int id, const TVector3& centre, const TVector3& normal, const TVector3& reference, const double& radius)
{
  return Add_Draw_Triangles(id, d_geometry_factory.Render_Circular_Plane(centre, normal, reference, radius));
}

bool TDisplayList::Draw_Polygon(int id, const TVector3& centre, const TVector3& axis, const TVector3& reference, const double& radius, const double& height, int sides)
{
  return Add_Draw_Triangles(id, d_geometry_factory.Render_Polygon(centre, axis, reference, radius, height, sides));
}

bool TDisplayList::Draw_Cylinder(int id, const TVector3& centre, const TVector3& axis, const double& radius, const double& length)
{
  return Add_Draw_Triangles(id, d_geometry_factory.Render_Cylinder(centre, axis, radius, length));
}

bool TDisplayList::Draw_Sphere(int id, const TVector3& centre, const double& radius)
{
  return Add_Draw_Triangles(id, d_geometry_factory.Render_Sphere(centre, radius));
}
