// A drawing and a scripted input for the editor tests: answers are queued lines, every
// request and message is recorded, and a hook may look at the windows while a request waits.
#pragma once
#include <aced.h>
#include <dbapserv.h>
#include <dbents.h>
#include <dbmain.h>
#include <dbpl.h>
#include <dbsymtb.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "contura/ed/editor_state.h"
#include "contura/ed/input.h"

class ScriptedInput : public contura::ed::InputBackend {
public:
  std::deque<std::string> lines;
  std::vector<contura::ed::InputRequest> requests;
  std::vector<std::string> messages;
  std::function<void(const contura::ed::InputRequest&)> onRequest;

  contura::ed::InputLine readLine(const contura::ed::InputRequest& request) override {
    requests.push_back(request);
    if (onRequest) onRequest(request);
    if (lines.empty()) return contura::ed::InputLine::end();
    std::string line = lines.front();
    lines.pop_front();
    return contura::ed::InputLine::line(line);
  }
  void message(std::string_view text) override { messages.emplace_back(text); }
};

// A working database holding, in this order:
//   line     (0,0)-(10,0)                 layer 0
//   diagonal (0,20)-(10,30)               layer 0
//   circle   centre (50,50) radius 5      layer 0
//   arc      centre (100,0) radius 10, 0 to 90 degrees
//   polyline (200,0)-(210,0) bulge 1 (half circle below), then (210,0)-(210,10)
//   text     "ABC" at (0,-20), height 5    layer "文字"
//   hidden   (0,100)-(10,100)             layer "冻结" (frozen)
struct EditorTest : ::testing::Test {
  std::unique_ptr<AcDbDatabase> db;
  ScriptedInput input;
  contura::ed::ScopedInputBackend scope{input};
  AcDbObjectId line, diagonal, circle, arc, polyline, text, hidden;

  void SetUp() override {
    contura::ed::resetEditor();
    db = std::make_unique<AcDbDatabase>(true, true);
    acdbHostApplicationServices()->setWorkingDatabase(db.get());
    addLayer("文字", false);
    addLayer("冻结", true);
    line = append(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)));
    diagonal = append(new AcDbLine(AcGePoint3d(0, 20, 0), AcGePoint3d(10, 30, 0)));
    circle = append(new AcDbCircle(AcGePoint3d(50, 50, 0), AcGeVector3d(0, 0, 1), 5));
    arc = append(new AcDbArc(AcGePoint3d(100, 0, 0), 10, 0, 1.5707963267948966));
    auto* pl = new AcDbPolyline;
    pl->addVertexAt(0, AcGePoint2d(200, 0), 1.0);
    pl->addVertexAt(1, AcGePoint2d(210, 0));
    pl->addVertexAt(2, AcGePoint2d(210, 10));
    polyline = append(pl);
    auto* t = new AcDbText(AcGePoint3d(0, -20, 0), "ABC");
    t->setHeight(5);
    text = append(t, "文字");
    hidden = append(new AcDbLine(AcGePoint3d(0, 100, 0), AcGePoint3d(10, 100, 0)), "冻结");
  }
  void TearDown() override {
    contura::ed::resetEditor();
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
  }

  void addLayer(const char* name, bool frozen) {
    AcDbLayerTable* layers = nullptr;
    ASSERT_EQ(db->getLayerTable(layers, AcDb::kForWrite), Acad::eOk);
    auto* record = new AcDbLayerTableRecord;
    record->setName(name);
    record->setIsFrozen(frozen);
    ASSERT_EQ(layers->add(record), Acad::eOk);
    record->close();
    layers->close();
  }
  AcDbObjectId append(AcDbEntity* e, const char* layer = nullptr) {
    AcDbBlockTable* blocks = nullptr;
    db->getBlockTable(blocks, AcDb::kForRead);
    AcDbBlockTableRecord* model = nullptr;
    blocks->getAt(ACDB_MODEL_SPACE, model, AcDb::kForWrite);
    blocks->close();
    if (layer) e->setLayer(layer);
    AcDbObjectId id;
    model->appendAcDbEntity(id, e);
    e->close();
    model->close();
    return id;
  }
  static std::string handleOf(AcDbObjectId id) {
    char buffer[17];
    id.handle().getIntoAsciiBuffer(buffer, sizeof buffer);
    return buffer;
  }
  // The members of a set, freed afterwards.
  static std::vector<AcDbObjectId> membersAndFree(ads_name ss) {
    std::vector<AcDbObjectId> ids;
    Adesk::Int32 n = 0;
    acedSSLength(ss, &n);
    for (Adesk::Int32 i = 0; i < n; ++i) {
      ads_name e;
      AcDbObjectId id;
      if (acedSSName(ss, i, e) == RTNORM && acdbGetObjectId(id, e) == Acad::eOk) ids.push_back(id);
    }
    acedSSFree(ss);
    return ids;
  }
  // Selects with the given answer lines (no mode, no filter).
  std::vector<AcDbObjectId> select(std::deque<std::string> answers, int expected = RTNORM,
                                   const resbuf* filter = nullptr, const char* mode = nullptr) {
    input.lines = std::move(answers);
    ads_name ss;
    int rc = acedSSGet(mode, nullptr, nullptr, filter, ss);
    EXPECT_EQ(rc, expected);
    return rc == RTNORM ? membersAndFree(ss) : std::vector<AcDbObjectId>{};
  }
};
