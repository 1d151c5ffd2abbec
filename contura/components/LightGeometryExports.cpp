// The inline members of the view library's light geometry classes, compiled into the module
// and exported from it (as the module's export table carries them for other modules; the
// module itself calls none of them). Naming each member in a kept table makes the compiler
// emit its out-of-line copy here, with default visibility.
#include "components/ViewComponents.h"

namespace {

struct LightGeometryMembers {
  void (scVector2::*vectorSet1)(double);
  void (scVector2::*vectorSet2)(double, double);
  void (scVector2::*vectorGet)(double&, double&) const;
  void (scVector2::*vectorSetAngle)(double);
  double (scVector2::*vectorSquaredNorm)() const;
  double (scVector2::*vectorIsLeft)(const scVector2&, const scVector2&) const;
  scVector2& (scVector2::*vectorDivide)(double);
  scVector2 (scVector2::*vectorAdd)(const scVector2&) const;
  scVector2 (scVector2::*vectorSubtract)(const scVector2&) const;
  void (CEntity::*entitySetString)(const CString&);
  CString (CEntity::*entityGetString)() const;
  void (CCurve::*curveGetCrossPoints)(const CCurve*, std::vector<scVector2>&) const;
  bool (CCurve::*curveIsOnCurve)(const scVector2&, double) const;
  void (CCurve::*curveSetWide)(double);
  double (CCurve::*curveGetWide)() const;
  void (CCircle::*circleSetCenter)(const scVector2&);
  scVector2 (CCircle::*circleGetCenter)() const;
  void (CCircle::*circleSetRadius)(double);
  double (CCircle::*circleGetRadius)() const;
  void (CText::*textSetBasePoint)(const scVector2&);
  scVector2 (CText::*textGetBasePoint)() const;
  void (CText::*textSetHeight)(double);
  double (CText::*textGetHeight)() const;
  void (CText::*textSetAngle)(double);
  double (CText::*textGetAngle)() const;
  void (CText::*textSetText)(const CString&);
  CString (CText::*textGetText)() const;
  void (CVarCommon::*varSetValue)(const CString&);
  CString (CVarCommon::*varGetValue)() const;
  void (CVarCommon::*varSetCode)(const CString&);
  CString (CVarCommon::*varGetCode)() const;
  void (scCanvas2D::*canvasSetScale)(double);
  double (scCanvas2D::*canvasGetScale)() const;
};

__attribute__((used)) const LightGeometryMembers kLightGeometryMembers = {
    &scVector2::Set, &scVector2::Set, &scVector2::Get, &scVector2::SetAngle, &scVector2::SquaredNorm,
    &scVector2::IsLeft, &scVector2::operator/=, &scVector2::operator+, &scVector2::operator-,
    &CEntity::SetEntityString, &CEntity::GetEntityString, &CCurve::GetCrossPoints, &CCurve::IsOnCurve,
    &CCurve::SetWide, &CCurve::GetWide, &CCircle::SetCenter, &CCircle::GetCenter, &CCircle::SetRadius,
    &CCircle::GetRadius, &CText::SetBasePoint, &CText::GetBasePoint, &CText::SetHeight, &CText::GetHeight,
    &CText::SetAngle, &CText::GetAngle, &CText::SetText, &CText::GetText, &CVarCommon::SetValue,
    &CVarCommon::GetValue, &CVarCommon::SetCode, &CVarCommon::GetCode, &scCanvas2D::SetScale,
    &scCanvas2D::GetScale,
};

// Virtual members are emitted with their class's table of virtual functions, which the
// constructors name: making (and dropping) one object of each class keeps them here.
__attribute__((used)) void keepLightGeometryTables() {
  delete new CEntity();
  delete new CCurve();
  delete new CCircle();
  delete new CText();
  delete new CVarCommon();
}

}  // namespace
