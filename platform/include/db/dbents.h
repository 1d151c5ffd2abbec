// Entities: lines, arcs, circles, points, rays, construction lines, 2D solids, texts and
// attributes, block references, old-style 2D polylines and their vertices.
//
// Coordinates are world coordinates unless a member says OCS (the object coordinate system
// of the entity's normal, axes by the arbitrary-axis rule). Angles are radians,
// counter-clockwise about the normal. Setters of angles keep them in [0, 2pi).
#pragma once
#include <dbcurve.h>
#include <gescl3d.h>

#include <string>

namespace contura::db {
class PartList;
}

// ---------------------------------------------------------------------------------------
class AcDbLine : public AcDbCurve {
public:
  ACRX_DECLARE_MEMBERS(AcDbLine);
  AcDbLine();
  AcDbLine(const AcGePoint3d& start, const AcGePoint3d& end);
  ~AcDbLine() override;

  AcGePoint3d startPoint() const { return mStart; }
  Acad::ErrorStatus setStartPoint(const AcGePoint3d& pt);
  AcGePoint3d endPoint() const { return mEnd; }
  Acad::ErrorStatus setEndPoint(const AcGePoint3d& pt);
  double thickness() const { return mThickness; }
  Acad::ErrorStatus setThickness(double thickness);
  AcGeVector3d normal() const { return mNormal; }
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);  // eInvalidInput for zero length

  bool isClosed() const override { return false; }
  bool isPlanar() const override { return true; }
  Acad::ErrorStatus getStartParam(double& startParam) const override;
  Acad::ErrorStatus getEndParam(double& endParam) const override;
  Acad::ErrorStatus getStartPoint(AcGePoint3d& startPoint) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& endPoint) const override;
  Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const override;
  Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
  Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
  Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
  Acad::ErrorStatus getFirstDeriv(double param, AcGeVector3d& firstDeriv) const override;
  Acad::ErrorStatus getSecondDeriv(double param, AcGeVector3d& secDeriv) const override;
  using AcDbCurve::getFirstDeriv;
  using AcDbCurve::getSecondDeriv;
  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbLine(const AcDbLine&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  AcGePoint3d mStart;
  AcGePoint3d mEnd;
  AcGeVector3d mNormal{0.0, 0.0, 1.0};
  double mThickness = 0.0;
};

// ---------------------------------------------------------------------------------------
// Circles and arcs: centre in world coordinates; the arc runs counter-clockwise about the
// normal from the start angle to the end angle (angles in the OCS).
class AcDbCircle : public AcDbCurve {
public:
  ACRX_DECLARE_MEMBERS(AcDbCircle);
  AcDbCircle();
  AcDbCircle(const AcGePoint3d& center, const AcGeVector3d& normal, double radius);
  ~AcDbCircle() override;

  AcGePoint3d center() const { return mCenter; }
  Acad::ErrorStatus setCenter(const AcGePoint3d& center);
  double radius() const { return mRadius; }
  Acad::ErrorStatus setRadius(double radius);  // eInvalidInput for negative
  AcGeVector3d normal() const { return mNormal; }
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
  double thickness() const { return mThickness; }
  Acad::ErrorStatus setThickness(double thickness);
  double circumference() const;
  double diameter() const { return 2.0 * mRadius; }

  bool isClosed() const override { return true; }
  bool isPeriodic() const override { return true; }
  bool isPlanar() const override { return true; }
  Acad::ErrorStatus getPlane(AcGePlane& plane) const override;
  Acad::ErrorStatus getStartParam(double& startParam) const override;
  Acad::ErrorStatus getEndParam(double& endParam) const override;
  Acad::ErrorStatus getStartPoint(AcGePoint3d& startPoint) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& endPoint) const override;
  Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const override;
  Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
  Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
  Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
  Acad::ErrorStatus getFirstDeriv(double param, AcGeVector3d& firstDeriv) const override;
  Acad::ErrorStatus getSecondDeriv(double param, AcGeVector3d& secDeriv) const override;
  using AcDbCurve::getFirstDeriv;
  using AcDbCurve::getSecondDeriv;
  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getTransformedCopy(const AcGeMatrix3d& xform, AcDbEntity*& pEnt) const override;
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbCircle(const AcDbCircle&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  AcGePoint3d mCenter;
  AcGeVector3d mNormal{0.0, 0.0, 1.0};
  double mRadius = 0.0;
  double mThickness = 0.0;
};

class AcDbArc : public AcDbCurve {
public:
  ACRX_DECLARE_MEMBERS(AcDbArc);
  AcDbArc();
  AcDbArc(const AcGePoint3d& center, double radius, double startAngle, double endAngle);
  AcDbArc(const AcGePoint3d& center, const AcGeVector3d& normal, double radius, double startAngle,
          double endAngle);
  ~AcDbArc() override;

  AcGePoint3d center() const { return mCenter; }
  Acad::ErrorStatus setCenter(const AcGePoint3d& center);
  double radius() const { return mRadius; }
  Acad::ErrorStatus setRadius(double radius);
  double startAngle() const { return mStartAngle; }
  Acad::ErrorStatus setStartAngle(double angle);
  double endAngle() const { return mEndAngle; }
  Acad::ErrorStatus setEndAngle(double angle);
  // The included angle in (0, 2pi]; equal start and end angles make a full turn.
  double totalAngle() const;
  double length() const { return mRadius * totalAngle(); }
  AcGeVector3d normal() const { return mNormal; }
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
  double thickness() const { return mThickness; }
  Acad::ErrorStatus setThickness(double thickness);

  bool isClosed() const override { return false; }
  bool isPlanar() const override { return true; }
  Acad::ErrorStatus getPlane(AcGePlane& plane) const override;
  // Parameters are the angles: the start angle, and the end angle made larger than it.
  Acad::ErrorStatus getStartParam(double& startParam) const override;
  Acad::ErrorStatus getEndParam(double& endParam) const override;
  Acad::ErrorStatus getStartPoint(AcGePoint3d& startPoint) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& endPoint) const override;
  Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const override;
  Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
  Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
  Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
  Acad::ErrorStatus getFirstDeriv(double param, AcGeVector3d& firstDeriv) const override;
  Acad::ErrorStatus getSecondDeriv(double param, AcGeVector3d& secDeriv) const override;
  using AcDbCurve::getFirstDeriv;
  using AcDbCurve::getSecondDeriv;
  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getTransformedCopy(const AcGeMatrix3d& xform, AcDbEntity*& pEnt) const override;
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbArc(const AcDbArc&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  AcGePoint3d mCenter;
  AcGeVector3d mNormal{0.0, 0.0, 1.0};
  double mRadius = 0.0;
  double mStartAngle = 0.0;
  double mEndAngle = 0.0;
  double mThickness = 0.0;
};

// ---------------------------------------------------------------------------------------
class AcDbPoint : public AcDbEntity {
public:
  ACRX_DECLARE_MEMBERS(AcDbPoint);
  AcDbPoint();
  explicit AcDbPoint(const AcGePoint3d& position);
  ~AcDbPoint() override;

  AcGePoint3d position() const { return mPosition; }
  Acad::ErrorStatus setPosition(const AcGePoint3d& pt);
  double thickness() const { return mThickness; }
  Acad::ErrorStatus setThickness(double thickness);
  AcGeVector3d normal() const { return mNormal; }
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
  double ecsRotation() const { return mEcsRotation; }
  Acad::ErrorStatus setEcsRotation(double rotation);

  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbPoint(const AcDbPoint&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  AcGePoint3d mPosition;
  AcGeVector3d mNormal{0.0, 0.0, 1.0};
  double mThickness = 0.0;
  double mEcsRotation = 0.0;
};

// ---------------------------------------------------------------------------------------
// A ray starts at its base point and runs along its unit direction; a construction line
// (AcDbXline) runs both ways. Parameters are distances from the base point.
class AcDbRay : public AcDbCurve {
public:
  ACRX_DECLARE_MEMBERS(AcDbRay);
  AcDbRay();
  ~AcDbRay() override;

  AcGePoint3d basePoint() const { return mBase; }
  void setBasePoint(const AcGePoint3d& pt);
  AcGeVector3d unitDir() const { return mDir; }
  void setUnitDir(const AcGeVector3d& vec);  // normalised; a zero vector is refused
  AcGePoint3d secondPoint() const { return mBase + mDir; }
  void setSecondPoint(const AcGePoint3d& pt);

  bool isClosed() const override { return false; }
  Acad::ErrorStatus getStartParam(double& startParam) const override;
  Acad::ErrorStatus getEndParam(double& endParam) const override;  // eNotApplicable (infinite)
  Acad::ErrorStatus getStartPoint(AcGePoint3d& startPoint) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& endPoint) const override;  // eNotApplicable
  Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const override;
  Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
  Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
  Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
  Acad::ErrorStatus getFirstDeriv(double param, AcGeVector3d& firstDeriv) const override;
  using AcDbCurve::getFirstDeriv;
  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;  // eInvalidExtents
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbRay(const AcDbRay&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;
  virtual bool bothWays() const { return false; }

private:
  AcGePoint3d mBase;
  AcGeVector3d mDir{1.0, 0.0, 0.0};
};

class AcDbXline : public AcDbRay {
public:
  ACRX_DECLARE_MEMBERS(AcDbXline);
  AcDbXline();
  ~AcDbXline() override;
  Acad::ErrorStatus getStartParam(double& startParam) const override;  // eNotApplicable
  Acad::ErrorStatus getStartPoint(AcGePoint3d& startPoint) const override;  // eNotApplicable

protected:
  AcDbXline(const AcDbXline&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;
  bool bothWays() const override { return true; }
};

// ---------------------------------------------------------------------------------------
// A filled 2D solid of three or four corners (in drawing-file order: the fourth corner
// follows the third across the shape). Corners are in the OCS of the normal.
class AcDbSolid : public AcDbEntity {
public:
  ACRX_DECLARE_MEMBERS(AcDbSolid);
  AcDbSolid();
  AcDbSolid(const AcGePoint3d& pt0, const AcGePoint3d& pt1, const AcGePoint3d& pt2,
            const AcGePoint3d& pt3);
  AcDbSolid(const AcGePoint3d& pt0, const AcGePoint3d& pt1, const AcGePoint3d& pt2);  // pt3 = pt2
  ~AcDbSolid() override;

  Acad::ErrorStatus getPointAt(Adesk::UInt16 idx, AcGePoint3d& pntRes) const;  // eInvalidIndex
  Acad::ErrorStatus setPointAt(Adesk::UInt16 idx, const AcGePoint3d& pntArg);
  double thickness() const { return mThickness; }
  Acad::ErrorStatus setThickness(double thickness);
  AcGeVector3d normal() const { return mNormal; }
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);

  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbSolid(const AcDbSolid&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  AcGePoint3d mPoints[4];
  AcGeVector3d mNormal{0.0, 0.0, 1.0};
  double mThickness = 0.0;
};

// ---------------------------------------------------------------------------------------
// Single-line text. position() is the start of the baseline; with any justification other
// than left/baseline the alignment point is what places the text, and adjustAlignment
// recomputes the position from it (the database never moves a position on its own: its
// text widths are estimates, see below).
//
// Text width (for extents and justification) is estimated, since fonts are not read: a
// single-byte character advances 2/3 of the height, a double-byte character the full height,
// both times the width factor; the box runs from the baseline to the height.
class AcDbText : public AcDbEntity {
public:
  ACRX_DECLARE_MEMBERS(AcDbText);
  AcDbText();
  AcDbText(const AcGePoint3d& position, const ACHAR* text, AcDbObjectId style = AcDbObjectId::kNull,
           double height = 0.0, double rotation = 0.0);
  ~AcDbText() override;

  AcGePoint3d position() const { return mPosition; }
  Acad::ErrorStatus setPosition(const AcGePoint3d& pos);
  AcGePoint3d alignmentPoint() const { return mAlignment; }
  Acad::ErrorStatus setAlignmentPoint(const AcGePoint3d& pos);
  bool isDefaultAlignment() const;
  AcGeVector3d normal() const { return mNormal; }
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
  double thickness() const { return mThickness; }
  Acad::ErrorStatus setThickness(double thickness);
  double oblique() const { return mOblique; }
  Acad::ErrorStatus setOblique(double angle);
  double rotation() const { return mRotation; }
  Acad::ErrorStatus setRotation(double angle);
  double height() const { return mHeight; }
  Acad::ErrorStatus setHeight(double height);  // eInvalidInput for negative
  double widthFactor() const { return mWidthFactor; }
  Acad::ErrorStatus setWidthFactor(double factor);  // eInvalidInput for zero or negative
  bool isMirroredInX() const { return (mGenFlags & 2) != 0; }
  Acad::ErrorStatus mirrorInX(bool mirror);
  bool isMirroredInY() const { return (mGenFlags & 4) != 0; }
  Acad::ErrorStatus mirrorInY(bool mirror);
  ACHAR* textString() const;                // copy
  const ACHAR* textStringConst() const { return mText.c_str(); }
  Acad::ErrorStatus setTextString(const ACHAR* text);  // null gives ""
  AcDbObjectId textStyle() const;
  Acad::ErrorStatus setTextStyle(AcDbObjectId styleId);
  AcDb::TextHorzMode horizontalMode() const { return AcDb::TextHorzMode(mHorzMode); }
  Acad::ErrorStatus setHorizontalMode(AcDb::TextHorzMode mode);
  AcDb::TextVertMode verticalMode() const { return AcDb::TextVertMode(mVertMode); }
  Acad::ErrorStatus setVerticalMode(AcDb::TextVertMode mode);
  Acad::ErrorStatus adjustAlignment(const AcDbDatabase* pDb = nullptr);

  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbText(const AcDbText&) = default;
  AcDbText& operator=(const AcDbText&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;
  void translateIds(const contura::db::IdTranslator& translator) override;
  Acad::ErrorStatus subClose() override;

private:
  std::string mText;
  AcGePoint3d mPosition;
  AcGePoint3d mAlignment;
  AcGeVector3d mNormal{0.0, 0.0, 1.0};
  AcDbStub* mpStyle = nullptr;
  double mHeight = 0.0;
  double mRotation = 0.0;
  double mWidthFactor = 1.0;
  double mOblique = 0.0;
  double mThickness = 0.0;
  Adesk::UInt8 mHorzMode = AcDb::kTextLeft;
  Adesk::UInt8 mVertMode = AcDb::kTextBase;
  Adesk::UInt8 mGenFlags = 0;  // 2 mirrored in X, 4 mirrored in Y
};

// ---------------------------------------------------------------------------------------
class AcDbAttributeDefinition : public AcDbText {
public:
  ACRX_DECLARE_MEMBERS(AcDbAttributeDefinition);
  AcDbAttributeDefinition();
  AcDbAttributeDefinition(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                          const ACHAR* prompt, AcDbObjectId style = AcDbObjectId::kNull);
  ~AcDbAttributeDefinition() override;

  ACHAR* prompt() const;  // copy
  const ACHAR* promptConst() const { return mPrompt.c_str(); }
  Acad::ErrorStatus setPrompt(const ACHAR* prompt);
  ACHAR* tag() const;  // copy
  const ACHAR* tagConst() const { return mTag.c_str(); }
  Acad::ErrorStatus setTag(const ACHAR* tag);
  bool isInvisible() const { return (mFlags & 1) != 0; }
  Acad::ErrorStatus setInvisible(bool value);
  bool isConstant() const { return (mFlags & 2) != 0; }
  Acad::ErrorStatus setConstant(bool value);
  bool isVerifiable() const { return (mFlags & 4) != 0; }
  Acad::ErrorStatus setVerifiable(bool value);
  bool isPreset() const { return (mFlags & 8) != 0; }
  Acad::ErrorStatus setPreset(bool value);
  Adesk::UInt16 fieldLength() const { return mFieldLength; }
  Acad::ErrorStatus setFieldLength(Adesk::UInt16 length);
  // Invisible ones draw nothing.
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbAttributeDefinition(const AcDbAttributeDefinition&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  std::string mTag;
  std::string mPrompt;
  Adesk::UInt16 mFieldLength = 0;
  Adesk::UInt8 mFlags = 0;  // drawing-file bits: 1 invisible, 2 constant, 4 verify, 8 preset
};

class AcDbAttribute : public AcDbText {
public:
  ACRX_DECLARE_MEMBERS(AcDbAttribute);
  AcDbAttribute();
  AcDbAttribute(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                AcDbObjectId style = AcDbObjectId::kNull);
  ~AcDbAttribute() override;

  ACHAR* tag() const;  // copy
  const ACHAR* tagConst() const { return mTag.c_str(); }
  Acad::ErrorStatus setTag(const ACHAR* tag);
  bool isInvisible() const { return (mFlags & 1) != 0; }
  Acad::ErrorStatus setInvisible(bool value);
  bool isConstant() const { return (mFlags & 2) != 0; }
  bool isVerifiable() const { return (mFlags & 4) != 0; }
  bool isPreset() const { return (mFlags & 8) != 0; }
  Adesk::UInt16 fieldLength() const { return mFieldLength; }
  Acad::ErrorStatus setFieldLength(Adesk::UInt16 length);
  // Takes the definition's text properties, tag, flags and default text, placed by
  // blkXform (a block reference's blockTransform).
  Acad::ErrorStatus setAttributeFromBlock(const AcDbAttributeDefinition* pAttdef,
                                          const AcGeMatrix3d& blkXform);
  Acad::ErrorStatus setAttributeFromBlock(const AcGeMatrix3d& blkXform);
  // Invisible ones draw nothing.
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbAttribute(const AcDbAttribute&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  friend struct contura::db::ObjectAccess;
  std::string mTag;
  Adesk::UInt16 mFieldLength = 0;
  Adesk::UInt8 mFlags = 0;  // as the definition's
};

// ---------------------------------------------------------------------------------------
// A block reference places its block's entities by blockTransform: from the block's
// coordinates (less the block's origin) to the world, through scaling, rotation about the
// normal, the OCS of the normal and the move to the position.
//
// Attributes belong to the reference: appended to a new reference they are held by it until
// it is appended to a block (then they enter the database and are closed); appended to a
// reference in a database they enter the database at once and stay open for write.
class AcDbBlockReference : public AcDbEntity {
public:
  ACRX_DECLARE_MEMBERS(AcDbBlockReference);
  AcDbBlockReference();
  AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId blockTableRec);
  ~AcDbBlockReference() override;

  AcDbObjectId blockTableRecord() const;
  virtual Acad::ErrorStatus setBlockTableRecord(AcDbObjectId blockId);
  AcGePoint3d position() const { return mPosition; }
  virtual Acad::ErrorStatus setPosition(const AcGePoint3d& pos);
  AcGeScale3d scaleFactors() const { return mScale; }
  virtual Acad::ErrorStatus setScaleFactors(const AcGeScale3d& scale);  // eInvalidInput for a zero factor
  double rotation() const { return mRotation; }
  virtual Acad::ErrorStatus setRotation(double newVal);
  AcGeVector3d normal() const { return mNormal; }
  virtual Acad::ErrorStatus setNormal(const AcGeVector3d& newVal);
  AcGeMatrix3d blockTransform() const;
  // Sets position, normal, rotation and scale factors from a transform without shear;
  // eCannotScaleNonUniformly otherwise.
  virtual Acad::ErrorStatus setBlockTransform(const AcGeMatrix3d& xform);

  // eAlreadyInDb for an attribute that has an owner; eNotOpenForWrite.
  Acad::ErrorStatus appendAttribute(AcDbAttribute* pAttr);
  Acad::ErrorStatus appendAttribute(AcDbObjectId& attrId, AcDbAttribute* pAttr);
  Acad::ErrorStatus openAttribute(AcDbAttribute*& pAttr, AcDbObjectId attrId, AcDb::OpenMode mode,
                                  bool openErasedOne = false);
  AcDbObjectIterator* attributeIterator() const;  // the caller deletes it

  // Copies of the block's entities (attribute definitions included, nested references as
  // references) transformed by blockTransform; the reference's attributes are not included.
  Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const override;
  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbBlockReference(const AcDbBlockReference& other);
  const AcRxClass* copyTypedData(const AcDbObject& src) override;
  void translateIds(const contura::db::IdTranslator& translator) override;
  void addedToDatabase() override;
  void collectParts(AcDbObjectIdArray& parts) const override;
  void collectSubentities(AcArray<AcDbEntity*>& parts) const override;
  Acad::ErrorStatus subErase(bool erasing) override;
  // The block's entities transformed by xform (one copy of the block).
  Acad::ErrorStatus explodeWith(const AcGeMatrix3d& xform, AcDbVoidPtrArray& entitySet) const;
  // Draws the block's entities placed by xform (one copy of the block), then nothing else.
  void drawBlockAt(AcGiWorldDraw* mode, const AcGeMatrix3d& xform) const;
  // Draws the reference's attributes (in their own, world, placement).
  void drawAttributes(AcGiWorldDraw* mode) const;

private:
  friend struct contura::db::ObjectAccess;
  void copyReferenceData(const AcDbBlockReference& other);
  AcGePoint3d mPosition;
  AcGeScale3d mScale;
  AcGeVector3d mNormal{0.0, 0.0, 1.0};
  AcDbStub* mpBlock = nullptr;
  double mRotation = 0.0;
  std::unique_ptr<contura::db::PartList> mpAttributes;
};

// A block reference repeated in a grid of rows and columns (spacing along the reference's
// rotated X and Y axes).
class AcDbMInsertBlock : public AcDbBlockReference {
public:
  ACRX_DECLARE_MEMBERS(AcDbMInsertBlock);
  AcDbMInsertBlock();
  AcDbMInsertBlock(const AcGePoint3d& position, AcDbObjectId blockTableRec, Adesk::UInt16 columns,
                   Adesk::UInt16 rows, double colSpacing, double rowSpacing);
  ~AcDbMInsertBlock() override;

  Adesk::UInt16 columns() const { return mColumns; }
  Acad::ErrorStatus setColumns(Adesk::UInt16 columns);  // eInvalidInput for 0
  Adesk::UInt16 rows() const { return mRows; }
  Acad::ErrorStatus setRows(Adesk::UInt16 rows);
  double columnSpacing() const { return mColumnSpacing; }
  Acad::ErrorStatus setColumnSpacing(double spacing);
  double rowSpacing() const { return mRowSpacing; }
  Acad::ErrorStatus setRowSpacing(double spacing);

  Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const override;
  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbMInsertBlock(const AcDbMInsertBlock&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  AcGeMatrix3d cellTransform(int row, int column) const;
  double mColumnSpacing = 0.0;
  double mRowSpacing = 0.0;
  Adesk::UInt16 mColumns = 1;
  Adesk::UInt16 mRows = 1;
};

// ---------------------------------------------------------------------------------------
class AcDbVertex : public AcDbEntity {
public:
  ACRX_DECLARE_MEMBERS(AcDbVertex);
  ~AcDbVertex() override;

protected:
  AcDbVertex();
  AcDbVertex(const AcDbVertex&) = default;
};

// A vertex of an old-style 2D polyline; its position is in the polyline's OCS.
class AcDb2dVertex : public AcDbVertex {
public:
  ACRX_DECLARE_MEMBERS(AcDb2dVertex);
  AcDb2dVertex();
  AcDb2dVertex(const AcGePoint3d& position, double bulge = 0.0, double startWidth = 0.0,
               double endWidth = 0.0, double tangent = 0.0);
  ~AcDb2dVertex() override;

  AcDb::Vertex2dType vertexType() const { return AcDb::Vertex2dType(mType); }
  Acad::ErrorStatus setVertexType(AcDb::Vertex2dType type);
  AcGePoint3d position() const { return mPosition; }
  Acad::ErrorStatus setPosition(const AcGePoint3d& pos);
  double startWidth() const { return mStartWidth; }
  Acad::ErrorStatus setStartWidth(double newVal);
  double endWidth() const { return mEndWidth; }
  Acad::ErrorStatus setEndWidth(double newVal);
  double bulge() const { return mBulge; }
  Acad::ErrorStatus setBulge(double newVal);
  bool isTangentUsed() const { return mTangentUsed; }
  Acad::ErrorStatus useTangent();
  Acad::ErrorStatus ignoreTangent();
  double tangent() const { return mTangent; }
  Acad::ErrorStatus setTangent(double newVal);

protected:
  AcDb2dVertex(const AcDb2dVertex&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  AcGePoint3d mPosition;
  double mBulge = 0.0;
  double mStartWidth = 0.0;
  double mEndWidth = 0.0;
  double mTangent = 0.0;
  Adesk::UInt8 mType = AcDb::k2dVertex;
  bool mTangentUsed = false;
};

// An old-style 2D polyline: a chain of AcDb2dVertex parts (held like a block reference's
// attributes) at an elevation in the plane of the normal. Only simple vertices
// (k2dVertex) take part in its geometry; curve- and spline-fit vertices are kept as data.
class AcDb2dPolyline : public AcDbCurve {
public:
  ACRX_DECLARE_MEMBERS(AcDb2dPolyline);
  AcDb2dPolyline();
  AcDb2dPolyline(AcDb::Poly2dType type, const AcGePoint3dArray& vertices, double elevation = 0.0,
                 bool closed = false, double defStartWidth = 0.0, double defEndWidth = 0.0,
                 const AcGeDoubleArray* bulges = nullptr);
  ~AcDb2dPolyline() override;

  AcDb::Poly2dType polyType() const { return AcDb::Poly2dType(mType); }
  Acad::ErrorStatus setPolyType(AcDb::Poly2dType type);
  Acad::ErrorStatus makeClosed();
  Acad::ErrorStatus makeOpen();
  double defaultStartWidth() const { return mDefStartWidth; }
  Acad::ErrorStatus setDefaultStartWidth(double newVal);
  double defaultEndWidth() const { return mDefEndWidth; }
  Acad::ErrorStatus setDefaultEndWidth(double newVal);
  double thickness() const { return mThickness; }
  Acad::ErrorStatus setThickness(double thickness);
  AcGeVector3d normal() const { return mNormal; }
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
  double elevation() const { return mElevation; }
  Acad::ErrorStatus setElevation(double elevation);
  bool isLinetypeGenerationOn() const { return mPlinegen; }
  Acad::ErrorStatus setLinetypeGenerationOn();
  Acad::ErrorStatus setLinetypeGenerationOff();

  // Same ownership rules as block reference attributes.
  Acad::ErrorStatus appendVertex(AcDb2dVertex* pNewVertex);
  Acad::ErrorStatus appendVertex(AcDbObjectId& objId, AcDb2dVertex* pNewVertex);
  Acad::ErrorStatus openVertex(AcDb2dVertex*& pVertex, AcDbObjectId vertId, AcDb::OpenMode mode,
                               bool openErasedOne = false) const;
  AcDbObjectIterator* vertexIterator() const;  // the caller deletes it
  // The vertex's position in world coordinates.
  AcGePoint3d vertexPosition(const AcDb2dVertex& vert) const;

  bool isClosed() const override { return mClosed; }
  bool isPlanar() const override { return true; }
  Acad::ErrorStatus getStartParam(double& startParam) const override;
  Acad::ErrorStatus getEndParam(double& endParam) const override;
  Acad::ErrorStatus getStartPoint(AcGePoint3d& startPoint) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& endPoint) const override;
  Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const override;
  Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
  Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
  Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
  Acad::ErrorStatus getFirstDeriv(double param, AcGeVector3d& firstDeriv) const override;
  using AcDbCurve::getFirstDeriv;
  // Lines and arcs, one per segment (zero-length segments give nothing); widths are dropped.
  Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const override;
  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDb2dPolyline(const AcDb2dPolyline& other);
  const AcRxClass* copyTypedData(const AcDbObject& src) override;
  void translateIds(const contura::db::IdTranslator& translator) override;
  void addedToDatabase() override;
  void collectParts(AcDbObjectIdArray& parts) const override;
  void collectSubentities(AcArray<AcDbEntity*>& parts) const override;
  Acad::ErrorStatus subErase(bool erasing) override;

private:
  friend struct contura::db::ObjectAccess;
  void copyPolylineData(const AcDb2dPolyline& other);
  AcGeVector3d mNormal{0.0, 0.0, 1.0};
  double mElevation = 0.0;
  double mThickness = 0.0;
  double mDefStartWidth = 0.0;
  double mDefEndWidth = 0.0;
  std::unique_ptr<contura::db::PartList> mpVertices;
  Adesk::UInt8 mType = AcDb::k2dSimplePoly;
  bool mClosed = false;
  bool mPlinegen = false;
};
