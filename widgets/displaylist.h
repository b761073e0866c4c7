// What the 3D view draws, kept between paints: data sets of lines and
// triangles, each with a colour and an end-point symbol, and labelled
// coordinate-system triads. Solids are tessellated into triangles on the way in.
#ifndef DISPLAYLIST_H
#define DISPLAYLIST_H

#include <QColor>
#include <QString>
#include <cstddef>
#include <vector>

#include "graphicgeometryfactory.h"
#include "vector3.h"

class TDisplayList
{
public:
  enum TDrawSymbol
  {
    SYMBOL_NONE = 0,
    SYMBOL_CIRCLE = 1,
    SYMBOL_SQUARE = 2,
    SYMBOL_CROSS = 3
  };

  struct TLineItem
  {
    TVector3 start;
    TVector3 end;
  };

  struct TTriangleItem
  {
    TVector3 p1;
    TVector3 p2;
    TVector3 p3;
  };

  // The triangles of a data set with bit-identical corners merged into shared
  // vertices: three vertex indices per triangle, and every distinct edge once
  // as a pair of indices, in order of first appearance.
  struct TTriangleMesh
  {
    bool valid = false;
    std::vector<TVector3> vertices;
    std::vector<int> corners;
    std::vector<int> edges;

    void Build(const std::vector<TTriangleItem>& triangles);
  };

  struct TDataSet
  {
    int id;
    QColor color;
    TDrawSymbol symbol;
    std::vector<TLineItem> line_items;
    std::vector<TTriangleItem> triangle_items;
    // Marked stale when triangles are added, rebuilt by Mesh().
    TTriangleMesh mesh;
  };

  struct TCSYSet
  {
    QColor color;
    TVector3 origin;
    QString label;
    TVector3 x_axis;
    TVector3 y_axis;
    TVector3 z_axis;
  };

  TDisplayList();

  const std::vector<TDataSet>& Data_Sets() const { return d_data_sets; }
  const std::vector<TCSYSet>& CSY_Sets() const { return d_csy_sets; }
  // The mesh of the data set at index, built first if it is stale.
  const TTriangleMesh& Mesh(size_t index);

  // Ids count from 1 in order of creation since the last clear.
  int Create_Data_Set(TDrawSymbol symbol, QColor color);
  void Clear_Data_Sets();
  // Room for this many data sets, so that creating them moves none.
  void Reserve_Data_Sets(size_t count) { d_data_sets.reserve(count); }
  void Delete_Data_Set(int id);
  // Empties a data set of its items and gives it a colour, keeping its id
  // and place; false for an unknown id.
  bool Clear_Data_Set(int id, QColor color);

  // Each of these is false, and adds nothing, for an unknown id.
  bool Add_Line_Item(int id, const TVector3& start, const TVector3& end);
  bool Add_Triangle_Item(int id, const TVector3& p1, const TVector3& p2, const TVector3& p3);
  // Every three points are one triangle; false for an empty list or a count not divisible by three.
  bool Add_Draw_Triangles(int id, const std::vector<TVector3>& points);
  bool Draw_Wire_Cube(int id, const TVector3& corner1, const TVector3& corner2);
  bool Draw_Cube(int id, const TVector3& corner1, const TVector3& corner2);
  bool Draw_Plane(int id, const TVector3& c1, const TVector3& c2, const TVector3& c3, const TVector3& c4);
  bool Draw_Circular_Plane(int id, const TVector3& centre, const TVector3& normal, const TVector3& reference, const double& radius);
  bool Draw_Polygon(int id, const TVector3& centre, const TVector3& axis, const TVector3& reference, const double& radius, const double& height, int sides);
  bool Draw_Cylinder(int id, const TVector3& centre, const TVector3& axis, const double& radius, const double& length);
  bool Draw_Sphere(int id, const TVector3& centre, const double& radius);

  bool Add_CSY(const TVector3& origin, const QColor& color, const QString& label, const TVector3& x_axis, const TVector3& y_axis, const TVector3& z_axis);

private:
  TDataSet* Find_Data_Set(int id);

  std::vector<TDataSet> d_data_sets;
  std::vector<TCSYSet> d_csy_sets;
  TGraphicGeometryFactory d_geometry_factory;
};

#endif
