// AcDbVarCommon: the variable entity. A single-line text (its string is the variable's name;
// position, height, rotation, colour and layer are the text's) that carries the variable's
// code, type, initial and set values, condition, remark, sort number, whether the name is
// shown, and where, how high, at what angle and in which colour index its value is shown.
//
// The class registers itself with the runtime (DXF name VARCOMMON, application Varlune)
// when the library is loaded and removes itself when it is unloaded. Its properties are
// filed after the text's data under the subclass marker "AcDbVarCommon"; cloning and
// drawing files use that filing.
//
// Setters follow the database's rule: on a database-resident entity that is not open for
// write they change nothing and return eNotOpenForWrite. Getters return what was set.
// Defaults of a new entity: empty texts, sort 0, name visible 1, value colour index 7
// (white), value height 0, value angle 0, value position at the origin.
#pragma once
#include <afx.h>
#include <dbents.h>
#include <dbmain.h>
#include <gepnt3d.h>

#include <string>

class AcDbVarCommon : public AcDbText {
public:
  ACRX_DECLARE_MEMBERS(AcDbVarCommon);
  AcDbVarCommon();
  ~AcDbVarCommon() override;

  // Type text: "整数", "小数" or a typed text.
  CString getVarType() const;
  Acad::ErrorStatus putVarType(const CString& type);
  // Colour index of the displayed value.
  long getVarValueColor() const;
  Acad::ErrorStatus putVarValueColor(long colorIndex);
  // Rotation of the displayed value, radians.
  double getVarAngle() const;
  Acad::ErrorStatus putVarAngle(double angle);
  // Insertion point of the displayed value.
  AcGePoint3d getValuePosition() const;
  Acad::ErrorStatus putValuePosition(const AcGePoint3d& position);
  // Text height of the displayed value.
  double getVarValueHeight() const;
  Acad::ErrorStatus putVarValueHeight(double height);
  // The variable's current value.
  CString getVarSetValue() const;
  Acad::ErrorStatus putVarSetValue(const CString& value);
  // The variable's initial value.
  CString getVarInitialValue() const;
  Acad::ErrorStatus putVarInitialValue(const CString& value);
  // Condition description; may hold several lines separated by line feeds.
  CString getVarRemark() const;
  Acad::ErrorStatus putVarRemark(const CString& remark);
  // Check condition.
  CString getCondiction() const;
  Acad::ErrorStatus putCondiction(const CString& condition);
  // Sort number.
  long getVarSort() const;
  Acad::ErrorStatus putVarSort(long sort);
  // Whether the name is shown (0 or non-zero).
  long getVarNameVisible() const;
  Acad::ErrorStatus putNameVisible(long visible);
  // Variable code.
  CString getVarCode() const;
  Acad::ErrorStatus putVarCode(const CString& code);

  // The text's data is filed by the database; these file the variable's own properties.
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

  // Moves the value with the text: its position is transformed, its angle turned and its
  // height scaled as the text's are.
  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  // The name as the text draws it when the name is shown, then the value (the set value, else
  // the initial one) at its position, height and angle in its colour index.
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

private:
  struct Fields {
    std::string type;
    std::string setValue;
    std::string initialValue;
    std::string remark;
    std::string condition;
    std::string code;
    AcGePoint3d valuePosition;
    double valueHeight = 0.0;
    double valueAngle = 0.0;
    long valueColor = 7;
    long sort = 0;
    long nameVisible = 1;
  };
  Fields mData;
};
