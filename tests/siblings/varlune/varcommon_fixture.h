// A variable entity with every property set to something other than a new entity's default,
// and every property read back as values to compare.
#pragma once
#include <AcDbVarCommon.h>

#include <string>

// Every property of a variable entity, as values to compare.
struct VarProps {
  std::string text, code, initial, setValue, type, condition, remark;
  double valueHeight = 0, valueAngle = 0, height = 0, rotation = 0;
  long sort = 0, valueColor = 0, nameVisible = 0;
  int colorIndex = 0;
  AcGePoint3d position, valuePosition;
  bool operator==(const VarProps&) const = default;
};

inline VarProps propsOf(const AcDbVarCommon* v) {
  VarProps p;
  p.text = v->textStringConst();
  p.code = v->getVarCode().GetString();
  p.initial = v->getVarInitialValue().GetString();
  p.setValue = v->getVarSetValue().GetString();
  p.type = v->getVarType().GetString();
  p.condition = v->getCondiction().GetString();
  p.remark = v->getVarRemark().GetString();
  p.valueHeight = v->getVarValueHeight();
  p.valueAngle = v->getVarAngle();
  p.height = v->height();
  p.rotation = v->rotation();
  p.sort = v->getVarSort();
  p.valueColor = v->getVarValueColor();
  p.nameVisible = v->getVarNameVisible();
  p.colorIndex = v->colorIndex();
  p.position = v->position();
  p.valuePosition = v->getValuePosition();
  return p;
}

// A variable with every property set to something other than a new entity's default.
inline AcDbVarCommon* fullVariable() {
  AcDbVarCommon* v = new AcDbVarCommon();
  v->setTextString("高度H");
  v->setPosition(AcGePoint3d(10, 20, 0));
  v->setHeight(50.0);
  v->setRotation(0.25);
  v->setColorIndex(3);
  v->putVarCode("H1");
  v->putVarInitialValue("300");
  v->putVarSetValue("320");
  v->putVarType("小数");
  v->putCondiction("H>0");
  v->putVarRemark("第一行\n第二行");
  v->putVarValueHeight(2.5);
  v->putVarAngle(1.5707963267948966);
  v->putVarSort(7);
  v->putVarValueColor(5);
  v->putNameVisible(0);
  v->putValuePosition(AcGePoint3d(15, 25, 0));
  return v;
}
