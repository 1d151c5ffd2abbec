// A polyline drawn from scripted answers (line and arc segments, closing, taking back,
// cancelling) and polylines chained from lines, arcs and polylines given in any order.
#include <PlotPolyline.h>
#include <dbents.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "drawing_fixture.h"

namespace {

struct Vertex {
  double x, y, bulge;
};

constexpr double kExact = 1e-9;
const double kSqrt2 = std::sqrt(2.0);
const std::string kLineMode = "\n指定下一点或 [圆弧(A)/闭合(C)/放弃(U)]: ";
const std::string kArcMode = "\n指定圆弧的端点或 [直线(L)/闭合(C)/放弃(U)]: ";

void expectVertices(const AcDbPolyline* pPline, const std::vector<Vertex>& expected, bool closed) {
  EXPECT_EQ(pPline->isClosed(), closed);
  const std::vector<std::array<double, 3>> got = verticesOf(pPline);
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    const Vertex& e = expected[i];
    EXPECT_LT(std::hypot(got[i][0] - e.x, got[i][1] - e.y) + std::fabs(got[i][2] - e.bulge), kExact) << i;
  }
}

// Watches the drawing each time an answer is asked for, then answers from the queue.
struct Watcher : contura::ed::InputBackend {
  Drawing& drawing;
  std::vector<std::string> seen;  // per request: the vertex counts of the polylines drawn so far
  explicit Watcher(Drawing& d) : drawing(d) {}
  contura::ed::InputLine readLine(const contura::ed::InputRequest& request) override {
    std::string counts;
    for (AcDbObjectId id : drawing.modelSpace()) {
      Opened<AcDbPolyline> p(id);  // opens only when closed between answers, as a window reads it
      if (p.p) counts += std::to_string(p->numVerts());
    }
    seen.push_back(counts);
    return drawing.input.readLine(request);
  }
  void message(std::string_view) override {}
};

}  // namespace

TEST(DrawAPolylineWithPoints, ScriptedAnswers) {
  struct Case {
    const char* name;
    std::deque<std::string> answers;
    Acad::ErrorStatus es;
    std::vector<Vertex> vertices;
    bool closed;
    std::string printed;
  } cases[] = {
      // Relative answers are taken from the last vertex, the rubber band's base point.
      {"line, arc, line, close", {"0,0", "@10,0", "a", "@0,10", "l", "0,10", "c"}, Acad::eOk,
       {{0, 0, 0}, {10, 0, 1}, {10, 10, 0}, {0, 10, 0}}, true, ""},
      {"closing arc", {"0,0", "10,0", "10,10", "A", "close"}, Acad::eOk,
       {{0, 0, 0}, {10, 0, 0}, {10, 10, 1 + kSqrt2}}, true, ""},
      {"first arc along +X, then reverse turn", {"0,0", "a", "0,2", "0,4", ""}, Acad::eOk,
       {{0, 0, 1}, {0, 2, -1}, {0, 4, 0}}, false, ""},
      {"take back in arc mode and to the start", {"0,0", "5,0", "a", "5,5", "u", "5,-5", "u", "u", "u", "7,7", "8,8", ""},
       Acad::eOk, {{7, 7, 0}, {8, 8, 0}}, false, ""},
      {"last point on the first", {"0,0", "4,0", "4,4", "0,0", "c"}, Acad::eOk, {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}}, true, ""},
      {"refusals", {"0,0", "c", "0,0", "a", "-3,0", "3,0", ""}, Acad::eOk, {{0, 0, 0}, {3, 0, 0}}, false,
       "\n至少需要两个点才能闭合。\n该点与上一点重合。\n该点在切线的正后方，无法画出相切的圆弧。"},
      {"cancelled", {"0,0", "5,0", "*cancel*"}, Acad::eNotApplicable, {}, false, ""},
      {"one point", {"0,0", ""}, Acad::eInvalidInput, {}, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Drawing d;
    d.add(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0)));
    d.input.lines = c.answers;
    AcDbPolyline* pPline = reinterpret_cast<AcDbPolyline*>(1);
    EXPECT_EQ(PlotPolyline::drawAPolylineWithPoints(pPline), c.es);
    EXPECT_EQ(d.printed, c.printed);
    if (c.es != Acad::eOk) {
      EXPECT_EQ(pPline, nullptr);
      EXPECT_EQ(d.modelSpace().size(), 1u);  // nothing left behind
      continue;
    }
    ASSERT_NE(pPline, nullptr);
    EXPECT_TRUE(pPline->isWriteEnabled());
    expectVertices(pPline, c.vertices, c.closed);
    EXPECT_EQ(d.modelSpace().back(), pPline->objectId());
    pPline->close();
  }
}

TEST(DrawAPolylineWithPoints, GrowsInTheDrawingWithPromptsNamingTheKeywords) {
  Drawing d;
  Watcher watcher(d);
  contura::ed::ScopedInputBackend scope(watcher);
  d.input.lines = {"0,0", "5,0", "a", "5,5", "u", ""};
  AcDbPolyline* pPline = nullptr;
  ASSERT_EQ(PlotPolyline::drawAPolylineWithPoints(pPline), Acad::eOk);
  pPline->close();
  EXPECT_EQ(watcher.seen, (std::vector<std::string>{"", "1", "2", "2", "3", "2"}));
  EXPECT_EQ(d.input.prompts,
            (std::vector<std::string>{"\n指定起点: ", kLineMode, kLineMode, kArcMode, kArcMode, kArcMode}));
}

namespace {

using Maker = std::function<AcDbEntity*()>;
Maker line(double x1, double y1, double x2, double y2) {
  return [=] { return new AcDbLine(AcGePoint3d(x1, y1, 0), AcGePoint3d(x2, y2, 0)); };
}
Maker pline(std::vector<Vertex> vertices, bool closed = false) {
  return [=] {
    auto* p = new AcDbPolyline;
    for (const Vertex& v : vertices) p->addVertexAt(p->numVerts(), AcGePoint2d(v.x, v.y), v.bulge);
    p->setClosed(closed);
    return p;
  };
}

// A half circle on (10,0)-(10,10) and two lines close a D shape of area 50 + 12.5 pi.
const Maker kHalfCircle = [] { return new AcDbArc(AcGePoint3d(10, 5, 0), 5, -std::numbers::pi / 2, std::numbers::pi / 2); };

}  // namespace

TEST(GetPolyline, ChainsCurvesGivenInAnyOrderAndDirection) {
  struct Case {
    const char* name;
    std::vector<Maker> curves;
    int rc;
    std::vector<Vertex> vertices;
    bool closed;
  } cases[] = {
      {"reversed bulged polyline", {line(0, 0, 10, 0), pline({{0, 10, -0.5}, {10, 10, 0}, {10, 0, 0}})}, 0,
       {{0, 0, 0}, {10, 0, 0}, {10, 10, 0.5}, {0, 10, 0}}, false},
      {"arc walked backwards", {line(20, 10, 10, 10), kHalfCircle}, 0, {{20, 10, 0}, {10, 10, -1}, {10, 0, 0}}, false},
      {"closed polyline", {pline({{0, 0, 0}, {4, 0, 0.25}, {4, 4, 0}}, true)}, 0,
       {{0, 0, 0}, {4, 0, 0.25}, {4, 4, 0}}, true},
      {"whole circle as an arc", {[] { return new AcDbArc(AcGePoint3d(0, 0, 0), 1, 0, 0); }}, 0, {{1, 0, 1}, {-1, 0, 1}}, true},
      {"ends within the join tolerance", {line(0, 0, 10, 0), line(20, 0, 10.05, 0.05)}, 0,
       {{0, 0, 0}, {10, 0, 0}, {20, 0, 0}}, false},
      {"no curves", {}, 1, {}, false},
      {"a text", {line(0, 0, 10, 0), [] { return new AcDbText(AcGePoint3d(0, 0, 0), "A"); }}, 2, {}, false},
      {"fork", {line(0, 0, 10, 0), line(0, 0, 0, 10), line(-10, 0, 0, 0)}, 3, {}, false},
      {"gap", {line(0, 0, 10, 0), line(10.2, 0, 20, 0)}, 4, {}, false},
      {"unconnected extra curve", {kHalfCircle, line(0, 0, 10, 10), line(10, 0, 0, 0), line(50, 50, 60, 60)}, 4, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Drawing d;
    AcDbObjectIdArray ids;
    for (const Maker& make : c.curves) ids.append(d.add(make()));
    AcDbObjectId result = d.add(new AcDbLine);  // must come back null on failure
    size_t before = d.modelSpace().size();
    EXPECT_EQ(PlotPolyline::getPolyline(ids, result), c.rc);
    if (c.rc != 0) {
      EXPECT_TRUE(result.isNull());
      EXPECT_EQ(d.modelSpace().size(), before);
      EXPECT_EQ(std::count(d.printed.begin(), d.printed.end(), '\n'), 1);
      EXPECT_EQ(d.printed.substr(0, 1), "\n");
      continue;
    }
    EXPECT_TRUE(d.printed.empty());
    EXPECT_EQ(d.modelSpace().size(), before + 1);
    Opened<AcDbPolyline> built(result);
    ASSERT_NE(built.p, nullptr);
    expectVertices(built.p, c.vertices, c.closed);
  }
}

TEST(GetPolyline, AnyOrderAndDirectionGivesTheSameArea) {
  const Maker ways[3][2] = {{kHalfCircle, kHalfCircle}, {line(0, 0, 10, 10), line(10, 10, 0, 0)},
                            {line(10, 0, 0, 0), line(0, 0, 10, 0)}};
  int order[3] = {0, 1, 2};
  do {
    for (int flips = 0; flips < 4; ++flips) {  // which way round each line is given
      Drawing d;
      AcDbObjectIdArray ids;
      for (int k : order) ids.append(d.add(ways[k][k == 0 ? 0 : (flips >> (k - 1)) & 1]()));
      AcDbObjectId result;
      ASSERT_EQ(PlotPolyline::getPolyline(ids, result), 0);
      Opened<AcDbPolyline> built(result);
      double area = 0.0;
      ASSERT_EQ(built->getArea(area), Acad::eOk);
      EXPECT_NEAR(area, 50 + 12.5 * std::numbers::pi, kExact);
      EXPECT_TRUE(built->isClosed());
    }
  } while (std::next_permutation(order, order + 3));
}
