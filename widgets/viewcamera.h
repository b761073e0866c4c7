// The camera of the 3D view: the model turned by a rotation, then scaled and
// shifted by an orthographic projection onto a viewport of window pixels
// (origin at the bottom left, y up). It fits itself to a set of points and
// follows pan, rotate and zoom gestures given in window pixels.
#ifndef VIEWCAMERA_H
#define VIEWCAMERA_H

#include <QPoint>
#include <QRect>

#include "mat4.h"
#include "vector3.h"
#include "viewprojector.h"

class TViewCamera
{
public:
  TViewCamera();

  const TMat4& Rotation() const { return d_rotation; }
  const TMat4& Projection() const { return d_projection; }
  QRect Viewport() const { return QRect(d_viewport[0], d_viewport[1], d_viewport[2], d_viewport[3]); }
  // Minus the model point that stays at the view centre while rotating.
  TVector3 Rotation_Center() const { return d_rotation_center; }
  // Origin and arm length of the default triad, from the last fit.
  TVector3 Axis_Origin() const { return d_axis_origin; }
  double Axis_Length() const { return d_axis_length; }

  TViewProjector Projector() const { return TViewProjector(d_rotation, d_projection, d_viewport); }
  QPoint Translate_To_Window(const TVector3& p) const;
  // Window position of a widget position (y down).
  QPoint Window_Position(const QPoint& widget_position) const;

  // direction points from the scene toward the viewer, up is the hint for the
  // screen's y axis; false, and nothing changes, when the two are parallel.
  bool Look_At(const TVector3& direction, const TVector3& up);

  // Fits the projection to the points given in between, with a small margin.
  void Begin_Fit_To_Viewport();
  void Process_Vertex(const TVector3& p);
  void End_Fit_To_Viewport();

  // True when the viewport had no area before, so the view needs a fit;
  // otherwise the pixels per model unit stay as they are.
  bool Resize_Viewport(int width, int height);
  void Update_Viewport(const int* new_viewport);

  // Takes the model point now at the view centre as the pivot of rotations.
  void Set_Rotation_Center();
  // A drag of (dx, dy) window pixels turns the scene about a screen axis.
  void Rotate_Free(int dx, int dy);
  // Turns the scene about the view normal by the angle swept around the viewport centre.
  void Rotate_In_Plane(const QPoint& previous, const QPoint& current);
  void Pan_View(int dx, int dy);
  // Zooms out above the middle row, in below it.
  void Click_In_Out(int y);
  void Wheel_In_Out(int delta);
  // Fits the view to a rectangle given in widget pixels.
  void Zoom_To_Rect(const QRect& rect);

private:
  void Rotate_View(TVector3 axis, const double& angle);
  void Scale_View(const double& factor);
  void Aspect_Factors(double* kx, double* ky) const;
  void Convert_Viewport_To_Model(int x, int y, double* mx, double* my) const;

  TMat4 d_rotation;
  TMat4 d_projection;
  int d_viewport[4];
  TVector3 d_rotation_center;
  TVector3 d_view_min;
  TVector3 d_view_max;
  TVector3 d_model_min;
  TVector3 d_model_max;
  bool d_first_vertex;
  TVector3 d_axis_origin;
  double d_axis_length;
};

#endif
