// AcArray<T>: the host's growable array with logical (used) and physical (allocated) lengths.
#pragma once
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

// Reallocator tags kept for source compatibility: this implementation always moves elements
// with their own assignment, which is right for both plain and non-trivial element types.
template <class T> struct AcArrayMemCopyReallocator {};
template <class T> struct AcArrayObjectCopyReallocator {};

namespace contura::ge::detail {
// Element access outside [0, logicalLength) cannot return anything meaningful: report the
// caller's bug and stop, as the host's checked build does.
[[noreturn]] inline void arrayIndexFault(int index, int length) {
  std::fprintf(stderr, "AcArray: index %d out of range [0, %d)\n", index, length);
  std::abort();
}
}  // namespace contura::ge::detail

// Contract:
// - Indices are 0-based ints. Element access (operator[], at, first, last, setAt) outside
//   [0, logicalLength()) is a programming error and terminates with a diagnostic.
// - Mutators given a bad index (insertAt beyond logicalLength, removeAt outside the array,
//   removeSubArray with a bad range) leave the array unchanged and do nothing else.
// - When an append outgrows the allocation, the physical length grows by growLength (at
//   least), or by half the current length when that is more, so appends stay amortised O(1).
// - Storage is a new T[physicalLength]: T must be default-constructible and assignable.
//   Elements beyond the logical length keep whatever value they last had.
template <class T, class R = AcArrayMemCopyReallocator<T>>
class AcArray {
public:
  explicit AcArray(int initPhysicalLength = 0, int initGrowLength = 8)
      : mGrowLen(initGrowLength > 0 ? initGrowLength : 8) {
    if (initPhysicalLength > 0) reallocate(initPhysicalLength);
  }
  AcArray(const AcArray& src) : mGrowLen(src.mGrowLen) { copyFrom(src); }
  AcArray(AcArray&& src) noexcept
      : mData(std::move(src.mData)), mPhysicalLen(src.mPhysicalLen),
        mLogicalLen(src.mLogicalLen), mGrowLen(src.mGrowLen) {
    src.mPhysicalLen = 0;
    src.mLogicalLen = 0;
  }
  AcArray& operator=(const AcArray& src) {
    if (this != &src) {
      mLogicalLen = 0;
      copyFrom(src);
    }
    return *this;
  }
  AcArray& operator=(AcArray&& src) noexcept {
    if (this != &src) {
      mData = std::move(src.mData);
      mPhysicalLen = src.mPhysicalLen;
      mLogicalLen = src.mLogicalLen;
      mGrowLen = src.mGrowLen;
      src.mPhysicalLen = 0;
      src.mLogicalLen = 0;
    }
    return *this;
  }
  ~AcArray() = default;

  // Equal when the logical parts have the same length and equal elements.
  bool operator==(const AcArray& other) const {
    if (mLogicalLen != other.mLogicalLen) return false;
    for (int i = 0; i < mLogicalLen; ++i)
      if (!(mData[i] == other.mData[i])) return false;
    return true;
  }
  bool operator!=(const AcArray& other) const { return !(*this == other); }

  // Element access
  T& operator[](int i) { check(i); return mData[i]; }
  const T& operator[](int i) const { check(i); return mData[i]; }
  T& at(int i) { check(i); return mData[i]; }
  const T& at(int i) const { check(i); return mData[i]; }
  AcArray& setAt(int i, const T& value) { check(i); mData[i] = value; return *this; }
  AcArray& setAll(const T& value) {
    for (int i = 0; i < mLogicalLen; ++i) mData[i] = value;
    return *this;
  }
  T& first() { check(0); return mData[0]; }
  const T& first() const { check(0); return mData[0]; }
  T& last() { check(mLogicalLen - 1); return mData[mLogicalLen - 1]; }
  const T& last() const { check(mLogicalLen - 1); return mData[mLogicalLen - 1]; }

  // Growing: append returns the index of the new element.
  int append(const T& value) {
    T copy(value);  // value may live inside this array's storage
    ensure(mLogicalLen + 1);
    mData[mLogicalLen] = std::move(copy);
    return mLogicalLen++;
  }
  AcArray& append(const AcArray& array) {
    if (&array == this) {
      AcArray copy(array);
      return append(copy);
    }
    ensure(mLogicalLen + array.mLogicalLen);
    for (int i = 0; i < array.mLogicalLen; ++i) mData[mLogicalLen++] = array.mData[i];
    return *this;
  }
  AcArray& appendList(const AcArray& array) { return append(array); }
  // Inserts before the element at index; index == logicalLength() appends.
  AcArray& insertAt(int index, const T& value) {
    if (index < 0 || index > mLogicalLen) return *this;
    T copy(value);
    ensure(mLogicalLen + 1);
    for (int i = mLogicalLen; i > index; --i) mData[i] = std::move(mData[i - 1]);
    mData[index] = std::move(copy);
    ++mLogicalLen;
    return *this;
  }

  // Shrinking
  AcArray& removeAt(int index) {
    if (index < 0 || index >= mLogicalLen) return *this;
    for (int i = index; i + 1 < mLogicalLen; ++i) mData[i] = std::move(mData[i + 1]);
    --mLogicalLen;
    return *this;
  }
  // Removes the first occurrence at or after start; false when there is none.
  bool remove(const T& value, int start = 0) {
    const int at = findFrom(value, start);
    if (at < 0) return false;
    removeAt(at);
    return true;
  }
  AcArray& removeFirst() { return removeAt(0); }
  AcArray& removeLast() { if (mLogicalLen > 0) --mLogicalLen; return *this; }
  AcArray& removeAll() { mLogicalLen = 0; return *this; }
  // Removes the elements startIndex..endIndex inclusive.
  AcArray& removeSubArray(int startIndex, int endIndex) {
    if (startIndex < 0 || endIndex >= mLogicalLen || startIndex > endIndex) return *this;
    const int count = endIndex - startIndex + 1;
    for (int i = startIndex; i + count < mLogicalLen; ++i) mData[i] = std::move(mData[i + count]);
    mLogicalLen -= count;
    return *this;
  }

  // Searching: indices of the first equal element, -1 when none.
  bool contains(const T& value, int start = 0) const { return findFrom(value, start) >= 0; }
  bool find(const T& value, int& foundAt, int start = 0) const {
    const int at = findFrom(value, start);
    if (at < 0) return false;
    foundAt = at;
    return true;
  }
  int find(const T& value) const { return findFrom(value, 0); }
  int findFrom(const T& value, int start) const {
    for (int i = std::max(start, 0); i < mLogicalLen; ++i)
      if (mData[i] == value) return i;
    return -1;
  }

  // Sizes
  int length() const { return mLogicalLen; }
  int logicalLength() const { return mLogicalLen; }
  bool isEmpty() const { return mLogicalLen == 0; }
  // Grows the allocation when needed; new elements are default values.
  AcArray& setLogicalLength(int n) {
    if (n < 0) n = 0;
    if (n > mPhysicalLen) reallocate(n);
    for (int i = mLogicalLen; i < n; ++i) mData[i] = T();
    mLogicalLen = n;
    return *this;
  }
  int physicalLength() const { return mPhysicalLen; }
  // Reallocates to exactly n elements; the logical length is cut to n when larger.
  AcArray& setPhysicalLength(int n) {
    if (n < 0) n = 0;
    if (n != mPhysicalLen) reallocate(n);
    return *this;
  }
  int growLength() const { return mGrowLen; }
  AcArray& setGrowLength(int n) { if (n > 0) mGrowLen = n; return *this; }

  // Utility
  AcArray& reverse() {
    std::reverse(mData.get(), mData.get() + mLogicalLen);
    return *this;
  }
  AcArray& swap(int i1, int i2) {
    check(i1);
    check(i2);
    std::swap(mData[i1], mData[i2]);
    return *this;
  }
  // The storage itself (nullptr while nothing was ever allocated).
  T* asArrayPtr() { return mData.get(); }
  const T* asArrayPtr() const { return mData.get(); }

  // Range-for support over the logical part.
  T* begin() { return mData.get(); }
  T* end() { return mData.get() + mLogicalLen; }
  const T* begin() const { return mData.get(); }
  const T* end() const { return mData.get() + mLogicalLen; }

private:
  void check(int i) const {
    if (i < 0 || i >= mLogicalLen) contura::ge::detail::arrayIndexFault(i, mLogicalLen);
  }
  void ensure(int needed) {
    if (needed <= mPhysicalLen) return;
    int target = mPhysicalLen + std::max(mGrowLen, mPhysicalLen / 2);
    reallocate(std::max(target, needed));
  }
  void reallocate(int n) {
    std::unique_ptr<T[]> fresh(n > 0 ? new T[n] : nullptr);
    const int keep = std::min(mLogicalLen, n);
    for (int i = 0; i < keep; ++i) fresh[i] = std::move(mData[i]);
    mData = std::move(fresh);
    mPhysicalLen = n;
    mLogicalLen = keep;
  }
  void copyFrom(const AcArray& src) {
    if (src.mLogicalLen > mPhysicalLen) reallocate(src.mPhysicalLen);
    for (int i = 0; i < src.mLogicalLen; ++i) mData[i] = src.mData[i];
    mLogicalLen = src.mLogicalLen;
  }

  std::unique_ptr<T[]> mData;
  int mPhysicalLen = 0;
  int mLogicalLen = 0;
  int mGrowLen = 8;
};
