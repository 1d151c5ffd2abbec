// A polyline drawn point by point, the way the host's polyline command draws one.
#include <aced.h>
#include <dbapserv.h>

#include <string_view>
#include <vector>

#include "PlotGeometry.h"
#include "PlotPolyline.h"

namespace {

const char* const kStartPrompt = "\n指定起点: ";
const char* const kLinePrompt = "\n指定下一点或 [圆弧(A)/闭合(C)/放弃(U)]: ";
const char* const kArcPrompt = "\n指定圆弧的端点或 [直线(L)/闭合(C)/放弃(U)]: ";
const char* const kLineKeywords = "Arc Close Undo";
const char* const kArcKeywords = "Line Close Undo";
const char* const kTooFewToClose = "\n至少需要两个点才能闭合。";
const char* const kSamePoint = "\n该点与上一点重合。";
const char* const kNoTangentArc = "\n该点在切线的正后方，无法画出相切的圆弧。";

// The polyline being drawn: it lives in model space from the first point on, is opened only
// while it changes (so the drawing can be shown between answers), and keeps a copy of its
// vertices for the tangents.
class Sketch {
public:
  unsigned int count() const { return static_cast<unsigned int>(m_points.size()); }
  const AcGePoint2d& first() const { return m_points.front(); }
  const AcGePoint2d& last() const { return m_points.back(); }

  // Direction of travel at the last vertex: along the last segment, or +X (as the host's
  // first arc) before there is one.
  AcGeVector2d tangent() const {
    size_t n = m_points.size();
    if (n < 2) return AcGeVector2d(1.0, 0.0);
    return curvane::endTangent(m_points[n - 2], m_points[n - 1], m_bulges[n - 2]);
  }

  // The first vertex: a new polyline in model space, or the first vertex again of the one
  // that every vertex was taken back from.
  Acad::ErrorStatus start(const AcGePoint2d& pt) {
    if (m_id.isNull()) {
      auto* pPline = new AcDbPolyline;
      pPline->addVertexAt(0, pt);
      AcDbDatabase* pDb = acdbHostApplicationServices()->workingDatabase();
      Acad::ErrorStatus es = curvane::postToModelSpace(pDb, pPline, m_id);
      if (es != Acad::eOk) {
        delete pPline;
        return es;
      }
      pPline->close();
      m_points = {pt};
      m_bulges = {0.0};
      return Acad::eOk;
    }
    return add(pt, 0.0);
  }

  // Ends the segment from the last vertex at pt.
  Acad::ErrorStatus add(const AcGePoint2d& pt, double bulge) {
    return edit([&](AcDbPolyline* p) {
      unsigned int n = count();
      if (n > 0) p->setBulgeAt(n - 1, bulge);
      p->addVertexAt(n, pt);
      if (n > 0) m_bulges.back() = bulge;
      m_points.push_back(pt);
      m_bulges.push_back(0.0);
    });
  }

  // Takes back the last vertex and the segment that led to it.
  Acad::ErrorStatus undo() {
    return edit([&](AcDbPolyline* p) {
      unsigned int n = count();
      p->removeVertexAt(n - 1);
      m_points.pop_back();
      m_bulges.pop_back();
      if (n >= 2) {
        p->setBulgeAt(n - 2, 0.0);
        m_bulges.back() = 0.0;
      }
    });
  }

  // Closes with the segment from the last vertex back to the first. A last vertex on the first
  // one already ends the outline: it goes, and the segment into it becomes the closing one.
  Acad::ErrorStatus close(double bulge) {
    return edit([&](AcDbPolyline* p) {
      unsigned int n = count();
      if (n > 2 && last().isEqualTo(first())) {
        p->removeVertexAt(n - 1);
        m_points.pop_back();
        m_bulges.pop_back();
      } else {
        p->setBulgeAt(n - 1, bulge);
        m_bulges.back() = bulge;
      }
      p->setClosed(true);
    });
  }

  void erase() {
    if (m_id.isNull()) return;
    AcDbEntity* pEnt = nullptr;
    if (acdbOpenAcDbEntity(pEnt, m_id, AcDb::kForWrite) != Acad::eOk) return;
    pEnt->erase();
    pEnt->close();
  }

  Acad::ErrorStatus openForWrite(AcDbPolyline*& pPline) const {
    return acdbOpenObject(pPline, m_id, AcDb::kForWrite);
  }

private:
  template <class Change>
  Acad::ErrorStatus edit(Change change) {
    AcDbPolyline* pPline = nullptr;
    Acad::ErrorStatus es = openForWrite(pPline);
    if (es != Acad::eOk) return es;
    change(pPline);
    pPline->close();
    return Acad::eOk;
  }

  AcDbObjectId m_id;
  std::vector<AcGePoint2d> m_points;
  std::vector<double> m_bulges;  // of the segment that leaves each vertex
};

// Ends the drawing: at least two vertices give the polyline, open for write.
Acad::ErrorStatus finish(Sketch& sketch, AcDbPolyline*& pPline) {
  if (sketch.count() < 2) {
    sketch.erase();
    return Acad::eInvalidInput;
  }
  Acad::ErrorStatus es = sketch.openForWrite(pPline);
  if (es != Acad::eOk) {
    pPline = nullptr;
    sketch.erase();
  }
  return es;
}

bool isKeyword(const char* given, const char* keyword) { return std::string_view(given) == keyword; }

}  // namespace

Acad::ErrorStatus PlotPolyline::drawAPolylineWithPoints(AcDbPolyline*& pPline) {
  pPline = nullptr;
  Sketch sketch;
  bool arcMode = false;
  for (;;) {
    ads_point pt;
    int rc;
    if (sketch.count() == 0) {
      rc = acedGetPoint(nullptr, kStartPrompt, pt);
    } else {
      ads_point base = {sketch.last().x, sketch.last().y, 0.0};
      acedInitGet(0, arcMode ? kArcKeywords : kLineKeywords);
      rc = acedGetPoint(base, arcMode ? kArcPrompt : kLinePrompt, pt);
    }
    if (rc == RTNONE) return finish(sketch, pPline);
    Acad::ErrorStatus es = Acad::eOk;
    if (rc == RTKWORD) {
      char keyword[512] = "";
      acedGetInput(keyword);
      if (isKeyword(keyword, "Arc") || isKeyword(keyword, "Line")) {
        arcMode = isKeyword(keyword, "Arc");
      } else if (isKeyword(keyword, "Undo")) {
        es = sketch.undo();
        if (sketch.count() == 0) arcMode = false;  // back at the start: a new polyline
      } else if (sketch.count() < 2) {
        acutPrintf("%s", kTooFewToClose);
      } else {
        double bulge = 0.0;
        if (arcMode && !curvane::tangentArcBulge(sketch.tangent(), sketch.first() - sketch.last(), bulge)) {
          acutPrintf("%s", kNoTangentArc);
          continue;
        }
        es = sketch.close(bulge);
        if (es == Acad::eOk) return finish(sketch, pPline);
      }
    } else if (rc == RTNORM) {
      AcGePoint2d point(pt[0], pt[1]);
      double bulge = 0.0;
      if (sketch.count() == 0) {
        es = sketch.start(point);
      } else if (point.isEqualTo(sketch.last())) {
        acutPrintf("%s", kSamePoint);
      } else if (arcMode && !curvane::tangentArcBulge(sketch.tangent(), point - sketch.last(), bulge)) {
        acutPrintf("%s", kNoTangentArc);
      } else {
        es = sketch.add(point, bulge);
      }
    } else {
      es = Acad::eNotApplicable;  // cancelled, or the input ended
    }
    if (es != Acad::eOk) {
      sketch.erase();
      return es;
    }
  }
}
