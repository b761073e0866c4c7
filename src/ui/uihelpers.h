// Small pieces shared by the window and its parts: naming members, work in
// slices, the transient status message, and the label and line styles of the
// panels.
#ifndef UIHELPERS_H
#define UIHELPERS_H

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <algorithm>
#include <cstddef>

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

// How long one slice of a large set's work may run. The list, the scene, the
// solver's copy and the Analysis dock may each run a slice in the same turn
// of the event loop, and a repaint may follow: together they stay well within
// the tenth of a second in which a window still seems to answer at once.
constexpr int SLICE_MSEC = 8;

// Does work(first, end) over the items from done up to total, a chunk of
// at most `chunk` items at a time, until a slice's time is up (at least one
// chunk); returns how far it got.
template<class TWork> size_t Work_For_A_Slice(size_t done, size_t total, size_t chunk, TWork work)
{
  const QDeadlineTimer deadline(SLICE_MSEC);
  while(done < total)
  {
    const size_t end = std::min(done + chunk, total);
    work(done, end);
    done = end;
    if(deadline.hasExpired())
      break;
  }
  return done;
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
