// CDwgDatabase's interaction and block-content members, with the editor answering from queued
// lines as a script does: prompts and results, dragging, temporary chords, zooming, layer
// filters, block contents under nested transforms, and old-style polylines.
#include <gtest/gtest.h>

#include <dbents.h>
#include <dbpl.h>
#include <dbsymtb.h>

#include <numbers>
#include <string>

#include "DwgDatabase.h"
#include "contura/ed/editor_state.h"
#include "drawing_fixture.h"

namespace {

const double kPi = std::numbers::pi;

struct Interaction : ::testing::Test {
  Drawing drawing;
  CDwgDatabase toolkit{&drawing.db};
  void SetUp() override { contura::ed::resetEditor(); }
  void TearDown() override { contura::ed::resetEditor(); }
  AcDbObjectId onLayer(AcDbEntity* pEnt, const char* layer) {
    AcDbLayerTable* pLayers = nullptr;
    drawing.db.getLayerTable(pLayers, AcDb::kForRead);
    const bool known = pLayers->has(layer);
    pLayers->close();
    if (!known) drawing.addLayer(layer, 7);
    pEnt->setLayer(layer);
    return drawing.add(pEnt);
  }
};

TEST_F(Interaction, DistanceAndPointsWithTheirPromptsAndCancels) {
  drawing.input.lines = {"0,0", "3,4"};
  double dist = -1.0;
  ASSERT_EQ(toolkit.getDistByUser(dist), 0);
  EXPECT_DOUBLE_EQ(dist, 5.0);
  ASSERT_EQ(drawing.input.prompts.size(), 2u);
  EXPECT_NE(drawing.input.prompts[0].find("请选择起点："), std::string::npos);
  EXPECT_NE(drawing.input.prompts[1].find("请选择终点："), std::string::npos);

  drawing.input.lines = {"1,1", "*cancel*"};
  EXPECT_EQ(toolkit.getDistByUser(dist), 2);
  EXPECT_EQ(dist, 0.0);

  drawing.input.lines = {"@2,0"};
  AcGePoint3d pt;
  ASSERT_EQ(CDwgDatabase::selectPoint(pt, AcGePoint3d(5, 5, 0), "基点"), 0);
  EXPECT_EQ(pt, AcGePoint3d(7, 5, 0));
  drawing.input.lines = {""};
  EXPECT_EQ(CDwgDatabase::selectPoint(pt, "点"), 1);
}

TEST_F(Interaction, DraggingMovesTheEntitiesByTheDisplacement) {
  AcDbObjectId line = drawing.add(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)));
  AcDbObjectIdArray none;
  drawing.input.prompts.clear();
  EXPECT_EQ(toolkit.dragEntIdArray(none), 0);
  EXPECT_TRUE(drawing.input.prompts.empty());  // nothing asked

  AcDbObjectIdArray ids;
  ids.append(line);
  drawing.input.lines = {"10,10", "13,14"};
  ASSERT_EQ(toolkit.dragEntIdArray(ids), 0);
  EXPECT_EQ(CDwgDatabase::getCurveEndPt(line), AcGePoint3d(4, 4, 0));
  EXPECT_EQ(contura::ed::openSelectionSets(), 0);

  drawing.input.lines = {"*cancel*"};
  EXPECT_EQ(toolkit.dragEntIdArray(ids), 0);  // a cancelled base point is no error
  drawing.input.lines = {"0,0", "*cancel*"};
  EXPECT_EQ(toolkit.dragEntIdArray(ids), 0);  // nor a cancelled drag: nothing moves
  EXPECT_EQ(CDwgDatabase::getCurveEndPt(line), AcGePoint3d(4, 4, 0));
  EXPECT_EQ(contura::ed::openSelectionSets(), 0);
}

TEST_F(Interaction, TemporaryChordsZoomAndRegen) {
  AcDbObjectId quarter = drawing.add(new AcDbArc(AcGePoint3d(0, 0, 0), 10.0, 0.0, kPi / 2));
  AcDbObjectId small = drawing.add(new AcDbArc(AcGePoint3d(0, 0, 0), 10.0, 0.0, 0.1));
  CDwgDatabase::drawCurveTemporary(quarter, 3);
  std::vector<contura::ed::TemporaryVector> chords = contura::ed::temporaryVectors();
  ASSERT_EQ(chords.size(), 8u);  // 8.9999997 chords of 10 degrees, truncated
  EXPECT_NEAR(chords.back().to[0], 0.0, 1e-9);
  EXPECT_NEAR(chords.back().to[1], 10.0, 1e-9);
  CDwgDatabase::drawCurveTemporary(small, 3);
  EXPECT_EQ(contura::ed::temporaryVectors().size(), 9u);  // one chord for an arc under 10 degrees

  CDwgDatabase::RefreshCADOnCurWnd(nullptr);  // regenerates: the vectors go
  EXPECT_TRUE(contura::ed::temporaryVectors().empty());

  AcDbExtents box(AcGePoint3d(10, 20, 0), AcGePoint3d(50, 40, 0));
  ASSERT_EQ(toolkit.zoomWindow(box), 0);
  contura::ed::DisplayedView view = contura::ed::displayedView();
  EXPECT_DOUBLE_EQ(view.center[0], 30.0);
  EXPECT_DOUBLE_EQ(view.center[1], 30.0);
  EXPECT_DOUBLE_EQ(view.height, 20.0);
  EXPECT_DOUBLE_EQ(view.width, 40.0);
}

TEST_F(Interaction, LayerFiltersSelectOnlyTheirLayerAndRefuseLongNames) {
  AcDbObjectId wall = onLayer(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)), "墙");
  onLayer(new AcDbLine(AcGePoint3d(0, 5, 0), AcGePoint3d(10, 5, 0)), "门");
  AcDbObjectId id;
  drawing.input.lines = {"5,5", "5,0"};  // the first pick finds a door: nothing selected yet
  ASSERT_EQ(toolkit.selectEnt(id, "墙", "选择墙"), 0);
  EXPECT_EQ(id, wall);
  EXPECT_NE(drawing.printed.find("选择墙"), std::string::npos);

  AcDbObjectIdArray ids;
  drawing.input.lines = {"all", ""};
  ASSERT_EQ(toolkit.selectEntArray(ids, CString("墙")), 0);
  ASSERT_EQ(ids.length(), 1);
  EXPECT_EQ(ids[0], wall);

  drawing.input.prompts.clear();
  EXPECT_EQ(toolkit.selectEntArray(ids, CString(std::string(40, 'L').c_str())), 1);  // 40 bytes
  EXPECT_EQ(toolkit.selectEnt(id, CString(std::string(32, 'L').c_str()), "选择"), 1);  // 32: one too many
  EXPECT_TRUE(drawing.input.prompts.empty());
}

TEST_F(Interaction, BlockContentsUnderNestedTransforms) {
  AcDbBlockTable* pTable = nullptr;
  ASSERT_EQ(drawing.db.getBlockTable(pTable, AcDb::kForWrite), Acad::eOk);
  auto makeBlock = [&](const char* name, std::initializer_list<AcDbEntity*> entities) {
    AcDbBlockTableRecord* pBlock = new AcDbBlockTableRecord();
    pBlock->setName(name);
    AcDbObjectId id;
    pTable->add(id, pBlock);
    for (AcDbEntity* e : entities) {
      pBlock->appendAcDbEntity(e);
      e->close();
    }
    pBlock->close();
    return id;
  };
  AcDbObjectId inner = makeBlock("IN", {new AcDbCircle(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, 1.0)});
  AcDbBlockReference* pNested = new AcDbBlockReference(AcGePoint3d(0, 0, 0), inner);
  pNested->setScaleFactors(AcGeScale3d(3.0));
  AcDbObjectId outer = makeBlock("OUT", {new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)),
                                         new AcDbText(AcGePoint3d(0, 0, 0), "编号", AcDbObjectId::kNull, 1.0, 0.0), pNested});
  pTable->close();
  AcDbBlockReference* pRef = new AcDbBlockReference(AcGePoint3d(100, 0, 0), outer);
  pRef->setScaleFactors(AcGeScale3d(2.0));
  AcDbObjectId refId = drawing.add(pRef);

  AcDbBlockReference* pOpen = nullptr;
  ASSERT_EQ(acdbOpenObject(pOpen, refId, AcDb::kForRead), Acad::eOk);
  AcDbVoidPtrArray pieces;
  ASSERT_EQ(CDwgDatabase::getBlockReferenceExplodeEntity(pieces, pOpen), 0);
  pOpen->close();
  ASSERT_EQ(pieces.length(), 2);  // the line and the nested circle; the text is skipped
  EXPECT_DOUBLE_EQ(CDwgDatabase::getCurveLength(static_cast<AcDbCurve*>(pieces[0])), 2.0);
  AcDbCircle* pCircle = AcDbCircle::cast(static_cast<AcDbObject*>(pieces[1]));
  ASSERT_NE(pCircle, nullptr);
  EXPECT_DOUBLE_EQ(pCircle->radius(), 6.0);
  CDwgDatabase::deleteAcdbVoidArray(pieces);

  CStringArray texts;
  ASSERT_EQ(toolkit.getBlockReferenceText(texts, refId), 0);
  ASSERT_EQ(texts.GetSize(), 1);
  EXPECT_STREQ(texts[0].GetString(), "编号");
}

TEST_F(Interaction, OldPolylinesBecomeStraightLightweightOnes) {
  AcDb2dPolyline* pOld = new AcDb2dPolyline();
  drawing.addLayer("轮廓", 7);
  pOld->setLayer("轮廓");
  AcDbObjectId oldId = drawing.add(pOld);
  AcDb2dPolyline* pOpen = nullptr;
  ASSERT_EQ(acdbOpenObject(pOpen, oldId, AcDb::kForWrite), Acad::eOk);
  for (AcGePoint3d p : {AcGePoint3d(0, 0, 0), AcGePoint3d(4, 0, 0), AcGePoint3d(4, 3, 0)}) {
    AcDb2dVertex* pVertex = new AcDb2dVertex(p, p.x == 4 && p.y == 0 ? 1.0 : 0.0);
    pOpen->appendVertex(pVertex);
    pVertex->close();
  }
  pOpen->makeClosed();
  pOpen->close();
  AcDbObjectId newId;
  ASSERT_EQ(toolkit.createPolylineFrom2dPolyline(newId, oldId), 0);
  EXPECT_NE(drawing.printed.find("line layer:轮廓"), std::string::npos);
  AcDbPolyline* pNew = nullptr;
  ASSERT_EQ(acdbOpenObject(pNew, newId, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(pNew->numVerts(), 3u);
  EXPECT_TRUE(pNew->isClosed());
  for (unsigned int i = 0; i < 3; i++) EXPECT_EQ(pNew->segType(i), AcDbPolyline::kLine);
  pNew->close();
}

}  // namespace
