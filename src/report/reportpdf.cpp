#include "reportpdf.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QUrl>

#include "programinfo.h"
#include "reporthtml.h"

namespace
{
const int PDF_RESOLUTION_DPI = 300;

QString Write_Failure(const QString& path, const QString& reason)
{
  return QStringLiteral("ERR:  Cannot write report '%1'.  Reason: %2").arg(path, reason);
}
}

bool Write_Report_Pdf(const QString& path, const TReportContent& content, QString* error)
{
  QSaveFile file(path);
  if(!file.open(QIODevice::WriteOnly))
  {
    *error = Write_Failure(path, file.errorString());
    return false;
  }
  {
    QPdfWriter writer(&file);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(PDF_RESOLUTION_DPI);
    writer.setTitle(QStringLiteral("Squareness calibration report"));
    writer.setCreator(Program_Name_And_Version());

    QTextDocument document;
    if(!content.scene_picture.isNull())
      document.addResource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(SCENE_PICTURE_NAME)),
                           content.scene_picture);
    if(!content.residual_chart.isNull())
      document.addResource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(CHART_PICTURE_NAME)),
                           content.residual_chart);
    document.setHtml(Report_Html(content, false));
    document.print(&writer);
  }
  if(!file.commit())
  {
    *error = Write_Failure(path, file.errorString());
    return false;
  }
  return true;
}
