// Draws the program's icons and logo into resources/ (run: make icons), and the
// application icon for the desktop's hicolor theme as PNGs and as SVG.
// The pictures are simple line drawings so they stay legible at tool-bar size.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QSvgGenerator>
#include <cmath>
#include <cstdio>
#include <functional>

namespace
{
const QColor ink(40, 40, 48);
const QColor accent(60, 60, 240);

// The application's id, which names its icon, desktop entry and metainfo.
const QString application_id = QStringLiteral("org.orthavel.Orthavel");
// The application icon is drawn on a 64 x 64 grid and scaled to each size.
const int icon_grid = 64;

QString Prepare_Path(const QString& dir, const QString& name)
{
  const QString path = dir + "/" + name;
  QDir().mkpath(path.left(path.lastIndexOf('/')));
  return path;
}

bool Report_Unwritable(const QString& path)
{
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

bool Save_Image(const QString& dir, const QString& name, int width, int height,
                const std::function<void(QPainter&)>& draw)
{
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  draw(painter);
  painter.end();
  const QString path = Prepare_Path(dir, name);
  return image.save(path, "PNG") || Report_Unwritable(path);
}

bool Save_Svg(const QString& dir, const QString& name, int size, const std::function<void(QPainter&)>& draw)
{
  const QString path = Prepare_Path(dir, name);
  QSvgGenerator svg;
  svg.setFileName(path);
  svg.setSize(QSize(size, size));
  svg.setViewBox(QRect(0, 0, size, size));
  svg.setTitle("Orthavel");
  QPainter painter;
  if(!painter.begin(&svg))
    return Report_Unwritable(path);
  draw(painter);
  return painter.end() || Report_Unwritable(path);
}

QPen Pen(const QColor& color, double width)
{
  return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Three axes from a common corner, as on a machine's coordinate system.
void Draw_Triad(QPainter& p, const QPointF& o, double size)
{
  p.setPen(Pen(QColor(200, 40, 40), size / 10));
  p.drawLine(o, o + QPointF(size, 0));
  p.setPen(Pen(QColor(40, 160, 40), size / 10));
  p.drawLine(o, o + QPointF(size * 0.55, -size * 0.45));
  p.setPen(Pen(QColor(40, 40, 200), size / 10));
  p.drawLine(o, o + QPointF(0, -size));
}

void Draw_Label(QPainter& p, const QRectF& r, const QString& text, int pixel_size)
{
  QFont font("DejaVu Sans");
  font.setPixelSize(pixel_size);
  font.setBold(true);
  p.setFont(font);
  p.setPen(ink);
  p.drawText(r, Qt::AlignCenter, text);
}

void Draw_Page(QPainter& p)
{
  QPolygonF page({QPointF(6, 2), QPointF(19, 2), QPointF(26, 9), QPointF(26, 30), QPointF(6, 30)});
  p.setPen(Pen(ink, 1.5));
  p.setBrush(Qt::white);
  p.drawPolygon(page);
  p.drawPolyline(QPolygonF({QPointF(19, 2), QPointF(19, 9), QPointF(26, 9)}));
}

void Draw_Arrow(QPainter& p, const QPointF& from, const QPointF& to)
{
  p.drawLine(from, to);
  const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
  const QPointF n(-d.y(), d.x());
  p.drawLine(to, to - d * 4 + n * 3);
  p.drawLine(to, to - d * 4 - n * 3);
}

// A framed machine corner with its three axes and the right angle between them.
void Draw_Application_Icon(QPainter& p)
{
  p.setPen(Pen(ink, 3));
  p.setBrush(QColor(235, 235, 250));
  p.drawRoundedRect(QRectF(4, 4, 56, 56), 8, 8);
  Draw_Triad(p, QPointF(16, 48), 34);
  p.setPen(Pen(accent, 3));
  p.drawArc(QRectF(4, 26, 44, 44), 0, 90 * 16);
}

bool Save_Application_Icons(const QString& dir)
{
  bool ok = Save_Image(dir, "icons/orthavel.png", icon_grid, icon_grid, Draw_Application_Icon);
  for(int size : {16, 22, 24, 32, 48, 64, 128, 256})
  {
    const QString name = QString("hicolor/%1x%1/apps/%2.png").arg(size).arg(application_id);
    ok &= Save_Image(dir, name, size, size, [size](QPainter& p) {
      p.scale(double(size) / icon_grid, double(size) / icon_grid);
      Draw_Application_Icon(p);
    });
  }
  ok &= Save_Svg(dir, "hicolor/scalable/apps/" + application_id + ".svg", icon_grid, Draw_Application_Icon);
  return ok;
}

void Draw_Projection(QPainter& p, const QString& label)
{
  p.setPen(Pen(ink, 1.5));
  p.setBrush(QColor(230, 230, 250));
  p.drawRect(QRectF(4, 4, 24, 24));
  Draw_Label(p, QRectF(4, 4, 24, 24), label, label.size() > 2 ? 9 : 11);
}
}

int main(int argc, char** argv)
{
  QGuiApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources");
  bool ok = Save_Application_Icons(dir);
  ok &= Save_Image(dir, "menu/file_new.png", 32, 32, [](QPainter& p) {
    Draw_Page(p);
    p.setPen(Pen(accent, 2));
    p.drawLine(QPointF(16, 14), QPointF(16, 24));
    p.drawLine(QPointF(11, 19), QPointF(21, 19));
  });
  ok &= Save_Image(dir, "menu/file_open.png", 32, 32, [](QPainter& p) {
    p.setPen(Pen(ink, 1.5));
    p.setBrush(QColor(240, 210, 120));
    p.drawPolygon(QPolygonF({QPointF(3, 8), QPointF(12, 8), QPointF(15, 11), QPointF(28, 11),
                             QPointF(28, 27), QPointF(3, 27)}));
    p.setBrush(QColor(250, 230, 160));
    p.drawPolygon(QPolygonF({QPointF(3, 27), QPointF(8, 15), QPointF(31, 15), QPointF(28, 27)}));
  });
  ok &= Save_Image(dir, "menu/file_save.png", 32, 32, [](QPainter& p) {
    p.setPen(Pen(ink, 1.5));
    p.setBrush(QColor(90, 110, 200));
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 4, 14, 9));
    p.drawRect(QRectF(8, 18, 16, 10));
  });
  ok &= Save_Image(dir, "toolbar/tb_scale_to_fit.png", 32, 32, [](QPainter& p) {
    p.setPen(Pen(ink, 2));
    for(const QPointF& c : {QPointF(4, 4), QPointF(28, 4), QPointF(28, 28), QPointF(4, 28)})
    {
      const QPointF inward((c.x() < 16 ? 1 : -1) * 7, (c.y() < 16 ? 1 : -1) * 7);
      p.drawLine(c, c + QPointF(inward.x(), 0));
      p.drawLine(c, c + QPointF(0, inward.y()));
    }
    p.setPen(Pen(accent, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(10, 10, 12, 12));
  });
  ok &= Save_Image(dir, "toolbar/tb_pan.png", 32, 32, [](QPainter& p) {
    p.setPen(Pen(ink, 2));
    Draw_Arrow(p, QPointF(16, 16), QPointF(16, 3));
    Draw_Arrow(p, QPointF(16, 16), QPointF(16, 29));
    Draw_Arrow(p, QPointF(16, 16), QPointF(3, 16));
    Draw_Arrow(p, QPointF(16, 16), QPointF(29, 16));
  });
  ok &= Save_Image(dir, "toolbar/tb_rotate_2d.png", 32, 32, [](QPainter& p) {
    p.setPen(Pen(ink, 2));
    p.drawArc(QRectF(5, 5, 22, 22), 60 * 16, 300 * 16);
    Draw_Arrow(p, QPointF(21, 6), QPointF(25, 9));
    p.setPen(Pen(accent, 3));
    p.drawPoint(QPointF(16, 16));
  });
  ok &= Save_Image(dir, "toolbar/tb_rotate_3d.png", 32, 32, [](QPainter& p) {
    p.setPen(Pen(ink, 2));
    p.drawEllipse(QRectF(3, 10, 26, 12));
    Draw_Arrow(p, QPointF(20, 22), QPointF(24, 21));
    p.setPen(Pen(accent, 2));
    p.drawEllipse(QRectF(10, 3, 12, 26));
  });
  ok &= Save_Image(dir, "toolbar/tb_proj_xy.png", 32, 32, [](QPainter& p) { Draw_Projection(p, "XY"); });
  ok &= Save_Image(dir, "toolbar/tb_proj_yz.png", 32, 32, [](QPainter& p) { Draw_Projection(p, "YZ"); });
  ok &= Save_Image(dir, "toolbar/tb_proj_zx.png", 32, 32, [](QPainter& p) { Draw_Projection(p, "ZX"); });
  ok &= Save_Image(dir, "toolbar/tb_proj_iso.png", 32, 32, [](QPainter& p) {
    p.setPen(Pen(ink, 1.5));
    p.setBrush(QColor(230, 230, 250));
    p.drawPolygon(QPolygonF({QPointF(16, 3), QPointF(28, 9), QPointF(28, 23), QPointF(16, 29),
                             QPointF(4, 23), QPointF(4, 9)}));
    p.drawPolyline(QPolygonF({QPointF(4, 9), QPointF(16, 15), QPointF(28, 9)}));
    p.drawLine(QPointF(16, 15), QPointF(16, 29));
  });
  ok &= Save_Image(dir, "images/logo.png", 100, 40, [](QPainter& p) {
    Draw_Triad(p, QPointF(8, 33), 24);
    QFont font("DejaVu Sans");
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(QRectF(30, 6, 70, 30), Qt::AlignVCenter | Qt::AlignLeft, "Orthavel");
  });
  return ok ? 0 : 1;
}
