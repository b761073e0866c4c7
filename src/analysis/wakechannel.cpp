#include "wakechannel.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <sys/eventfd.h>
#include <unistd.h>

TWakeChannel::TWakeChannel(QObject* parent) : QObject(parent)
{
  d_descriptor = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if(d_descriptor < 0)
    qFatal("Cannot create the solver's wake-up channel: %s", std::strerror(errno));
  d_notifier = new QSocketNotifier(d_descriptor, QSocketNotifier::Read, this);
  connect(d_notifier, &QSocketNotifier::activated, this, &TWakeChannel::Drain);
}

TWakeChannel::~TWakeChannel()
{
  delete d_notifier;
  close(d_descriptor);
}

// The counter saturates only after 2^64 - 1 wakes, so a write never blocks;
// an interrupted write is repeated.
void TWakeChannel::Wake()
{
  const std::uint64_t one = 1;
  while(write(d_descriptor, &one, sizeof one) < 0 && errno == EINTR)
  {
  }
}

void TWakeChannel::Drain()
{
  std::uint64_t count = 0;
  if(read(d_descriptor, &count, sizeof count) == sizeof count && count > 0)
    emit Woken();
}
