// Small pieces shared by the window and its parts: naming members, work in
// slices, the transient status message, and the label and line styles of the
// panels.
#ifndef UIHELPERS_H
#define UIHELPERS_H

#include <QObject>
#include <QString>
#include <QTimer>

class QFont;
class QFrame;
class QLabel;
class QLineEdit;
class QStatusBar;
class QWidget;

// Every member widget, action and part carries its member name, so tests and
// accessibility tools can find it.
template<class T> T* Named(T* object, const char* name)
{
  object->setObjectName(QString::fromLatin1(name));
  return object;
}

// Makes the timer run the slot of the receiver once, in the next turn of the
// event loop, each time it is started: the parts that do the work of a large
// set a slice at a time start it after each slice while work is left.
template<class TReceiver, class TSlot> void Run_Next_Turn(QTimer* timer, TReceiver* receiver, TSlot slot)
{
  timer->setSingleShot(true);
  timer->setInterval(0);
  QObject::connect(timer, &QTimer::timeout, receiver, slot);
}

// File errors and import results stay on the status bar this long.
constexpr int STATUS_MESSAGE_MSEC = 4000;
void Show_Status(QStatusBar* status_bar, const QString& message);

// A framed, centred value that starts as "----".
QLabel* Value_Label(QWidget* parent, const char* name);
// A framed, centred column header in the header font.
QLabel* Header_Label(const QString& text, const QFont& font, QWidget* parent);
// Marks a field whose text cannot be taken, with the problem as its tool
// tip; an empty problem takes the mark away.
void Mark_Field(QLineEdit* edit, const QString& problem);

// A sunken horizontal separator line.
QFrame* Sunken_Line(QWidget* parent);

// The header font of the panels (default family, normal weight, italic) and
// the notice font (Verdana 8 pt, italic).
QFont Header_Font();
QFont Notice_Font();

#endif
