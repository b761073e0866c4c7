// Reads a file in a worker thread while the window's event loop goes on, with
// a progress dialog that shows how far the file has been read and a Cancel.
// The worker posts nothing to the window's thread: it counts the bytes read
// in atomics that a timer of the window's thread reads, and the window's
// thread joins it before it takes what it read.
#ifndef BACKGROUNDREAD_H
#define BACKGROUNDREAD_H

#include <QString>
#include <QtGlobal>
#include <functional>

class QWidget;

// Tells a reader how far it got (bytes read, file size or 0 when unknown);
// false asks it to stop.
using TReadProgress = std::function<bool(qint64 done, qint64 total)>;

class TBackgroundRead
{
public:
  // Files larger than this, and pipes and devices, are read in the background.
  static constexpr qint64 BACKGROUND_FROM = qint64(1) << 20;
  static bool Is_Slow(const QString& path);

  // Runs read(progress) in a worker thread and returns once it has finished,
  // showing the window-modal dialog "read_progress" with the label meanwhile;
  // a path that is not slow is read here at once. False when the user
  // cancelled: whatever the read produced is then to be thrown away.
  static bool Run(QWidget* parent, const QString& path, const QString& label,
                  const std::function<void(const TReadProgress&)>& read);
};

#endif
