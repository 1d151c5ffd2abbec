// The platform's side of the drawing interface: a consumer base that every picture, pick
// and measurement of the drawing derives from. It implements AcGiWorldDraw once (traits,
// the model transform stack, nested drawables, layer visibility, colour resolution, polyline
// widths) and hands its subclass primitives already in world coordinates with their colour
// resolved. The subclass only says what to do with a line, an arc, a fill, a text or a point.
//
// Colours reach the subclass resolved: "by layer" through the effective layer, "by block"
// through the block reference being drawn (white at the top), never ByLayer or ByBlock.
// An entity of layer "0" inside a block takes the reference's layer. Entities on layers that
// are off or frozen, and invisible entities, are skipped when skipHiddenLayers is set.
// Block nesting deeper than kMaxBlockNesting is not followed (it can only be a cycle).
#pragma once
#include <acgi.h>
#include <dbcolor.h>
#include <dbid.h>
#include <gemat3d.h>
#include <gepnt3d.h>
#include <gevec3d.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class AcDbDatabase;
class AcDbEntity;

namespace contura::db {

namespace detail {
struct PlineSegment;
}

// How many straight pieces a circular arc of this sweep and radius is cut into where it must
// be cut (ellipses, stretched arcs, wide polyline arcs): pieces turn at most pi/64, or, when
// the pixel size (deviation) is known, lie no further than it from the true curve.
int arcPieceCount(double sweep, double radius, double deviation);

// What the primitives that follow are drawn with.
struct DrawStyle {
  AcCmEntityColor color;  // by colour (true colour) or by ACI index, already resolved
  AcDbObjectId layer;     // the effective layer
  bool filled = false;    // polygon()/shell() areas are filled
  bool pattern = false;   // ... lightly: the area of a patterned hatch (filled is also set)
};

// One line of text, placed: the box runs from `position` along `direction` for `boxWidth`
// and from kTextDescent heights below the baseline to one height above it.
struct DrawnText {
  AcGePoint3d position;   // start of the baseline, world
  AcGeVector3d direction; // unit vector along the baseline, world
  AcGeVector3d up;        // unit vector from the baseline to the top of the letters, world
  double height = 0.0;    // world units
  double widthFactor = 1.0;
  double oblique = 0.0;
  double boxWidth = 0.0;  // world units: contura::ge::textBoxWidth of the string
  std::string_view text;  // code page 936 bytes; valid during the call only
};

class WorldDrawConsumer : public AcGiWorldDraw, public AcGiWorldGeometry, public AcGiSubEntityTraits {
public:
  static constexpr int kMaxBlockNesting = 16;

  explicit WorldDrawConsumer(AcDbDatabase* db);  // reads the layer table's states
  ~WorldDrawConsumer() override;

  void setSkipHiddenLayers(bool skip) { m_skipHidden = skip; }
  // Drawing units per pixel where the consumer draws (0: unknown). Curves a transform makes
  // non-circular are cut into pieces no further than this from the true curve.
  void setDeviation(double unitsPerPixel) { m_deviation = unitsPerPixel; }

  // Draws one entity of a space: traits from the entity, its worldDraw, traits back.
  // False when the id cannot be opened for read (left out) or the entity is hidden.
  bool drawEntity(AcDbObjectId id);
  bool drawEntity(AcDbEntity& entity);
  // The entity whose primitives are arriving (the top-level one, not a block's part).
  AcDbObjectId currentEntity() const { return m_current; }
  // The database whose layers are read (may be null).
  AcDbDatabase* database() const;

protected:
  // ---- What a subclass implements: world coordinates, resolved style -------------------
  // A line through the points (closed: back to the first).
  virtual void onPolyline(const AcGePoint3d* points, std::size_t count, bool closed, const DrawStyle& style) = 0;
  // A circular arc in the plane of `normal` (a circle when sweep is 2 pi): from startVector
  // (unit, world) sweeping counter-clockwise about the normal.
  virtual void onArc(const AcGePoint3d& center, double radius, const AcGeVector3d& normal,
                     const AcGeVector3d& startVector, double sweep, const DrawStyle& style) = 0;
  // Filled areas: each loop is closed implicitly; holes by the even-odd rule. Wide polyline
  // segments arrive here as their filled outline (arcs already cut into pieces).
  virtual void onFill(const std::vector<std::vector<AcGePoint3d>>& loops, const DrawStyle& style) = 0;
  virtual void onText(const DrawnText& text, const DrawStyle& style) = 0;
  virtual void onPoints(const AcGePoint3d* points, std::size_t count, const DrawStyle& style) = 0;
  // An infinite line (ray: only from base along dir), dir a unit vector.
  virtual void onInfiniteLine(const AcGePoint3d& base, const AcGeVector3d& dir, bool ray, const DrawStyle& style) = 0;

public:
  // ---- AcGiWorldDraw / AcGiWorldGeometry / AcGiSubEntityTraits (implemented once) --------
  AcGiWorldGeometry& geometry() const override;
  AcGiSubEntityTraits& subEntityTraits() const override;
  double deviation() const override { return m_deviation; }

  Adesk::Boolean circle(const AcGePoint3d& center, double radius, const AcGeVector3d& normal) const override;
  Adesk::Boolean circularArc(const AcGePoint3d& center, double radius, const AcGeVector3d& normal,
                             const AcGeVector3d& startVector, double sweepAngle,
                             AcGiArcType arcType = kAcGiArcSimple) const override;
  Adesk::Boolean polyline(Adesk::UInt32 nbPoints, const AcGePoint3d* pVertexList, const AcGeVector3d* pNormal = nullptr,
                          Adesk::LongPtr lBaseSubEntMarker = -1) const override;
  Adesk::Boolean polygon(Adesk::UInt32 nbPoints, const AcGePoint3d* pVertexList) const override;
  Adesk::Boolean shell(Adesk::UInt32 nbVertex, const AcGePoint3d* pVertexList, Adesk::UInt32 faceListSize,
                       const Adesk::Int32* pFaceList) const override;
  Adesk::Boolean pline(const AcDbPolyline& lwBuf, Adesk::UInt32 fromIndex = 0, Adesk::UInt32 numSegs = 0) const override;
  Adesk::Boolean text(const AcGePoint3d& position, const AcGeVector3d& normal, const AcGeVector3d& direction,
                      double height, double width, double oblique, const ACHAR* pMsg) const override;
  Adesk::Boolean polyPoint(Adesk::UInt32 nbPoints, const AcGePoint3d* pVertexList) const override;
  Adesk::Boolean xline(const AcGePoint3d& oneOfTwoPoints, const AcGePoint3d& otherOfTwoPoints) const override;
  Adesk::Boolean ray(const AcGePoint3d& rayBasePoint, const AcGePoint3d& otherRayPoint) const override;
  Adesk::Boolean draw(AcGiDrawable* pDrawable) const override;
  void getModelToWorldTransform(AcGeMatrix3d& xform) const override;
  Adesk::Boolean pushModelTransform(const AcGeMatrix3d& xMat) override;
  Adesk::Boolean popModelTransform() override;

  void setColor(Adesk::UInt16 color) override;
  void setTrueColor(const AcCmEntityColor& color) override;
  void setLayer(AcDbObjectId layerId) override;
  void setFillType(AcGiFillType fillType) override;
  Adesk::UInt16 color() const override;
  AcCmEntityColor trueColor() const override;
  AcDbObjectId layerId() const override;
  AcGiFillType fillType() const override;

private:
  // An arc of unit axes u, v (n = u x v) in model coordinates, placed in the world.
  void emitArc(const AcGePoint3d& center, double radius, const AcGeVector3d& n, const AcGeVector3d& u,
               const AcGeVector3d& v, double sweep);
  void widePlineSegment(const AcGeMatrix3d& toModel, const detail::PlineSegment& seg);
  Adesk::Boolean infinite(const AcGePoint3d& a, const AcGePoint3d& b, bool ray) const;

  struct State;
  std::unique_ptr<State> m_state;  // layers, transform stack, traits stack
  AcDbObjectId m_current;
  double m_deviation = 0.0;
  bool m_skipHidden = true;
};

// The four corners of a text's box, around it from the bottom left (descent included).
void textCorners(const DrawnText& text, AcGePoint3d corners[4]);

// The world box of what an entity draws (texts by their box, widths included); false when
// it draws nothing bounded. Rays and construction lines are left out.
bool drawnExtents(AcDbEntity& entity, AcGePoint3d& minPoint, AcGePoint3d& maxPoint);

}  // namespace contura::db
