// The drawing interface: how an entity draws itself. Every consumer that turns the drawing
// into something seen or measured (the window, previews, picking, extents) hands an
// AcGiWorldDraw to AcDbEntity::worldDraw and receives primitives in world coordinates through
// its geometry; no consumer needs to know an entity's class.
//
// Contract of a drawer (an AcGiDrawable's worldDraw):
// - it draws with mode->geometry() only, in its own model coordinates; the geometry applies
//   the transforms pushed by the callers (a block reference pushes its block transform and
//   draws each entity of its block with geometry().draw());
// - it may change the traits (colour, layer, fill) for the primitives that follow: the
//   variable entity draws its value in the value's colour. The consumer sets the traits of
//   each entity from the entity's own properties before its worldDraw, and restores them after;
// - it returns Adesk::kTrue when it drew everything it has (the host's "no viewport
//   dependent part"); kFalse means nothing more can be drawn of it here;
// - it must not open other objects for write, and closes every object it opens.
//
// Primitive rules shared by every consumer:
// - polyline(): a line through the points; one point draws a point-sized dot. Never closed
//   implicitly: a closed shape repeats its first point.
// - polygon(): a closed area, filled when the fill type is kAcGiFillAlways (lightly for
//   kAcGiFillPattern), else its outline.
// - shell(): filled areas with holes. The face list holds, face after face, a vertex count
//   followed by that many vertex indices; a negative count marks a hole of the face before
//   it (the host's convention). Filled by the even-odd rule; the outline when not filling.
// - circularArc(): sweepAngle radians counter-clockwise about the normal from startVector.
// - pline(): a lightweight polyline as it stands (bulges and widths); fromIndex/numSegs
//   select segments (numSegs 0: to the end). The consumer asks the polyline for its segments
//   (segType, getLineSegAt, getArcSegAt), so one rule decides what is straight.
// - text(): one line of text. position is the start of the baseline, direction the baseline
//   direction (its length does not matter), height the text height, width the width factor,
//   oblique the slant (radians). The box a consumer gives the text is the one
//   contura::ge::textBoxWidth computes, so what is seen, picked and measured agree.
// - polyPoint(): point marks (a fixed size on the screen).
// - xline()/ray(): infinite lines through two points, from the first point through the second.
#pragma once
#include <adesk.h>
#include <dbcolor.h>
#include <dbid.h>
#include <gemat3d.h>
#include <gepnt3d.h>
#include <gevec3d.h>
#include <rxobject.h>

class AcDbPolyline;
class AcGiWorldDraw;
class AcGiViewportDraw;

// kAcGiFillPattern marks the area of a patterned hatch: the pattern's lines are not drawn,
// the area is filled lightly (how light is the consumer's choice).
enum AcGiFillType { kAcGiFillAlways = 1, kAcGiFillNever = 2, kAcGiFillPattern = 3 };
enum AcGiArcType { kAcGiArcSimple = 0, kAcGiArcSector = 1, kAcGiArcChord = 2 };
enum AcGiRegenType {
  kAcGiStandardDisplay = 2,
  kAcGiHideOrShadeCommand = 3,
  kAcGiRenderCommand = 4,
  kAcGiSaveWorldDrawForProxy = 5
};

// Something that can be drawn: the base of every database object.
class AcGiDrawable : public AcRxObject {
public:
  ~AcGiDrawable() override = default;
  // Draws through mode. The default draws nothing and returns kTrue.
  virtual Adesk::Boolean worldDraw(AcGiWorldDraw* mode);
};

// The properties of the primitives that follow.
class AcGiSubEntityTraits {
public:
  virtual ~AcGiSubEntityTraits() = default;
  virtual void setColor(Adesk::UInt16 color) = 0;  // colour index 0..256
  virtual void setTrueColor(const AcCmEntityColor& color) = 0;
  virtual void setLayer(AcDbObjectId layerId) = 0;
  virtual void setFillType(AcGiFillType fillType) = 0;
  virtual Adesk::UInt16 color() const = 0;
  virtual AcCmEntityColor trueColor() const = 0;
  virtual AcDbObjectId layerId() const = 0;
  virtual AcGiFillType fillType() const = 0;
};

// The primitives, in model coordinates of the drawer (see the rules above).
class AcGiWorldGeometry {
public:
  virtual ~AcGiWorldGeometry() = default;
  virtual Adesk::Boolean circle(const AcGePoint3d& center, double radius,
                                const AcGeVector3d& normal) const = 0;
  virtual Adesk::Boolean circularArc(const AcGePoint3d& center, double radius, const AcGeVector3d& normal,
                                     const AcGeVector3d& startVector, double sweepAngle,
                                     AcGiArcType arcType = kAcGiArcSimple) const = 0;
  virtual Adesk::Boolean polyline(Adesk::UInt32 nbPoints, const AcGePoint3d* pVertexList,
                                  const AcGeVector3d* pNormal = nullptr,
                                  Adesk::LongPtr lBaseSubEntMarker = -1) const = 0;
  virtual Adesk::Boolean polygon(Adesk::UInt32 nbPoints, const AcGePoint3d* pVertexList) const = 0;
  virtual Adesk::Boolean shell(Adesk::UInt32 nbVertex, const AcGePoint3d* pVertexList,
                               Adesk::UInt32 faceListSize, const Adesk::Int32* pFaceList) const = 0;
  virtual Adesk::Boolean pline(const AcDbPolyline& lwBuf, Adesk::UInt32 fromIndex = 0,
                               Adesk::UInt32 numSegs = 0) const = 0;
  virtual Adesk::Boolean text(const AcGePoint3d& position, const AcGeVector3d& normal,
                              const AcGeVector3d& direction, double height, double width, double oblique,
                              const ACHAR* pMsg) const = 0;
  virtual Adesk::Boolean polyPoint(Adesk::UInt32 nbPoints, const AcGePoint3d* pVertexList) const = 0;
  virtual Adesk::Boolean xline(const AcGePoint3d& oneOfTwoPoints, const AcGePoint3d& otherOfTwoPoints) const = 0;
  virtual Adesk::Boolean ray(const AcGePoint3d& rayBasePoint, const AcGePoint3d& otherRayPoint) const = 0;
  // Draws another drawable (an entity of a block) with the traits it gives itself, inside
  // the transforms pushed so far.
  virtual Adesk::Boolean draw(AcGiDrawable* pDrawable) const = 0;

  // The transform from the drawer's model coordinates to the world; pushes compose.
  virtual void getModelToWorldTransform(AcGeMatrix3d& xform) const = 0;
  virtual Adesk::Boolean pushModelTransform(const AcGeMatrix3d& xMat) = 0;
  virtual Adesk::Boolean popModelTransform() = 0;
};

class AcGiWorldDraw {
public:
  virtual ~AcGiWorldDraw() = default;
  virtual AcGiWorldGeometry& geometry() const = 0;
  virtual AcGiSubEntityTraits& subEntityTraits() const = 0;
  virtual AcGiRegenType regenType() const { return kAcGiStandardDisplay; }
  // True when the consumer wants nothing more (a pick already decided, a frame abandoned):
  // long drawers may stop early.
  virtual Adesk::Boolean regenAbort() const { return Adesk::kFalse; }
  // Drawing units per screen pixel where the consumer draws (0 when it does not know):
  // drawers may choose fewer pieces for curves that are small on the screen.
  virtual double deviation() const { return 0.0; }
};
