// Writer -> reader -> writer over generated drawings: the text written from the drawn-back
// entities equals the first text for every record kind (the pieces of a multi-line text come
// back as single-line texts, so there the header record is the only difference).
#include "SectionTextReader.h"
#include "SectionTextWriter.h"

#include <AcDbVarCommon.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "drawing_fixture.h"

namespace {

const char* const kLayers[] = {"0", "WALL", "\xB1\xEA\xD7\xA2"};  // 标注

// Generated values survive "%g": at most six significant digits.
struct Gen {
  std::mt19937 rng;
  explicit Gen(unsigned seed) : rng(seed) {}
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
  double coord() {
    switch (pick(3)) {
      case 0: return std::uniform_int_distribution<int>(-7999, 7999)(rng) / 8.0;
      case 1: return std::uniform_int_distribution<int>(-999999, 999999)(rng);
      default: return std::uniform_int_distribution<int>(-9999, 9999)(rng) * 100.0;
    }
  }
  double positive() { return std::uniform_int_distribution<int>(1, 79999)(rng) / 16.0; }
  double angle() { return std::uniform_int_distribution<int>(0, 50)(rng) * 0.125; }
  double bulge() { return pick(2) ? 0.0 : std::uniform_int_distribution<int>(-2000, 2000)(rng) / 1000.0; }
  // Positive only: a zero width comes back as -0 (the reader negates widths below 0.00001).
  double width() { return std::uniform_int_distribution<int>(1, 400)(rng) / 4.0; }
  // Text without line breaks and without white space at its ends (lines are trimmed).
  std::string text() {
    static const char* const parts[] = {"A", "b", "1", "=", "[x]", " ", "\xD6\xD0", "\xCE\xC4", "%%c", ",;"};
    std::string s = "T";
    int n = pick(6);
    for (int i = 0; i < n; ++i) s += parts[pick(10)];
    return s + "z";
  }
  void style(AcDbEntity* e) {
    e->setLayer(kLayers[pick(3)]);
    if (pick(3) != 0) e->setColorIndex(static_cast<Adesk::UInt16>(1 + pick(255)));
  }
};

AcDbEntity* generate(Gen& g, bool withMtext) {
  AcDbEntity* e = nullptr;
  switch (g.pick(withMtext ? 7 : 6)) {
    case 0:
      e = new AcDbLine(AcGePoint3d(g.coord(), g.coord(), 0), AcGePoint3d(g.coord(), g.coord(), 0));
      break;
    case 1:
      e = new AcDbArc(AcGePoint3d(g.coord(), g.coord(), 0), g.positive(), g.angle(), g.angle());
      break;
    case 2:
      e = new AcDbCircle(AcGePoint3d(g.coord(), g.coord(), 0), AcGeVector3d(0, 0, 1), g.positive());
      break;
    case 3: {
      auto* p = new AcDbPolyline();
      int n = 2 + g.pick(5);
      for (int i = 0; i < n; ++i)
        p->addVertexAt(static_cast<unsigned>(i), AcGePoint2d(g.coord(), g.coord()), g.bulge(), g.width(), g.width());
      p->setClosed(false);  // a closed one comes back open with the first vertex repeated
      e = p;
      break;
    }
    case 4:
      e = new AcDbText(AcGePoint3d(g.coord(), g.coord(), 0), g.text().c_str(), AcDbObjectId::kNull,
                       g.positive(), g.angle());
      break;
    case 5: {
      auto* v = new AcDbVarCommon();
      v->setPosition(AcGePoint3d(g.coord(), g.coord(), 0));
      v->setTextString(g.text().c_str());
      v->setHeight(g.positive());
      v->setRotation(g.angle());
      v->putVarCode(g.text().c_str());
      v->putNameVisible(g.pick(2));
      v->putVarSort(g.pick(100));
      v->putCondiction(g.text().c_str());
      std::string remark = g.text();
      for (int i = g.pick(3); i > 0; --i) remark += "\n" + g.text();
      v->putVarRemark(remark.c_str());
      v->putVarInitialValue(g.text().c_str());
      v->putVarSetValue(g.text().c_str());
      v->putVarValueHeight(g.positive());
      v->putValuePosition(AcGePoint3d(g.coord(), g.coord(), 0));
      v->putVarAngle(g.angle());
      v->putVarValueColor(1 + g.pick(255));
      v->putVarType(g.pick(2) ? "\xD5\xFB\xCA\xFD" : "\xD0\xA1\xCA\xFD");
      e = v;
      break;
    }
    default: {
      auto* m = new AcDbMText();
      m->setLocation(AcGePoint3d(g.coord(), g.coord(), 0));
      m->setTextHeight(2.5);
      m->setContents((g.text() + "\\P" + g.text()).c_str());
      e = m;
      break;
    }
  }
  g.style(e);
  return e;
}

std::string encodeAll(Drawing& d) {
  d.selectAll();
  CSectionTextWriter w;
  EXPECT_EQ(w.buildSectionText(), 0);
  return std::string(w.getSectionText().GetString(), w.getSectionText().GetLength());
}

void addLayers(Drawing& d) {
  d.addLayer("WALL", 5);
  d.addLayer(kLayers[2], 3);
}

// The blocks of `text` without the Mtext headers (the pieces come back as single-line texts).
std::vector<std::string> blocksWithoutMtextHeaders(const std::string& text) {
  CStringArray blocks;
  splitRecords(blocks, text.c_str());
  std::vector<std::string> kept;
  for (INT_PTR i = 0; i < blocks.GetSize(); ++i)
    if (blocks[i] != "[Mtext]") kept.emplace_back(blocks[i].GetString());
  return kept;
}

class RoundTrip : public ::testing::TestWithParam<unsigned> {};

TEST_P(RoundTrip, WriterReaderWriterGivesTheSameText) {
  for (bool withMtext : {false, true}) {
    Gen g(GetParam() + (withMtext ? 1000 : 0));
    std::string first;
    {
      Drawing source;
      addLayers(source);
      int n = 1 + g.pick(25);
      for (int i = 0; i < n; ++i) source.add(generate(g, withMtext));
      first = encodeAll(source);
    }
    Drawing copy;
    addLayers(copy);
    CSectionTextReader().drawSectionText(first.c_str());
    std::string second = encodeAll(copy);
    if (withMtext)
      EXPECT_EQ(blocksWithoutMtextHeaders(second), blocksWithoutMtextHeaders(first));
    else
      EXPECT_EQ(second, first);
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RoundTrip, ::testing::Range(1u, 21u));

}  // namespace
