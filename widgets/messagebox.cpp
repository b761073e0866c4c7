#include "messagebox.h"

#include <QCoreApplication>
#include <QKeyEvent>

TMessageBox::TMessageBox(const QWidget* parent)
  : QMessageBox(const_cast<QWidget*>(parent)), d_fixed_width(500)
{
  setTextFormat(Qt::RichText);
  setStyleSheet("dialogbuttonbox-buttons-have-icons: 0;\nbutton-layout: 1;");
}

TMessageBox::~TMessageBox() = default;

int TMessageBox::exec()
{
  return QDialog::exec();
}

void TMessageBox::setText(const QString& text)
{
  QMessageBox::setText(QString("<span style=\"font-size:10pt; font-weight:600; color:#000000;\" >%1</span>").arg(text));
}

void TMessageBox::setInformativeText(const QString& text)
{
  QMessageBox::setInformativeText(
    QString("<span style=\"font-size:10pt; font-weight:400; color:#000000;\" >%1</span>").arg(text));
}

int TMessageBox::Ask(const QString& text, const QString& informative_text, QMessageBox::Icon icon,
                     QMessageBox::StandardButtons buttons, QMessageBox::StandardButton default_button)
{
  setText(text);
  setInformativeText(informative_text);
  setDetailedText(QString());
  setIcon(icon);
  setStandardButtons(buttons);
  setDefaultButton(default_button);
  return exec();
}

void TMessageBox::Send_Key(int key)
{
  QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, QString(), false, 1));
  QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, QString(), false, 1));
}

void TMessageBox::resizeEvent(QResizeEvent* event)
{
  QMessageBox::resizeEvent(event);
  setFixedWidth(d_fixed_width);
}

void TMessageBox::showEvent(QShowEvent* event)
{
  QMessageBox::showEvent(event);
  setFixedWidth(d_fixed_width);
}
