// Finer points: rational splines, ellipse angles, clockwise hatch edges, part erasure,
// header variables, extents of the drawing and what wblock carries along.
#include "db_test_util.h"

#include <contura/db/database_access.h>
#include <contura/db/hatch_data.h>
#include <contura/db/rawtags.h>
#include <dbdict.h>
#include <dbelipse.h>
#include <dbents.h>
#include <dbfiler.h>
#include <dbhatch.h>
#include <dbmtext.h>
#include <dbpl.h>
#include <dbspline.h>
#include <gearc2d.h>

#include <cmath>
#include <memory>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTol = 1e-9;

TEST(Splines, RationalQuadraticIsAQuarterCircle) {
  const AcGePoint3dArray ctl = dbtest::arrayOf<AcGePoint3d>({{1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
  const AcGeDoubleArray knots = dbtest::arrayOf<double>({0, 0, 0, 1, 1, 1});
  AcGeDoubleArray weights = dbtest::arrayOf<double>({1.0, std::sqrt(0.5), 1.0});
  AcDbSpline arc(2, true, false, false, ctl, knots, weights);
  EXPECT_TRUE(arc.isRational());
  EXPECT_TRUE(arc.isPlanar());
  // Points, lengths, derivatives and closest points of the same curve (radius 2) are checked
  // with the curve members.
  double w = 0.0;
  arc.getWeightAt(1, w);
  EXPECT_NEAR(w, std::sqrt(0.5), kTol);
  weights[1] = -1.0;
  AcDbSpline bad;
  EXPECT_EQ(bad.setNurbsData(2, true, false, false, ctl, knots, weights), Acad::eInvalidInput);
  AcDbExtents ext;
  ASSERT_EQ(arc.getGeomExtents(ext), Acad::eOk);
  EXPECT_EQ(ext.maxPoint(), AcGePoint3d(1, 1, 0));
  ASSERT_EQ(arc.transformBy(AcGeMatrix3d::translation(AcGeVector3d(0, 0, 2))), Acad::eOk);
  EXPECT_EQ(dbtest::startOf(arc), AcGePoint3d(1, 0, 2));
}

TEST(Ellipses, AnglesParametersAndArcs) {
  AcDbEllipse e(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(4, 0, 0), 0.5, kPi / 4, kPi);
  // The start angle is geometric: the point at it lies on the ray of that angle.
  AcGePoint3d p;
  e.getStartPoint(p);
  EXPECT_NEAR(std::atan2(p.y, p.x), kPi / 4, kTol);
  EXPECT_NEAR(e.startAngle(), kPi / 4, kTol);
  for (double a : {0.1, 1.0, 2.0, 4.0, 6.0}) EXPECT_NEAR(e.angleAtParam(e.paramAtAngle(a)), a, kTol);
  EXPECT_FALSE(e.isClosed());
  double param = 0.0;
  EXPECT_EQ(e.getParamAtPoint(AcGePoint3d(4, 0, 0), param), Acad::eInvalidInput);  // outside the arc
  ASSERT_EQ(e.getParamAtPoint(AcGePoint3d(-4, 0, 0), param), Acad::eOk);
  EXPECT_NEAR(param, kPi, kTol);
  AcDbEllipse full(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(4, 0, 0), 0.5);
  EXPECT_TRUE(full.isClosed());
  double start = 0.0, end = 0.0;
  full.getStartParam(start);
  full.getEndParam(end);
  EXPECT_NEAR(end - start, 2 * kPi, kTol);
  // Mirroring keeps the normal and reverses the run: the arc's points map onto the image.
  const AcGeMatrix3d mirror = AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d(1, 0, 0), AcGeVector3d::kXAxis));
  AcDbEllipse mirrored(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(4, 0, 0), 0.5, kPi / 4, kPi);
  ASSERT_EQ(mirrored.transformBy(mirror), Acad::eOk);
  EXPECT_TRUE(mirrored.normal().isEqualTo(AcGeVector3d::kZAxis));
  for (double t : {kPi / 4, 2.0, kPi}) {
    e.getPointAtParam(t, p);
    EXPECT_EQ(mirrored.getParamAtPoint(mirror * p, param), Acad::eOk) << t;
  }
}

TEST(Hatches, ClockwiseArcEdgesAndFullData) {
  AcDbHatch hatch;
  contura::db::HatchData data = contura::db::hatchData(hatch);
  contura::db::HatchLoop loop;
  contura::db::HatchEdge top;
  top.type = AcDbHatch::kLine;
  top.start = AcGePoint2d(-1, 0);
  top.end = AcGePoint2d(1, 0);
  contura::db::HatchEdge arc;  // clockwise from (1,0) down to (-1,0): angles stored clockwise
  arc.type = AcDbHatch::kCirArc;
  arc.center = AcGePoint2d(0, 0);
  arc.radius = 1.0;
  arc.startAngle = 0.0;
  arc.endAngle = kPi;
  arc.ccw = false;
  loop.edges = {top, arc};
  data.loops.push_back(loop);
  ASSERT_EQ(contura::db::setHatchData(hatch, data), Acad::eOk);
  Adesk::Int32 type = 0;
  AcGePoint2dArray verts;
  AcGeDoubleArray bulges;
  ASSERT_EQ(hatch.getLoopAt(0, type, verts, bulges), Acad::eOk);
  ASSERT_EQ(verts.length(), 2);
  EXPECT_TRUE(verts[1].isEqualTo(AcGePoint2d(1, 0)));
  EXPECT_NEAR(bulges[1], -1.0, kTol);  // clockwise half circle
  AcDbExtents ext;
  ASSERT_EQ(hatch.getGeomExtents(ext), Acad::eOk);
  EXPECT_NEAR(ext.minPoint().y, 1.0 * 0 - 1.0, kTol);  // passes through (0,-1)
  AcGeVoidPointerArray edges;
  AcGeIntArray types;
  ASSERT_EQ(hatch.getLoopAt(0, type, edges, types), Acad::eOk);
  auto* geArc = static_cast<AcGeCircArc2d*>(edges[1]);
  EXPECT_TRUE(geArc->isClockWise());
  EXPECT_TRUE(geArc->startPoint().isEqualTo(AcGePoint2d(1, 0)));
  EXPECT_TRUE(geArc->endPoint().isEqualTo(AcGePoint2d(-1, 0)));
  delete static_cast<AcGeLineSeg2d*>(edges[0]);
  delete geArc;
  // Mirrored, the arc turns counter-clockwise and still joins the line's ends.
  ASSERT_EQ(hatch.transformBy(AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d(), AcGeVector3d::kYAxis))), Acad::eOk);
  ASSERT_EQ(hatch.getLoopAt(0, type, verts, bulges), Acad::eOk);
  EXPECT_NEAR(bulges[1], 1.0, kTol);
  ASSERT_EQ(hatch.getGeomExtents(ext), Acad::eOk);
  EXPECT_NEAR(ext.maxPoint().y, 1.0, kTol);
  // Elliptic edges have no polyline form.
  data = contura::db::hatchData(hatch);
  data.loops[0].edges[1].type = AcDbHatch::kEllArc;
  data.loops[0].edges[1].majorAxis = AcGeVector2d(1, 0);
  contura::db::setHatchData(hatch, data);
  EXPECT_EQ(hatch.getLoopAt(0, type, verts, bulges), Acad::eNotApplicable);
  EXPECT_EQ(hatch.transformBy(AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d(), AcGeVector3d::kYAxis))),
            Acad::eNotApplicable);
}

TEST(Parts, ErasingAnOldStylePolylineErasesItsVertices) {
  AcDbDatabase db;
  auto* pl = new AcDb2dPolyline();
  pl->appendVertex(new AcDb2dVertex(AcGePoint3d(0, 0, 0)));
  pl->appendVertex(new AcDb2dVertex(AcGePoint3d(1, 0, 0)));
  const AcDbObjectId id = dbtest::appendToModelSpace(db, pl);
  AcDb2dPolyline* open = nullptr;
  ASSERT_EQ(acdbOpenObject(open, id, AcDb::kForWrite), Acad::eOk);
  // Appending to a polyline in the database puts the vertex in it at once, open for write.
  auto* third = new AcDb2dVertex(AcGePoint3d(1, 1, 0));
  AcDbObjectId thirdId;
  ASSERT_EQ(open->appendVertex(thirdId, third), Acad::eOk);
  EXPECT_FALSE(thirdId.isNull());
  EXPECT_TRUE(third->isWriteEnabled());
  third->close();
  AcDbObjectIterator* it = open->vertexIterator();
  it->start();
  const AcDbObjectId first = it->objectId();
  delete it;
  ASSERT_EQ(open->setLayer("0"), Acad::eOk);
  ASSERT_EQ(open->erase(), Acad::eOk);
  open->close();
  EXPECT_TRUE(first.isErased());
  EXPECT_TRUE(thirdId.isErased());
  EXPECT_EQ(dbtest::Opened<AcDb2dPolyline>(id, AcDb::kForWrite, true)->erase(false), Acad::eOk);
  EXPECT_FALSE(first.isErased());
}

TEST(Header, VariablesAndDrawingExtents) {
  AcDbDatabase db;
  AcDbDatabase other;
  EXPECT_EQ(db.setClayer(dbtest::addLayer(other, "ELSEWHERE")), Acad::eWrongDatabase);
  EXPECT_EQ(db.setClayer(AcDbObjectId::kNull), Acad::eNullObjectId);
  EXPECT_EQ(db.setLtscale(0.0), Acad::eInvalidInput);
  ASSERT_EQ(db.setCeltscale(3.0), Acad::eOk);
  AcCmColor red;
  red.setColorIndex(1);
  ASSERT_EQ(db.setCecolor(red), Acad::eOk);
  const AcDbObjectId layer = dbtest::addLayer(db, "NOW");
  ASSERT_EQ(db.setClayer(layer), Acad::eOk);
  auto* line = new AcDbLine(AcGePoint3d(-1, 2, 0), AcGePoint3d(4, 7, 1));
  line->setDatabaseDefaults(&db);
  EXPECT_EQ(line->layerId(), layer);
  EXPECT_EQ(line->colorIndex(), 1);
  EXPECT_EQ(line->linetypeScale(), 3.0);
  dbtest::appendToModelSpace(db, line);
  dbtest::appendToModelSpace(db, new AcDbCircle(AcGePoint3d(10, 0, 0), AcGeVector3d::kZAxis, 2.0));
  ASSERT_EQ(db.updateExt(), Acad::eOk);
  EXPECT_EQ(db.extmin(), AcGePoint3d(-1, -2, 0));
  EXPECT_EQ(db.extmax(), AcGePoint3d(12, 7, 1));
}

TEST(Wblock, CarriesExtensionDictionariesReactorsAndRawObjects) {
  AcDbDatabase db;
  const AcDbObjectId a = dbtest::appendToModelSpace(db, new AcDbLine());
  const AcDbObjectId b = dbtest::appendToModelSpace(db, new AcDbLine());
  AcDbObject* obj = nullptr;
  ASSERT_EQ(acdbOpenObject(obj, a, AcDb::kForWrite), Acad::eOk);
  obj->createExtensionDictionary();
  obj->addPersistentReactor(b);
  const AcDbObjectId dict = obj->extensionDictionary();
  obj->close();
  auto* raw = AcDbRawObject::cast(AcDbRawObject::desc()->create());
  raw->setDxfName("XRECORD");
  raw->setTags({{280, "1"}, {1, "\xCE\xC4"}});
  AcDbObjectId rawId;
  ASSERT_EQ(db.addAcDbObject(rawId, raw), Acad::eOk);
  raw->close();
  contura::db::setRawHeader(db, {{"$TDCREATE", {{40, "2460000.5"}}}});

  AcDbDatabase* out = nullptr;
  ASSERT_EQ(db.wblock(out), Acad::eOk);
  std::unique_ptr<AcDbDatabase> owned(out);
  AcDbObjectId copyA, copyB, copyRaw;
  out->getAcDbObjectId(copyA, false, a.handle());
  out->getAcDbObjectId(copyB, false, b.handle());
  out->getAcDbObjectId(copyRaw, false, rawId.handle());
  dbtest::Opened<AcDbObject> lineCopy(copyA);
  EXPECT_EQ(lineCopy->extensionDictionary().handle(), dict.handle());
  EXPECT_EQ(lineCopy->extensionDictionary().database(), out);
  EXPECT_TRUE(lineCopy->hasPersistentReactor(copyB));
  dbtest::Opened<AcDbRawObject> rawCopy(copyRaw);
  ASSERT_NE(rawCopy.get(), nullptr);
  EXPECT_EQ(rawCopy->dxfName(), "XRECORD");
  EXPECT_EQ(rawCopy->tags()[1].value, "\xCE\xC4");
  ASSERT_EQ(contura::db::rawHeader(*out).size(), 1u);
  EXPECT_EQ(contura::db::rawHeader(*out)[0].first, "$TDCREATE");
}

// A class of another module that reads only what it knows and pushes the rest back.
class TestTaggedLine : public AcDbLine {
public:
  ACRX_DECLARE_MEMBERS(TestTaggedLine);
  std::vector<double> values;
  int unknownSeen = 0;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override {
    AcDbLine::dxfOutFields(filer);
    filer->writeString(100, "TestTaggedLine");
    for (double v : values) filer->writeDouble(40, v);
    filer->writePoint3d(10, AcGePoint3d(1, 2, 3));
    return filer->filerStatus();
  }
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override {
    AcDbLine::dxfInFields(filer);
    if (!filer->atSubclassData("TestTaggedLine")) return Acad::eBadDxfSequence;
    resbuf rb;
    while (filer->readItem(&rb) == Acad::eOk) {
      if (rb.restype != 40) {
        filer->pushBackItem();
        break;
      }
      values.push_back(rb.resval.rreal);
    }
    // The pushed-back item comes again.
    if (filer->readItem(&rb) == Acad::eOk && rb.restype == 10 && rb.resval.rpoint[2] == 3.0) ++unknownSeen;
    EXPECT_TRUE(filer->atEOF());
    return Acad::eOk;
  }
};
ACRX_CONS_DEFINE_MEMBERS(TestTaggedLine, AcDbLine, 1)

TEST(Cloning, FilerPushBackAndEndOfData) {
  TestTaggedLine::rxInit();
  TestTaggedLine line;
  line.values = {1.5, -2.25};
  line.setEndPoint(AcGePoint3d(5, 0, 0));
  std::unique_ptr<AcRxObject> copy(line.clone());
  auto* typed = TestTaggedLine::cast(copy.get());
  ASSERT_NE(typed, nullptr);
  EXPECT_EQ(typed->values, line.values);
  EXPECT_EQ(typed->unknownSeen, 1);
  EXPECT_EQ(typed->endPoint(), AcGePoint3d(5, 0, 0));
  copy.reset();
  deleteAcRxClass(TestTaggedLine::desc());
}

TEST(MText, RotatedExtentsAndTransforms) {
  AcDbMText m;
  m.setContents("ab");
  m.setTextHeight(3.0);  // "ab": 4 wide, 3 high
  m.setLocation(AcGePoint3d(1, 1, 0));
  m.setRotation(kPi / 2);
  AcDbExtents ext;
  ASSERT_EQ(m.getGeomExtents(ext), Acad::eOk);
  // Top-left at the location; the text runs up (+Y) and its lines go right (+X).
  EXPECT_TRUE(ext.minPoint().isEqualTo(AcGePoint3d(1, 1, 0)));
  EXPECT_TRUE(ext.maxPoint().isEqualTo(AcGePoint3d(4, 5, 0)));
  ASSERT_EQ(m.transformBy(AcGeMatrix3d::scaling(2.0, AcGePoint3d(1, 1, 0))), Acad::eOk);
  EXPECT_NEAR(m.textHeight(), 6.0, kTol);
  ASSERT_EQ(m.getGeomExtents(ext), Acad::eOk);
  EXPECT_TRUE(ext.maxPoint().isEqualTo(AcGePoint3d(7, 9, 0)));
}

TEST(BlockReferences, AttributeDefinitionsExplodeButDoNotShow) {
  AcDbDatabase db;
  AcDbObjectId block;
  dbtest::appendToBlock(db, "B", new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)), &block);
  dbtest::appendToBlock(db, "B", new AcDbAttributeDefinition(AcGePoint3d(50, 50, 0), "v", "T", "?"));
  AcDbBlockReference ref(AcGePoint3d(), block);
  AcDbVoidPtrArray pieces;
  ASSERT_EQ(ref.explode(pieces), Acad::eOk);
  ASSERT_EQ(pieces.length(), 2);
  EXPECT_NE(AcDbAttributeDefinition::cast(static_cast<AcDbEntity*>(pieces[1])), nullptr);
  for (void* p : pieces) delete static_cast<AcDbEntity*>(p);
  AcDbExtents ext;
  ASSERT_EQ(ref.getGeomExtents(ext), Acad::eOk);
  EXPECT_EQ(ext.maxPoint(), AcGePoint3d(1, 0, 0));
  EXPECT_TRUE(dbtest::Opened<AcDbBlockTableRecord>(block)->hasAttributeDefinitions());
  AcDbBlockReference dangling(AcGePoint3d(), AcDbObjectId::kNull);
  EXPECT_EQ(dangling.explode(pieces), Acad::eNullBlockName);
  EXPECT_EQ(dangling.getGeomExtents(ext), Acad::eInvalidExtents);
}

TEST(Curves, RaysLinesAndSolids) {
  AcDbRay ray;
  ray.setBasePoint(AcGePoint3d(1, 1, 0));
  ray.setSecondPoint(AcGePoint3d(1, 3, 0));
  EXPECT_TRUE(ray.unitDir().isEqualTo(AcGeVector3d::kYAxis));
  double param = 0.0;
  EXPECT_EQ(ray.getEndParam(param), Acad::eNotApplicable);
  ASSERT_EQ(ray.getParamAtPoint(AcGePoint3d(1, 11, 0), param), Acad::eOk);
  EXPECT_NEAR(param, 10.0, kTol);
  EXPECT_EQ(ray.getParamAtPoint(AcGePoint3d(1, -1, 0), param), Acad::eInvalidInput);
  AcDbXline xline;
  xline.setBasePoint(AcGePoint3d(1, 1, 0));
  xline.setUnitDir(AcGeVector3d(0, 2, 0));
  ASSERT_EQ(xline.getParamAtPoint(AcGePoint3d(1, -1, 0), param), Acad::eOk);
  EXPECT_NEAR(param, -2.0, kTol);
  AcGePoint3d p;
  EXPECT_EQ(xline.getStartPoint(p), Acad::eNotApplicable);

  AcDbSolid solid(AcGePoint3d(0, 0, 0), AcGePoint3d(2, 0, 0), AcGePoint3d(0, 1, 0), AcGePoint3d(2, 1, 0));
  ASSERT_EQ(solid.transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kXAxis)), Acad::eOk);
  EXPECT_TRUE(solid.normal().isEqualTo(AcGeVector3d(0, -1, 0)));
  dbtest::expectExtents(solid, AcGePoint3d(0, 0, 0), AcGePoint3d(2, 0, 1));
}

TEST(Polyline, WidthsOfTheFirstVertexAreKept) {
  AcDbPolyline pl;
  ASSERT_EQ(pl.addVertexAt(0, AcGePoint2d(0, 0), 0.0, 2.0, 3.5), Acad::eOk);
  ASSERT_EQ(pl.addVertexAt(1, AcGePoint2d(1, 0)), Acad::eOk);
  EXPECT_EQ(dbtest::widthsAt(pl, 0), std::make_pair(2.0, 3.5));
  EXPECT_EQ(dbtest::widthsAt(pl, 1).first, 0.0);
  ASSERT_EQ(pl.addVertexAt(0, AcGePoint2d(-1, 0), 0.0, 1.0, 1.0), Acad::eOk);
  EXPECT_EQ(dbtest::widthsAt(pl, 1), std::make_pair(2.0, 3.5));
}

TEST(Polyline, SettersCheckTheirIndex) {
  AcDbPolyline pl;
  double b = 0.0;
  EXPECT_EQ(pl.setPointAt(0, AcGePoint2d()), Acad::eInvalidIndex);
  EXPECT_EQ(pl.getBulgeAt(0, b), Acad::eInvalidIndex);
  EXPECT_EQ(pl.getStartParam(b), Acad::eDegenerateGeometry);
  for (unsigned i = 0; i < 5; ++i) pl.addVertexAt(i, AcGePoint2d(i, 0));
  EXPECT_EQ(pl.setBulgeAt(4, 0.5), Acad::eOk);
  EXPECT_EQ(pl.setBulgeAt(5, 0.5), Acad::eInvalidIndex);
  EXPECT_EQ(pl.setWidthsAt(2, -1.0, 1.0), Acad::eInvalidInput);
  EXPECT_EQ(pl.setWidthsAt(2, 0.5, 1.0), Acad::eOk);
  EXPECT_TRUE(pl.hasWidth());
  EXPECT_TRUE(pl.hasBulges());
  pl.reset(true, 2);
  EXPECT_EQ(pl.numVerts(), 2u);
  EXPECT_FALSE(pl.hasWidth());
  EXPECT_FALSE(pl.hasBulges());
  pl.reset(false, 0);
  EXPECT_EQ(pl.numVerts(), 0u);
}

}  // namespace
