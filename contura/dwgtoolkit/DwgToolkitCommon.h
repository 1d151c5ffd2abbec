// What every family of CDwgDatabase shares: the named tolerances and angle constants, and
// guards that close what a member opened on every path.
#pragma once
#include <afx.h>
#include <dbmain.h>

namespace dwgtoolkit {

// Two points of a point array within this distance (inclusive) are one point.
const double kPointArrayTol = 0.1;
// A point whose closest point on a curve is nearer than this (strictly) lies on the curve.
const double kOnCurveTol = 0.1;
// Pi, 2 pi and pi/2 as single-precision values widened to double: angles computed by the
// toolkit wrap and compare with these, not with the double-precision constants.
const double kPiSingle = static_cast<double>(3.14159265358979f);
const double kTwoPiSingle = static_cast<double>(6.28318530717958f);
const double kHalfPiSingle = static_cast<double>(1.57079632679490f);

// Exact names and texts: case-sensitive multi-byte comparison (unlike the symbol tables'
// own lookup, which ignores letter case: "wall" does not name the layer "WALL" here).
inline bool isSameName(const char* name, const char* other) {
  return name != NULL && other != NULL &&
         _mbscmp(reinterpret_cast<const unsigned char*>(name), reinterpret_cast<const unsigned char*>(other)) == 0;
}
// A name begins with a prefix when the first occurrence of the prefix (multi-byte search)
// is at its start; the empty prefix begins every name.
inline bool hasPrefix(const char* name, const char* prefix) {
  if (name == NULL || prefix == NULL) return false;
  if (prefix[0] == '\0') return true;
  const unsigned char* pName = reinterpret_cast<const unsigned char*>(name);
  return _mbsstr(pName, reinterpret_cast<const unsigned char*>(prefix)) == pName;
}

// Closes an object opened by a member when the guard goes out of scope (null: nothing).
template <class T>
class OpenedObject {
public:
  OpenedObject() {}
  explicit OpenedObject(T* p) : m_p(p) {}
  ~OpenedObject() { close(); }
  OpenedObject(const OpenedObject&) = delete;
  OpenedObject& operator=(const OpenedObject&) = delete;

  T*& ref() { return m_p; }  // as the out-argument of an open
  T* get() const { return m_p; }
  T* operator->() const { return m_p; }
  void close() {
    if (m_p != NULL) m_p->close();
    m_p = NULL;
  }
  // Hands the open object to the caller, who closes it.
  T* release() {
    T* p = m_p;
    m_p = NULL;
    return p;
  }

private:
  T* m_p = NULL;
};

// Opens an entity of the expected class (null: any entity) into guard.
template <class T>
Acad::ErrorStatus openEntity(OpenedObject<T>& guard, AcDbObjectId id, AcDb::OpenMode mode) {
  AcDbEntity* pEnt = NULL;
  Acad::ErrorStatus es = acdbOpenAcDbEntity(pEnt, id, mode, false, T::desc());
  guard.ref() = static_cast<T*>(pEnt);
  return es;
}

// Deletes a non-resident object when the guard goes out of scope, unless released.
template <class T>
class OwnedObject {
public:
  explicit OwnedObject(T* p = NULL) : m_p(p) {}
  ~OwnedObject() { delete m_p; }
  OwnedObject(const OwnedObject&) = delete;
  OwnedObject& operator=(const OwnedObject&) = delete;
  T*& ref() { return m_p; }
  T* get() const { return m_p; }
  T* release() {
    T* p = m_p;
    m_p = NULL;
    return p;
  }

private:
  T* m_p;
};

}  // namespace dwgtoolkit

namespace dwgtoolkit {

// Parallel curves nearer than this (strictly) are treated as meeting; their ends nearer than
// this are one point.
const double kParallelMeetTol = 1.0;
// Two arcs whose centres are nearer than this (strictly) are concentric.
const double kConcentricTol = 3.0;
// The vector tolerance of the parallel tests that take none.
const double kDefaultParallelTol = 0.1;
// A polyline segment whose bulge is below this in absolute value counts as a line.
const double kStraightBulgeTol = 0.0001;

}  // namespace dwgtoolkit
