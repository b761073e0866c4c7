// Helpers for driving the main window headless: finding its named members and
// answering its modal dialogs from a timer.
#ifndef WINDOW_HELPERS_H
#define WINDOW_HELPERS_H

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "calculatesquare.h"
#include "measurementset.h"
#include "orthavel.h"

template<class T> T* Member(const QObject* window, const char* name)
{
  T* member = window->findChild<T*>(QString::fromLatin1(name));
  if(!member)
    qFatal("no member named %s", name);
  return member;
}

// Polls for dialogs started in one test function stop when it ends, so that
// they can neither answer the next test's dialogs nor write to its variables.
inline int& Poll_Generation()
{
  static int generation = 0;
  return generation;
}

// Runs `answer` on the next modal widget of type T once it is shown. Records
// what it saw in `seen` so a test can tell whether the dialog appeared.
template<class T> void When_Shown(std::function<void(T*)> answer, bool* seen = nullptr)
{
  if(seen)
    *seen = false;
  // The pending timer keeps the poll alive; the poll itself holds only a weak
  // reference, so it is freed once it stops asking again.
  auto poll = std::make_shared<std::function<void(int)>>();
  const std::weak_ptr<std::function<void(int)>> weak_poll = poll;
  const int generation = Poll_Generation();
  *poll = [answer, seen, weak_poll, generation](int tries_left) {
    if(generation != Poll_Generation())
      return;
    T* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
    if(dialog && dialog->isVisible())
    {
      if(seen)
        *seen = true;
      answer(dialog);
      return;
    }
    const auto self = weak_poll.lock();
    if(self && tries_left > 0)
      QTimer::singleShot(10, [self, tries_left] { (*self)(tries_left - 1); });
  };
  QTimer::singleShot(0, [poll] { (*poll)(500); });
}

inline void Answer_Message_Box(QMessageBox::StandardButton button, bool* seen = nullptr,
                               QString* text = nullptr, QString* informative = nullptr)
{
  When_Shown<QMessageBox>(
    [button, text, informative](QMessageBox* box) {
      if(text)
        *text = box->text();
      if(informative)
        *informative = box->informativeText();
      box->button(button)->click();
    },
    seen);
}

// Chooses `path` in a file dialog as a user typing it would, or cancels the
// dialog when `path` is empty. (selectFile may miss while the dialog's folder
// is still loading, so the name goes into the file name field.)
inline void Choose_File(QFileDialog* dialog, const QString& path)
{
  if(path.isEmpty())
  {
    dialog->reject();
    return;
  }
  QLineEdit* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  if(name)
    name->setText(path);
  else
    dialog->selectFile(path);
  static_cast<QDialog*>(dialog)->accept();
}

inline void Answer_File_Dialog(const QString& path, bool* seen = nullptr)
{
  When_Shown<QFileDialog>([path](QFileDialog* dialog) { Choose_File(dialog, path); }, seen);
}

// Answers every modal dialog of type T shown while it lives, and counts them.
template<class T> class TDialogAnswerer
{
public:
  explicit TDialogAnswerer(std::function<void(T*)> answer) : answer(std::move(answer))
  {
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [this] {
      T* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
      if(dialog && dialog->isVisible() && dialog != last)
      {
        last = dialog;
        ++count;
        this->answer(dialog);
        last = nullptr;
      }
    });
    timer.start();
  }
  int count = 0;

private:
  std::function<void(T*)> answer;
  QTimer timer;
  T* last = nullptr;
};

// Records every box of the window shown while it lives and answers it with
// Ok; the file dialog's question whether to replace a file is answered Yes.
struct TBoxRecorder
{
  TBoxRecorder()
    : answerer([this](QMessageBox* box) {
        if(box->objectName() != "message_box")
        {
          box->button(QMessageBox::Yes)->click();
          return;
        }
        // A question is left to whoever answers questions.
        if(!box->button(QMessageBox::Ok))
          return;
        texts << box->text() + " / " + box->informativeText();
        box->button(QMessageBox::Ok)->click();
      })
  {
  }
  QStringList texts;
  TDialogAnswerer<QMessageBox> answerer;
};

// Chooses `path` in every file dialog shown while the answerer lives, or
// cancels them when it is empty.
inline std::unique_ptr<TDialogAnswerer<QFileDialog>> Answer_All_File_Dialogs(const QString& path)
{
  return std::make_unique<TDialogAnswerer<QFileDialog>>([path](QFileDialog* dialog) { Choose_File(dialog, path); });
}

// A sample file of the tests.
inline QString Data_File(const char* name)
{
  return QString(ORTHAVEL_TEST_DATA) + "/" + name;
}

// Counts a signal in this thread. A QSignalSpy on a signal emitted by the
// solver thread would record it in that thread, racing with the test's reads.
class TQueuedSignalCount : public QObject
{
public:
  template<class TSender, class TSignal> TQueuedSignalCount(const TSender* sender, TSignal signal)
  {
    connect(sender, signal, this, [this] { ++count; }, Qt::QueuedConnection);
  }
  int count = 0;
};

inline TCalculateSquare* Solver_Of(const TOrthavel* window)
{
  return Member<TCalculateSquare>(window, "calculate_square");
}

inline QString Text_Of(const QObject* window, const char* name)
{
  const QObject* object = Member<QObject>(window, name);
  if(const QLineEdit* edit = qobject_cast<const QLineEdit*>(object))
    return edit->text();
  return object->property("text").toString();
}

inline void Type_Into(QObject* window, const char* name, const QString& text)
{
  QLineEdit* edit = Member<QLineEdit>(window, name);
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

#endif
