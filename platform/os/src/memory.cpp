// Large blocks of memory mapped from the system, aligned to and advised for huge pages.
#include "contura/os/memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace contura::os {

namespace {
std::size_t roundUp(std::size_t bytes) { return (bytes + kLargeBlockAlign - 1) / kLargeBlockAlign * kLargeBlockAlign; }
}  // namespace

void* allocateLargeBlock(std::size_t bytes) {
  if (bytes == 0) return nullptr;
  const std::size_t size = roundUp(bytes);
  // Map one alignment unit more than asked, then unmap what lies before and after the
  // aligned part: a huge page can only back an aligned range.
  const std::size_t mapped = size + kLargeBlockAlign;
  void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kLargeBlockAlign - 1) & ~std::uintptr_t(kLargeBlockAlign - 1);
  if (aligned > start) munmap(raw, aligned - start);
  const std::uintptr_t tail = start + mapped - (aligned + size);
  if (tail > 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
  void* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
  // Only advice: without huge pages the block works the same with small ones.
  madvise(block, size, MADV_HUGEPAGE);
#endif
  return block;
}

void freeLargeBlock(void* block, std::size_t bytes) noexcept {
  if (block != nullptr && bytes != 0) munmap(block, roundUp(bytes));
}

}  // namespace contura::os
