// Drops lines that repeat an earlier line of the same batch pixel for pixel:
// small solids far away collapse many edges onto the same few pixels. An open
// addressing table of packed end pixels, reused between batches so that
// filtering allocates nothing once warmed up.
#ifndef REPEATEDLINEFILTER_H
#define REPEATEDLINEFILTER_H

#include <QLine>
#include <cstdint>
#include <vector>

class TRepeatedLineFilter
{
public:
  // Keeps the first of every set of lines with the same two end pixels, in
  // either direction, and the order of what is kept. Lines with a coordinate
  // beyond 16 bits are always kept.
  void Remove_Repeated_Lines(std::vector<QLine>* lines);

private:
  // Slots whose stamp is not the current one are empty, so a new batch
  // clears the table by moving to the next stamp.
  std::vector<std::uint64_t> d_keys;
  std::vector<std::uint32_t> d_stamps;
  std::uint32_t d_stamp = 0;
};

#endif
