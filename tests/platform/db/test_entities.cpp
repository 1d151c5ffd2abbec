// Entity properties, layers and colours, extended data, cloning, parts of old-style polylines
// and header variables.
#include "db_test_util.h"

#include <contura/db/rawtags.h>
#include <dbapserv.h>
#include <dbelipse.h>
#include <dbents.h>
#include <dbfiler.h>
#include <dbhatch.h>
#include <dbmtext.h>
#include <dbpl.h>
#include <dbspline.h>

#include <algorithm>
#include <cmath>
#include <cstring>

using dbtest::kPi;
using dbtest::takeString;

namespace {

// A class of another module: a text with a code of its own, filed through the filer. It
// reads only the items it knows, pushes the first other one back and reads it again.
class TestCodedText : public AcDbText {
public:
  ACRX_DECLARE_MEMBERS(TestCodedText);
  TestCodedText() = default;
  std::string code;
  long number = 0;
  int pushedBackSeen = 0;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override {
    Acad::ErrorStatus es = AcDbText::dxfOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeString(100, "TestCodedText");
    filer->writeString(1, code.c_str());
    filer->writeInt32(90, Adesk::Int32(number));
    filer->writePoint3d(10, AcGePoint3d(1, 2, 3));
    return filer->filerStatus();
  }
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override {
    Acad::ErrorStatus es = AcDbText::dxfInFields(filer);
    if (es != Acad::eOk) return es;
    if (!filer->atSubclassData("TestCodedText")) return Acad::eBadDxfSequence;
    resbuf rb;
    while (filer->readItem(&rb) == Acad::eOk) {
      if (rb.restype == 1) code = rb.resval.rstring;
      else if (rb.restype == 90) number = rb.resval.rlong;
      else {
        filer->pushBackItem();
        break;
      }
    }
    if (filer->readItem(&rb) == Acad::eOk && rb.restype == 10 && rb.resval.rpoint[2] == 3.0) ++pushedBackSeen;
    EXPECT_TRUE(filer->atEOF());
    return Acad::eOk;
  }
};
ACRX_CONS_DEFINE_MEMBERS(TestCodedText, AcDbText, 1)

TEST(Entities, CommonPropertiesAndSetLayer) {
  AcDbDatabase db;
  dbtest::addLayer(db, "WALL", 5);
  acdbHostApplicationServices()->setWorkingDatabase(&db);
  auto* line = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(3, 4, 0));
  // A new entity resolves layer names in the working database.
  EXPECT_EQ(line->setLayer("wall"), Acad::eOk);
  EXPECT_EQ(line->setLayer("NO_SUCH_LAYER"), Acad::eKeyNotFound);
  EXPECT_EQ(takeString(line->layer()), "WALL");
  EXPECT_EQ(line->setLayer(db.celtype()), Acad::eWrongObjectType);
  EXPECT_EQ(line->setLayer(AcDbObjectId::kNull), Acad::eNullObjectId);
  EXPECT_EQ(line->setLinetype("Continuous"), Acad::eOk);
  EXPECT_EQ(line->setLinetypeScale(2.5), Acad::eOk);
  EXPECT_EQ(line->setLinetypeScale(0.0), Acad::eInvalidInput);
  EXPECT_EQ(line->setColorIndex(3), Acad::eOk);
  const AcDbObjectId id = dbtest::appendToModelSpace(db, line);
  acdbHostApplicationServices()->setWorkingDatabase(nullptr);

  dbtest::Opened<AcDbEntity> ent(id, AcDb::kForWrite);
  EXPECT_EQ(takeString(ent->layer()), "WALL");
  EXPECT_EQ(takeString(ent->linetype()), "Continuous");
  EXPECT_EQ(ent->linetypeScale(), 2.5);
  EXPECT_EQ(ent->colorIndex(), 3);
  EXPECT_EQ(ent->color().colorMethod(), AcCmEntityColor::kByACI);
  // Resident: names resolve in its own database, whatever is working.
  EXPECT_EQ(ent->setLayer("0"), Acad::eOk);
  EXPECT_EQ(ent->setLayer("wall2"), Acad::eKeyNotFound);
  EXPECT_EQ(takeString(ent->layer()), "0");
  AcCmColor trueColor;
  trueColor.setRGB(12, 34, 56);
  trueColor.setNames("Blue-ish", "My Book");
  ASSERT_EQ(ent->setColor(trueColor), Acad::eOk);
  EXPECT_EQ(ent->color(), trueColor);
  EXPECT_EQ(ent->colorIndex(), AcCmEntityColor::lookUpACI(12, 34, 56));
  EXPECT_EQ(ent->setColorIndex(300), Acad::eOutOfRange);
  EXPECT_TRUE(ent->color().isByColor());
}

TEST(Entities, AppendGivesDefaultsAndMapsForeignLayers) {
  AcDbDatabase db;
  AcDbDatabase other;
  const AcDbObjectId wallHere = dbtest::addLayer(db, "WALL");
  const AcDbObjectId wallThere = dbtest::addLayer(other, "Wall");
  dbtest::addLayer(other, "ONLY_THERE");
  auto* a = new AcDbLine();
  EXPECT_TRUE(a->layerId().isNull());
  dbtest::appendToModelSpace(db, a);
  EXPECT_EQ(dbtest::nameOf(AcDbObjectId(static_cast<AcDbStub*>(a->layerId()))), "0");
  EXPECT_EQ(a->linetypeId(), db.celtype());

  acdbHostApplicationServices()->setWorkingDatabase(&other);
  auto* b = new AcDbCircle();
  b->setLayer("WALL");
  EXPECT_EQ(b->layerId(), wallThere);
  auto* c = new AcDbPoint();
  c->setLayer("ONLY_THERE");
  acdbHostApplicationServices()->setWorkingDatabase(nullptr);
  dbtest::appendToModelSpace(db, b);
  dbtest::appendToModelSpace(db, c);
  EXPECT_EQ(b->layerId(), wallHere);   // the record of the same name
  EXPECT_EQ(c->layerId(), db.clayer());  // none there: the current layer
}

TEST(Entities, PropertiesRoundTrip) {
  AcDbArc arc(AcGePoint3d(1, 2, 3), AcGeVector3d(0, 0, 2), 5.0, -kPi / 2, 7 * kPi);
  EXPECT_EQ(arc.normal(), AcGeVector3d::kZAxis);
  EXPECT_NEAR(arc.startAngle(), 1.5 * kPi, 1e-12);
  EXPECT_NEAR(arc.endAngle(), kPi, 1e-12);
  EXPECT_NEAR(arc.totalAngle(), 1.5 * kPi, 1e-12);
  EXPECT_EQ(arc.setRadius(-1.0), Acad::eInvalidInput);

  AcDbText text(AcGePoint3d(1, 1, 0), "\xB1\xE4\xC1\xBF", AcDbObjectId::kNull, 2.5, 0.5);
  EXPECT_STREQ(text.textStringConst(), "\xB1\xE4\xC1\xBF");
  EXPECT_EQ(takeString(text.textString()), "\xB1\xE4\xC1\xBF");
  EXPECT_EQ(text.setWidthFactor(0.0), Acad::eInvalidInput);
  EXPECT_EQ(text.setHorizontalMode(AcDb::kTextCenter), Acad::eOk);
  EXPECT_EQ(text.setVerticalMode(AcDb::kTextTop), Acad::eOk);
  EXPECT_FALSE(text.isDefaultAlignment());
  EXPECT_EQ(text.setTextString(nullptr), Acad::eOk);
  EXPECT_STREQ(text.textStringConst(), "");

  AcDbAttributeDefinition def(AcGePoint3d(), "default", "TAG", "Enter value");
  def.setInvisible(true);
  def.setPreset(true);
  AcDbAttribute att;
  ASSERT_EQ(att.setAttributeFromBlock(&def, AcGeMatrix3d::translation(AcGeVector3d(10, 0, 0))), Acad::eOk);
  EXPECT_EQ(takeString(att.tag()), "TAG");
  EXPECT_STREQ(att.textStringConst(), "default");
  EXPECT_TRUE(att.isInvisible() && att.isPreset());
  EXPECT_EQ(att.position(), AcGePoint3d(10, 0, 0));
  EXPECT_EQ(att.setTag(""), Acad::eInvalidInput);

  AcDbMText mtext;
  mtext.setContents("A\\PB");
  mtext.setTextHeight(3.0);
  EXPECT_EQ(mtext.setTextHeight(0.0), Acad::eInvalidInput);
  EXPECT_EQ(mtext.setAttachment(AcDbMText::kMiddleCenter), Acad::eOk);
  EXPECT_EQ(mtext.setAttachment(AcDbMText::AttachmentPoint(10)), Acad::eInvalidInput);
  EXPECT_EQ(mtext.setDirection(AcGeVector3d(0, 1, 0)), Acad::eOk);
  EXPECT_NEAR(mtext.rotation(), kPi / 2, 1e-12);
  EXPECT_EQ(mtext.setLineSpacingFactor(5.0), Acad::eInvalidInput);

  AcDbBlockReference ref(AcGePoint3d(1, 2, 0), AcDbObjectId::kNull);
  EXPECT_EQ(ref.setScaleFactors(AcGeScale3d(2, 0, 1)), Acad::eInvalidInput);
  EXPECT_EQ(ref.setScaleFactors(AcGeScale3d(2, 3, 1)), Acad::eOk);
  EXPECT_EQ(ref.setRotation(-kPi / 2), Acad::eOk);
  EXPECT_NEAR(ref.rotation(), 1.5 * kPi, 1e-12);
  AcDbMInsertBlock minsert(AcGePoint3d(), AcDbObjectId::kNull, 3, 2, 10.0, 20.0);
  EXPECT_EQ(minsert.setRows(0), Acad::eInvalidInput);

  AcDbSolid solid(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0), AcGePoint3d(0, 1, 0));
  AcGePoint3d p;
  ASSERT_EQ(solid.getPointAt(3, p), Acad::eOk);
  EXPECT_EQ(p, AcGePoint3d(0, 1, 0));
  EXPECT_EQ(solid.getPointAt(4, p), Acad::eInvalidIndex);

  AcDbEllipse ellipse;
  EXPECT_EQ(ellipse.set(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(0, 0, 2), 0.5), Acad::eInvalidInput);
  EXPECT_EQ(ellipse.set(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(2, 0, 0), 1.5), Acad::eInvalidInput);
  ASSERT_EQ(ellipse.set(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(2, 0, 0), 0.5, 0.0, kPi / 2), Acad::eOk);
  EXPECT_TRUE(ellipse.minorAxis().isEqualTo(AcGeVector3d(0, 1, 0)));
  EXPECT_FALSE(ellipse.isClosed());

  AcGePoint3dArray ctl;
  for (int i = 0; i < 4; ++i) ctl.append(AcGePoint3d(i, i % 2, 0));
  AcGeDoubleArray knots, weights;
  for (double k : {0.0, 0.0, 0.0, 0.0, 1.0, 1.0, 1.0, 1.0}) knots.append(k);
  AcDbSpline spline;
  EXPECT_EQ(spline.setNurbsData(3, false, false, false, ctl, knots, weights), Acad::eOk);
  knots.removeLast();
  EXPECT_EQ(spline.setNurbsData(3, false, false, false, ctl, knots, weights), Acad::eInvalidInput);
}

TEST(ExtendedData, ResbufsRoundTripAndReplacePerApplication) {
  AcDbDatabase db;
  dbtest::MisuseRecorder misuse;
  const AcDbObjectId id = dbtest::appendToModelSpace(db, new AcDbLine());
  AcDbEntity* ent = nullptr;
  ASSERT_EQ(acdbOpenAcDbEntity(ent, id, AcDb::kForWrite), Acad::eOk);
  ads_point where = {1.5, -2.0, 3.25};
  char bytes[] = {'\x00', '\x7F', '\xFF', 'A'};
  ads_binary chunk{4, bytes};
  resbuf* list = acutBuildList(1001, "ACAD", 1000, "\xD6\xD0\xCE\xC4", 1010, where, 1040, 0.1, 1070, 42, 1071,
                               Adesk::Int32(100000), 1002, "{", 1004, &chunk, 1005, "1F", 1041, 2.5, 1002, "}", 0);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(ent->setXData(list), Acad::eOk);
  acutRelRb(list);

  resbuf* back = ent->xData("acad");
  ASSERT_NE(back, nullptr);
  std::vector<short> types;
  for (resbuf* rb = back; rb; rb = rb->rbnext) types.push_back(rb->restype);
  EXPECT_EQ(types, (std::vector<short>{1001, 1000, 1010, 1040, 1070, 1071, 1002, 1004, 1005, 1041, 1002}));
  const resbuf* rb = back->rbnext;
  EXPECT_STREQ(rb->resval.rstring, "\xD6\xD0\xCE\xC4");
  rb = rb->rbnext;
  EXPECT_EQ(rb->resval.rpoint[0], 1.5);
  EXPECT_EQ(rb->resval.rpoint[2], 3.25);
  rb = rb->rbnext;
  EXPECT_EQ(rb->resval.rreal, 0.1);  // shortest exact text reads back the same double
  EXPECT_EQ(rb->rbnext->resval.rint, 42);
  rb = rb->rbnext->rbnext;
  EXPECT_EQ(rb->resval.rlong, 100000);
  const resbuf* bin = rb->rbnext->rbnext;
  ASSERT_EQ(bin->resval.rbinary.clen, 4);
  EXPECT_EQ(std::memcmp(bin->resval.rbinary.buf, bytes, 4), 0);
  EXPECT_STREQ(bin->rbnext->resval.rstring, "1F");
  EXPECT_EQ(bin->rbnext->rbnext->resval.rreal, 2.5);
  acutRelRb(back);
  // The raw view holds the same data as drawing-file tags.
  const AcDbRawTags& raw = contura::db::rawXData(*ent);
  ASSERT_GE(raw.size(), 5u);
  EXPECT_EQ(raw[2], (AcDbRawTag{1010, "1.5"}));
  EXPECT_EQ(raw[3], (AcDbRawTag{1020, "-2"}));
  EXPECT_NE(std::find(raw.begin(), raw.end(), AcDbRawTag{1004, "007FFF41"}), raw.end());

  // Unregistered applications and codes outside extended data are refused, nothing changes.
  resbuf* bad = acutBuildList(1001, "NOT_REGISTERED", 1000, "x", 0);
  EXPECT_EQ(ent->setXData(bad), Acad::eRegappIdNotFound);
  acutRelRb(bad);
  bad = acutBuildList(1001, "ACAD", 8, "layer", 0);
  EXPECT_EQ(ent->setXData(bad), Acad::eInvalidResBuf);
  acutRelRb(bad);
  bad = acutBuildList(1000, "no application first", 0);
  EXPECT_EQ(ent->setXData(bad), Acad::eInvalidResBuf);
  acutRelRb(bad);
  EXPECT_EQ(contura::db::rawXData(*ent), raw);

  // A second application is added beside the first; an empty group removes one.
  AcDbRegAppTable* apps = nullptr;
  ASSERT_EQ(db.getRegAppTable(apps, AcDb::kForWrite), Acad::eOk);
  auto* app = new AcDbRegAppTableRecord();
  app->setName("CONTURA");
  apps->add(app);
  app->close();
  apps->close();
  resbuf* second = acutBuildList(1001, "CONTURA", 1000, "v", 0);
  ASSERT_EQ(ent->setXData(second), Acad::eOk);
  acutRelRb(second);
  resbuf* all = ent->xData();
  int apps2 = 0;
  for (resbuf* r = all; r; r = r->rbnext) apps2 += r->restype == 1001;
  EXPECT_EQ(apps2, 2);
  acutRelRb(all);
  resbuf* removeAcad = acutBuildList(1001, "ACAD", 0);
  ASSERT_EQ(ent->setXData(removeAcad), Acad::eOk);
  acutRelRb(removeAcad);
  EXPECT_EQ(ent->xData("ACAD"), nullptr);
  resbuf* left = ent->xData();
  ASSERT_NE(left, nullptr);
  EXPECT_STREQ(left->resval.rstring, "CONTURA");
  acutRelRb(left);
  ent->close();
  EXPECT_TRUE(misuse.reports().empty());
  EXPECT_EQ(acutBuildList(12345, 1, 0), nullptr);  // a type no resbuf carries
}

TEST(Cloning, CopiesTypedDataExtendedDataAndOtherModulesData) {
  TestCodedText::rxInit();
  AcDbDatabase db;
  auto* text = new TestCodedText();
  text->setTextString("name");
  text->setHeight(2.0);
  text->code = "\xB4\xFA\xC2\xEB";
  text->number = 7;
  resbuf* xd = acutBuildList(1001, "ACAD", 1000, "tagged", 0);
  ASSERT_EQ(text->setXData(xd), Acad::eOk);
  acutRelRb(xd);
  const AcDbObjectId id = dbtest::appendToModelSpace(db, text);
  AcDbObject* obj = nullptr;
  ASSERT_EQ(acdbOpenObject(obj, id, AcDb::kForRead), Acad::eOk);
  AcRxObject* copyObj = obj->clone();
  obj->close();
  auto* copy = TestCodedText::cast(copyObj);
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(copy->isNewObject());
  EXPECT_STREQ(copy->textStringConst(), "name");
  EXPECT_EQ(copy->height(), 2.0);
  EXPECT_EQ(copy->code, "\xB4\xFA\xC2\xEB");
  EXPECT_EQ(copy->number, 7);
  EXPECT_EQ(copy->pushedBackSeen, 1);
  EXPECT_EQ(copy->layerId(), db.clayer());
  resbuf* back = copy->xData();
  ASSERT_NE(back, nullptr);
  EXPECT_STREQ(back->rbnext->resval.rstring, "tagged");
  acutRelRb(back);
  delete copy;

  // copyFrom refuses another class.
  AcDbLine line;
  AcDbCircle circle;
  EXPECT_EQ(line.copyFrom(&circle), Acad::eNotThatKindOfClass);
  EXPECT_EQ(line.copyFrom(nullptr), Acad::eNullObjectPointer);
  deleteAcRxClass(TestCodedText::desc());
}

TEST(RawEntities, KeepTheirTagsAndRefuseTransforms) {
  AcDbRawEntity::desc();
  auto* raw = AcDbRawEntity::cast(AcDbRawEntity::desc()->create());
  ASSERT_NE(raw, nullptr);
  raw->setDxfName("DIMENSION");
  raw->setTags({{100, "AcDbDimension"}, {10, "1.5"}});
  AcDbEntity* copy = nullptr;
  EXPECT_EQ(raw->getTransformedCopy(AcGeMatrix3d::translation(AcGeVector3d(1, 0, 0)), copy), Acad::eNotApplicable);
  EXPECT_EQ(copy, nullptr);
  ASSERT_EQ(raw->getTransformedCopy(AcGeMatrix3d::kIdentity, copy), Acad::eOk);
  auto* rawCopy = AcDbRawEntity::cast(copy);
  ASSERT_NE(rawCopy, nullptr);
  EXPECT_EQ(rawCopy->dxfName(), "DIMENSION");
  EXPECT_EQ(rawCopy->tags(), raw->tags());
  AcDbExtents ext;
  EXPECT_EQ(raw->getGeomExtents(ext), Acad::eInvalidExtents);
  delete copy;
  delete raw;
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

}  // namespace
