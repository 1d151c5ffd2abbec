// A drawing consumer that keeps every primitive it receives, for tests of what entities draw.
#pragma once
#include <contura/db/world_draw.h>

#include <string>
#include <vector>

namespace dbtest {

struct Primitive {
  char kind = '?';  // L line, A arc, F fill, T text, P points, I infinite line
  std::vector<AcGePoint3d> points;  // L and P: the points; F: the first loop; I: the base
  std::size_t loops = 0;            // F
  bool closed = false;              // L
  AcGePoint3d center;               // A (T: the start of the baseline)
  AcGeVector3d normal, start;       // A (I: start is the direction)
  double radius = 0.0, sweep = 0.0; // A (T: radius is the height, sweep the box width)
  std::string text;                 // T
  contura::db::DrawStyle style;
  // The point a table checks: the first point, the centre or the baseline start.
  AcGePoint3d key() const { return kind == 'A' || kind == 'T' ? center : points.front(); }
};

class DrawRecorder final : public contura::db::WorldDrawConsumer {
public:
  explicit DrawRecorder(AcDbDatabase* db = nullptr) : WorldDrawConsumer(db) {}
  std::vector<Primitive> prims;
  std::string kinds() const {
    std::string out;
    for (const Primitive& p : prims) out += p.kind;
    return out;
  }

private:
  Primitive& add(char kind, const contura::db::DrawStyle& style) {
    Primitive& p = prims.emplace_back();
    p.kind = kind;
    p.style = style;
    return p;
  }
  void onPolyline(const AcGePoint3d* pts, std::size_t n, bool closed, const contura::db::DrawStyle& s) override {
    add('L', s).points.assign(pts, pts + n);
    prims.back().closed = closed;
  }
  void onArc(const AcGePoint3d& c, double r, const AcGeVector3d& n, const AcGeVector3d& start, double sweep,
             const contura::db::DrawStyle& s) override {
    Primitive& p = add('A', s);
    p.center = c;
    p.radius = r;
    p.normal = n;
    p.start = start;
    p.sweep = sweep;
  }
  void onFill(const std::vector<std::vector<AcGePoint3d>>& loops, const contura::db::DrawStyle& s) override {
    Primitive& p = add('F', s);
    p.loops = loops.size();
    if (!loops.empty()) p.points = loops.front();
  }
  void onText(const contura::db::DrawnText& t, const contura::db::DrawStyle& s) override {
    Primitive& p = add('T', s);
    p.center = t.position;
    p.start = t.direction;
    p.radius = t.height;
    p.sweep = t.boxWidth;
    p.text = std::string(t.text);
  }
  void onPoints(const AcGePoint3d* pts, std::size_t n, const contura::db::DrawStyle& s) override {
    add('P', s).points.assign(pts, pts + n);
  }
  void onInfiniteLine(const AcGePoint3d& base, const AcGeVector3d& dir, bool ray,
                      const contura::db::DrawStyle& s) override {
    Primitive& p = add('I', s);
    p.points = {base};
    p.start = dir;
    p.closed = ray;
  }
};

}  // namespace dbtest
