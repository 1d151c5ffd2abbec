// Section walker: the ezdxf fixtures walk completely, the malformed corpus fails at the right
// line with the right words, and the entity sequences (POLYLINE/VERTEX, INSERT/ATTRIB) group.
#include <contura/dxf/records.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

using namespace contura::dxf;

namespace {

// The ezdxf drawings and the malformed corpus the build makes.
const std::string kData = CONTURA_MADE_DATA_DIR "/dxf/";

// Counts what it is handed and checks every record's handle, as the drawing reader does.
class CountingSink : public DxfSink {
 public:
  std::map<std::string, int> entities, objects, tableEntries;
  std::map<std::string, std::string> header;
  std::vector<std::string> blocks, layers, otherSections;
  int followers = 0, seqEnds = 0, classes = 0;
  bool headerEnded = false;

  bool headerVariable(const Tag& name, const std::vector<Tag>& values, DxfError&) override {
    header[std::string(name.text)] = values.empty() ? "" : std::string(values[0].text);
    return true;
  }
  bool headerEnd(DxfError&) override { return headerEnded = true; }
  bool classRecord(const Record&, DxfError&) override {
    ++classes;
    return true;
  }
  bool tableBegin(const Record&, DxfError&) override { return true; }
  bool tableEntry(const Record& table, const Record& entry, DxfError& e) override {
    ++tableEntries[std::string(table.text(2))];
    if (entry.type() == "LAYER") layers.emplace_back(entry.text(2));
    return handleOk(entry, e);
  }
  bool tableEnd(const Record&, const Record&, DxfError&) override { return true; }
  bool blockBegin(const Record& block, DxfError& e) override {
    blocks.emplace_back(block.text(2));
    return handleOk(block, e);
  }
  bool blockEnd(const Record&, const Record&, DxfError&) override { return true; }
  bool entity(const Record* block, const EntityRecords& ent, DxfError& e) override {
    if (!block) ++entities[std::string(ent.main.type())];
    followers += static_cast<int>(ent.followers.size());
    seqEnds += ent.seqEnd.tags.empty() ? 0 : 1;
    for (const Record& f : ent.followers) {
      if (!handleOk(f, e)) return false;
    }
    return handleOk(ent.main, e);
  }
  bool object(const Record& r, DxfError& e) override {
    ++objects[std::string(r.type())];
    return handleOk(r, e);
  }
  bool otherSection(const Tag& name, const std::vector<Tag>&, DxfError&) override {
    otherSections.emplace_back(name.text);
    return true;
  }

 private:
  static bool handleOk(const Record& r, DxfError& e) {
    std::uint64_t h = 0;
    return recordHandle(r, h, e);
  }
};

bool walkText(std::string& text, CountingSink& sink, DxfError& error) {
  if (!checkDxfText(text, error)) return false;
  TagReader reader(text);
  return walkDxf(reader, sink, error);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace

TEST(DxfWalk, FixturesWalkCompletely) {
  struct Expect {
    const char* file;
    const char* acadVer;
    int lines, inserts, polylines, lwpolylines, texts, hatches, vertexAndAttribs;
  };
  // What make_fixtures.py puts in model space.
  const Expect table[] = {
      {"fixture_r12.dxf", "AC1009", 2, 3, 1, 0, 3, 0, 4 + 2},
      {"fixture_r2000.dxf", "AC1015", 4, 4, 1, 2, 3, 2, 4 + 2},
      {"fixture_r2004.dxf", "AC1018", 4, 4, 1, 2, 3, 2, 4 + 2},
      {"fixture_r2018.dxf", "AC1032", 4, 4, 1, 2, 3, 2, 4 + 2},
  };
  for (const Expect& x : table) {
    std::string text = readFile(kData + x.file);
    CountingSink sink;
    DxfError error;
    ASSERT_TRUE(walkText(text, sink, error)) << x.file << ": " << error.text();
    EXPECT_TRUE(sink.headerEnded);
    EXPECT_EQ(sink.header["$ACADVER"], x.acadVer);
    EXPECT_EQ(sink.entities["LINE"], x.lines) << x.file;
    EXPECT_EQ(sink.entities["INSERT"], x.inserts) << x.file;
    EXPECT_EQ(sink.entities["POLYLINE"], x.polylines) << x.file;
    EXPECT_EQ(sink.entities["LWPOLYLINE"], x.lwpolylines) << x.file;
    EXPECT_EQ(sink.entities["TEXT"], x.texts) << x.file;
    EXPECT_EQ(sink.entities["HATCH"], x.hatches) << x.file;
    EXPECT_EQ(sink.entities.count("VERTEX"), 0u) << "followers are not separate entities";
    // The model-space polyline's 4 vertices and the tagged insert's 2 attributes, plus those
    // inside blocks (OUTER's polyline in R12).
    EXPECT_GE(sink.followers, x.vertexAndAttribs) << x.file;
    EXPECT_GE(sink.tableEntries["LAYER"], 6) << x.file;
    for (const char* b : {"INNER", "OUTER", "TAGBLOCK", "MYARROW"}) {
      EXPECT_NE(std::find(sink.blocks.begin(), sink.blocks.end(), b), sink.blocks.end()) << b;
    }
  }
}

TEST(DxfWalk, MalformedCorpusFailsAtTheNamedLine) {
  std::ifstream list(kData + "malformed/expected.txt");
  ASSERT_TRUE(list) << "malformed/expected.txt missing";
  std::string row;
  int checked = 0;
  while (std::getline(list, row)) {
    std::istringstream fields(row);
    std::string name, line, layer, words;
    std::getline(fields, name, '\t');
    std::getline(fields, line, '\t');
    std::getline(fields, layer, '\t');
    std::getline(fields, words);
    if (layer == "drawing") continue;  // needs the drawing reader (see the document tests)
    std::string text = readFile(kData + "malformed/" + name);
    CountingSink sink;
    DxfError error;
    EXPECT_FALSE(walkText(text, sink, error)) << name;
    EXPECT_EQ(error.line, static_cast<std::uint32_t>(std::stoul(line))) << name << ": " << error.text();
    EXPECT_NE(error.message.find(words), std::string::npos) << name << ": " << error.text();
    ++checked;
  }
  EXPECT_GE(checked, 15);
}

TEST(DxfWalk, SequencesGroupWithTheirEntity) {
  // A polyline closed by SEQEND, an insert with attributes, a polyline whose SEQEND is
  // missing, comments, and no EOF after the last section.
  std::string text =
      "999\nmade by hand\n  0\nSECTION\n  2\nENTITIES\n"
      "  0\nPOLYLINE\n 66\n1\n  0\nVERTEX\n 10\n1\n  0\nVERTEX\n 10\n2\n  0\nSEQEND\n"
      "  0\nINSERT\n  2\nB\n 66\n     1\n  0\nATTRIB\n  1\nv\n999\nnote\n  0\nSEQEND\n"
      "  0\nINSERT\n  2\nB\n"
      "  0\nPOLYLINE\n  0\nVERTEX\n 10\n3\n  0\nLINE\n  0\nENDSEC\n";
  CountingSink sink;
  DxfError error;
  ASSERT_TRUE(walkText(text, sink, error)) << error.text();
  EXPECT_EQ(sink.entities["POLYLINE"], 2);
  EXPECT_EQ(sink.entities["INSERT"], 2);
  EXPECT_EQ(sink.entities["LINE"], 1);
  EXPECT_EQ(sink.followers, 2 + 1 + 1);
  EXPECT_EQ(sink.seqEnds, 2);
}

TEST(DxfWalk, SinkCanStopTheWalk) {
  struct Stopper : CountingSink {
    bool entity(const Record*, const EntityRecords& e, DxfError& error) override {
      error.set(e.main.line(), "stopped");
      return false;
    }
  } sink;
  std::string text = "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  0\nENDSEC\n  0\nEOF\n";
  DxfError error;
  EXPECT_FALSE(walkText(text, sink, error));
  EXPECT_EQ(error.text(), "line 5: stopped");
}
