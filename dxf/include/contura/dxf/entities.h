// DXF entities as values: what each entity record of a DXF file means, read from records and
// written as tags for any version from R12 on. Knows no database; the drawing mapping
// copies these values to and from database objects.
#pragma once
#include <contura/dxf/codec.h>
#include <contura/dxf/records.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace contura::dxf {

// Bits of group 70 (and 71 of texts) the mapping reads.
constexpr std::int16_t kPolylineClosed = 1;
constexpr std::int16_t kPolylineCurveFit = 2;
constexpr std::int16_t kPolylineSplineFit = 4;
constexpr std::int16_t kPolyline3d = 8;
constexpr std::int16_t kPolygonMesh = 16;
constexpr std::int16_t kPolyfaceMesh = 64;
constexpr std::int16_t kPolylineLinetypeGeneration = 128;
constexpr std::int16_t kVertexCurveFit = 1;     // made by curve fitting
constexpr std::int16_t kVertexTangent = 2;      // has a tangent (group 50)
constexpr std::int16_t kVertexSplineFit = 8;    // made by spline fitting
constexpr std::int16_t kVertexSplineFrame = 16; // spline control point
constexpr std::int16_t kVertex3d = 32;
constexpr std::int16_t kVertexMesh = 64;
constexpr std::int16_t kVertexPolyface = 128;
constexpr std::int16_t kSplineClosed = 1;
constexpr std::int16_t kSplinePeriodic = 2;
constexpr std::int16_t kSplineRational = 4;
constexpr std::int16_t kSplinePlanar = 8;
constexpr std::int16_t kTextBackward = 2;
constexpr std::int16_t kTextUpsideDown = 4;
constexpr std::int16_t kAttributeInvisible = 1;
constexpr std::int16_t kAttributeConstant = 2;
constexpr std::int16_t kAttributeVerify = 4;
constexpr std::int16_t kAttributePreset = 8;
constexpr std::int16_t kBlockAnonymous = 1;
constexpr std::int16_t kBlockHasAttributes = 2;
constexpr std::int16_t kBlockExternal = 4;
constexpr std::int16_t kBlockOverlay = 8;
constexpr std::int32_t kHatchPathPolyline = 2;  // group 92 of a hatch boundary path

struct Point3 {
  double x = 0, y = 0, z = 0;
  bool operator==(const Point3&) const = default;
};

constexpr Point3 kZAxis{0, 0, 1};

// A tag kept as it was read: strings in drawing text (code page 936, decoded), every other
// value as its text in the file, so numbers and handles are written back exactly.
struct RawTag {
  std::int16_t code = 0;
  std::string value;
  bool operator==(const RawTag&) const = default;
};
using RawTags = std::vector<RawTag>;

RawTag rawTagOf(const Tag& tag, const TextCodec& codec);
void writeRawTags(TagWriter& writer, const RawTags& tags, const TextCodec& codec);

// Colour of an entity or layer: an index (0 ByBlock, 1..255, 256 ByLayer), a true colour
// 0x00RRGGBB or -1 for none, and a colour-book name ("BOOK$COLOR") or empty.
struct Color {
  std::int16_t index = 256;
  std::int32_t rgb = -1;
  std::string name;
  bool operator==(const Color&) const = default;
};

// The nearest colour index (1..255) of an RGB colour, for versions without true colour.
std::int16_t nearestColorIndex(std::int32_t rgb);

// What every entity has.
struct EntityCommon {
  std::uint64_t handle = 0;
  std::uint64_t owner = 0;
  std::string layer = "0";
  std::string linetype;  // empty: BYLAYER, not written
  Color color;
  double linetypeScale = 1.0;
  std::int16_t lineweight = -1;  // -1 ByLayer, -2 ByBlock, -3 default, else 1/100 mm
  bool invisible = false;
  bool paperSpace = false;
  // "102 {NAME" ... "102 }" groups (reactors, extension dictionary, applications), braces
  // included, in file order.
  RawTags appGroups;
  // Tags the value types here do not model, each run preceded by the "100" subclass marker
  // it was read under (none for R12 files), so writing puts them back in their subclass.
  RawTags extras;
  // Extended data: from the first 1001 tag to the end of the record.
  RawTags xdata;
  bool operator==(const EntityCommon&) const = default;
};

struct LineEntity {
  Point3 start, end;
  double thickness = 0;
  Point3 normal = kZAxis;
  bool operator==(const LineEntity&) const = default;
};

struct PointEntity {
  Point3 position;
  double thickness = 0;
  Point3 normal = kZAxis;
  double xAxisAngle = 0;  // degrees
  bool operator==(const PointEntity&) const = default;
};

// CIRCLE, and ARC when `isArc` (angles in degrees, counter-clockwise about the normal).
struct CircleEntity {
  Point3 center;
  double radius = 0;
  double thickness = 0;
  Point3 normal = kZAxis;
  bool isArc = false;
  double startAngle = 0, endAngle = 0;
  bool operator==(const CircleEntity&) const = default;
};

// SOLID or TRACE: four corners (the third and fourth equal for a triangle).
struct SolidEntity {
  bool isTrace = false;
  Point3 corners[4];
  double thickness = 0;
  Point3 normal = kZAxis;
  bool operator==(const SolidEntity&) const = default;
};

// TEXT, ATTDEF and ATTRIB.
struct TextEntity {
  enum class Kind { Text, AttributeDefinition, Attribute };
  Kind kind = Kind::Text;
  Point3 position;        // first alignment point
  Point3 alignment;       // second alignment point
  bool hasAlignment = false;
  double height = 0;
  std::string text;
  double rotation = 0;    // degrees
  double widthFactor = 1;
  double oblique = 0;     // degrees
  std::string style = "Standard";
  std::int16_t generation = 0;   // 2 backward, 4 upside down
  std::int16_t horizontal = 0;   // 0 left .. 5 fit
  std::int16_t vertical = 0;     // 0 baseline .. 3 top
  double thickness = 0;
  Point3 normal = kZAxis;
  // Attributes and their definitions.
  std::string tag;
  std::string prompt;            // definitions only
  std::int16_t attributeFlags = 0;  // 1 invisible, 2 constant, 4 verify, 8 preset
  std::int16_t fieldLength = 0;
  bool operator==(const TextEntity&) const = default;
};

struct MTextEntity {
  Point3 position;
  double height = 0;
  double width = 0;            // reference rectangle width
  std::int16_t attachment = 1; // 1 top left .. 9 bottom right
  std::int16_t direction = 1;  // 1 left to right, 3 top to bottom, 5 by style
  std::string text;            // contents with MTEXT formatting codes (\P paragraphs...)
  std::string style = "Standard";
  Point3 normal = kZAxis;
  Point3 xDirection{1, 0, 0};
  bool hasXDirection = false;
  double rotation = 0;         // radians; used when there is no x direction
  bool hasRotation = false;
  std::int16_t lineSpacingStyle = 1;
  double lineSpacingFactor = 1;
  bool operator==(const MTextEntity&) const = default;
};

struct PolylineVertex {
  Point3 point;                  // z used by 2D polylines only for the elevation they carry
  double startWidth = 0, endWidth = 0;
  double bulge = 0;
  std::int16_t flags = 0;        // VERTEX flags (1 extra from curve fit, 2 tangent, 8 spline...)
  double tangent = 0;            // VERTEX tangent direction, when flag 2 is set
  EntityCommon common;           // VERTEX records of old-style polylines have their own
  bool operator==(const PolylineVertex&) const = default;
};

// LWPOLYLINE (`lightweight`) or a 2D POLYLINE with its VERTEX records.
struct PolylineEntity {
  bool lightweight = true;
  std::vector<PolylineVertex> vertices;
  std::int16_t flags = 0;        // 1 closed; 128 linetype generation (LWPOLYLINE)
  double constantWidth = 0;      // LWPOLYLINE 43; POLYLINE default widths are 40/41
  bool hasConstantWidth = false;
  double defaultStartWidth = 0, defaultEndWidth = 0;
  double elevation = 0;
  double thickness = 0;
  Point3 normal = kZAxis;
  std::int16_t curveType = 0;    // POLYLINE 75
  EntityCommon seqEnd;           // the SEQEND record of a POLYLINE
  bool operator==(const PolylineEntity&) const = default;
};

struct EllipseEntity {
  Point3 center;
  Point3 majorAxis{1, 0, 0};     // end point of the major axis, relative to the center
  Point3 normal = kZAxis;
  double ratio = 1;
  double startParam = 0, endParam = 6.283185307179586;
  bool operator==(const EllipseEntity&) const = default;
};

struct SplineEntity {
  Point3 normal = kZAxis;
  bool hasNormal = false;
  std::int16_t flags = 0;        // 1 closed, 2 periodic, 4 rational, 8 planar, 16 linear
  std::int16_t degree = 3;
  std::vector<double> knots, weights;
  std::vector<Point3> controlPoints, fitPoints;
  double knotTolerance = 1e-10, controlTolerance = 1e-10, fitTolerance = 1e-10;
  bool hasKnotTolerance = false, hasControlTolerance = false, hasFitTolerance = false;
  Point3 startTangent, endTangent;
  bool hasStartTangent = false, hasEndTangent = false;
  bool operator==(const SplineEntity&) const = default;
};

// RAY or XLINE.
struct RayEntity {
  bool isXline = false;
  Point3 base;
  Point3 direction{1, 0, 0};
  bool operator==(const RayEntity&) const = default;
};

// INSERT (a MINSERT when it has several rows or columns), with its ATTRIB records.
struct InsertEntity {
  std::string block;
  Point3 position;
  Point3 scale{1, 1, 1};
  double rotation = 0;           // degrees
  Point3 normal = kZAxis;
  std::int16_t columns = 1, rows = 1;
  double columnSpacing = 0, rowSpacing = 0;
  bool isMInsert = false;        // written as AcDbMInsertBlock even with one row and column
  struct Attribute {
    EntityCommon common;
    TextEntity text;
    bool operator==(const Attribute&) const = default;
  };
  std::vector<Attribute> attributes;
  EntityCommon seqEnd;
  bool operator==(const InsertEntity&) const = default;
};

// HATCH: boundary paths, pattern and seed points, as the file holds them (angles of arcs,
// pattern and pattern lines in degrees; elliptic-arc major axes relative to their centres).
// Tags after the seed points (gradient data) stay in the common extras under "AcDbHatch".
struct Point2 {
  double x = 0, y = 0;
  bool operator==(const Point2&) const = default;
};

struct HatchEdge {
  std::int16_t type = 1;  // 1 line, 2 circular arc, 3 elliptic arc, 4 spline
  Point2 start, end;      // line
  Point2 center;          // arcs
  double radius = 0;      // circular arc
  Point2 majorAxis;       // elliptic arc: major axis end point relative to the centre
  double ratio = 1;       // elliptic arc: minor / major
  double startAngle = 0, endAngle = 0;
  bool ccw = true;
  std::int16_t degree = 3;  // spline
  bool rational = false, periodic = false;
  std::vector<double> knots, weights;
  std::vector<Point2> controlPoints, fitPoints;
  bool hasFitData = false;  // a fit point count was written (R2010 on)
  Point2 startTangent, endTangent;
  bool hasStartTangent = false, hasEndTangent = false;
  bool operator==(const HatchEdge&) const = default;
};

struct HatchPath {
  std::int32_t flags = 0;  // 1 external, 2 polyline, 4 derived, 16 outermost...
  bool hasBulge = false, closed = true;  // polyline paths
  std::vector<Point2> vertices;
  std::vector<double> bulges;            // one per vertex (0 where the file has none)
  std::vector<HatchEdge> edges;          // edge paths
  std::vector<std::uint64_t> boundaryHandles;
  bool isPolyline() const { return (flags & kHatchPathPolyline) != 0; }
  bool operator==(const HatchPath&) const = default;
};

struct HatchPatternLine {
  double angle = 0;
  Point2 base, offset;
  std::vector<double> dashes;
  bool operator==(const HatchPatternLine&) const = default;
};

struct HatchEntity {
  Point3 elevation;  // only z is meaningful
  Point3 normal = kZAxis;
  std::string patternName = "SOLID";
  bool solidFill = true, associative = false;
  std::vector<HatchPath> paths;
  std::int16_t style = 0, patternType = 1;
  double patternAngle = 0, patternScale = 1;
  bool patternDouble = false;
  std::vector<HatchPatternLine> patternLines;
  bool hasPixelSize = false;
  double pixelSize = 0;
  std::vector<Point2> seedPoints;
  bool operator==(const HatchEntity&) const = default;
};

// Any other entity, kept as it was read: its records (main record, followers, SEQEND). The
// tags after the common data are the `extras` of each record's EntityCommon. Written back
// unchanged.
struct RawEntity {
  std::string type;              // record type: "HATCH", "DIMENSION", "3DSOLID"...
  struct Follower {
    std::string type;
    EntityCommon common;
    bool operator==(const Follower&) const = default;
  };
  std::vector<Follower> followers;
  bool hasSeqEnd = false;
  EntityCommon seqEnd;
  bool operator==(const RawEntity&) const = default;
};

// One entity of any kind.
struct Entity {
  enum class Kind { Line, Point, Circle, Solid, Text, MText, Polyline, Ellipse, Spline, Ray,
                    Insert, Hatch, Raw };
  Kind kind = Kind::Raw;
  EntityCommon common;
  LineEntity line;
  PointEntity point;
  CircleEntity circle;
  SolidEntity solid;
  TextEntity text;
  MTextEntity mtext;
  PolylineEntity polyline;
  EllipseEntity ellipse;
  SplineEntity spline;
  RayEntity ray;
  InsertEntity insert;
  HatchEntity hatch;
  RawEntity raw;
  // The record type of an entity of another module's class that is written like its parent
  // (a text of class AcDbVarCommon is a TEXT with more data): replaces the parent's type.
  std::string recordType;

  // The record type written for this entity ("LINE", "ARC", "LWPOLYLINE"...).
  std::string typeName() const;
  // The record type of the value's kind, whatever `recordType` says (a kept entity's own).
  std::string_view kindTypeName() const;
  bool operator==(const Entity&) const = default;
};

// Reads an entity from its records. Record types without a value type here, 3D polylines
// and meshes, and hatches whose data does not follow the HATCH layout become Kind::Raw. False with `error` (at the tag's line) for a
// value that cannot be what its code says (a bad handle).
bool readEntity(const EntityRecords& records, const TextCodec& codec, Entity& entity,
                DxfError& error);
// Reads any entity as Kind::Raw: every tag after the common entity data kept as read.
bool readEntityAsRaw(const EntityRecords& records, const TextCodec& codec, Entity& entity, DxfError& error);

// What writing an entity needs to know about the file being written.
struct EntityWriteContext {
  DxfVersion version = kDefaultWriteVersion;
  const TextCodec* codec = nullptr;
  // Handles for records the value does not carry (VERTEX, SEQEND, ATTRIB of new entities,
  // the VERTEX records of an LWPOLYLINE written to R12): a fresh handle each call.
  std::function<std::uint64_t()> newHandle;
  // Things the version cannot hold are counted here by message ("R2000 has no true
  // colours; the nearest colour index is written").
  std::map<std::string, int>* warnings = nullptr;
};

// True when `version` has a record type for the entity (R12 has no LWPOLYLINE, ELLIPSE, HATCH,
// SPLINE, MTEXT, RAY, XLINE; raw entities are written only to the version family they were
// read from, which the caller decides).
bool versionHolds(DxfVersion version, const Entity& entity);

// Writes an entity (with its followers and SEQEND) as the version wants it. LWPOLYLINE is
// written as POLYLINE to R12.
void writeEntity(TagWriter& writer, const Entity& entity, const EntityWriteContext& context);

}  // namespace contura::dxf
