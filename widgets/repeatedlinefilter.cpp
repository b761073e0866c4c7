#include "repeatedlinefilter.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace
{
// The two end pixels in a fixed order, packed into 64 bits; false when a
// coordinate does not fit in 16 bits.
bool Line_Key(const QLine& line, std::uint64_t* key)
{
  int x1 = line.x1(), y1 = line.y1(), x2 = line.x2(), y2 = line.y2();
  if(x2 < x1 || (x2 == x1 && y2 < y1))
  {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  const int values[4] = {x1, y1, x2, y2};
  std::uint64_t packed = 0;
  for(int value : values)
  {
    const int shifted = value + 32768;
    if(shifted < 0 || shifted > 65535)
      return false;
    packed = (packed << 16) | static_cast<std::uint64_t>(shifted);
  }
  *key = packed;
  return true;
}
} // namespace

void TRepeatedLineFilter::Remove_Repeated_Lines(std::vector<QLine>* lines)
{
  assert(lines);

  size_t table_size = 1024;
  while(table_size < 2 * lines->size())
    table_size *= 2;
  if(d_keys.size() < table_size)
  {
    d_keys.assign(table_size, 0);
    d_stamps.assign(table_size, 0);
    d_stamp = 0;
  }
  if(++d_stamp == 0)
  {
    std::fill(d_stamps.begin(), d_stamps.end(), 0);
    d_stamp = 1;
  }
  const size_t mask = d_keys.size() - 1;

  size_t kept = 0;
  for(size_t i = 0; i < lines->size(); ++i)
  {
    const QLine& line = (*lines)[i];
    std::uint64_t key = 0;
    if(Line_Key(line, &key))
    {
      size_t slot = static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & mask;
      bool repeated = false;
      while(d_stamps[slot] == d_stamp)
      {
        if(d_keys[slot] == key)
        {
          repeated = true;
          break;
        }
        slot = (slot + 1) & mask;
      }
      if(repeated)
        continue;
      d_keys[slot] = key;
      d_stamps[slot] = d_stamp;
    }
    (*lines)[kept++] = line;
  }
  lines->resize(kept);
}
