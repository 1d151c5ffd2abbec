// Drawing files: the ezdxf fixtures read into the database, every object survives a write
// and a read, ezdxf and GDAL accept what is written, malformed files fail at their line,
// saves go through a temporary file, and classes of other modules file their own data.
#include <contura/db/database_access.h>
#include <contura/db/hatch_data.h>
#include <contura/db/rawtags.h>
#include <contura/dxf/dxf.h>
#include <contura/os/codepage.h>

#include <dbdict.h>
#include <dbelipse.h>
#include <dbents.h>
#include <dbhatch.h>
#include <dbfiler.h>
#include <dbgroup.h>
#include <dbmtext.h>
#include <dbpl.h>
#include <dbspline.h>
#include <dbsymtb.h>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

using namespace contura::dxf;
namespace cdb = contura::db;
namespace fs = std::filesystem;

namespace {

// The ezdxf drawings and the malformed corpus the build makes.
const std::string kData = CONTURA_MADE_DATA_DIR "/dxf/";
constexpr double kPi = 3.14159265358979323846;
const char* const kFixtures[] = {"fixture_r12.dxf", "fixture_r2000.dxf", "fixture_r2004.dxf",
                                 "fixture_r2018.dxf"};
// Code page 936 texts of the fixtures.
const std::string kWall = "\xC7\xBD\xCC\xE5";                      // 墙体
const std::string kChinese = "\xD6\xD0\xCE\xC4\xCE\xC4\xD7\xD6";  // 中文文字
const std::string kTwoLines = "\xC1\xBD\xCC\xF5\xCF\xDF";         // 两条线
const std::string kTrueColourLayerText = "\xD5\xE6\xB2\xCA\xC9\xAB\xCD\xBC\xB2\xE3";  // 真彩色图层

fs::path scratch(const std::string& name) {
  fs::path dir = fs::path(CONTURA_BINARY_DIR) / "tests" / "dxf-scratch";
  fs::create_directories(dir);
  return dir / name;
}

std::unique_ptr<AcDbDatabase> readFixture(const std::string& file) {
  auto db = std::make_unique<AcDbDatabase>(false, true);
  DxfError error;
  Acad::ErrorStatus es = readDxf(kData + file, *db, error);
  EXPECT_EQ(es, Acad::eOk) << file << ": " << error.text();
  return db;
}

std::string g(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}
std::string g(const AcGePoint3d& p) { return "(" + g(p.x) + "," + g(p.y) + "," + g(p.z) + ")"; }
std::string g(const AcGeVector3d& p) { return "(" + g(p.x) + "," + g(p.y) + "," + g(p.z) + ")"; }
std::string h(AcDbObjectId id) { return id.isNull() ? "0" : std::to_string(id.handle().value()); }
std::string tags(const AcDbRawTags& t) {
  std::string out;
  for (const AcDbRawTag& x : t) out += std::to_string(x.code) + "=" + x.value + ";";
  return out;
}
std::string nameOf(AcDbObjectId id) {
  AcDbSymbolTableRecord* rec = nullptr;
  if (acdbOpenObject(rec, id, AcDb::kForRead) != Acad::eOk) return "?";
  const ACHAR* n = nullptr;
  rec->getName(n);
  std::string out = n ? n : "";
  rec->close();
  return out;
}

// Everything the host interface shows of one object, written out so two drawings compare.
std::string describe(AcDbObject* o) {
  std::ostringstream s;
  AcDbHandle handle;
  o->getAcDbHandle(handle);
  s << o->isA()->name() << " #" << handle.value() << " owner " << h(o->ownerId());
  s << " xdict " << h(o->extensionDictionary()) << " xdata " << tags(cdb::rawXData(*o))
    << " groups " << tags(cdb::rawAppGroups(*o)) << " extra " << tags(cdb::rawExtra(*o));
  for (AcDbObjectId r : cdb::persistentReactors(*o)) s << " reactor " << h(r);
  if (auto* e = AcDbEntity::cast(o)) {
    s << " layer " << nameOf(e->layerId()) << " lt " << (e->linetypeId().isNull() ? "-" : nameOf(e->linetypeId()))
      << " colour " << e->color().color() << " lw " << e->lineWeight() << " lts " << g(e->linetypeScale())
      << " vis " << e->visibility();
  }
  if (auto* x = AcDbLine::cast(o)) s << g(x->startPoint()) << g(x->endPoint()) << g(x->normal()) << g(x->thickness());
  if (auto* x = AcDbArc::cast(o)) s << g(x->center()) << g(x->radius()) << g(x->startAngle()) << g(x->endAngle());
  if (auto* x = AcDbCircle::cast(o)) s << g(x->center()) << g(x->radius()) << g(x->normal());
  if (auto* x = AcDbPoint::cast(o)) s << g(x->position());
  if (auto* x = AcDbText::cast(o)) {
    s << g(x->position()) << g(x->alignmentPoint()) << g(x->height()) << " '" << x->textStringConst()
      << "' " << g(x->rotation()) << g(x->widthFactor()) << g(x->oblique()) << nameOf(x->textStyle())
      << x->horizontalMode() << x->verticalMode() << x->isMirroredInX();
  }
  auto flags = [](auto* x) {
    return (x->isInvisible() ? 1 : 0) | (x->isConstant() ? 2 : 0) | (x->isVerifiable() ? 4 : 0) | (x->isPreset() ? 8 : 0);
  };
  if (auto* x = AcDbAttributeDefinition::cast(o)) s << x->tagConst() << "/" << x->promptConst() << " flags " << flags(x);
  if (auto* x = AcDbAttribute::cast(o)) s << x->tagConst() << " flags " << flags(x) << " " << x->fieldLength();
  if (auto* x = AcDbMText::cast(o)) {
    s << g(x->location()) << g(x->textHeight()) << g(x->width()) << x->attachment() << " '"
      << x->contentsConst() << "' " << g(x->direction()) << nameOf(x->textStyle());
  }
  if (auto* x = AcDbPolyline::cast(o)) {
    s << x->isClosed() << g(x->elevation());
    for (unsigned i = 0; i < x->numVerts(); ++i) {
      AcGePoint3d p;
      double b = 0, sw = 0, ew = 0;
      x->getPointAt(i, p);
      x->getBulgeAt(i, b);
      x->getWidthsAt(i, sw, ew);
      s << g(p) << g(b) << g(sw) << g(ew);
    }
  }
  if (auto* x = AcDb2dPolyline::cast(o)) s << x->polyType() << x->isClosed() << g(x->elevation());
  if (auto* x = AcDb2dVertex::cast(o)) s << g(x->position()) << g(x->bulge()) << g(x->startWidth()) << g(x->endWidth());
  if (auto* x = AcDbEllipse::cast(o)) s << g(x->center()) << g(x->majorAxis()) << g(x->radiusRatio()) << g(x->startParam()) << g(x->endParam());
  if (auto* x = AcDbSpline::cast(o)) {
    s << x->degree() << " cps " << x->numControlPoints() << " fit " << x->numFitPoints();
    for (int i = 0; i < x->numControlPoints(); ++i) {
      AcGePoint3d p;
      x->getControlPointAt(i, p);
      s << g(p);
    }
  }
  if (auto* x = AcDbRay::cast(o)) s << g(x->basePoint()) << g(x->unitDir());
  if (auto* x = AcDbBlockReference::cast(o)) {
    s << nameOf(x->blockTableRecord()) << g(x->position()) << g(x->rotation()) << g(x->scaleFactors().sx)
      << g(x->scaleFactors().sy);
  }
  if (auto* x = AcDbMInsertBlock::cast(o)) s << x->rows() << "x" << x->columns() << g(x->rowSpacing());
  if (auto* x = AcDbHatch::cast(o)) {
    const cdb::HatchData& d = cdb::hatchData(*x);
    s << d.patternName << d.solidFill << d.associative << d.style << g(d.patternAngle) << g(d.patternScale)
      << g(d.elevation) << " seeds " << d.seedPoints.size() << " lines " << d.patternLines.size() << " pixel "
      << g(d.pixelSize);
    for (const cdb::HatchLoop& loop : d.loops) {
      s << " loop " << loop.type << " v";
      for (const cdb::HatchVertex& v : loop.vertices) s << " " << g(v.pt.x) << "," << g(v.pt.y) << "," << g(v.bulge);
      for (const cdb::HatchEdge& e : loop.edges)
        s << " e" << e.type << g(e.start.x) << g(e.end.y) << g(e.center.x) << g(e.radius) << g(e.startAngle)
          << g(e.endAngle) << e.ccw << g(e.minorRatio) << e.controlPoints.size() << e.knots.size();
      for (AcDbObjectId b : loop.boundaryIds) s << " b" << h(b);
    }
  }
  if (auto* x = AcDbRawEntity::cast(o)) s << x->dxfName() << " " << tags(x->tags());
  if (auto* x = AcDbRawObject::cast(o)) s << x->dxfName() << " " << tags(x->tags());
  if (auto* x = AcDbSymbolTableRecord::cast(o)) {
    const ACHAR* n = nullptr;
    x->getName(n);
    s << " name '" << (n ? n : "") << "'";
  }
  if (auto* x = AcDbLayerTableRecord::cast(o)) {
    ACHAR* d = x->description();
    s << x->color().color() << x->isOff() << x->isFrozen() << x->isLocked() << x->isPlottable()
      << nameOf(x->linetypeObjectId()) << " '" << (d ? d : "") << "'";
    delete[] d;
  }
  if (auto* x = AcDbTextStyleTableRecord::cast(o)) {
    const ACHAR* f = nullptr;
    const ACHAR* b = nullptr;
    x->fileName(f);
    x->bigFontFileName(b);
    s << (f ? f : "") << "/" << (b ? b : "") << g(x->xScale()) << g(x->obliquingAngle());
  }
  if (auto* x = AcDbBlockTableRecord::cast(o)) {
    const ACHAR* p = nullptr;
    x->pathName(p);
    s << g(x->origin()) << (p ? p : "") << x->isFromExternalReference();
  }
  if (auto* x = AcDbDimStyleTableRecord::cast(o)) s << h(x->dimblk()) << g(x->dimasz()) << g(x->dimtxt());
  if (auto* x = AcDbDictionary::cast(o)) {
    std::unique_ptr<AcDbDictionaryIterator> it(x->newIterator());
    for (; !it->done(); it->next()) s << " [" << it->name() << "=" << h(it->objectId()) << "]";
  }
  if (auto* x = AcDbGroup::cast(o)) {
    ACHAR* d = x->description();
    AcDbObjectIdArray ids;
    x->allEntityIds(ids);
    s << " '" << (d ? d : "") << "' " << x->isSelectable();
    for (int i = 0; i < ids.length(); ++i) s << " " << h(ids[i]);
    delete[] d;
  }
  return s.str();
}

std::map<std::uint64_t, std::string> digest(AcDbDatabase& db) {
  std::map<std::uint64_t, std::string> out;
  for (AcDbObjectId id : cdb::allObjectIds(db)) {
    if (id.isErased()) continue;
    AcDbObject* o = nullptr;
    if (acdbOpenObject(o, id, AcDb::kForRead) != Acad::eOk) continue;
    out[id.handle().value()] = describe(o);
    o->close();
  }
  return out;
}

// Drops the subclass markers ("100=...;") of kept tags: a drawing read from R12 has none,
// and writing it as a newer version puts them in.
std::string withoutMarkers(std::string s) {
  for (std::size_t at = s.find("100="); at != std::string::npos; at = s.find("100=", at)) {
    if (at > 0 && s[at - 1] != ';' && s[at - 1] != ' ') {
      ++at;
      continue;
    }
    s.erase(at, s.find(';', at) + 1 - at);
  }
  return s;
}

// Every object of `a` is in `b` with the same values; with `added`, `b` may hold more (what a
// write completes: layouts for a drawing that had none) and kept tags may have gained
// subclass markers.
void expectSameDrawing(AcDbDatabase& a, AcDbDatabase& b, const std::string& what, bool added = false) {
  auto da = digest(a), db = digest(b);
  if (added) {
    for (auto& [h, t] : da) t = withoutMarkers(t);
    for (auto& [h, t] : db) t = withoutMarkers(t);
  }
  if (!added) {
    EXPECT_EQ(da.size(), db.size()) << what;
  }
  for (const auto& [handle, text] : da) {
    auto it = db.find(handle);
    if (it == db.end()) {
      ADD_FAILURE() << what << ": object lost: " << text;
      continue;
    }
    if (added && it->second.rfind(text, 0) == 0) continue;  // entries added (ACAD_LAYOUT)
    EXPECT_EQ(it->second, text) << what;
  }
}

std::unique_ptr<AcDbDatabase> roundTrip(AcDbDatabase& db, DxfVersion version, WriteWarnings* warnings = nullptr) {
  std::string text;
  DxfError error;
  WriteOptions options;
  options.version = version;
  EXPECT_EQ(writeDxfText(db, text, options, error, warnings), Acad::eOk) << error.text();
  auto back = std::make_unique<AcDbDatabase>(false, true);
  EXPECT_EQ(readDxfText(text, *back, error), Acad::eOk) << nameOf(version) << ": " << error.text();
  return back;
}

template <class Table, class Record>
Record* openRecord(AcDbDatabase& db, Acad::ErrorStatus (AcDbDatabase::*get)(Table*&, AcDb::OpenMode),
                   const std::string& name) {
  Table* t = nullptr;
  if ((db.*get)(t, AcDb::kForRead) != Acad::eOk) return nullptr;
  Record* r = nullptr;
  t->getAt(name.c_str(), r, AcDb::kForRead);
  t->close();
  return r;
}

std::map<std::string, int> countModelSpace(AcDbDatabase& db) {
  std::map<std::string, int> counts;
  AcDbBlockTableRecord* ms =
      openRecord<AcDbBlockTable, AcDbBlockTableRecord>(db, &AcDbDatabase::getBlockTable, "*Model_Space");
  if (!ms) return counts;
  AcDbBlockTableRecordIterator* it = nullptr;
  ms->newIterator(it);
  for (; !it->done(); it->step()) {
    AcDbEntity* e = nullptr;
    if (it->getEntity(e) != Acad::eOk) continue;
    ++counts[e->isA()->name()];
    e->close();
  }
  delete it;
  ms->close();
  return counts;
}

bool haveEzdxf() { return std::system("/usr/bin/python3 -c 'import ezdxf' >/dev/null 2>&1") == 0; }

std::string run(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe.get())) > 0) out.append(buf, n);
  return out;
}

}  // namespace

TEST(DxfDrawing, FixturesReadIntoTheDrawing) {
  for (const char* file : kFixtures) {
    SCOPED_TRACE(file);
    auto db = readFixture(file);
    const bool modern = std::string(file) != "fixture_r12.dxf";
    // Runs `check` on the layer `name`, which must be there.
    auto layer = [&](const std::string& name, const std::function<void(AcDbLayerTableRecord*)>& check) {
      AcDbLayerTableRecord* r =
          openRecord<AcDbLayerTable, AcDbLayerTableRecord>(*db, &AcDbDatabase::getLayerTable, name);
      ASSERT_NE(r, nullptr) << name;
      check(r);
      r->close();
    };
    layer("OFF_LAYER", [](AcDbLayerTableRecord* r) { EXPECT_TRUE(r->isOff() && r->color().colorIndex() == 1); });
    layer("FROZEN_LAYER", [](AcDbLayerTableRecord* r) { EXPECT_TRUE(r->isFrozen()); });
    layer("LOCKED_LAYER", [](AcDbLayerTableRecord* r) { EXPECT_TRUE(r->isLocked()); });
    layer(kWall, [](AcDbLayerTableRecord* r) { EXPECT_EQ(nameOf(r->linetypeObjectId()), "DASHED"); });
    if (modern) {
      layer("TRUECOLOR_LAYER", [&](AcDbLayerTableRecord* r) {
        ACHAR* d = r->description();
        EXPECT_EQ(std::string(d ? d : ""), kTrueColourLayerText);
        delete[] d;
        if (std::string(file) != "fixture_r2000.dxf") {  // ezdxf writes no true colour to R2000
          EXPECT_TRUE(r->color().isByColor() && r->color().green() == 200);
        }
      });
    }
    AcDbTextStyleTableRecord* hz =
        openRecord<AcDbTextStyleTable, AcDbTextStyleTableRecord>(*db, &AcDbDatabase::getTextStyleTable, "HZ");
    ASSERT_NE(hz, nullptr);
    const ACHAR* font = nullptr;
    const ACHAR* big = nullptr;
    hz->fileName(font);
    hz->bigFontFileName(big);
    EXPECT_STREQ(font, "txt.shx");
    EXPECT_STREQ(big, "gbcbig.shx");
    hz->close();
    AcDbDimStyleTableRecord* ds =
        openRecord<AcDbDimStyleTable, AcDbDimStyleTableRecord>(*db, &AcDbDatabase::getDimStyleTable, "ARROWS");
    ASSERT_NE(ds, nullptr);
    if (modern) {
      EXPECT_EQ(nameOf(ds->dimblk()), "MYARROW");
    }
    EXPECT_EQ(ds->dimasz(), 0.25);
    ds->close();
    for (const char* b : {"INNER", "OUTER", "TAGBLOCK", "MYARROW"}) {
      AcDbBlockTableRecord* rec =
          openRecord<AcDbBlockTable, AcDbBlockTableRecord>(*db, &AcDbDatabase::getBlockTable, b);
      ASSERT_NE(rec, nullptr) << b;
      rec->close();
    }
    // The definition NAME is verified and preset, and so is the attribute made from it.
    int verifiedPreset = 0;
    for (const auto& [handle, text] : digest(*db))
      if (text.find("NAME/ flags 12") != std::string::npos || text.find("NAME flags 12") != std::string::npos)
        ++verifiedPreset;
    EXPECT_EQ(verifiedPreset, 2);
    std::map<std::string, int> ms = countModelSpace(*db);
    EXPECT_EQ(ms["AcDbLine"], modern ? 4 : 2);
    EXPECT_EQ(ms["AcDbArc"], 1);
    EXPECT_EQ(ms["AcDbText"], 3);
    EXPECT_EQ(ms["AcDb2dPolyline"], 1);
    EXPECT_EQ(ms["AcDbMInsertBlock"], 1);
    if (!modern) continue;
    EXPECT_EQ(ms["AcDbPolyline"], 2);
    EXPECT_EQ(ms["AcDbMText"], 1);
    EXPECT_EQ(ms["AcDbEllipse"], 1);
    EXPECT_EQ(ms["AcDbSpline"], 2);
    EXPECT_EQ(ms["AcDbRay"], 1);
    EXPECT_EQ(ms["AcDbXline"], 1);
    // A dimension; from R2013 on regions and solids keep their modeller data in a section of
    // their own, so they stay raw too.
    EXPECT_EQ(ms["AcDbRawEntity"], std::string(file) == "fixture_r2018.dxf" ? 3 : 1);
    EXPECT_EQ(ms["AcDbHatch"], 2);
    AcDbBlockTableRecord* xref =
        openRecord<AcDbBlockTable, AcDbBlockTableRecord>(*db, &AcDbDatabase::getBlockTable, "XREF_PARTS");
    ASSERT_NE(xref, nullptr);
    EXPECT_TRUE(xref->isFromExternalReference());
    const ACHAR* path = nullptr;
    xref->pathName(path);
    EXPECT_STREQ(path, "parts/other.dxf");
    xref->close();
    AcDbDictionary* groups = nullptr;
    ASSERT_EQ(db->getGroupDictionary(groups), Acad::eOk);
    AcDbObjectId groupId;
    ASSERT_EQ(groups->getAt("GROUP_A", groupId), Acad::eOk);
    groups->close();
    AcDbGroup* group = nullptr;
    ASSERT_EQ(acdbOpenObject(group, groupId, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(group->numEntities(), 2u);
    ACHAR* description = group->description();
    EXPECT_EQ(std::string(description ? description : ""), kTwoLines);
    delete[] description;
    group->close();
  }
}

TEST(DxfDrawing, EveryObjectSurvivesWritingAndReading) {
  for (const char* file : kFixtures) {
    auto db = readFixture(file);
    std::vector<DxfVersion> versions = {DxfVersion::R2004, DxfVersion::R2007, DxfVersion::R2018};
    if (std::string(file) == "fixture_r2000.dxf" || std::string(file) == "fixture_r12.dxf") {
      versions.push_back(DxfVersion::R2000);
    }
    // An R12 drawing has no layouts: the first write adds them, the second changes nothing.
    const bool completed = std::string(file) == "fixture_r12.dxf";
    for (DxfVersion v : versions) {
      auto back = roundTrip(*db, v);
      expectSameDrawing(*db, *back, std::string(file) + " as " + nameOf(v), completed);
      if (completed) {
        auto again = roundTrip(*back, v);
        expectSameDrawing(*back, *again, std::string(file) + " twice as " + nameOf(v));
      }
    }
  }
}

// A hatch made here: a circle's boundary as two arc edges (associated with the circle) with a
// square island of bulged corners, ANSI31 at 30 degrees. Returns the circle's id.
AcDbObjectId appendMadeHatch(AcDbBlockTableRecord& ms) {
  AcDbObjectId circleId;
  auto* circle = new AcDbCircle(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, 10);
  EXPECT_EQ(ms.appendAcDbEntity(circleId, circle), Acad::eOk);
  circle->close();
  cdb::HatchData d;
  d.patternName = "ANSI31";
  d.solidFill = false;
  d.associative = true;
  d.patternAngle = kPi / 6;
  d.patternScale = 2;
  d.patternLines.push_back({kPi / 4, AcGePoint2d(0, 0), AcGeVector2d(-2.245, 2.245), {}});
  d.seedPoints.push_back(AcGePoint2d(5, 0));
  d.pixelSize = 0.75;
  cdb::HatchLoop& outer = d.loops.emplace_back();
  outer.type = AcDbHatch::kExternal;
  for (double from : {0.0, kPi}) {
    cdb::HatchEdge& arc = outer.edges.emplace_back();
    arc.type = AcDbHatch::kCirArc;
    arc.radius = 10;
    arc.startAngle = from;
    arc.endAngle = from + kPi;
  }
  outer.boundaryIds.push_back(circleId);
  cdb::HatchLoop& island = d.loops.emplace_back();
  island.type = AcDbHatch::kPolyline;
  for (auto [x, y] : {std::pair{-2.0, -2.0}, {2.0, -2.0}, {2.0, 2.0}, {-2.0, 2.0}})
    island.vertices.push_back({AcGePoint2d(x, y), 0.25});
  auto* hatch = new AcDbHatch;
  EXPECT_EQ(cdb::setHatchData(*hatch, d), Acad::eOk);
  EXPECT_EQ(ms.appendAcDbEntity(hatch), Acad::eOk);
  hatch->close();
  return circleId;
}

// The hatch of appendMadeHatch as read back: its loops enclose what they enclosed, and its
// boundary is still the circle.
void expectMadeHatch(AcDbDatabase& db, AcDbHandle circle) {
  AcDbBlockTableRecord* ms =
      openRecord<AcDbBlockTable, AcDbBlockTableRecord>(db, &AcDbDatabase::getBlockTable, "*Model_Space");
  ASSERT_NE(ms, nullptr);
  AcDbBlockTableRecordIterator* it = nullptr;
  ms->newIterator(it);
  for (; !it->done(); it->step()) {
    AcDbEntity* e = nullptr;
    it->getEntity(e, AcDb::kForRead);
    if (auto* hatch = AcDbHatch::cast(e)) {
      double outer = 0, island = 0;
      EXPECT_EQ(cdb::hatchLoopArea(*hatch, 0, outer), Acad::eOk);
      EXPECT_EQ(cdb::hatchLoopArea(*hatch, 1, island), Acad::eOk);
      EXPECT_NEAR(outer, kPi * 100, 1e-9);
      EXPECT_GT(island, 16.0);  // the bulges bow every side outwards
      const cdb::HatchData& d = cdb::hatchData(*hatch);
      EXPECT_NEAR(d.patternAngle, kPi / 6, 1e-15);
      EXPECT_EQ(d.pixelSize, 0.75);
      ASSERT_EQ(d.loops[0].boundaryIds.size(), 1u);
      EXPECT_EQ(d.loops[0].boundaryIds[0].handle(), circle);
    }
    e->close();
  }
  delete it;
  ms->close();
}

TEST(DxfDrawing, DrawingsMadeHereAreCompletedOnceAndThenStable) {
  AcDbDatabase db(true, true);
  AcDbBlockTableRecord* ms =
      openRecord<AcDbBlockTable, AcDbBlockTableRecord>(db, &AcDbDatabase::getBlockTable, "*Model_Space");
  ASSERT_NE(ms, nullptr);
  ASSERT_EQ(ms->upgradeOpen(), Acad::eOk);
  auto* line = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 2, 0));
  AcCmColor orange;
  orange.setRGB(255, 128, 0);
  line->setColor(orange);
  ASSERT_EQ(ms->appendAcDbEntity(line), Acad::eOk);
  line->close();
  auto* text = new AcDbText(AcGePoint3d(1, 1, 0), kChinese.c_str());
  text->setRotation(0.3);
  ASSERT_EQ(ms->appendAcDbEntity(text), Acad::eOk);
  text->close();
  AcDbObjectId circleId = appendMadeHatch(*ms);
  ms->close();
  auto first = roundTrip(db, DxfVersion::R2004);
  auto second = roundTrip(*first, DxfVersion::R2004);
  expectSameDrawing(*first, *second, "second round");
  std::map<std::string, int> counts = countModelSpace(*second);
  EXPECT_EQ(counts["AcDbLine"], 1);
  EXPECT_EQ(counts["AcDbText"], 1);
  EXPECT_EQ(counts["AcDbHatch"], 1);
  expectMadeHatch(*second, circleId.handle());

  WriteWarnings warnings;
  roundTrip(db, DxfVersion::R2000, &warnings);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings.begin()->first.find("true colour"), std::string::npos);

  std::string text12;
  DxfError error;
  WriteOptions r13;
  r13.version = DxfVersion::R13;
  EXPECT_EQ(writeDxfText(db, text12, r13, error), Acad::eInvalidDwgVersion);
  EXPECT_NE(error.message.find("R13"), std::string::npos);
}

// An outside checker is needed: without it the test fails under CI (CI=true) and is skipped
// elsewhere.
#define REQUIRE_CHECKER(present, what)                                              \
  if (!(present)) {                                                                \
    const char* ci = std::getenv("CI");                                            \
    if (ci != nullptr && std::string(ci) == "true") FAIL() << what << " is needed"; \
    GTEST_SKIP() << what << " is not installed";                                   \
  }

TEST(DxfDrawing, EzdxfAuditsAndReadsWhatWeWrite) {
  REQUIRE_CHECKER(haveEzdxf(), "python3-ezdxf (/usr/bin/python3 -c 'import ezdxf' failed)");
  const std::string checker = std::string(CONTURA_SOURCE_DIR) + "/tests/dxf/check_dxf.py";
  auto summary = [&](const fs::path& f) { return run("/usr/bin/python3 " + checker + " '" + f.string() + "'"); };
  auto without = [](std::string json, const char* key) {
    // Drops one "key": [...] entry (audit lists) so the rest compares.
    std::size_t at = json.find(std::string("\"") + key + "\": [");
    if (at == std::string::npos) return json;
    std::size_t end = json.find("], ", at);
    return json.erase(at, end + 3 - at);
  };
  for (const char* file : {"fixture_r2004.dxf", "fixture_r2018.dxf"}) {
    auto db = readFixture(file);
    std::string expected = without(without(summary(kData + file), "audit_errors"), "audit_fixes");
    for (DxfVersion v : {DxfVersion::R2004, DxfVersion::R2000, DxfVersion::R2018}) {
      fs::path out = scratch(std::string("ezdxf-") + nameOf(v) + "-" + file);
      DxfError error;
      WriteOptions options;
      options.version = v;
      ASSERT_EQ(writeDxf(*db, out.string(), options, error), Acad::eOk) << error.text();
      std::string ours = summary(out);
      EXPECT_NE(ours.find("\"audit_errors\": [], \"audit_fixes\": []"), std::string::npos)
          << file << " as " << nameOf(v) << ": " << ours.substr(0, 600);
      if (v != DxfVersion::R2000) {  // R2000 cannot keep true colours
        EXPECT_EQ(without(without(ours, "audit_errors"), "audit_fixes"), expected) << file << " as " << nameOf(v);
      }
    }
  }
  AcDbDatabase made(true, true);
  AcDbBlockTableRecord* ms =
      openRecord<AcDbBlockTable, AcDbBlockTableRecord>(made, &AcDbDatabase::getBlockTable, "*Model_Space");
  ASSERT_NE(ms, nullptr);
  ASSERT_EQ(ms->upgradeOpen(), Acad::eOk);
  appendMadeHatch(*ms);
  ms->close();
  fs::path out = scratch("ezdxf-made.dxf");
  DxfError error;
  ASSERT_EQ(writeDxf(made, out.string(), WriteOptions(), error), Acad::eOk) << error.text();
  std::string ours = summary(out);
  EXPECT_NE(ours.find("\"audit_errors\": [], \"audit_fixes\": []"), std::string::npos) << ours.substr(0, 600);
}

// LibreCAD shows lines of the layer's colour in that colour (it passes over a layer table
// whose header carries its handle before its name): drawn to PDF by its console printer, the
// strokes of both by-layer lines are in their layers' colours in every version we write.
TEST(DxfDrawing, LibreCadShowsByLayerColours) {
  REQUIRE_CHECKER(std::system("command -v librecad >/dev/null 2>&1") == 0, "librecad");
  AcDbDatabase made(true, true);
  AcDbLayerTable* layers = nullptr;
  ASSERT_EQ(made.getLayerTable(layers, AcDb::kForWrite), Acad::eOk);
  AcDbBlockTableRecord* ms =
      openRecord<AcDbBlockTable, AcDbBlockTableRecord>(made, &AcDbDatabase::getBlockTable, "*Model_Space");
  ASSERT_NE(ms, nullptr);
  ASSERT_EQ(ms->upgradeOpen(), Acad::eOk);
  const struct {
    const char* name;
    int color;
    double y;
  } kinds[] = {{"RED_WALLS", 1, 0.0}, {"GREEN_SLABS", 3, 50.0}};
  for (const auto& kind : kinds) {
    auto* layer = new AcDbLayerTableRecord();
    layer->setName(kind.name);
    AcCmColor color;
    color.setColorIndex(Adesk::UInt16(kind.color));
    layer->setColor(color);
    ASSERT_EQ(layers->add(layer), Acad::eOk);
    layer->close();
    auto* line = new AcDbLine(AcGePoint3d(0, kind.y, 0), AcGePoint3d(100, kind.y, 0));
    ASSERT_EQ(ms->appendAcDbEntity(line), Acad::eOk);
    EXPECT_EQ(line->setLayer(kind.name), Acad::eOk);  // its colour stays by layer
    line->close();
  }
  layers->close();
  ms->close();
  const std::string strokes = std::string(CONTURA_SOURCE_DIR) + "/tests/dxf/pdf_stroke_colours.py";
  for (DxfVersion v : {DxfVersion::R12, DxfVersion::R2000, DxfVersion::R2018}) {
    fs::path out = scratch(std::string("librecad-") + nameOf(v) + ".dxf");
    fs::path pdf = scratch(std::string("librecad-") + nameOf(v) + ".pdf");
    fs::remove(pdf);
    DxfError error;
    WriteOptions options;
    options.version = v;
    ASSERT_EQ(writeDxf(made, out.string(), options, error), Acad::eOk) << error.text();
    run("QT_QPA_PLATFORM=offscreen librecad dxf2pdf -a -o '" + pdf.string() + "' '" + out.string() + "' >/dev/null 2>&1");
    const std::string colours = run("/usr/bin/python3 " + strokes + " '" + pdf.string() + "'");
    EXPECT_NE(colours.find("1 0 0"), std::string::npos) << nameOf(v) << ": " << colours;
    EXPECT_NE(colours.find("0 1 0"), std::string::npos) << nameOf(v) << ": " << colours;
  }
}

TEST(DxfDrawing, GdalListsTheSameEntities) {
  REQUIRE_CHECKER(std::system("ogr2ogr --version >/dev/null 2>&1") == 0, "ogr2ogr (gdal-bin)");
  auto rows = [](const fs::path& dxf, const std::string& name) {
    fs::path csv = scratch(name + ".csv");
    fs::remove(csv);
    run("ogr2ogr -f CSV '" + csv.string() + "' '" + dxf.string() + "' 2>/dev/null");
    std::ifstream in(csv);
    std::vector<std::string> lines;
    std::string line;
    std::getline(in, line);  // column names
    while (std::getline(in, line)) lines.push_back(line.substr(0, line.find(",")));
    std::sort(lines.begin(), lines.end());
    return lines;
  };
  auto db = readFixture("fixture_r2004.dxf");
  fs::path out = scratch("gdal-ours.dxf");
  DxfError error;
  ASSERT_EQ(writeDxf(*db, out.string(), WriteOptions(), error), Acad::eOk) << error.text();
  std::vector<std::string> theirs = rows(kData + "fixture_r2004.dxf", "gdal-theirs");
  std::vector<std::string> ours = rows(out, "gdal-ours");
  EXPECT_GT(theirs.size(), 20u);
  EXPECT_EQ(ours, theirs);
}

TEST(DxfDrawing, MalformedFilesFailAtTheirLine) {
  std::ifstream list(kData + "malformed/expected.txt");
  std::string row;
  int checked = 0;
  while (std::getline(list, row)) {
    std::istringstream fields(row);
    std::string name, line, layer, words;
    std::getline(fields, name, '\t');
    std::getline(fields, line, '\t');
    std::getline(fields, layer, '\t');
    std::getline(fields, words);
    AcDbDatabase db(false, true);
    DxfError error;
    EXPECT_NE(readDxf(kData + "malformed/" + name, db, error), Acad::eOk) << name;
    EXPECT_EQ(error.line, std::stoul(line)) << name << ": " << error.text();
    EXPECT_NE(error.message.find(words), std::string::npos) << name << ": " << error.text();
    ++checked;
  }
  EXPECT_GE(checked, 19);
  AcDbDatabase db(false, true);
  DxfError error;
  EXPECT_EQ(readDxf(kData + "no-such-file.dxf", db, error), Acad::eFileNotFound);
  // What is no regular file is refused at once (a pipe would wait for a writer).
  fs::path pipe = scratch("drawing-pipe.dxf");
  fs::remove(pipe);
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& path : {kData, pipe.string()}) {
    EXPECT_EQ(readDxf(path, db, error), Acad::eFileNotFound) << path;
    EXPECT_NE(error.message.find(path == kData ? "folder" : "regular"), std::string::npos) << error.text();
  }
}

// Handles are 64-bit, and the seed written is above every handle even when the file's own
// $HANDSEED was lower than its handles (such a file, saved, must read back).
TEST(DxfDrawing, HandlesAre64BitAndTheSeedStaysAboveThem) {
  for (const char* seed : {"1FFFFFFFFFFF1", "10"}) {
    std::string text = std::string("  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1018\n  9\n$HANDSEED\n  5\n") +
                       seed +
                       "\n  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  5\n1FFFFFFFFFFF0\n  8\n0\n 10\n0\n 20\n0\n"
                       " 30\n0\n 11\n1\n 21\n1\n 31\n0\n  0\nENDSEC\n  0\nEOF\n";
    AcDbDatabase db(false, true);
    DxfError error;
    ASSERT_EQ(readDxfText(text, db, error), Acad::eOk) << error.text();
    AcDbObjectId id;
    ASSERT_EQ(db.getAcDbObjectId(id, false, AcDbHandle(Adesk::UInt64(0x1FFFFFFFFFFF0))), Acad::eOk);
    AcDbLine* line = nullptr;
    ASSERT_EQ(acdbOpenObject(line, id, AcDb::kForRead), Acad::eOk);
    line->close();
    EXPECT_GT(db.handseed().value(), 0x1FFFFFFFFFFF0u) << seed;
    std::string out;
    ASSERT_EQ(writeDxfText(db, out, WriteOptions(), error), Acad::eOk);
    EXPECT_NE(out.find("\r\n1FFFFFFFFFFF0\r\n"), std::string::npos);
    AcDbDatabase back(false, true);
    EXPECT_EQ(readDxfText(out, back, error), Acad::eOk) << seed << ": " << error.text();
  }
}

// What other CAD programs rely on: a table's name right after "0 TABLE" (before its handle);
// entities the database has no class for (TRACE) written back whole; in R12, multi-line
// text as single-line texts and entities newer than R12 (IMAGE) left out, each said.
TEST(DxfDrawing, WritesWhatOtherProgramsExpect) {
  std::string text =
      "  0\nSECTION\n  2\nENTITIES\n  0\nTRACE\n  5\n2A\n  8\n0\n 10\n1\n 20\n2\n 30\n0\n 11\n3\n 21\n2\n"
      " 31\n0\n 12\n1\n 22\n4\n 32\n0\n 13\n3\n 23\n4\n 33\n0\n"
      "  0\nMTEXT\n  5\n2B\n  8\n0\n 10\n0\n 20\n0\n 30\n0\n 40\n2.5\n 71\n1\n  1\nfirst\\Psecond\n"
      "  0\nIMAGE\n  5\n2C\n  8\n0\n 10\n0\n 20\n0\n 30\n0\n"
      "  0\nDIMENSION\n  5\n2D\n  8\n0\n  2\n*D1\n 10\n0\n 20\n5\n 70\n0\n 13\n0\n 23\n0\n 14\n10\n 24\n0\n"
      "  0\nENDSEC\n  0\nEOF\n";
  AcDbDatabase db(false, true);
  DxfError error;
  ASSERT_EQ(readDxfText(text, db, error), Acad::eOk) << error.text();
  for (DxfVersion version : {DxfVersion::R12, DxfVersion::R2004}) {
    WriteOptions options;
    options.version = version;
    std::string out;
    WriteWarnings warnings;
    ASSERT_EQ(writeDxfText(db, out, options, error, &warnings), Acad::eOk) << error.text();
    const bool r12 = version == DxfVersion::R12;
    EXPECT_EQ(out.find("\r\nMTEXT\r\n") == std::string::npos, r12);
    EXPECT_EQ(out.find("\r\nIMAGE\r\n") == std::string::npos, r12);
    EXPECT_EQ(out.find("  1\r\nsecond\r\n") != std::string::npos, r12);
    EXPECT_EQ(warnings.size(), r12 ? 2u : 0u);
    AcDbDatabase back(false, true);
    EXPECT_EQ(readDxfText(out, back, error), Acad::eOk) << error.text();
    const std::string table = "  0\r\nTABLE\r\n", traceHead = "  0\r\nTRACE\r\n";
    int tables = 0;
    for (size_t at = out.find(table); at != std::string::npos; at = out.find(table, at + 1)) {
      EXPECT_EQ(out.compare(at + table.size(), 5, "  2\r\n"), 0) << out.substr(at, 40);
      ++tables;
    }
    EXPECT_GE(tables, 5);
    size_t trace = out.find(traceHead);
    ASSERT_NE(trace, std::string::npos) << nameOf(version);
    size_t body = trace + traceHead.size();
    std::string record = out.substr(body, out.find("  0\r\n", body) - body);
    for (const char* corner : {" 10\r\n1\r\n", " 21\r\n2\r\n", " 12\r\n1\r\n", " 23\r\n4\r\n"})
      EXPECT_NE(record.find(corner), std::string::npos) << nameOf(version) << ": " << record;
    // A dimension without subclass markers (as R12 has it) gets them in later versions, its
    // extension line points under its kind.
    size_t dim = out.find("  0\r\nDIMENSION\r\n");
    ASSERT_NE(dim, std::string::npos);
    std::string dimension = out.substr(dim, out.find("  0\r\n", dim + 5) - dim);
    size_t common = dimension.find("AcDbDimension"), aligned = dimension.find("AcDbAlignedDimension"),
           point = dimension.find(" 13\r\n"), rotated = dimension.find("AcDbRotatedDimension");
    if (r12) {
      EXPECT_EQ(dimension.find("100\r\n"), std::string::npos) << dimension;
    } else {
      EXPECT_TRUE(common < aligned && aligned < point && point < rotated && rotated != std::string::npos) << dimension;
    }
  }
}

// A save replaces the file only once the whole drawing is written: a drawing holding a value
// no reader could take back is not saved, and a folder in the way is named; the old file stays.
TEST(DxfDrawing, SavesReplaceTheFileOrSayWhy) {
  fs::path dir = scratch("saves");
  fs::remove_all(dir);
  fs::create_directories(dir / "folder.dxf");
  fs::path target = dir / "kept.dxf";
  { std::ofstream(target) << "old drawing"; }
  struct Case {
    const char* what;
    std::function<AcDbEntity*()> make;
  } cases[] = {
      {"the number inf", [] { return new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(HUGE_VAL, 0, 0)); }},
      {"the number nan", [] { return new AcDbCircle(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, std::nan("")); }},
      // A lone lead byte before a line feed: a byte-wise copy of the pair would put a raw
      // line break into the file.
      {"a line break", [] { return new AcDbText(AcGePoint3d(0, 0, 0), "two\xB0\nlines", AcDbObjectId::kNull, 2.5, 0); }},
  };
  for (const Case& c : cases) {
    AcDbDatabase db(true, true);
    AcDbBlockTableRecord* ms =
        openRecord<AcDbBlockTable, AcDbBlockTableRecord>(db, &AcDbDatabase::getBlockTable, "*Model_Space");
    ASSERT_NE(ms, nullptr);
    ASSERT_EQ(ms->upgradeOpen(), Acad::eOk);
    AcDbEntity* ent = c.make();
    std::string type = ent->isA()->dxfName();
    ASSERT_EQ(ms->appendAcDbEntity(ent), Acad::eOk);
    ent->close();
    ms->close();
    DxfError error;
    EXPECT_EQ(writeDxf(db, target.string(), WriteOptions(), error), Acad::eFilerError) << c.what;
    EXPECT_NE(error.message.find(c.what), std::string::npos) << error.text();
    EXPECT_NE(error.message.find(type), std::string::npos) << error.text();
  }
  std::ifstream in(target);
  std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(kept, "old drawing");
  auto db = readFixture("fixture_r2004.dxf");
  DxfError error;
  EXPECT_EQ(writeDxf(*db, (dir / "folder.dxf").string(), WriteOptions(), error), Acad::eFileAccessErr);
  EXPECT_NE(error.message.find("folder.dxf"), std::string::npos) << error.text();
  ASSERT_EQ(writeDxf(*db, target.string(), WriteOptions(), error), Acad::eOk) << error.text();
  AcDbDatabase back(false, true);
  EXPECT_EQ(readDxf(target.string(), back, error), Acad::eOk) << error.text();
}

// Files that do not say their texts' code page, or say ANSI_1252 whatever they hold, as some
// programs write them: Chinese in UTF-8 or in code page 936 arrives intact, Western text
// stays as it was.
TEST(DxfDrawing, ReadsTextsInTheCodePageTheyAreIn) {
  const std::string chinese = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文 in UTF-8
  const std::string chineseCp936 = "\xD6\xD0\xCE\xC4";
  struct Case {
    const char* codePage;  // nullptr: no $DWGCODEPAGE
    std::string inFile, inDrawing;
    const char* chosen = "";  // the code page the person chose for every drawing read
    bool same = true;         // false: anything but inDrawing
  } cases[] = {
      {"ANSI_1252", chinese, chineseCp936},
      {nullptr, chinese, chineseCp936},
      {nullptr, chineseCp936, chineseCp936},
      {"ANSI_1252", "caf\xE9 au lait", "caf\xA8\xA6 au lait"},  // é as code page 936 has it
      {"ANSI_936", chineseCp936, chineseCp936},
      // A code page the person names holds whatever the file or its texts say.
      {nullptr, chinese, chineseCp936, "ANSI_1252", false},  // Western letters, not 中文
  };
  EXPECT_FALSE(setReadCodePage("NO_SUCH_PAGE"));
  for (const Case& c : cases) {
    std::string text = "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1018\n";
    if (c.codePage) text += "  9\n$DWGCODEPAGE\n  3\n" + std::string(c.codePage) + "\n";
    text += "  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n  0\nTEXT\n  5\n2A\n  8\n0\n 10\n0\n 20\n0\n 40\n1\n  1\n" +
            c.inFile + "\n  0\nENDSEC\n  0\nEOF\n";
    AcDbDatabase db(false, true);
    DxfError error;
    ASSERT_TRUE(setReadCodePage(c.chosen));
    EXPECT_EQ(readDxfText(text, db, error), Acad::eOk) << error.text();
    ASSERT_TRUE(setReadCodePage(""));
    AcDbObjectId id;
    ASSERT_EQ(db.getAcDbObjectId(id, false, AcDbHandle(Adesk::UInt64(0x2A))), Acad::eOk);
    AcDbText* t = nullptr;
    ASSERT_EQ(acdbOpenObject(t, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(std::string(t->textStringConst()) == c.inDrawing, c.same) << (c.codePage ? c.codePage : "none") << c.chosen;
    t->close();
  }
}

// Simple old-style 2D polylines (R12) become lightweight polylines on opening; fitted and 3D
// ones stay as they are.
TEST(DxfDrawing, SimpleOldPolylinesOpenAsLightweight) {
  auto polyline = [](const char* handle, int flags, const char* vertexFlags) {
    std::string v = std::string("  0\nVERTEX\n  8\n0\n 10\n0\n 20\n0\n 42\n1\n 70\n") + vertexFlags +
                    "\n  0\nVERTEX\n  8\n0\n 10\n10\n 20\n0\n 70\n" + vertexFlags +
                    "\n  0\nVERTEX\n  8\n0\n 10\n10\n 20\n5\n 70\n" + vertexFlags + "\n";
    return std::string("  0\nPOLYLINE\n  5\n") + handle + "\n  8\n0\n 66\n1\n 10\n0\n 20\n0\n 30\n2\n 40\n0.5\n 41\n0.5\n 70\n" +
           std::to_string(flags) + "\n" + v + "  0\nSEQEND\n  8\n0\n";
  };
  std::string text = "  0\nSECTION\n  2\nENTITIES\n" + polyline("2A", 1, "0") + polyline("2B", 2, "1") +
                     polyline("2C", 8, "32") + "  0\nENDSEC\n  0\nEOF\n";
  AcDbDatabase db(false, true);
  DxfError error;
  ReadReport report;
  ASSERT_EQ(readDxfText(text, db, error, &report), Acad::eOk) << error.text();
  // The read says what it converted (once, at the first such polyline), that the file's
  // missing layer table was made up for, and that the 3D polyline is kept as read.
  std::vector<std::string> said = report.lines();
  ASSERT_EQ(said.size(), 3u);
  EXPECT_NE(said[0].find(contura::os::utf8Literal(u8"已转换 1 处")), std::string::npos) << said[0];
  EXPECT_NE(said[0].find(contura::os::utf8Literal(u8"第 5 行")), std::string::npos) << said[0];
  EXPECT_NE(said[1].find(contura::os::utf8Literal(u8"已补全 1 处")), std::string::npos) << said[1];
  EXPECT_NE(said[2].find(contura::os::utf8Literal(u8"原样保留 1 处：POLYLINE")), std::string::npos) << said[2];
  auto classOf = [&](Adesk::UInt64 handle) {
    AcDbObjectId id;
    EXPECT_EQ(db.getAcDbObjectId(id, false, AcDbHandle(handle)), Acad::eOk);
    AcDbEntity* ent = nullptr;
    EXPECT_EQ(acdbOpenObject(ent, id, AcDb::kForRead), Acad::eOk);
    std::string name = ent ? ent->isA()->name() : "";
    if (auto* pl = AcDbPolyline::cast(ent)) {
      double bulge = 0, start = 0, end = 0;
      pl->getBulgeAt(0, bulge);
      pl->getWidthsAt(1, start, end);
      EXPECT_EQ(pl->numVerts(), 3u);
      EXPECT_TRUE(pl->isClosed());
      EXPECT_EQ(bulge, 1.0);
      EXPECT_EQ(start, 0.5);
      EXPECT_EQ(pl->elevation(), 2.0);
    }
    if (ent) ent->close();
    return name;
  };
  EXPECT_EQ(classOf(0x2A), "AcDbPolyline");
  EXPECT_EQ(classOf(0x2B), "AcDb2dPolyline");  // curve-fitted
  EXPECT_NE(classOf(0x2C), "AcDbPolyline");  // 3D: kept as read
}

// A text entity of another module's class with data of its own, as the variable text is.
class TestVarText : public AcDbText {
 public:
  ACRX_DECLARE_MEMBERS(TestVarText);
  std::string code;
  double value = 0;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override {
    AcDbText::dxfOutFields(filer);
    filer->writeString(100, "TestVarText");
    filer->writeString(1, code.c_str());
    filer->writeDouble(40, value);
    return filer->filerStatus();
  }
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override {
    AcDbText::dxfInFields(filer);
    if (!filer->atSubclassData("TestVarText")) return Acad::eBadDxfSequence;
    resbuf rb;
    while (filer->readItem(&rb) == Acad::eOk) {
      if (rb.restype == 1) code = rb.resval.rstring;
      if (rb.restype == 40) value = rb.resval.rreal;
    }
    return Acad::eOk;
  }
};
ACRX_DXF_DEFINE_MEMBERS(TestVarText, AcDbText, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0,
                        TESTVARTEXT, ConturaTest)

TEST(DxfDrawing, ClassesOfOtherModulesFileTheirOwnData) {
  TestVarText::rxInit();
  AcDbDatabase db(true, true);
  AcDbBlockTableRecord* ms =
      openRecord<AcDbBlockTable, AcDbBlockTableRecord>(db, &AcDbDatabase::getBlockTable, "*Model_Space");
  ASSERT_NE(ms, nullptr);
  ASSERT_EQ(ms->upgradeOpen(), Acad::eOk);
  auto* v = new TestVarText;
  v->setPosition(AcGePoint3d(3, 4, 0));
  v->setTextString(kChinese.c_str());
  v->setHeight(2);
  v->code = "B-7";
  v->value = 12.5;
  ASSERT_EQ(ms->appendAcDbEntity(v), Acad::eOk);
  v->close();
  ms->close();
  std::string text;
  DxfError error;
  ASSERT_EQ(writeDxfText(db, text, WriteOptions(), error), Acad::eOk);
  EXPECT_NE(text.find("\r\nTESTVARTEXT\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nTestVarText\r\n"), std::string::npos);  // its CLASS and its subclass
  AcDbDatabase back(false, true);
  ASSERT_EQ(readDxfText(text, back, error), Acad::eOk) << error.text();
  std::map<std::string, int> counts = countModelSpace(back);
  ASSERT_EQ(counts["TestVarText"], 1);
  AcDbObjectId id;
  ASSERT_EQ(back.getAcDbObjectId(id, false, v->objectId().handle()), Acad::eOk);
  TestVarText* read = nullptr;
  ASSERT_EQ(acdbOpenObject(read, id, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(read->code, "B-7");
  EXPECT_EQ(read->value, 12.5);
  EXPECT_EQ(std::string(read->textStringConst()), kChinese);
  EXPECT_EQ(read->position(), AcGePoint3d(3, 4, 0));
  read->close();
  // Written and read once more, nothing changes.
  auto again = roundTrip(back, DxfVersion::R2004);
  expectSameDrawing(back, *again, "variable text");

  // Without its class registered, the entity stays raw and is written back unchanged.
  deleteAcRxClass(TestVarText::desc());
  AcDbDatabase unknown(false, true);
  ASSERT_EQ(readDxfText(text, unknown, error), Acad::eOk) << error.text();
  EXPECT_EQ(countModelSpace(unknown)["AcDbRawEntity"], 1);
  std::string rewritten;
  ASSERT_EQ(writeDxfText(unknown, rewritten, WriteOptions(), error), Acad::eOk);
  EXPECT_NE(rewritten.find("\r\nTESTVARTEXT\r\n"), std::string::npos);
  EXPECT_NE(rewritten.find("\r\nB-7\r\n"), std::string::npos);
}
