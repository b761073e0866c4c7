#include "uihelpers.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QSizePolicy>
#include <QStatusBar>

void Show_Status(QStatusBar* status_bar, const QString& message)
{
  status_bar->showMessage(message, STATUS_MESSAGE_MSEC);
}

QLabel* Value_Label(QWidget* parent, const char* name)
{
  QLabel* label = Named(new QLabel(QStringLiteral("----"), parent), name);
  label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  label->setFrameShape(QFrame::StyledPanel);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
  return label;
}

QLabel* Header_Label(const QString& text, const QFont& font, QWidget* parent)
{
  QLabel* label = new QLabel(text, parent);
  label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  label->setFont(font);
  label->setFrameShape(QFrame::StyledPanel);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
  return label;
}

void Mark_Field(QLineEdit* edit, const QString& problem)
{
  edit->setStyleSheet(problem.isEmpty() ? QString() : QStringLiteral("background-color: #ffd6d6;"));
  edit->setToolTip(problem);
}

QFrame* Sunken_Line(QWidget* parent)
{
  QFrame* line = new QFrame(parent);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

QFont Header_Font()
{
  QFont font;
  font.setWeight(QFont::Normal);
  font.setItalic(true);
  return font;
}

QFont Notice_Font()
{
  QFont font(QStringLiteral("Verdana"), 8);
  font.setItalic(true);
  return font;
}
