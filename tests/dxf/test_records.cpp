// Section walker: the entity sequences (POLYLINE/VERTEX, INSERT/ATTRIB) group and a sink can
// stop the walk. The fixtures and the malformed corpus go through the walker in the drawing
// reader's tests, which check every file of the corpus at its line.
#include <contura/dxf/records.h>

#include <gtest/gtest.h>

#include <map>

using namespace contura::dxf;

namespace {

// Counts the entities it is handed and checks every record's handle, as the drawing reader
// does.
class CountingSink : public DxfSink {
 public:
  std::map<std::string, int> entities;
  int followers = 0, seqEnds = 0;

  bool headerVariable(const Tag&, const std::vector<Tag>&, DxfError&) override { return true; }
  bool headerEnd(DxfError&) override { return true; }
  bool classRecord(const Record&, DxfError&) override { return true; }
  bool tableBegin(const Record&, DxfError&) override { return true; }
  bool tableEntry(const Record&, const Record& entry, DxfError& e) override { return handleOk(entry, e); }
  bool tableEnd(const Record&, const Record&, DxfError&) override { return true; }
  bool blockBegin(const Record& block, DxfError& e) override { return handleOk(block, e); }
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
  bool object(const Record& r, DxfError& e) override { return handleOk(r, e); }
  bool otherSection(const Tag&, const std::vector<Tag>&, DxfError&) override { return true; }

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

}  // namespace

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
