#include "backgroundread.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <thread>

#include "uihelpers.h"

namespace
{
const int POLL_INTERVAL_MS = 20;
const int PROGRESS_STEPS = 1000;

// Written by the worker, read by the window's thread.
struct TSharedProgress
{
  std::atomic<qint64> done{0};
  std::atomic<qint64> total{0};
  std::atomic<bool> cancelled{false};
  std::atomic<bool> finished{false};
};

int Progress_Step(const TSharedProgress& shared)
{
  const qint64 total = shared.total.load();
  return total > 0 ? int(qMin<qint64>(PROGRESS_STEPS, shared.done.load() * PROGRESS_STEPS / total)) : 0;
}
}

bool TBackgroundRead::Is_Slow(const QString& path)
{
  const QFileInfo info(path);
  return info.exists() && (!info.isFile() || info.size() > BACKGROUND_FROM);
}

bool TBackgroundRead::Run(QWidget* parent, const QString& path, const QString& label,
                          const std::function<void(const TReadProgress&)>& read)
{
  if(!Is_Slow(path))
  {
    read(TReadProgress());
    return true;
  }

  TSharedProgress shared;
  const TReadProgress progress = [&shared](qint64 done, qint64 total) {
    shared.done.store(done);
    shared.total.store(total);
    return !shared.cancelled.load();
  };

  QProgressDialog dialog(label, QStringLiteral("Cancel"), 0, PROGRESS_STEPS, parent);
  Named(&dialog, "read_progress");
  dialog.setWindowModality(Qt::WindowModal);
  dialog.setAutoClose(false);
  dialog.setAutoReset(false);
  dialog.setMinimumDuration(0);
  dialog.show();

  // Cancel keeps the dialog, and the window blocked, until the worker has stopped.
  QObject::disconnect(&dialog, &QProgressDialog::canceled, &dialog, &QProgressDialog::cancel);
  QObject::connect(&dialog, &QProgressDialog::canceled, [&] {
    shared.cancelled.store(true);
    dialog.setLabelText(QStringLiteral("Cancelling..."));
  });

  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if(shared.finished.load())
      loop.quit();
    else
      dialog.setValue(Progress_Step(shared));
  });

  std::thread worker([&] {
    read(progress);
    shared.finished.store(true);
  });
  poll.start(POLL_INTERVAL_MS);
  loop.exec();
  worker.join();
  return !shared.cancelled.load();
}
