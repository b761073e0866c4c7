#include "reporthtml.h"

#include <QBuffer>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include "fixedtext.h"
#include "programinfo.h"
#include "reportsections.h"

const char* const SCENE_PICTURE_NAME = "scene.png";
const char* const CHART_PICTURE_NAME = "residuals.png";

namespace
{
const char* const STYLE = "body { font-family: 'DejaVu Sans', sans-serif; font-size: 9pt; }"
                          "h1 { font-size: 16pt; } h2 { font-size: 12pt; margin-top: 12px; }"
                          "table { border-collapse: collapse; }"
                          "td, th { padding: 2px 4px; }"
                          "th { background-color: #e8e8e8; text-align: left; }"
                          "td.number { text-align: right; }"
                          "table.measurements { font-size: 7pt; }"
                          "p.note { color: #404040; }";

QString Picture_Source(const QImage& picture, const char* name, bool embed)
{
  if(!embed)
    return QString::fromLatin1(name);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "PNG");
  return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

QString Picture(const QImage& picture, const char* name, const QString& caption, bool embed)
{
  if(picture.isNull())
    return QString();
  const int height = REPORT_PICTURE_WIDTH * picture.height() / qMax(1, picture.width());
  return QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\" alt=\"%4\"><br>%4</p>\n")
    .arg(Picture_Source(picture, name, embed))
    .arg(REPORT_PICTURE_WIDTH)
    .arg(height)
    .arg(caption.toHtmlEscaped());
}

// Section 4: the 3D view and the residual chart.
QString Pictures_Section(const TReportContent& content, bool embed)
{
  if(content.scene_picture.isNull() && content.residual_chart.isNull())
    return QString();
  return QStringLiteral("<h2 style=\"page-break-before: always\">4. Measurement geometry and residuals</h2>\n") +
         Picture(content.scene_picture, SCENE_PICTURE_NAME, QStringLiteral("The measurements as the 3D view shows them."),
                 embed) +
         Picture(content.residual_chart, CHART_PICTURE_NAME,
                 QStringLiteral("Deviation of each record from nominal after the fit, µm; flagged records stand out in colour."), embed);
}
}

QString Report_Html(const TReportContent& content, bool embed_pictures)
{
  QString html = QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>Squareness "
                                "calibration report</title>\n<style>%1</style></head>\n<body>\n")
                   .arg(QString::fromLatin1(STYLE));
  html += QStringLiteral("<h1>Squareness calibration report</h1>\n");
  html += Information_Section(content);
  html += Method_Section(content);
  html += Results_Section(content);
  html += Pictures_Section(content, embed_pictures);
  html += Measurements_Section(content);
  html += Settings_Section(content);
  html += QStringLiteral("</body></html>\n");
  return html;
}

bool Write_Report_Html(const QString& path, const TReportContent& content, QString* error)
{
  QSaveFile file(path);
  if(!file.open(QIODevice::WriteOnly))
  {
    *error = QStringLiteral("ERR:  Cannot write report '%1'.  Reason: %2").arg(path, file.errorString());
    return false;
  }
  file.write(Report_Html(content, true).toUtf8());
  if(!file.commit())
  {
    *error = QStringLiteral("ERR:  Cannot write report '%1'.  Reason: %2").arg(path, file.errorString());
    return false;
  }
  return true;
}
