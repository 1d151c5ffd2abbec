// The heap that database objects (and the database's own bookkeeping blocks) live on.
#pragma once
#include <cstddef>

namespace contura::db::heap {

// A block of at least `bytes` bytes, aligned for any object; throws std::bad_alloc when the
// system has no memory, as operator new does. Blocks up to kLargestPooled bytes come from
// size classes carved out of large blocks of the system (huge pages where it offers them) and
// go back to their class when released, for the next block of that size: drawings of many
// small objects then take few page faults and no general-purpose allocator calls. Larger
// blocks go to the general allocator. Safe to use from several threads.
void* allocate(std::size_t bytes);
// Gives back a block of allocate; `bytes` must be the size it was allocated with.
void release(void* block, std::size_t bytes) noexcept;

// The largest block served from the size classes.
inline constexpr std::size_t kLargestPooled = std::size_t(256) << 10;

}  // namespace contura::db::heap
