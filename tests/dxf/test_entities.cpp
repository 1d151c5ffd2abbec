// Entity and table entry values: the ezdxf fixtures read to the values make_fixtures.py
// wrote, and every entity and entry written for another version reads back equal (R2000 on),
// or in its R12 form.
#include <contura/dxf/entities.h>
#include <contura/dxf/table_records.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace contura::dxf;

namespace {

// The ezdxf drawings and the malformed corpus the build makes.
const std::string kData = CONTURA_MADE_DATA_DIR "/dxf/";
// Texts of the fixtures in code page 936.
const std::string kWallLayer = "\xC7\xBD\xCC\xE5";                  // 墙体
const std::string kChineseText = "\xD6\xD0\xCE\xC4\xCE\xC4\xD7\xD6";  // 中文文字
const std::string kNumber = "\xB1\xE0\xBA\xC5";                     // 编号

// Reads the entities of model space and of every block, decoding with the file's encoding.
class EntitySink : public DxfSink {
 public:
  std::vector<Entity> modelSpace, inBlocks;
  std::vector<TableRecord> entries;
  DxfVersion version = DxfVersion::R12;
  std::string codePage;
  TextCodec codec;

  bool headerVariable(const Tag& name, const std::vector<Tag>& values, DxfError&) override {
    if (name.text == "$ACADVER" && !values.empty()) versionFromAcadVer(values[0].text, version);
    if (name.text == "$DWGCODEPAGE" && !values.empty()) codePage = std::string(values[0].text);
    return true;
  }
  bool headerEnd(DxfError&) override { return codec.setFileEncoding(version, codePage); }
  bool classRecord(const Record&, DxfError&) override { return true; }
  bool tableBegin(const Record&, DxfError&) override { return true; }
  bool tableEntry(const Record&, const Record& record, DxfError& error) override {
    return readTableRecord(record, codec, entries.emplace_back(), error);
  }
  bool tableEnd(const Record&, const Record&, DxfError&) override { return true; }
  bool blockBegin(const Record&, DxfError&) override { return true; }
  bool blockEnd(const Record&, const Record&, DxfError&) override { return true; }
  bool entity(const Record* block, const EntityRecords& records, DxfError& error) override {
    Entity e;
    if (!readEntity(records, codec, e, error)) return false;
    (block ? inBlocks : modelSpace).push_back(std::move(e));
    return true;
  }
  bool object(const Record&, DxfError&) override { return true; }
  bool otherSection(const Tag&, const std::vector<Tag>&, DxfError&) override { return true; }
};

bool readEntities(const std::string& text, EntitySink& sink, DxfError& error) {
  TagReader reader(text);
  return walkDxf(reader, sink, error);
}

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Writes table entries (in one TABLE) and entities as a file of `version` (header first, for
// the encoding).
std::string writeFile(const std::vector<TableRecord>& entries, const std::vector<Entity>& entities,
                      DxfVersion version, std::map<std::string, int>* warnings = nullptr) {
  TextCodec codec;
  codec.setFileEncoding(version, "ANSI_936");
  TagWriter w;
  w.string(0, "SECTION");
  w.string(2, "HEADER");
  w.string(9, "$ACADVER");
  w.string(1, acadVerOf(version));
  w.string(9, "$DWGCODEPAGE");
  w.string(3, "ANSI_936");
  w.string(0, "ENDSEC");
  w.string(0, "SECTION");
  w.string(2, "TABLES");
  w.string(0, "TABLE");
  w.string(2, "LAYER");
  TableWriteContext tableCtx{version, &codec, warnings};
  for (const TableRecord& r : entries) writeTableRecord(w, r, tableCtx);
  w.string(0, "ENDTAB");
  w.string(0, "ENDSEC");
  w.string(0, "SECTION");
  w.string(2, "ENTITIES");
  std::uint64_t next = 0x10000;
  EntityWriteContext ctx;
  ctx.version = version;
  ctx.codec = &codec;
  ctx.newHandle = [&next] { return next++; };
  ctx.warnings = warnings;
  for (const Entity& e : entities) {
    if (versionHolds(version, e)) writeEntity(w, e, ctx);
  }
  w.string(0, "ENDSEC");
  w.string(0, "EOF");
  return w.text();
}

std::string writeEntities(const std::vector<Entity>& entities, DxfVersion version,
                          std::map<std::string, int>* warnings = nullptr) {
  return writeFile({}, entities, version, warnings);
}

const TableRecord* findEntry(const std::vector<TableRecord>& entries, std::string_view name) {
  for (const TableRecord& r : entries) {
    if (r.name == name) return &r;
  }
  return nullptr;
}

const Entity* findText(const std::vector<Entity>& es, const std::string& text) {
  for (const Entity& e : es) {
    if (e.kind == Entity::Kind::Text && e.text.text == text) return &e;
  }
  return nullptr;
}

const Entity* findKind(const std::vector<Entity>& es, Entity::Kind kind, int nth = 0) {
  for (const Entity& e : es) {
    if (e.kind == kind && nth-- == 0) return &e;
  }
  return nullptr;
}

}  // namespace

TEST(DxfEntities, FixturesReadToTheValuesWritten) {
  for (const char* file : {"fixture_r12.dxf", "fixture_r2000.dxf", "fixture_r2004.dxf", "fixture_r2018.dxf"}) {
    SCOPED_TRACE(file);
    std::string text = fileText(kData + file);
    EntitySink sink;
    DxfError error;
    ASSERT_TRUE(readEntities(text, sink, error)) << error.text();
    const std::vector<Entity>& ms = sink.modelSpace;
    const bool modern = sink.version >= DxfVersion::R2000;

    const Entity* line = findKind(ms, Entity::Kind::Line);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->common.layer, kWallLayer);
    EXPECT_EQ(line->common.color.index, 1);
    EXPECT_EQ(line->line.end, (Point3{100.5, 50.25, 0}));
    EXPECT_NE(line->common.handle, 0u);
    const Entity* dashed = findKind(ms, Entity::Kind::Line, 1);
    ASSERT_NE(dashed, nullptr);
    EXPECT_EQ(dashed->common.linetype, "DASHED");
    if (modern) {
      EXPECT_EQ(dashed->common.linetypeScale, 2.5);
    }

    const Entity* arc = findKind(ms, Entity::Kind::Circle);
    ASSERT_NE(arc, nullptr);
    EXPECT_TRUE(arc->circle.isArc);
    EXPECT_EQ(arc->circle.startAngle, 30);
    EXPECT_EQ(arc->circle.endAngle, 120);

    const Entity* chinese = findText(ms, kChineseText);
    ASSERT_NE(chinese, nullptr);
    EXPECT_EQ(chinese->text.style, "HZ");
    EXPECT_EQ(chinese->text.rotation, 45);
    EXPECT_EQ(chinese->text.height, 2.5);
    const Entity* aligned = findText(ms, "ALIGNED");
    ASSERT_NE(aligned, nullptr);
    EXPECT_EQ(aligned->text.horizontal, 1);
    EXPECT_EQ(aligned->text.vertical, 2);
    EXPECT_EQ(aligned->text.alignment, (Point3{5, 50, 0}));
    EXPECT_NE(findText(ms, "foreign \\U+0E01"), nullptr);  // one spelling in every version

    const Entity* pl2d = findKind(ms, Entity::Kind::Polyline);
    ASSERT_NE(pl2d, nullptr);
    EXPECT_FALSE(pl2d->polyline.lightweight);
    EXPECT_EQ(pl2d->polyline.vertices.size(), 4u);
    EXPECT_EQ(pl2d->polyline.flags & 1, 1);
    EXPECT_EQ(pl2d->common.layer, "OFF_LAYER");

    int inserts = 0, minserts = 0;
    for (const Entity& e : ms) {
      if (e.kind != Entity::Kind::Insert) continue;
      ++inserts;
      if (e.insert.block == "TAGBLOCK") {
        ASSERT_EQ(e.insert.attributes.size(), 2u);
        EXPECT_EQ(e.insert.attributes[0].text.tag, "NUM");
        EXPECT_EQ(e.insert.attributes[0].text.text, kNumber + "-7");
      }
      if (e.insert.block == "INNER") {
        ++minserts;
        EXPECT_EQ(e.insert.rows, 2);
        EXPECT_EQ(e.insert.columns, 3);
      }
    }
    EXPECT_EQ(inserts, modern ? 4 : 3);
    EXPECT_EQ(minserts, 1);
    if (!modern) continue;

    const Entity* lw = findKind(ms, Entity::Kind::Polyline, 1);
    ASSERT_NE(lw, nullptr);
    ASSERT_TRUE(lw->polyline.lightweight);
    ASSERT_EQ(lw->polyline.vertices.size(), 4u);
    EXPECT_EQ(lw->polyline.vertices[0].startWidth, 0.5);
    EXPECT_EQ(lw->polyline.vertices[1].bulge, 0.41421356237);
    EXPECT_EQ(lw->polyline.vertices[2].bulge, -1);
    const Entity* wide = findKind(ms, Entity::Kind::Polyline, 2);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->polyline.constantWidth, 0.3);

    const Entity* mtext = findKind(ms, Entity::Kind::MText);
    ASSERT_NE(mtext, nullptr);
    EXPECT_NE(mtext->mtext.text.find("\\P"), std::string::npos);
    EXPECT_EQ(mtext->mtext.text.substr(0, 6), "\xB5\xDA\xD2\xBB\xD0\xD0");  // 第一行

    const Entity* trueColour = nullptr;
    for (const Entity& e : ms) {
      if (e.common.color.rgb >= 0) trueColour = &e;
    }
    if (sink.version >= DxfVersion::R2004) {  // ezdxf writes no true colour to R2000
      ASSERT_NE(trueColour, nullptr);
      EXPECT_EQ(trueColour->common.color.rgb, 0xFF8000);
    }

    const Entity* spline = findKind(ms, Entity::Kind::Spline);
    ASSERT_NE(spline, nullptr);
    ASSERT_EQ(spline->spline.fitPoints.size(), 4u);
    EXPECT_EQ(spline->spline.fitPoints[1], (Point3{10, 10, 0}));
    const Entity* frame = findKind(ms, Entity::Kind::Spline, 1);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->spline.controlPoints.size(), frame->spline.knots.size() - 4);

    const Entity* ellipse = findKind(ms, Entity::Kind::Ellipse);
    ASSERT_NE(ellipse, nullptr);
    EXPECT_EQ(ellipse->ellipse.ratio, 0.5);

    int raws = 0;
    for (const Entity& e : ms) {
      if (e.kind != Entity::Kind::Raw) continue;
      ++raws;
      EXPECT_FALSE(e.common.extras.empty()) << e.raw.type;
    }
    EXPECT_EQ(raws, modern ? 1 + 1 + 1 : 1);  // region, 3D solid, dimension (R12: dimension)

    if (modern) {
      // A solid square and an ANSI31 triangle at scale 2.
      const Entity* solid = findKind(ms, Entity::Kind::Hatch);
      const Entity* patterned = findKind(ms, Entity::Kind::Hatch, 1);
      ASSERT_NE(solid, nullptr);
      ASSERT_NE(patterned, nullptr);
      EXPECT_TRUE(solid->hatch.solidFill);
      EXPECT_EQ(solid->common.color.index, 3);
      ASSERT_EQ(solid->hatch.paths.size(), 1u);
      EXPECT_TRUE(solid->hatch.paths[0].isPolyline());
      EXPECT_EQ(solid->hatch.paths[0].vertices.size(), 4u);
      EXPECT_EQ(solid->hatch.paths[0].vertices[2], (Point2{10, 10}));
      EXPECT_FALSE(patterned->hatch.solidFill);
      EXPECT_EQ(patterned->hatch.patternName, "ANSI31");
      EXPECT_EQ(patterned->hatch.patternScale, 2);
      EXPECT_FALSE(patterned->hatch.patternLines.empty());
    }

    const Entity* tagged = nullptr;
    for (const Entity& e : ms) {
      if (!e.common.xdata.empty()) tagged = &e;
    }
    ASSERT_NE(tagged, nullptr);
    EXPECT_EQ(tagged->common.xdata[0].value, "CONTURA_TEST");
    EXPECT_EQ(tagged->common.xdata[1].value, "\xBC\xD7\xD2\xD2");  // 甲乙
    EXPECT_FALSE(tagged->common.appGroups.empty());               // its extension dictionary
  }
}

TEST(DxfEntities, WrittenEntitiesReadBackEqual) {
  for (const char* file : {"fixture_r2000.dxf", "fixture_r2004.dxf", "fixture_r2018.dxf"}) {
    std::string text = fileText(kData + file);
    EntitySink original;
    DxfError error;
    ASSERT_TRUE(readEntities(text, original, error)) << error.text();
    for (DxfVersion target : {DxfVersion::R2000, DxfVersion::R2004, DxfVersion::R2010, DxfVersion::R2018}) {
      SCOPED_TRACE(std::string(file) + " as " + nameOf(target));
      std::map<std::string, int> warnings;
      std::string written = writeEntities(original.modelSpace, target, &warnings);
      EntitySink back;
      ASSERT_TRUE(readEntities(written, back, error)) << error.text();
      ASSERT_EQ(back.modelSpace.size(), original.modelSpace.size());
      for (std::size_t i = 0; i < original.modelSpace.size(); ++i) {
        Entity expected = original.modelSpace[i];
        if (target < DxfVersion::R2004 && expected.common.color.rgb >= 0) {
          // R2000 cannot hold a true colour: the nearest index is written, and said so.
          expected.common.color.index = nearestColorIndex(expected.common.color.rgb);
          expected.common.color.rgb = -1;
          EXPECT_EQ(warnings.size(), 1u);
        }
        EXPECT_TRUE(back.modelSpace[i] == expected) << "entity " << i << " " << expected.typeName();
      }
      // Written a second time, the text is the same: writing is deterministic and complete.
      EXPECT_EQ(writeEntities(back.modelSpace, target), written);
    }
  }
}

TEST(DxfTableRecords, FixtureEntriesReadToTheValuesWrittenAndWriteBackEqual) {
  for (const char* file : {"fixture_r2000.dxf", "fixture_r2004.dxf", "fixture_r2018.dxf"}) {
    EntitySink original;
    DxfError error;
    ASSERT_TRUE(readEntities(fileText(kData + file), original, error)) << error.text();
    std::vector<TableRecord> in = original.entries;
    // (The drawing tests check the entries as the database holds them.)
    const TableRecord* off = findEntry(in, "OFF_LAYER");
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(off->layer.description, "off layer");  // taken out of the extended data
    EXPECT_TRUE(off->common.xdata.empty());
    EXPECT_FALSE(findEntry(in, "NOPLOT_LAYER")->layer.plot);
    EXPECT_EQ(findEntry(in, "DASHED")->linetype.dashes.size(), 2u);
    TableRecord booked = *off;  // a layer coloured from a colour book keeps the colour's name
    booked.name = "BOOK_LAYER";
    booked.layer.color = {7, 0x2E6B8C, "RAL CLASSIC$RAL 5009"};
    in.push_back(booked);
    for (DxfVersion target : {DxfVersion::R2000, DxfVersion::R2018}) {
      SCOPED_TRACE(std::string(file) + " as " + nameOf(target));
      const std::string written = writeFile(in, {}, target);
      EntitySink back;
      ASSERT_TRUE(readEntities(written, back, error)) << error.text();
      ASSERT_EQ(back.entries.size(), in.size());
      for (std::size_t i = 0; i < in.size(); ++i) {
        TableRecord expected = in[i];
        if (target < DxfVersion::R2004 && expected.layer.color.rgb >= 0) {  // the nearest index instead
          expected.layer.color = {nearestColorIndex(expected.layer.color.rgb), -1, ""};
        }
        EXPECT_TRUE(back.entries[i] == expected) << expected.name;
      }
      EXPECT_EQ(writeFile(back.entries, {}, target), written);
    }
  }
}

TEST(DxfEntities, R12GetsOldFormsOnly) {
  std::string text = fileText(kData + "fixture_r2004.dxf");
  EntitySink original;
  DxfError error;
  ASSERT_TRUE(readEntities(text, original, error)) << error.text();
  std::string written = writeEntities(original.modelSpace, DxfVersion::R12);
  {
    TagReader reader(written);
    Tag t;
    while (reader.next(t)) {
      ASSERT_NE(t.code, 100) << "no subclass markers in R12, line " << t.line;
      ASSERT_NE(t.code, 330) << "no owners in R12, line " << t.line;
    }
  }
  EXPECT_EQ(written.find("LWPOLYLINE"), std::string::npos);
  EntitySink back;
  ASSERT_TRUE(readEntities(written, back, error)) << error.text();
  // Each lightweight polyline comes back as an old-style one with the same vertices.
  const Entity* lw = findKind(original.modelSpace, Entity::Kind::Polyline, 1);
  const Entity* old = findKind(back.modelSpace, Entity::Kind::Polyline, 1);
  ASSERT_NE(lw, nullptr);
  ASSERT_NE(old, nullptr);
  EXPECT_FALSE(old->polyline.lightweight);
  ASSERT_EQ(old->polyline.vertices.size(), lw->polyline.vertices.size());
  for (std::size_t i = 0; i < lw->polyline.vertices.size(); ++i) {
    EXPECT_EQ(old->polyline.vertices[i].point.x, lw->polyline.vertices[i].point.x);
    EXPECT_EQ(old->polyline.vertices[i].bulge, lw->polyline.vertices[i].bulge);
    EXPECT_EQ(old->polyline.vertices[i].startWidth, lw->polyline.vertices[i].startWidth);
    EXPECT_NE(old->polyline.vertices[i].common.handle, 0u);
  }
  EXPECT_EQ(old->polyline.flags & 1, lw->polyline.flags & 1);
  EXPECT_EQ(findKind(back.modelSpace, Entity::Kind::MText), nullptr);
  EXPECT_NE(findText(back.modelSpace, kChineseText), nullptr);
}

TEST(DxfEntities, LongMTextSplitsWithoutCuttingCharacters) {
  Entity e;
  e.kind = Entity::Kind::MText;
  e.common.handle = 0x2A;
  for (int i = 0; i < 300; ++i) e.mtext.text += (i % 7 == 0) ? "a^J" : "\xD6\xD0";  // 中
  e.mtext.text += "\\U+0E01";
  for (DxfVersion v : {DxfVersion::R2004, DxfVersion::R2018}) {
    std::string written = writeEntities({e}, v);
    EntitySink back;
    DxfError error;
    ASSERT_TRUE(readEntities(written, back, error)) << error.text();
    ASSERT_EQ(back.modelSpace.size(), 1u);
    EXPECT_EQ(back.modelSpace[0].mtext.text, e.mtext.text) << nameOf(v);
    EXPECT_NE(written.find("\r\n  3\r\n"), std::string::npos);
  }
}

namespace {

// The tags of a DXF text as "code\nvalue\n" lines without the padding of group codes.
std::string plainTags(const std::string& text) {
  TagReader reader(text);
  Tag t;
  std::string out;
  while (reader.next(t)) out += std::to_string(t.code) + "\n" + std::string(t.text) + "\n";
  return out;
}

// One HATCH record in an R2004 file of entities; `paths` replaces the boundary data.
std::string hatchFile(const std::string& paths) {
  return "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1018\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n"
         "0\nHATCH\n5\nA0\n330\n1F\n100\nAcDbEntity\n8\n0\n100\nAcDbHatch\n"
         "10\n0\n20\n0\n30\n2.5\n210\n0\n220\n0\n230\n1\n2\nANSI31\n70\n0\n71\n1\n" +
         paths +
         "75\n1\n76\n1\n52\n45\n41\n2\n77\n0\n78\n1\n"
         "53\n45\n43\n0\n44\n0\n45\n-2.24\n46\n2.24\n79\n2\n49\n3\n49\n-1.5\n"
         "47\n0.5\n98\n1\n10\n1\n20\n1\n"
         "450\n1\n451\n0\n452\n0\n453\n2\n460\n0\n461\n0\n470\nLINEAR\n"
         "0\nENDSEC\n0\nEOF\n";
}

// An edge path of every edge kind (line, arc, clockwise elliptic arc, spline) naming one
// boundary object, and a polyline path whose bulges are left out where they are 0.
const char* const kEdgeAndPolylinePaths =
    "91\n2\n"
    "92\n1\n93\n4\n"
    "72\n1\n10\n0\n20\n0\n11\n10\n21\n0\n"
    "72\n2\n10\n10\n20\n5\n40\n5\n50\n270\n51\n90\n73\n1\n"
    "72\n3\n10\n5\n20\n10\n11\n5\n21\n0\n40\n0.5\n50\n0\n51\n180\n73\n0\n"
    "72\n4\n94\n3\n73\n0\n74\n0\n95\n8\n96\n4\n"
    "40\n0\n40\n0\n40\n0\n40\n0\n40\n1\n40\n1\n40\n1\n40\n1\n"
    "10\n0\n20\n10\n10\n-2\n20\n7\n10\n-2\n20\n3\n10\n0\n20\n0\n97\n0\n"
    "97\n1\n330\nB0\n"
    "92\n2\n72\n1\n73\n1\n93\n3\n10\n2\n20\n2\n42\n0.5\n10\n4\n20\n2\n10\n3\n20\n4\n"
    "97\n0\n";

}  // namespace

TEST(DxfEntities, HatchPathsPatternSeedsAndGradientReadAndWriteBack) {
  EntitySink sink;
  DxfError error;
  ASSERT_TRUE(readEntities(hatchFile(kEdgeAndPolylinePaths), sink, error)) << error.text();
  ASSERT_EQ(sink.modelSpace.size(), 1u);
  const Entity& e = sink.modelSpace[0];
  ASSERT_EQ(e.kind, Entity::Kind::Hatch);
  const HatchEntity& h = e.hatch;
  EXPECT_EQ(h.elevation.z, 2.5);
  EXPECT_TRUE(h.associative);
  ASSERT_EQ(h.paths.size(), 2u);
  const std::vector<HatchEdge>& edges = h.paths[0].edges;
  ASSERT_EQ(edges.size(), 4u);
  EXPECT_EQ(edges[0].end, (Point2{10, 0}));
  EXPECT_EQ(edges[1].radius, 5);
  EXPECT_EQ(edges[1].startAngle, 270);
  EXPECT_EQ(edges[2].ratio, 0.5);
  EXPECT_FALSE(edges[2].ccw);
  EXPECT_EQ(edges[3].knots.size(), 8u);
  EXPECT_EQ(edges[3].controlPoints[1], (Point2{-2, 7}));
  EXPECT_TRUE(edges[3].hasFitData);
  EXPECT_EQ(h.paths[0].boundaryHandles, (std::vector<std::uint64_t>{0xB0}));
  EXPECT_EQ(h.paths[1].bulges, (std::vector<double>{0.5, 0, 0}));
  ASSERT_EQ(h.patternLines.size(), 1u);
  EXPECT_EQ(h.patternLines[0].dashes, (std::vector<double>{3, -1.5}));
  EXPECT_EQ(h.pixelSize, 0.5);
  EXPECT_EQ(h.seedPoints, (std::vector<Point2>{{1, 1}}));
  // The gradient tags after the seed points are kept for writing back.
  ASSERT_FALSE(e.common.extras.empty());
  EXPECT_EQ(e.common.extras.back(), (RawTag{470, "LINEAR"}));

  std::string written = writeEntities(sink.modelSpace, DxfVersion::R2004);
  const std::string tags = plainTags(written);
  ASSERT_NE(tags.find("98\n1\n"), std::string::npos);
  EXPECT_LT(tags.find("98\n1\n"), tags.find("470\nLINEAR\n"));
  EntitySink back;
  ASSERT_TRUE(readEntities(written, back, error)) << error.text();
  ASSERT_EQ(back.modelSpace.size(), 1u);
  EXPECT_TRUE(back.modelSpace[0] == e);
}

TEST(DxfEntities, HatchesOfAnotherLayoutAreKeptAsRead) {
  // Counts that overrun the record, an unknown edge type, a path without its flags.
  for (const char* paths : {"91\n1\n92\n1\n93\n9\n72\n1\n10\n0\n20\n0\n11\n1\n21\n0\n97\n0\n",
                            "91\n1\n92\n1\n93\n1\n72\n7\n10\n0\n20\n0\n97\n0\n",
                            "91\n1\n93\n1\n72\n1\n10\n0\n20\n0\n11\n1\n21\n0\n97\n0\n"}) {
    SCOPED_TRACE(paths);
    EntitySink sink;
    DxfError error;
    ASSERT_TRUE(readEntities(hatchFile(paths), sink, error)) << error.text();
    ASSERT_EQ(sink.modelSpace.size(), 1u);
    const Entity& e = sink.modelSpace[0];
    ASSERT_EQ(e.kind, Entity::Kind::Raw);
    EXPECT_EQ(e.raw.type, "HATCH");
    const std::string tags = plainTags(writeEntities(sink.modelSpace, DxfVersion::R2004));
    EXPECT_NE(tags.find(paths), std::string::npos);
    EXPECT_NE(tags.find("470\nLINEAR\n"), std::string::npos);
  }
}

TEST(DxfEntities, EveryShortenedHatchReadsSafelyAndWritesBackWhatWasRead) {
  // The hatch's own tags, one "code\nvalue\n" pair each; every pair left out in turn and
  // every cut after a pair must read (as a hatch or kept raw) and write back what was read.
  const std::string full = hatchFile(kEdgeAndPolylinePaths);
  const std::size_t begin = full.find("AcDbHatch\n") + 10, end = full.find("0\nENDSEC\n", begin);
  std::vector<std::string> pairs;
  for (std::size_t at = begin; at < end;) {
    std::size_t value = full.find('\n', at) + 1, next = full.find('\n', value) + 1;
    pairs.push_back(full.substr(at, next - at));
    at = next;
  }
  auto withPairs = [&](std::size_t skip, std::size_t count) {
    std::string own;
    for (std::size_t i = 0; i < count; ++i)
      if (i != skip) own += pairs[i];
    return full.substr(0, begin) + own + full.substr(end);
  };
  int hatches = 0, raws = 0;
  for (std::size_t i = 0; i <= pairs.size(); ++i) {
    for (const std::string& text : {withPairs(i, pairs.size()), withPairs(pairs.size(), i)}) {
      EntitySink sink;
      DxfError error;
      ASSERT_TRUE(readEntities(text, sink, error)) << error.text();
      ASSERT_EQ(sink.modelSpace.size(), 1u);
      const Entity& e = sink.modelSpace[0];
      const std::string written = writeEntities(sink.modelSpace, DxfVersion::R2004);
      if (e.kind == Entity::Kind::Hatch) {
        ++hatches;
        EntitySink back;
        ASSERT_TRUE(readEntities(written, back, error)) << error.text();
        EXPECT_TRUE(back.modelSpace.at(0) == e) << "pair " << i;
      } else {
        ++raws;
        const std::string own = plainTags(text.substr(begin, text.find("0\nENDSEC\n", begin) - begin));
        EXPECT_NE(plainTags(written).find(own), std::string::npos) << "pair " << i;
      }
    }
  }
  EXPECT_GT(hatches, 2);  // leaving out optional data (pixel size, gradient) still reads
  EXPECT_GT(raws, 40);
}

