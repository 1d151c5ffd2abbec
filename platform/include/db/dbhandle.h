// AcDbHandle: the 64-bit handle that names an object inside its drawing, for ever.
#pragma once
#include <adesk.h>
#include <cstddef>

class AcDbHandle {
public:
  constexpr AcDbHandle() = default;  // the null handle
  constexpr AcDbHandle(Adesk::UInt32 lo, Adesk::UInt32 hi)
      : mValue((Adesk::UInt64(hi) << 32) | lo) {}
  constexpr AcDbHandle(Adesk::UInt64 value) : mValue(value) {}
  // From hexadecimal text (upper or lower case, at most 16 digits); anything else gives the
  // null handle.
  explicit AcDbHandle(const ACHAR* hexString);

  AcDbHandle& operator=(Adesk::UInt64 value) { mValue = value; return *this; }
  operator Adesk::UInt64() const { return mValue; }
  Adesk::UInt64 value() const { return mValue; }

  bool isNull() const { return mValue == 0; }
  void setNull() { mValue = 0; }
  Adesk::UInt32 low() const { return Adesk::UInt32(mValue & 0xFFFFFFFFu); }
  Adesk::UInt32 high() const { return Adesk::UInt32(mValue >> 32); }
  void setLow(Adesk::UInt32 low) { mValue = (mValue & ~Adesk::UInt64(0xFFFFFFFFu)) | low; }
  void setHigh(Adesk::UInt32 high) { mValue = (mValue & 0xFFFFFFFFu) | (Adesk::UInt64(high) << 32); }

  AcDbHandle& operator++() { ++mValue; return *this; }
  AcDbHandle operator++(int) { AcDbHandle old = *this; ++mValue; return old; }
  void increment() { ++mValue; }
  AcDbHandle operator+(const AcDbHandle& other) const { return AcDbHandle(mValue + other.mValue); }
  AcDbHandle& operator+=(const AcDbHandle& other) { mValue += other.mValue; return *this; }

  bool operator==(const AcDbHandle& h) const { return mValue == h.mValue; }
  bool operator!=(const AcDbHandle& h) const { return mValue != h.mValue; }
  bool operator<(const AcDbHandle& h) const { return mValue < h.mValue; }
  bool operator>(const AcDbHandle& h) const { return mValue > h.mValue; }
  bool operator<=(const AcDbHandle& h) const { return mValue <= h.mValue; }
  bool operator>=(const AcDbHandle& h) const { return mValue >= h.mValue; }

  // Upper-case hexadecimal without leading zeros ("0" for null) into pBuf, zero-terminated.
  // False (pBuf untouched) when nBufLen is too small (17 always suffices).
  bool getIntoAsciiBuffer(ACHAR* pBuf, size_t nBufLen = 17) const;

private:
  Adesk::UInt64 mValue = 0;
};
