// The view library's light geometry classes: a 2D vector, the entity, curve, circle, text and
// variable records of a view, and the canvas scale. Every member is inline: modules that use
// the library compile (and may export) them themselves.
#pragma once
#include <afx.h>

#include <cmath>
#include <vector>

// A 2D vector or point of doubles.
class scVector2 {
public:
  double x;
  double y;

  // Leaves x and y unset, as a plain pair of doubles.
  scVector2() {}
  // Both components the same value.
  explicit scVector2(double v) : x(v), y(v) {}
  scVector2(double xx, double yy) : x(xx), y(yy) {}

  void Set(double v) { x = v; y = v; }
  void Set(double xx, double yy) { x = xx; y = yy; }
  void Get(double& xx, double& yy) const { xx = x; yy = y; }
  // The unit vector at angle a (radians, counter-clockwise from the x axis).
  void SetAngle(double a) { x = std::cos(a); y = std::sin(a); }
  double SquaredNorm() const { return x * x + y * y; }
  // Positive when this point lies left of the line from a to b, negative right of it, 0 on it.
  double IsLeft(const scVector2& a, const scVector2& b) const {
    return (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y);
  }

  // Index 0 is x; any other index is y.
  double operator[](int i) const { return i == 0 ? x : y; }
  double& operator[](int i) { return i == 0 ? x : y; }

  scVector2 operator+(const scVector2& v) const { return scVector2(x + v.x, y + v.y); }
  scVector2 operator-(const scVector2& v) const { return scVector2(x - v.x, y - v.y); }
  scVector2 operator*(const scVector2& v) const { return scVector2(x * v.x, y * v.y); }
  scVector2 operator/(const scVector2& v) const { return scVector2(x / v.x, y / v.y); }
  scVector2 operator*(double s) const { return scVector2(x * s, y * s); }
  scVector2 operator/(double s) const { return scVector2(x / s, y / s); }
  scVector2 operator-() const { return scVector2(-x, -y); }
  scVector2& operator+=(const scVector2& v) { x += v.x; y += v.y; return *this; }
  scVector2& operator-=(const scVector2& v) { x -= v.x; y -= v.y; return *this; }
  scVector2& operator*=(const scVector2& v) { x *= v.x; y *= v.y; return *this; }
  scVector2& operator*=(double s) { x *= s; y *= s; return *this; }
  // Multiplies by the reciprocal of s.
  scVector2& operator/=(double s) { double r = 1.0 / s; x *= r; y *= r; return *this; }
  bool operator==(const scVector2& v) const { return x == v.x && y == v.y; }
  bool operator!=(const scVector2& v) const { return !(*this == v); }
};

// Anything a view shows: it keeps the text of the record it came from.
class CEntity {
public:
  CEntity() {}
  virtual ~CEntity() {}
  void SetEntityString(const CString& s) { m_strEntity = s; }
  CString GetEntityString() const { return m_strEntity; }
  void SetColor(COLORREF color) { m_color = color; }
  COLORREF GetColor() const { return m_color; }

protected:
  CString m_strEntity;
  COLORREF m_color = 0;
};

// A curve of a view, with a drawing width. Derived curves answer crossing and on-curve
// questions; the base has none.
class CCurve : public CEntity {
public:
  CCurve() : m_dWide(0.0), m_ptStart(0.0, 0.0), m_ptEnd(0.0, 0.0) {}
  // Appends the points where this curve crosses `other`; the base class finds none.
  virtual void GetCrossPoints(const CCurve* other, std::vector<scVector2>& points) const {
    (void)other;
    (void)points;
  }
  // Whether pt lies on the curve within tol; the base class says no.
  virtual bool IsOnCurve(const scVector2& pt, double tol) const {
    (void)pt;
    (void)tol;
    return false;
  }
  void SetWide(double w) { m_dWide = w; }
  double GetWide() const { return m_dWide; }
  void SetStartPoint(const scVector2& p) { m_ptStart = p; }
  scVector2 GetStartPoint() const { return m_ptStart; }
  void SetEndPoint(const scVector2& p) { m_ptEnd = p; }
  scVector2 GetEndPoint() const { return m_ptEnd; }

protected:
  double m_dWide;
  scVector2 m_ptStart;
  scVector2 m_ptEnd;
};

class CCircle : public CCurve {
public:
  CCircle() : m_ptCenter(0.0, 0.0), m_dRadius(0.0) {}
  void SetCenter(const scVector2& c) { m_ptCenter = c; }
  scVector2 GetCenter() const { return m_ptCenter; }
  void SetRadius(double r) { m_dRadius = r; }
  double GetRadius() const { return m_dRadius; }

protected:
  scVector2 m_ptCenter;
  double m_dRadius;
};

// A single-line text: base point (start of the baseline), height, angle (radians), string.
class CText : public CEntity {
public:
  CText() : m_ptBase(0.0, 0.0), m_dHeight(0.0), m_dAngle(0.0) {}
  void SetBasePoint(const scVector2& p) { m_ptBase = p; }
  scVector2 GetBasePoint() const { return m_ptBase; }
  void SetHeight(double h) { m_dHeight = h; }
  double GetHeight() const { return m_dHeight; }
  void SetAngle(double a) { m_dAngle = a; }
  double GetAngle() const { return m_dAngle; }
  void SetText(const CString& s) { m_strText = s; }
  CString GetText() const { return m_strText; }

protected:
  scVector2 m_ptBase;
  double m_dHeight;
  double m_dAngle;
  CString m_strText;
};

// A variable: its name as a text, and the attributes of its value.
class CVarCommon : public CText {
public:
  CVarCommon() : m_ptValue(0.0, 0.0), m_dValueHeight(0.0), m_dValueAngle(0.0), m_nVisible(1) {}
  void SetCode(const CString& s) { m_strCode = s; }
  CString GetCode() const { return m_strCode; }
  void SetVarType(const CString& s) { m_strType = s; }
  CString GetVarType() const { return m_strType; }
  void SetValue(const CString& s) { m_strValue = s; }
  CString GetValue() const { return m_strValue; }
  void SetInitialValue(const CString& s) { m_strInitial = s; }
  CString GetInitialValue() const { return m_strInitial; }
  void SetValuePosition(const scVector2& p) { m_ptValue = p; }
  scVector2 GetValuePosition() const { return m_ptValue; }
  void SetValueHeight(double h) { m_dValueHeight = h; }
  double GetValueHeight() const { return m_dValueHeight; }
  void SetValueAngle(double a) { m_dValueAngle = a; }
  double GetValueAngle() const { return m_dValueAngle; }
  void SetNameVisible(long v) { m_nVisible = v; }
  long GetNameVisible() const { return m_nVisible; }

protected:
  CString m_strCode;
  CString m_strType;
  CString m_strValue;
  CString m_strInitial;
  scVector2 m_ptValue;
  double m_dValueHeight;
  double m_dValueAngle;
  long m_nVisible;
};

// The drawing surface's scale: drawing units to pixels.
class scCanvas2D {
public:
  scCanvas2D() : m_dScale(1.0) {}
  void SetScale(double s) { m_dScale = s; }
  double GetScale() const { return m_dScale; }

protected:
  double m_dScale;
};
