// Size-class heap of database objects over large blocks of the system.
#include "object_heap.h"

#include <contura/os/memory.h>

#include <array>
#include <mutex>
#include <new>

#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#define CONTURA_HEAP_KNOWS_VALGRIND 1
#endif

// Under AddressSanitizer every block goes to the general allocator, so that use after free,
// overflows and leaks of database objects are still found.
#if defined(__SANITIZE_ADDRESS__)
#define CONTURA_HEAP_PASS_THROUGH 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CONTURA_HEAP_PASS_THROUGH 1
#endif
#endif

namespace contura::db::heap {

#ifndef CONTURA_HEAP_PASS_THROUGH

namespace {

// Small blocks: classes of 16-byte steps up to kLargestStepped. Larger ones up to
// kLargestPooled: classes of powers of two.
constexpr std::size_t kStep = 16;
constexpr std::size_t kLargestStepped = 1024;
constexpr std::size_t kSteppedClasses = kLargestStepped / kStep;  // 16 .. 1024
constexpr std::size_t kSmallestPower = kLargestStepped * 2;       // 2048 .. kLargestPooled
constexpr std::size_t kPowerClasses = 8;
static_assert(kSmallestPower << (kPowerClasses - 1) == kLargestPooled);
// Large blocks asked from the system at a time.
constexpr std::size_t kSlabBytes = 4 * os::kLargeBlockAlign;

struct FreeBlock {
  FreeBlock* next;
};

class Heap {
public:
  void* allocate(std::size_t bytes) {
    const std::size_t cls = classOf(bytes);
    std::lock_guard<std::mutex> lock(mMutex);
    if (FreeBlock* b = mFree[cls]) {
      mFree[cls] = b->next;
      return b;
    }
    return carve(classBytes(cls));
  }

  void release(void* block, std::size_t bytes) noexcept {
    const std::size_t cls = classOf(bytes);
    auto* b = static_cast<FreeBlock*>(block);
    std::lock_guard<std::mutex> lock(mMutex);
    b->next = mFree[cls];
    mFree[cls] = b;
  }

private:
  static std::size_t classOf(std::size_t bytes) {
    if (bytes <= kLargestStepped) return bytes == 0 ? 0 : (bytes - 1) / kStep;
    std::size_t cls = kSteppedClasses, size = kSmallestPower;
    while (size < bytes) {
      size *= 2;
      ++cls;
    }
    return cls;
  }
  static std::size_t classBytes(std::size_t cls) {
    return cls < kSteppedClasses ? (cls + 1) * kStep : kSmallestPower << (cls - kSteppedClasses);
  }

  // A new block from the current slab (a new slab when it has too little left; the rest of
  // the old one is left unused).
  void* carve(std::size_t bytes) {
    if (mLeft < bytes) {
      void* slab = os::allocateLargeBlock(kSlabBytes);
      if (slab == nullptr) throw std::bad_alloc();
      mNext = static_cast<char*>(slab);
      mLeft = kSlabBytes;
    }
    void* block = mNext;
    mNext += bytes;
    mLeft -= bytes;
    return block;
  }

  std::mutex mMutex;
  std::array<FreeBlock*, kSteppedClasses + kPowerClasses> mFree{};
  char* mNext = nullptr;
  std::size_t mLeft = 0;
};

// Never destroyed: objects may be freed by other static objects' destructors at exit.
Heap& theHeap() {
  static Heap* heap = new Heap();
  return *heap;
}

// Under Valgrind every block goes to the general allocator as well, so that its leak and
// use-after-free checks see database objects. Decided once, for the whole process.
bool generalAllocatorOnly() {
#ifdef CONTURA_HEAP_KNOWS_VALGRIND
  static const bool underValgrind = RUNNING_ON_VALGRIND != 0;
  return underValgrind;
#else
  return false;
#endif
}

}  // namespace

void* allocate(std::size_t bytes) {
  if (bytes > kLargestPooled || generalAllocatorOnly()) return ::operator new(bytes);
  return theHeap().allocate(bytes);
}

void release(void* block, std::size_t bytes) noexcept {
  if (block == nullptr) return;
  if (bytes > kLargestPooled || generalAllocatorOnly()) {
    ::operator delete(block);
    return;
  }
  theHeap().release(block, bytes);
}

#else

void* allocate(std::size_t bytes) { return ::operator new(bytes); }
void release(void* block, std::size_t) noexcept { ::operator delete(block); }

#endif

}  // namespace contura::db::heap
