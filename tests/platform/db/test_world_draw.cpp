// What each entity draws through the drawing interface, and how the consumer base resolves
// block transforms, "by block" colours, layer "0" inside blocks and hidden layers.
#include "db_test_util.h"
#include "draw_recorder.h"

#include <AcDbVarCommon.h>
#include <contura/db/rawtags.h>
#include <contura/ge/text_box.h>
#include <dbelipse.h>
#include <dbhatch.h>
#include <dbmtext.h>

#include <functional>

using namespace dbtest;

namespace {

AcGePoint3d P(double x, double y) { return AcGePoint3d(x, y, 0.0); }

AcDbEntity* squareHatch(bool solid) {
  auto* h = new AcDbHatch();
  h->setPattern(AcDbHatch::kPreDefined, solid ? "SOLID" : "ANSI31");
  h->appendLoop(AcDbHatch::kExternal, arrayOf({AcGePoint2d(0, 0), AcGePoint2d(4, 0), AcGePoint2d(4, 4), AcGePoint2d(0, 4)}),
                AcGeDoubleArray());
  h->appendLoop(AcDbHatch::kDefault, arrayOf({AcGePoint2d(1, 1), AcGePoint2d(2, 1), AcGePoint2d(2, 2)}), AcGeDoubleArray());
  return h;
}

AcDbEntity* aligned(AcDb::TextHorzMode h, AcDb::TextVertMode v) {
  auto* t = new AcDbText(P(0, 0), "AB", AcDbObjectId::kNull, 3.0);
  t->setHorizontalMode(h);
  t->setVerticalMode(v);
  t->setAlignmentPoint(P(10, 10));
  return t;
}

struct Case {
  const char* name;
  std::function<AcDbEntity*(AcDbDatabase&)> make;
  std::string kinds;
  AcGePoint3d key;  // of the first primitive
  double size;      // of the first primitive: L/P points, A radius, F loops, T box width, I 1 for a ray
};

double sizeOf(const Primitive& p) {
  switch (p.kind) {
    case 'A': return p.radius;
    case 'F': return double(p.loops);
    case 'T': return p.sweep;
    case 'I': return p.closed ? 1.0 : 0.0;
    default: return double(p.points.size());
  }
}

}  // namespace

TEST(WorldDraw, EachEntityDrawsItsPrimitives) {
  const double w2 = contura::ge::textBoxWidth("AB", 3.0);
  const std::vector<Case> cases = {
      {"line", [](AcDbDatabase&) { return line(1, 2, 3, 4); }, "L", P(1, 2), 2},
      {"circle", [](AcDbDatabase&) { return new AcDbCircle(P(5, 5), AcGeVector3d::kZAxis, 2); }, "A", P(5, 5), 2},
      {"arc", [](AcDbDatabase&) { return arc(1, 1, 3, 0, kPi / 2); }, "A", P(1, 1), 3},
      // Lines join into one run; an arc segment is its own primitive; a closed run of lines is closed.
      {"polyline", [](AcDbDatabase&) { return polyline({{0, 0}, {10, 0, 1}, {10, 10}, {0, 10}}, true); }, "LAL", P(0, 0), 2},
      {"closed lines", [](AcDbDatabase&) { return polyline({{0, 0}, {1, 0}, {1, 1}}, true); }, "L", P(0, 0), 3},
      {"single vertex", [](AcDbDatabase&) { return polyline({{7, 8}}); }, "L", P(7, 8), 1},
      {"wide polyline",
       [](AcDbDatabase&) {
         AcDbPolyline* pl = polyline({{0, 0}, {10, 0, 1}, {10, 10}});
         pl->setConstantWidth(2.0);
         return pl;
       },
       "FF", P(0, 1), 1},
      {"old polyline", [](AcDbDatabase&) { return poly2d({{0, 0}, {10, 0, -1}, {20, 0}}); }, "LA", P(0, 0), 2},
      {"ellipse",
       [](AcDbDatabase&) { return new AcDbEllipse(P(0, 0), AcGeVector3d::kZAxis, AcGeVector3d(4, 0, 0), 0.5); },
       "L", P(4, 0), 129},
      {"left text", [](AcDbDatabase&) { return new AcDbText(P(2, 3), "AB", AcDbObjectId::kNull, 3.0); }, "T", P(2, 3), w2},
      {"right top text", [](AcDbDatabase&) { return aligned(AcDb::kTextRight, AcDb::kTextTop); }, "T", P(10 - w2, 7), w2},
      {"middle text", [](AcDbDatabase&) { return aligned(AcDb::kTextMid, AcDb::kTextBase); }, "T", P(10 - w2 / 2, 8.5), w2},
      {"empty text", [](AcDbDatabase&) { return new AcDbText(P(2, 3), "", AcDbObjectId::kNull, 3.0); }, "", P(0, 0), 0},
      {"invisible attribute definition",
       [](AcDbDatabase&) {
         auto* d = new AcDbAttributeDefinition(P(0, 0), "V", "TAG", "?");
         d->setInvisible(true);
         return d;
       },
       "", P(0, 0), 0},
      {"paragraph text",
       [](AcDbDatabase&) {
         auto* m = new AcDbMText();
         m->setLocation(P(0, 0));
         m->setTextHeight(3.0);
         m->setAttachment(AcDbMText::kBottomRight);
         m->setContents("AB\\PCD");
         return m;
       },
       "TT", P(-w2, 3.0 * 5.0 / 3.0), w2},
      {"solid hatch with a hole", [](AcDbDatabase&) { return squareHatch(true); }, "FLL", P(0, 0), 2},
      {"pattern hatch", [](AcDbDatabase&) { return squareHatch(false); }, "FLL", P(0, 0), 2},
      {"solid", [](AcDbDatabase&) { return new AcDbSolid(P(0, 0), P(1, 0), P(0, 1), P(1, 1)); }, "F", P(0, 0), 1},
      {"point", [](AcDbDatabase&) { return new AcDbPoint(P(3, 4)); }, "P", P(3, 4), 1},
      {"ray", [](AcDbDatabase&) { return ray(1, 1, 0, 2); }, "I", P(1, 1), 1},
      {"construction line", [](AcDbDatabase&) { return ray(1, 1, 0, 2, true); }, "I", P(1, 1), 0},
      {"region",
       [](AcDbDatabase&) {
         std::unique_ptr<AcDbPolyline> square(polyline({{0, 0}, {2, 0}, {2, 2}, {0, 2}}, true));
         AcDbVoidPtrArray curves, regions;
         curves.append(square.get());
         EXPECT_EQ(AcDbRegion::createFromCurves(curves, regions), Acad::eOk);
         return static_cast<AcDbEntity*>(regions[0]);
       },
       "L", P(0, 0), 4},
      {"dimension",
       [](AcDbDatabase& db) {
         appendToBlock(db, "*D1", line(5, 5, 6, 6));
         auto* dim = new AcDbRawEntity();
         dim->setDxfName("DIMENSION");
         dim->setTags({{2, "*D1"}});
         return dim;
       },
       "L", P(5, 5), 2},
      {"unknown raw entity",
       [](AcDbDatabase&) {
         auto* raw = new AcDbRawEntity();
         raw->setDxfName("LEADER");
         return raw;
       },
       "", P(0, 0), 0},
      {"grid of references",
       [](AcDbDatabase& db) {
         AcDbObjectId block;
         appendToBlock(db, "G", new AcDbPoint(P(0, 0)), &block);
         return new AcDbMInsertBlock(P(1, 1), block, 3, 2, 10.0, 20.0);
       },
       "PPPPPP", P(1, 1), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AcDbDatabase db;
    const AcDbObjectId id = appendToModelSpace(db, c.make(db));
    DrawRecorder rec(&db);
    ASSERT_TRUE(rec.drawEntity(id));
    ASSERT_EQ(rec.kinds(), c.kinds);
    if (c.kinds.empty()) continue;
    expectNear(rec.prims[0].key(), c.key, 1e-9);
    EXPECT_NEAR(sizeOf(rec.prims[0]), c.size, 1e-9);
  }
}

// Hatch areas: the pattern is marked, the solid is not; a solid's corners go round (the file
// order crosses the last two).
TEST(WorldDraw, FillsAreMarkedAndSolidsGoRound) {
  AcDbDatabase db;
  DrawRecorder rec(&db);
  rec.drawEntity(appendToModelSpace(db, squareHatch(false)));
  rec.drawEntity(appendToModelSpace(db, squareHatch(true)));
  rec.drawEntity(appendToModelSpace(db, new AcDbSolid(P(0, 0), P(1, 0), P(0, 1), P(1, 1))));
  ASSERT_EQ(rec.kinds(), "FLLFLLF");
  EXPECT_TRUE(rec.prims[0].style.filled && rec.prims[0].style.pattern);
  EXPECT_TRUE(rec.prims[3].style.filled && !rec.prims[3].style.pattern);
  EXPECT_FALSE(rec.prims[1].style.filled);
  expectNear(rec.prims[6].points[2], P(1, 1));
  expectNear(rec.prims[6].points[3], P(0, 1));
}

// A reference (on layer TOP, by layer) of a block holding a reference (red, layer 0, scaled
// 2 x 1) of a block holding a circle (by block, layer 0), a line (by layer, layer 0) and a
// line on a frozen layer.
TEST(WorldDraw, NestedBlocksResolveColoursLayersAndStretch) {
  AcDbDatabase db;
  const AcDbObjectId top = addLayer(db, "TOP", 5);
  const AcDbObjectId frozen = addLayer(db, "FROZEN", 2);
  {
    Opened<AcDbLayerTableRecord> layer(frozen, AcDb::kForWrite);
    layer->setIsFrozen(true);
  }
  auto* circle = new AcDbCircle(P(0, 0), AcGeVector3d::kZAxis, 1.0);
  circle->setColorIndex(0);
  AcDbObjectId inner;
  appendToBlock(db, "INNER", circle, &inner);
  appendToBlock(db, "INNER", line(0, 0, 1, 0));
  auto* hidden = line(0, 0, 0, 1);
  hidden->setLayer(frozen);
  appendToBlock(db, "INNER", hidden);
  auto* innerRef = new AcDbBlockReference(P(10, 0), inner);
  innerRef->setScaleFactors(AcGeScale3d(2, 1, 1));
  innerRef->setColorIndex(1);
  AcDbObjectId outer;
  appendToBlock(db, "OUTER", innerRef, &outer);
  auto* outerRef = new AcDbBlockReference(P(100, 0), outer);
  outerRef->setLayer(top);
  const AcDbObjectId id = appendToModelSpace(db, outerRef);

  DrawRecorder rec(&db);
  ASSERT_TRUE(rec.drawEntity(id));
  ASSERT_EQ(rec.kinds(), "LL");  // the stretched circle is cut into pieces
  const Primitive& ellipse = rec.prims[0];
  EXPECT_EQ(ellipse.style.color.colorIndex(), 1);
  EXPECT_EQ(ellipse.style.layer, top);
  expectNear(ellipse.points.front(), P(112, 0));
  for (const AcGePoint3d& p : ellipse.points) EXPECT_NEAR(std::pow((p.x - 110) / 2, 2) + p.y * p.y, 1.0, 1e-9);
  const Primitive& ln = rec.prims[1];
  EXPECT_EQ(ln.style.color.colorIndex(), 5);
  EXPECT_EQ(ln.style.layer, top);
  expectNear(ln.points.back(), P(112, 0));

  AcGePoint3d lo, hi;
  Opened<AcDbEntity> ref(id);
  ASSERT_TRUE(contura::db::drawnExtents(*ref.get(), lo, hi));
  expectNear(lo, P(108, -1), 1e-6);
  expectNear(hi, P(112, 1), 1e-6);

  // At the top, "by block" is white.
  circle = new AcDbCircle(P(0, 0), AcGeVector3d::kZAxis, 1.0);
  circle->setColorIndex(0);
  rec.prims.clear();
  rec.drawEntity(appendToModelSpace(db, circle));
  EXPECT_EQ(rec.prims.at(0).style.color.colorIndex(), 7);
}

// The variable entity: its name in the entity's colour when shown, its value in the value's.
TEST(WorldDraw, VariableDrawsNameAndValueInTheirColours) {
  for (long nameVisible : {1L, 0L}) {
    AcDbDatabase db;
    auto* var = new AcDbVarCommon();
    var->setTextString("H");
    var->setHeight(2.0);
    var->setColorIndex(4);
    var->putNameVisible(nameVisible);
    var->putVarSetValue("12");
    var->putValuePosition(P(5, 6));
    var->putVarValueHeight(1.5);
    var->putVarAngle(kPi / 2);
    var->putVarValueColor(3);
    DrawRecorder rec(&db);
    rec.drawEntity(appendToModelSpace(db, var));
    ASSERT_EQ(rec.kinds(), nameVisible ? "TT" : "T");
    if (nameVisible) {
      EXPECT_EQ(rec.prims.front().style.color.colorIndex(), 4);
    }
    const Primitive& value = rec.prims.back();
    EXPECT_EQ(value.text, "12");
    EXPECT_EQ(value.style.color.colorIndex(), 3);
    expectNear(value.center, P(5, 6));
    expectNear(AcGePoint3d::kOrigin + value.start, P(0, 1));
    EXPECT_DOUBLE_EQ(value.radius, 1.5);
  }
}
