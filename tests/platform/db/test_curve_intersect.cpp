// intersectWith between every pair of curve kinds under the four extension modes, in one
// plane and across planes, and metamorphic checks (moves, reversal, operand order).
#include "db_test_util.h"

#include <dbelipse.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace dbtest;

namespace {

//
// Carriers: on the A side the line y = 0 (LA) and the circle of radius 2 about the origin
// (CA); on the B side the line x = 1 (LB) and the circle of radius 2 about (3, 0) (CB).
// Their crossings are the labelled points below. Every curve is a piece of one carrier (its
// family: a segment S, a ray R, a construction line X, an arc A or a whole circle C) chosen
// to hold some of those points and no crossing at its ends; each family is built as every
// entity kind that can represent it.
const double kH = std::sqrt(1.75);
const double kR3 = std::sqrt(3.0);
struct Labelled {
  const char* name;
  double x, y;
};
const Labelled kPoints[] = {{"LA^LB, LA^CB", 1, 0}, {"LA^CB", 5, 0},      {"CA^LB", 1, kR3},
                            {"CA^LB'", 1, -kR3},    {"CA^CB", 1.5, kH},   {"CA^CB'", 1.5, -kH}};

enum Family { kS, kR, kX, kA, kC };
const char* const kFamilyNames[] = {"segment", "ray", "xline", "arc", "circle"};

// Which labelled points each family's body holds (by index into kPoints), A side and B side.
// The bodies: S_A (4,0)-(6,0); R_A from (3,0) along +x; X_A the x axis; A_A the arc of CA from
// 45 to 200 degrees; C_A = CA. S_B (1,1)-(1,3); R_B from (1,1) along +y; X_B = LB; A_B the arc
// of CB from 150 to 200 degrees; C_B = CB.
const std::vector<int> kBodyA[] = {{1}, {1}, {0, 1}, {2}, {2, 3, 4, 5}};
const std::vector<int> kBodyB[] = {{2}, {2}, {0, 2, 3}, {0}, {0, 1, 4, 5}};
// The points on each carrier (what an extended body holds).
const std::vector<int> kLineA{0, 1}, kCircleA{2, 3, 4, 5}, kLineB{0, 2, 3}, kCircleB{0, 1, 4, 5};

bool straight(Family f) { return f == kS || f == kR || f == kX; }

std::vector<int> heldBy(Family f, bool sideA, bool extended) {
  if (extended || f == kX || f == kC) {
    if (sideA) return straight(f) ? kLineA : kCircleA;
    return straight(f) ? kLineB : kCircleB;
  }
  return sideA ? kBodyA[f] : kBodyB[f];
}

std::vector<int> expectedPoints(Family fa, Family fb, int mode) {
  const std::vector<int> a = heldBy(fa, true, (mode & 1) != 0);
  const std::vector<int> b = heldBy(fb, false, (mode & 2) != 0);
  // Only points of the carrier pair count (the lines meet the circles elsewhere).
  std::vector<int> out;
  for (int p : a)
    if (std::find(b.begin(), b.end(), p) != b.end()) out.push_back(p);
  return out;
}

AcGePoint2d onCircle(double cx, double cy, double r, double degrees) {
  const double a = degrees * kPi / 180;
  return AcGePoint2d(cx + r * std::cos(a), cy + r * std::sin(a));
}

using Maker = std::function<AcDbCurve*()>;
struct Kind {
  std::string name;
  Maker make;
};

// Every entity kind that can stand for a family on one side.
std::vector<Kind> kindsOf(Family f, bool sideA) {
  auto segment = [=](double x0, double y0, double x1, double y1) {
    return std::vector<Kind>{
        {"line", [=] { return line(x0, y0, x1, y1); }},
        {"lwpolyline", [=] { return polyline({{x0, y0}, {x1, y1}}); }},
        {"2d polyline", [=] { return poly2d({{x0, y0}, {x1, y1}}, false); }}};
  };
  auto arcs = [=](double cx, double cy, double r, double a0, double a1) {
    const AcGePoint2d s = onCircle(cx, cy, r, a0), e = onCircle(cx, cy, r, a1);
    const double b = std::tan((a1 - a0) * kPi / 180 / 4);
    return std::vector<Kind>{
        {"arc", [=] { return arc(cx, cy, r, a0 * kPi / 180, a1 * kPi / 180); }},
        {"lwpolyline", [=] { return polyline({{s.x, s.y, b}, {e.x, e.y}}); }},
        {"2d polyline", [=] { return poly2d({{s.x, s.y, b}, {e.x, e.y}}, false); }}};
  };
  auto circles = [=](double cx, double cy, double r) {
    return std::vector<Kind>{
        {"circle", [=] { return new AcDbCircle(AcGePoint3d(cx, cy, 0), AcGeVector3d::kZAxis, r); }},
        {"closed lwpolyline", [=] { return polyline({{cx + r, cy, 1.0}, {cx - r, cy, 1.0}}, true); }},
        {"closed 2d polyline", [=] { return poly2d({{cx + r, cy, 1.0}, {cx - r, cy, 1.0}}, true); }}};
  };
  auto rays = [](double x, double y, double dx, double dy, bool both) {
    return Kind{both ? "xline" : "ray", [=]() -> AcDbCurve* { return ray(x, y, dx, dy, both); }};
  };
  switch (f) {
    case kS: return sideA ? segment(4, 0, 6, 0) : segment(1, 1, 1, 3);
    case kR: return {sideA ? rays(3, 0, 1, 0, false) : rays(1, 1, 0, 1, false)};
    case kX: return {sideA ? rays(0, 0, 1, 0, true) : rays(1, 0, 0, 1, true)};
    case kA: return sideA ? arcs(0, 0, 2, 45, 200) : arcs(3, 0, 2, 150, 200);
    case kC: return sideA ? circles(0, 0, 2) : circles(3, 0, 2);
  }
  return {};
}

TEST(IntersectWith, EveryPairOfKindsUnderEveryExtensionMode) {
  int checked = 0;
  for (int fa = kS; fa <= kC; ++fa)
    for (int fb = kS; fb <= kC; ++fb)
      for (const Kind& ka : kindsOf(Family(fa), true))
        for (const Kind& kb : kindsOf(Family(fb), false))
          for (int mode = 0; mode < 4; ++mode) {
            SCOPED_TRACE(std::string(kFamilyNames[fa]) + " as " + ka.name + " x " + kFamilyNames[fb] + " as " + kb.name +
                         ", mode " + std::to_string(mode));
            std::unique_ptr<AcDbCurve> a(ka.make()), b(kb.make());
            AcGePoint3dArray pts;
            ASSERT_EQ(a->intersectWith(b.get(), AcDb::Intersect(mode), pts), Acad::eOk);
            const std::vector<int> expected = expectedPoints(Family(fa), Family(fb), mode);
            ASSERT_EQ(pts.length(), int(expected.size()));
            for (int p : expected) {
              const AcGePoint3d want(kPoints[p].x, kPoints[p].y, 0);
              bool found = false;
              for (const AcGePoint3d& q : pts) found = found || q.distanceTo(want) <= 1e-9;
              EXPECT_TRUE(found) << kPoints[p].name;
            }
            ++checked;
          }
  EXPECT_EQ(checked, 4 * 11 * 11);  // 11 entity kinds per side across the five families
}

// The points where a meets b (the call succeeding).
AcGePoint3dArray crossings(const AcDbEntity* a, const AcDbEntity* b, AcDb::Intersect mode) {
  AcGePoint3dArray pts;
  EXPECT_EQ(a->intersectWith(b, mode, pts), Acad::eOk);
  return pts;
}

TEST(IntersectWith, AppendsToTheCallersPointsAndCountsSharedVerticesOnce) {
  std::unique_ptr<AcDbPolyline> pl(polyline({{0, 0}, {5, 0}, {5, 5}}));
  std::unique_ptr<AcDbLine> through(line(4, -1, 6, 1));  // crosses at the vertex (5, 0)
  AcGePoint3dArray pts;
  pts.append(AcGePoint3d(99, 99, 99));
  ASSERT_EQ(pl->intersectWith(through.get(), AcDb::kOnBothOperands, pts), Acad::eOk);
  ASSERT_EQ(pts.length(), 2);
  expectNear(pts[0], AcGePoint3d(99, 99, 99));
  expectNear(pts[1], AcGePoint3d(5, 0, 0));
  // A second call appends again: the same point may then appear twice.
  ASSERT_EQ(through->intersectWith(pl.get(), AcDb::kOnBothOperands, pts), Acad::eOk);
  EXPECT_EQ(pts.length(), 3);
  // Points come in order along this curve.
  std::unique_ptr<AcDbPolyline> zigzag(polyline({{0, 0}, {2, 4}, {4, 0}, {6, 4}}));
  std::unique_ptr<AcDbLine> across(line(7, 1, -1, 1));
  const AcGePoint3dArray along = crossings(zigzag.get(), across.get(), AcDb::kOnBothOperands);
  ASSERT_EQ(along.length(), 3);
  EXPECT_LT(along[0].x, along[1].x);
  EXPECT_LT(along[1].x, along[2].x);
}

TEST(IntersectWith, PolylinesExtendOnlyPastTheirEnds) {
  // Open: the first segment runs on back past (0,0), the last on past (2,2).
  std::unique_ptr<AcDbPolyline> pl(polyline({{0, 0}, {2, 0}, {2, 2}}));
  struct Probe {
    AcDbLine* other;
    int onBody, extended;
  };
  Probe probes[] = {
      {line(-5, -1, -5, 1), 0, 1},  // beyond the start
      {line(1, 5, 3, 5), 0, 1},     // beyond the end
      {line(1, -6, 3, -6), 0, 0},   // behind the last segment's start: not an extension
      {line(4, -1, 4, 1), 0, 0},    // beyond the first segment's end: not an extension
      {line(1, -1, 1, 1), 1, 1},
  };
  for (Probe& p : probes) {
    std::unique_ptr<AcDbLine> other(p.other);
    EXPECT_EQ(crossings(pl.get(), other.get(), AcDb::kOnBothOperands).length(), p.onBody);
    EXPECT_EQ(crossings(pl.get(), other.get(), AcDb::kExtendThis).length(), p.extended);
  }
}

TEST(IntersectWith, ClosedCurvesAndCurvesInDifferentPlanes) {
  using Curve = std::shared_ptr<AcDbCurve>;
  auto line3 = [](AcGePoint3d s, AcGePoint3d e) { return Curve(new AcDbLine(s, e)); };
  auto circle = [](AcGePoint3d c, AcGeVector3d n, double r) { return Curve(new AcDbCircle(c, n, r)); };
  const Curve closed(polyline({{0, 0}, {2, 0}, {2, 2}}, true));
  const Curve half(arc(0, 0, 2, 0, kPi));  // the upper half circle in the XY plane
  const Curve pierce = line3({0, 2, -1}, {0, 2, 1}), below = line3({0, -2, -1}, {0, -2, 1});
  const Curve above = line3({0, 2, 1}, {0, 2, 2});
  const Curve flat = circle({0, 0, 0}, AcGeVector3d::kZAxis, 2), lifted = circle({0, 0, 1}, AcGeVector3d::kZAxis, 2);
  const Curve upright = circle({1, 0, 0}, AcGeVector3d::kYAxis, 1), uprightAway = circle({4, 0, 0}, AcGeVector3d::kYAxis, 1);
  const Curve axis = line3({0, 0, 0}, {4, 0, 0}), skew = line3({2, -1, 1}, {2, 1, 1}), tilted = line3({2, -1, -1}, {2, 1, 1});
  // A polyline seen from below (normal -Z, whose OCS runs x and z the other way) in the plane z = 3.
  auto* underPl = polyline({{-1, 0}, {-1, 5}});
  underPl->setNormal(-AcGeVector3d::kZAxis);
  underPl->setElevation(-3);
  const Curve under(underPl), across = line3({0, 2, 3}, {2, 2, 3});
  const struct {
    const char* name;
    Curve a, b;
    AcDb::Intersect mode;
    int count;
    AcGePoint3d at;  // the first point, when there is one
  } cases[] = {
      {"closed polyline, line extended", closed, Curve(line(-5, 1, -4, 1)), AcDb::kExtendBoth, 2, {2, 1, 0}},
      {"closed polyline does not extend", closed, Curve(line(-5, -1, -5, 1)), AcDb::kExtendThis, 0, {}},
      {"arc pierced", half, pierce, AcDb::kOnBothOperands, 1, {0, 2, 0}},
      {"arc pierced, swapped", pierce, half, AcDb::kOnBothOperands, 1, {0, 2, 0}},
      {"below the arc", half, below, AcDb::kOnBothOperands, 0, {}},
      {"below the arc, arc extended", half, below, AcDb::kExtendThis, 1, {0, -2, 0}},
      {"above the plane", half, above, AcDb::kOnBothOperands, 0, {}},
      {"above the plane, line extended", half, above, AcDb::kExtendArg, 1, {0, 2, 0}},
      {"upright circle touching", flat, upright, AcDb::kOnBothOperands, 1, {2, 0, 0}},
      {"upright circle away", flat, uprightAway, AcDb::kOnBothOperands, 0, {}},
      {"parallel planes", flat, lifted, AcDb::kExtendBoth, 0, {}},
      {"skew lines", axis, skew, AcDb::kExtendBoth, 0, {}},
      {"lines in a tilted plane", axis, tilted, AcDb::kOnBothOperands, 1, {2, 0, 0}},
      {"polyline seen from below", under, across, AcDb::kOnBothOperands, 1, {1, 2, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const AcGePoint3dArray pts = crossings(c.a.get(), c.b.get(), c.mode);
    ASSERT_EQ(pts.length(), c.count);
    if (c.count > 0) expectNear(pts[0], c.at);
  }
}

TEST(IntersectWith, SeenAlongAProjectionPlaneNormal) {
  // Skew lines cross when seen from above; the point is on this entity.
  std::unique_ptr<AcDbLine> low(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(4, 0, 0)));
  std::unique_ptr<AcDbLine> high(new AcDbLine(AcGePoint3d(2, -1, 5), AcGePoint3d(2, 1, 9)));
  const AcGePlane xy(AcGePoint3d(0, 0, -3), AcGeVector3d::kZAxis);
  AcGePoint3dArray pts;
  ASSERT_EQ(low->intersectWith(high.get(), AcDb::kOnBothOperands, xy, pts), Acad::eOk);
  ASSERT_EQ(pts.length(), 1);
  expectNear(pts[0], AcGePoint3d(2, 0, 0));
  ASSERT_EQ(high->intersectWith(low.get(), AcDb::kOnBothOperands, xy, pts), Acad::eOk);
  ASSERT_EQ(pts.length(), 2);
  expectNear(pts[1], AcGePoint3d(2, 0, 7));
  // A circle at z = 3 and the low line, extended.
  std::unique_ptr<AcDbCircle> c(new AcDbCircle(AcGePoint3d(10, 0, 3), AcGeVector3d::kZAxis, 1));
  pts.setLogicalLength(0);
  ASSERT_EQ(c->intersectWith(low.get(), AcDb::kOnBothOperands, xy, pts), Acad::eOk);
  EXPECT_EQ(pts.length(), 0);
  ASSERT_EQ(c->intersectWith(low.get(), AcDb::kExtendArg, xy, pts), Acad::eOk);
  ASSERT_EQ(pts.length(), 2);
  expectNear(pts[0], AcGePoint3d(11, 0, 3));  // on the circle, in order along it from angle 0
  expectNear(pts[1], AcGePoint3d(9, 0, 3));
  // A circle in a tilted plane would be seen as an ellipse.
  std::unique_ptr<AcDbCircle> tilted(new AcDbCircle(AcGePoint3d(), AcGeVector3d(1, 0, 1).normal(), 1));
  EXPECT_EQ(tilted->intersectWith(low.get(), AcDb::kOnBothOperands, xy, pts), Acad::eNotImplementedYet);
}

TEST(IntersectWith, RefusalsLeaveThePointsAlone) {
  std::unique_ptr<AcDbLine> l(line(0, 0, 1, 1));
  std::unique_ptr<AcDbEllipse> e(new AcDbEllipse(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(2, 0, 0), 0.5));
  AcGePoint3dArray pts;
  EXPECT_EQ(l->intersectWith(nullptr, AcDb::kOnBothOperands, pts), Acad::eNullEntityPointer);
  EXPECT_EQ(l->intersectWith(e.get(), AcDb::kOnBothOperands, pts), Acad::eNotImplementedYet);
  EXPECT_EQ(l->intersectWith(l.get(), AcDb::Intersect(7), pts), Acad::eInvalidInput);
  EXPECT_EQ(pts.length(), 0);
}

std::vector<std::unique_ptr<AcDbCurve>> randomCurves(unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> c(-50, 50), r(5, 40), ang(0, 2 * kPi), b(-1.5, 1.5);
  std::vector<std::unique_ptr<AcDbCurve>> out;
  for (int i = 0; i < 24; ++i) {
    switch (i % 6) {
      case 0: out.emplace_back(line(c(rng), c(rng), c(rng), c(rng))); break;
      case 1: out.emplace_back(arc(c(rng), c(rng), r(rng), ang(rng), ang(rng))); break;
      case 2: out.emplace_back(new AcDbCircle(AcGePoint3d(c(rng), c(rng), 0), AcGeVector3d::kZAxis, r(rng))); break;
      case 3:
        out.emplace_back(polyline({{c(rng), c(rng), b(rng)}, {c(rng), c(rng), 0}, {c(rng), c(rng), b(rng)}, {c(rng), c(rng)}},
                                  i % 4 == 3));
        break;
      case 4: {
        auto* ray = new AcDbRay();
        ray->setBasePoint(AcGePoint3d(c(rng), c(rng), 0));
        ray->setUnitDir(AcGeVector3d(std::cos(ang(rng)), std::sin(ang(rng)), 0));
        out.emplace_back(ray);
        break;
      }
      default: out.emplace_back(polyline({{c(rng), c(rng), b(rng)}, {c(rng), c(rng), b(rng)}}, false)); break;
    }
  }
  return out;
}

// Intersection counts of every ordered pair under every mode.
std::vector<int> allCounts(const std::vector<std::unique_ptr<AcDbCurve>>& curves) {
  std::vector<int> out;
  for (const auto& a : curves)
    for (const auto& b : curves) {
      if (a == b) continue;
      for (int mode = 0; mode < 4; ++mode) {
        AcGePoint3dArray pts;
        EXPECT_EQ(a->intersectWith(b.get(), AcDb::Intersect(mode), pts), Acad::eOk);
        out.push_back(pts.length());
      }
    }
  return out;
}

TEST(IntersectWithMetamorphic, MovesReversalAndOperandOrderKeepTheCrossings) {
  for (unsigned seed = 1; seed <= 3; ++seed) {
    auto curves = randomCurves(seed);
    const std::vector<int> base = allCounts(curves);
    int total = 0;
    for (int n : base) total += n;
    EXPECT_GT(total, 100);  // the sets really cross
    const AcGeMatrix3d moves[] = {
        AcGeMatrix3d::translation(AcGeVector3d(1e4, -2e4, 5)),
        AcGeMatrix3d::rotation(0.61, AcGeVector3d::kZAxis, AcGePoint3d(3, 4, 0)),
        AcGeMatrix3d::rotation(2.2, AcGeVector3d(1, -1, 2).normal(), AcGePoint3d(-7, 1, 2)),
        AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d(1, 2, 0), AcGeVector3d(0.6, 0.8, 0))),
    };
    for (const AcGeMatrix3d& m : moves) {
      std::vector<std::unique_ptr<AcDbCurve>> moved;
      for (const auto& c : curves) {
        AcDbEntity* copy = nullptr;
        ASSERT_EQ(c->getTransformedCopy(m, copy), Acad::eOk);
        moved.emplace_back(AcDbCurve::cast(copy));
      }
      EXPECT_EQ(allCounts(moved), base);
      // The points move with the curves.
      AcGePoint3dArray before, after;
      curves[0]->intersectWith(curves[1].get(), AcDb::kExtendBoth, before);
      moved[0]->intersectWith(moved[1].get(), AcDb::kExtendBoth, after);
      ASSERT_EQ(before.length(), after.length());
      for (int i = 0; i < before.length(); ++i) {
        bool found = false;
        for (const AcGePoint3d& q : after) found = found || q.distanceTo(m * before[i]) <= 1e-8;
        EXPECT_TRUE(found);
      }
    }
    // Reversed curves cross the same way.
    for (auto& c : curves) {
      if (!AcDbRay::cast(c.get())) {
        ASSERT_EQ(c->reverseCurve(), Acad::eOk);
      }
    }
    EXPECT_EQ(allCounts(curves), base);
    // Swapping the operands (and the extension flags with them) gives the same points.
    for (size_t i = 0; i + 1 < curves.size(); i += 2) {
      for (int mode = 0; mode < 4; ++mode) {
        const int swapped = ((mode & 1) << 1) | ((mode & 2) >> 1);
        AcGePoint3dArray ab, ba;
        curves[i]->intersectWith(curves[i + 1].get(), AcDb::Intersect(mode), ab);
        curves[i + 1]->intersectWith(curves[i].get(), AcDb::Intersect(swapped), ba);
        ASSERT_EQ(ab.length(), ba.length());
        for (const AcGePoint3d& p : ab) {
          bool found = false;
          for (const AcGePoint3d& q : ba) found = found || q.distanceTo(p) <= 1e-8;
          EXPECT_TRUE(found);
        }
      }
    }
  }
}

}  // namespace
