// Wakes the event loop of the thread that owns the channel from any other
// thread. The wake goes through a kernel event counter that the owner's
// event loop watches: unlike a posted event, whose queue is guarded by a
// lock inside Qt, a write and a read on a file descriptor are seen as
// synchronisation by ThreadSanitizer, so the thread checks stay meaningful.
#ifndef WAKECHANNEL_H
#define WAKECHANNEL_H

#include <QObject>

class QSocketNotifier;

class TWakeChannel : public QObject
{
  Q_OBJECT

public:
  explicit TWakeChannel(QObject* parent = nullptr);
  ~TWakeChannel() override;

  // Any thread. Wakes close together may arrive as one.
  void Wake();

signals:
  // In the owner's thread, after one or more wakes.
  void Woken();

private:
  void Drain();

  int d_descriptor = -1;
  QSocketNotifier* d_notifier = nullptr;
};

#endif
