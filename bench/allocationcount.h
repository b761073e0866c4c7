// Counts the heap allocations of a benchmark program, so that a benchmark can
// show how many its hot path makes. Include in exactly one file per program:
// it replaces the global operator new and delete.
#ifndef ALLOCATIONCOUNT_H
#define ALLOCATIONCOUNT_H

#include <atomic>
#include <cstdlib>
#include <new>

inline std::atomic<long> allocation_count{0};

void* operator new(std::size_t size)
{
  ++allocation_count;
  if(void* memory = std::malloc(size == 0 ? 1 : size))
    return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
  std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
  std::free(memory);
}

#endif
