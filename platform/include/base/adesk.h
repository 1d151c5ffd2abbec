// Fixed-width integer and boolean types of the host API.
#pragma once
#include <cstddef>
#include <cstdint>

struct Adesk {
  typedef int8_t Int8;
  typedef int16_t Int16;
  typedef int32_t Int32;
  typedef int64_t Int64;
  typedef uint8_t UInt8;
  typedef uint16_t UInt16;
  typedef uint32_t UInt32;
  typedef uint64_t UInt64;
  typedef intptr_t IntPtr;
  typedef uintptr_t UIntPtr;
  typedef long LongPtr;
  typedef bool Boolean;
  typedef bool Bool;
  static constexpr bool kFalse = false;
  static constexpr bool kTrue = true;
};

// The module is a multi-byte build: host text is char holding code page 936 bytes.
typedef char ACHAR;
#ifndef ACRX_T
#define ACRX_T(x) x
#endif
#ifndef ACUTIL_T
#define ACUTIL_T(x) x
#endif
