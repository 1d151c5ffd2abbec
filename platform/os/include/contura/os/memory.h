// Large blocks of memory straight from the system, for the platform's own heaps.
#pragma once
#include <cstddef>

namespace contura::os {

// Alignment and size unit of a large block: one huge page of the x86-64 and arm64 kernels.
inline constexpr std::size_t kLargeBlockAlign = std::size_t(2) << 20;

// A block of `bytes` zeroed bytes (rounded up to a multiple of kLargeBlockAlign), aligned to
// kLargeBlockAlign, that the system is asked to back with huge pages where it offers them:
// touching such memory for the first time then costs one fault per huge page instead of one
// per 4 KB page. Null when the system gives no memory. Free it with freeLargeBlock.
void* allocateLargeBlock(std::size_t bytes);
// Returns a block of allocateLargeBlock (the same `bytes`) to the system; null is ignored.
void freeLargeBlock(void* block, std::size_t bytes) noexcept;

}  // namespace contura::os
