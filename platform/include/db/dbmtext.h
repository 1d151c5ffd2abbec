// AcDbMText: paragraph text with formatting codes, placed by an attachment point.
//
// Layout, for extents, actual size and explode (fonts are not read): the contents are split
// into lines at paragraph breaks (\P), line feeds and \X, with formatting codes removed (see
// plainLines); lines are not wrapped at the box width. Character advance as for AcDbText
// (2/3 of the height for a single-byte character, the height for a double-byte one, times
// the width factor 1). Baselines are lineSpacingFactor x 5/3 x text height apart; the first
// baseline is one text height below the top of the text.
#pragma once
#include <dbmain.h>
#include <gevec3d.h>

#include <string>
#include <vector>

class AcDbMText : public AcDbEntity {
public:
  ACRX_DECLARE_MEMBERS(AcDbMText);
  AcDbMText();
  ~AcDbMText() override;

  enum AttachmentPoint { kTopLeft = 1, kTopCenter = 2, kTopRight = 3, kMiddleLeft = 4,
                         kMiddleCenter = 5, kMiddleRight = 6, kBottomLeft = 7,
                         kBottomCenter = 8, kBottomRight = 9 };
  enum FlowDirection { kLtoR = 1, kRtoL = 2, kTtoB = 3, kBtoT = 4, kByStyle = 5 };
  enum LineSpacingStyle { kAtLeast = 1, kExactly = 2 };

  AcGePoint3d location() const { return mLocation; }
  Acad::ErrorStatus setLocation(const AcGePoint3d& point);
  AcGeVector3d normal() const { return mNormal; }
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
  // The text's X direction (world), derived from the rotation in the plane of the normal.
  AcGeVector3d direction() const;
  Acad::ErrorStatus setDirection(const AcGeVector3d& direction);  // eInvalidInput for zero
  double rotation() const { return mRotation; }
  Acad::ErrorStatus setRotation(double angle);
  double width() const { return mWidth; }  // the box width (0: none)
  Acad::ErrorStatus setWidth(double width);
  double height() const { return mBoxHeight; }  // the box height (0: none)
  Acad::ErrorStatus setHeight(double height);
  double textHeight() const { return mTextHeight; }
  Acad::ErrorStatus setTextHeight(double height);  // eInvalidInput for zero or negative
  AttachmentPoint attachment() const { return AttachmentPoint(mAttachment); }
  Acad::ErrorStatus setAttachment(AttachmentPoint attachment);  // eInvalidInput outside 1..9
  FlowDirection flowDirection() const { return FlowDirection(mFlow); }
  Acad::ErrorStatus setFlowDirection(FlowDirection flow);
  LineSpacingStyle lineSpacingStyle() const { return LineSpacingStyle(mSpacingStyle); }
  Acad::ErrorStatus setLineSpacingStyle(LineSpacingStyle style);
  double lineSpacingFactor() const { return mSpacingFactor; }
  Acad::ErrorStatus setLineSpacingFactor(double factor);  // 0.25..4, eInvalidInput outside
  AcDbObjectId textStyle() const;
  Acad::ErrorStatus setTextStyle(AcDbObjectId styleId);

  ACHAR* contents() const;  // copy, formatting codes included
  const ACHAR* contentsConst() const { return mContents.c_str(); }
  Acad::ErrorStatus setContents(const ACHAR* text);  // null gives ""
  // The lines of the contents as shown: split at \P, line feeds and \X; codes removed:
  // \\ \{ \} give the character, \~ a space, {} grouping vanishes, \L \l \O \o \K \k toggle
  // nothing, \f \F \H \W \Q \T \A \C \c \p codes end at ';', \S...; stacks become "a/b",
  // other escapes keep the character after the backslash. Double-byte characters are never
  // taken apart (a trail byte equal to '\' is text).
  std::vector<std::string> plainLines() const;
  static std::vector<std::string> plainLinesOf(const std::string& contents);

  double actualHeight() const;  // (lines - 1) x spacing + text height
  double actualWidth() const;   // widest line
  // One AcDbText per line (left-aligned at its baseline start) with the paragraph text's
  // properties, style, height and rotation; empty lines give nothing.
  Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const override;
  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbMText(const AcDbMText&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;
  void translateIds(const contura::db::IdTranslator& translator) override;

private:
  double lineSpacing() const;
  // OCS offsets (from the location, before rotation) of the top-left corner of the text.
  void topLeftOffset(double width, double height, double& dx, double& dy) const;
  std::string mContents;
  AcGePoint3d mLocation;
  AcGeVector3d mNormal{0.0, 0.0, 1.0};
  AcDbStub* mpStyle = nullptr;
  double mRotation = 0.0;
  double mWidth = 0.0;
  double mBoxHeight = 0.0;
  double mTextHeight = 1.0;
  double mSpacingFactor = 1.0;
  Adesk::UInt8 mAttachment = kTopLeft;
  Adesk::UInt8 mFlow = kLtoR;
  Adesk::UInt8 mSpacingStyle = kAtLeast;
};
