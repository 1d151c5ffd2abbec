// The host's global-function data types: points, entity names, matrices and result buffers
// (resbuf lists), with the utility functions that build and release resbuf lists.
#pragma once
#include <adesk.h>

typedef double ads_real;
typedef ads_real ads_point[3];
typedef ads_real ads_matrix[4][4];
// An entity or selection-set name: two machine words the host gives out and takes back.
typedef Adesk::LongPtr ads_name[2];
typedef ads_real* ads_pointp;
typedef Adesk::LongPtr* ads_namep;

// Subscripts of an ads_point.
enum { X = 0, Y = 1, Z = 2 };

// A block of binary data (group codes 310-319 and 1004).
struct ads_binary {
  short clen;
  char* buf;
};

union ads_u_val {
  ads_real rreal;
  ads_real rpoint[3];
  short rint;
  ACHAR* rstring;
  Adesk::LongPtr rlname[2];
  Adesk::LongPtr mnLongPtr;
  Adesk::Int32 rlong;
  Adesk::Int64 mnInt64;
  struct ads_binary rbinary;
  unsigned char ihandle[8];
};

// One item of a result-buffer list. restype is either an ads type code (RTSTR, RTREAL, ...)
// or a drawing group code (0-1071, -1..-5).
struct resbuf {
  struct resbuf* rbnext;
  short restype;
  union ads_u_val resval;
};

// Value kinds a restype carries. Both ads type codes and group codes are classified:
// strings (RTSTR, RTDXF0, 0-9, 100-102, 105, 300-309, 320-329, 410-419, 430-439, 470-479,
// 999, 1000-1003, 1005, -4), points (RTPOINT, RT3DPOINT, 10-18, 110-112, 210, 1010-1013),
// reals (RTREAL, RTANG, 38-59, 140-149, 460-469, 1040-1042), 16-bit integers (RTSHORT,
// 60-79, 170-179, 270-289, 290-299 booleans, 370-389, 400-409, 1070), 32-bit integers (RTLONG,
// 90-99, 420-429, 440-459, 1071), 64-bit integers (160-169), entity names (RTENAME, RTPICKS,
// -1, -2, 330-369, 390-399), binary (310-319, 1004), no value (RTLB, RTLE, RTDOTE, RTNIL, RTT,
// RTVOID, RTNONE, -3).
enum class AdsValueKind { kNone, kString, kPoint, kReal, kShort, kLong, kInt64, kName, kBinary };
AdsValueKind acutResbufValueKind(int restype);

// A new resbuf of type restype with a zero value and no successor; null when out of memory.
// Release it with acutRelRb.
struct resbuf* acutNewRb(int restype);
// Releases a whole list (following rbnext) with every string and binary block it owns.
// Strings and binary blocks in a resbuf are owned by it and allocated with malloc.
int acutRelRb(struct resbuf* rb);
// Builds a list from (type, value) pairs ended by 0 (use RTDXF0 for group code 0).
// Values by kind: strings const ACHAR*, points const ads_real* (three values), reals double,
// 16-bit integers int, 32-bit integers Adesk::Int32, 64-bit integers Adesk::Int64, names
// const Adesk::LongPtr* (an ads_name), binary a pointer to a struct ads_binary; kinds without
// a value take none. Returns null (after releasing what was built) for a type it does not
// know or a null string.
struct resbuf* acutBuildList(int rtype, ...);

// Entity-name helpers, as the host's macros do them.
inline void acdbNameSet(const ads_name from, ads_name to) { to[0] = from[0]; to[1] = from[1]; }
inline bool acdbNameEqual(const ads_name a, const ads_name b) { return a[0] == b[0] && a[1] == b[1]; }
inline void acdbNameClear(ads_name name) { name[0] = 0; name[1] = 0; }
inline bool acdbNameNil(const ads_name name) { return name[0] == 0 && name[1] == 0; }
#define ads_name_set(from, to) acdbNameSet((from), (to))
#define ads_name_equal(a, b) acdbNameEqual((a), (b))
#define ads_name_clear(name) acdbNameClear(name)
#define ads_name_nil(name) acdbNameNil(name)
#define ads_point_set(from, to) ((to)[X] = (from)[X], (to)[Y] = (from)[Y], (to)[Z] = (from)[Z])
