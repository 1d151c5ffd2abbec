// The editor's requests (points, entity picks, drags), temporary vectors, commands,
// coordinate systems, views, palette colours and the host's main window.
#include <accmd.h>
#include <aced.h>
#include <afxres.h>
#include <dbapserv.h>
#include <dbcolor.h>
#include <dbmain.h>
#include <dbsymtb.h>
#include <gevec3d.h>

#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "contura/afx/ui_backend.h"
#include "editor_impl.h"
#include "pickgeom.h"

namespace ed = contura::ed;
using ed::detail::Point3;

namespace {

std::string trimmed(std::string s) {
  size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
  return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// Asks for a point until one comes: RTNORM (point in out), RTNONE, RTCAN, or RTKWORD for an
// armed keyword (or any text, with RSG_OTHER).
int askPoint(const ed::InputRequest& request, const Point3& relativeTo, Point3& out,
             const ed::detail::Arming& arming = {}) {
  const std::string_view refusal = arming.keywords.empty() ? ed::kInvalidPoint : ed::kPointOrKeyword;
  for (;;) {
    ed::InputLine answer = ed::detail::ask(request);
    if (answer.ended) return RTCAN;
    std::string text = trimmed(answer.text);
    if (text.empty()) {
      if (!(arming.flags & RSG_NONULL)) return RTNONE;
      ed::detail::say(refusal);
      continue;
    }
    if (text == "*cancel*") {
      ed::detail::say(ed::kCancelled);
      return RTCAN;
    }
    if (auto p = ed::parsePoint(text, relativeTo)) {
      out = *p;
      ed::detail::lastPointRef() = *p;
      return RTNORM;
    }
    if (const ed::Keyword* keyword = ed::matchKeyword(text, arming.keywords)) {
      ed::detail::lastInputRef() = keyword->global;
      return RTKWORD;
    }
    if (arming.flags & RSG_OTHER) {
      ed::detail::lastInputRef() = text;
      return RTKWORD;
    }
    ed::detail::say(refusal);
  }
}

}  // namespace

int acedGetPoint(const ads_point pt, const ACHAR* prompt, ads_point result) {
  ed::detail::Arming arming = ed::detail::takeArming();
  if (!result) return RTREJ;
  ed::InputRequest request{ed::RequestKind::kPoint, prompt ? prompt : "", std::nullopt};
  request.keywords = ed::detail::localNames(arming.keywords);
  Point3 from = ed::detail::lastPointRef();
  if (pt) {
    from = ed::detail::toPoint(pt);
    request.base = from;
  }
  Point3 p{};
  int rc = askPoint(request, from, p, arming);
  if (rc == RTNORM) ed::detail::fromPoint(p, result);
  return rc;
}

int acedEntSel(const ACHAR* str, ads_name entres, ads_point ptres) {
  ed::detail::takeArming();
  if (!entres) return RTREJ;
  const ed::InputRequest request{ed::RequestKind::kEntity, str ? str : "\n选择对象: ", std::nullopt};
  for (;;) {
    ed::InputLine answer = ed::detail::ask(request);
    if (answer.ended) return RTCAN;
    std::string text = trimmed(answer.text);
    if (text.empty()) return RTERROR;
    if (text == "*cancel*") {
      ed::detail::say(ed::kCancelled);
      return RTCAN;
    }
    ed::SelectionLine line = ed::parseSelectionLine(text, ed::detail::lastPointRef());
    std::optional<AcDbObjectId> found;
    Point3 picked = ed::detail::lastPointRef();
    if (line.kind == ed::SelectionLine::kHandles && line.handles.size() == 1) {
      found = ed::detail::entityWithHandle(line.handles.front());
    } else if (line.kind == ed::SelectionLine::kPick) {
      picked = line.p1;
      ed::detail::lastPointRef() = picked;
      found = ed::detail::entityAt(picked);
    } else {
      ed::detail::say(ed::kInvalidPoint);
      continue;
    }
    if (!found) return RTERROR;
    ads_name name;
    if (acdbGetAdsName(name, *found) != Acad::eOk) return RTERROR;
    ads_name_set(name, entres);
    if (ptres) ed::detail::fromPoint(picked, ptres);
    return RTNORM;
  }
}

int acedDragGen(const ads_name ss, const ACHAR* pmt, int, int (*scnf)(ads_point pt, ads_matrix mt), ads_point p) {
  ed::detail::takeArming();
  Adesk::Int32 length = 0;
  if (!p || acedSSLength(ss, &length) != RTNORM) return RTERROR;
  ed::InputRequest request{ed::RequestKind::kDrag, pmt ? pmt : "", std::nullopt};
  for (Adesk::Int32 i = 0; i < length; ++i) {
    ads_name member;
    AcDbObjectId id;
    if (acedSSName(ss, i, member) == RTNORM && acdbGetObjectId(id, member) == Acad::eOk) {
      std::string handle = ed::detail::handleText(id);
      if (!handle.empty()) request.dragged.push_back(handle);
    }
  }
  Point3 point{};
  int rc = askPoint(request, ed::detail::lastPointRef(), point);
  if (rc != RTNORM) return rc;
  ads_point cursor{point[0], point[1], point[2]};
  if (scnf) {
    ads_matrix m{};
    for (int i = 0; i < 4; ++i) m[i][i] = 1.0;
    int answer = scnf(cursor, m);
    if (answer != RTNORM && answer != RTNONE) return RTERROR;
  }
  ed::detail::fromPoint(point, p);
  return RTNORM;
}

int acedGrDraw(const ads_point from, const ads_point to, int color, int hl) {
  if (!from || !to) return RTREJ;
  ed::detail::temporaryVectorsRef().push_back({ed::detail::toPoint(from), ed::detail::toPoint(to), color, hl != 0});
  return RTNORM;
}

// --- Commands ---------------------------------------------------------------------------------

namespace {

std::string numberText(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.17g", v);
  return buffer;
}

std::string pointText(const ads_real* p, bool threeD) {
  return numberText(p[0]) + "," + numberText(p[1]) + (threeD ? "," + numberText(p[2]) : "");
}

// One argument as an answer line; false for a type a command cannot take.
bool argumentText(int type, const resbuf* rb, va_list* args, std::string& out) {
  switch (type) {
    case RTSTR: {
      const char* s = rb ? rb->resval.rstring : va_arg(*args, const char*);
      if (!s) return false;
      out = s;
      return true;
    }
    case RTREAL:
    case RTANG:
      out = numberText(rb ? rb->resval.rreal : va_arg(*args, double));
      return true;
    case RTSHORT:
      out = std::to_string(rb ? rb->resval.rint : va_arg(*args, int));
      return true;
    case RTLONG:
      out = std::to_string(rb ? rb->resval.rlong : va_arg(*args, Adesk::Int32));
      return true;
    case RTPOINT:
    case RT3DPOINT: {
      const ads_real* p = rb ? rb->resval.rpoint : va_arg(*args, const ads_real*);
      if (!p) return false;
      out = pointText(p, type == RT3DPOINT);
      return true;
    }
    default:
      return false;
  }
}

// Runs a command from its words: the name, then its answers.
int runCommand(const std::vector<std::string>& words) {
  if (words.empty()) return RTERROR;
  std::string name = trimmed(words.front());
  while (!name.empty() && (name.front() == '_' || name.front() == '.')) name.erase(0, 1);
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "REGEN" || upper == "REGENALL" || upper == "REDRAW" || upper == "REDRAWALL") {
    if (words.size() > 1) return RTERROR;
    ed::detail::regenerate();
    if (upper.rfind("REGEN", 0) == 0) ed::detail::say("\n正在重生成模型。");
    return RTNORM;
  }
  AcEdCommandStack* stack = acedRegCmds;
  AcEdCommand* command = nullptr;
  if (stack && !name.empty()) {
    command = stack->lookupLocalCmd(name.c_str());
    if (!command) command = stack->lookupGlobalCmd(name.c_str());
  }
  if (!command || !command->functionAddr()) {
    ed::detail::say("\n未知命令“" + upper + "”。");
    return RTERROR;
  }
  for (size_t i = 1; i < words.size(); ++i) ed::queueAnswer(words[i]);
  HINSTANCE previous = AfxGetResourceHandle();
  if (command->resourceHandle()) AfxSetResourceHandle(command->resourceHandle());
  command->functionAddr()();
  AfxSetResourceHandle(previous);
  return RTNORM;
}

int commandFromArgs(int rtype, va_list* args) {
  std::vector<std::string> words;
  for (int type = rtype; type != 0 && type != RTNONE; type = va_arg(*args, int)) {
    std::string word;
    if (!argumentText(type, nullptr, args, word)) return RTERROR;
    words.push_back(std::move(word));
  }
  return runCommand(words);
}

}  // namespace

int acedCommand(int rtype, ...) {
  va_list args;
  va_start(args, rtype);
  int rc = commandFromArgs(rtype, &args);
  va_end(args);
  return rc;
}

int acedCommandS(int rtype, ...) {
  va_list args;
  va_start(args, rtype);
  int rc = commandFromArgs(rtype, &args);
  va_end(args);
  return rc;
}

int acedCmdS(const struct resbuf* rb) {
  std::vector<std::string> words;
  for (; rb && rb->restype != RTNONE; rb = rb->rbnext) {
    std::string word;
    if (!argumentText(rb->restype, rb, nullptr, word)) return RTERROR;
    words.push_back(std::move(word));
  }
  return runCommand(words);
}

// --- Coordinate systems ------------------------------------------------------------------------

namespace {

// A coordinate system as axes in world coordinates.
struct Axes {
  double x[3], y[3], z[3];
};

// The arbitrary axis rule of drawing files: the object system of extrusion n, its x axis the
// geometry's perpendicular of n (AcGeVector3d::perpVector).
bool objectAxes(const ads_real n[3], Axes& axes) {
  const AcGeVector3d z = AcGeVector3d(n[0], n[1], n[2]).normal();
  if (z.isZeroLength()) return false;
  const AcGeVector3d x = z.perpVector();
  const AcGeVector3d y = z.crossProduct(x).normal();
  for (int i = 0; i < 3; ++i) {
    axes.x[i] = x[i];
    axes.y[i] = y[i];
    axes.z[i] = z[i];
  }
  return true;
}

// The axes of a system given as a resbuf; false for one it does not know.
bool systemAxes(const resbuf* rb, Axes& axes) {
  axes = Axes{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  if (!rb) return false;
  switch (rb->restype) {
    case RTSHORT:
      // World, user, display and paper display systems coincide in this host.
      return rb->resval.rint >= 0 && rb->resval.rint <= 3;
    case RTENAME: {
      AcDbObjectId id;
      return acdbGetObjectId(id, rb->resval.rlname) == Acad::eOk;
    }
    case RT3DPOINT:
    case RTPOINT:
      return objectAxes(rb->resval.rpoint, axes);
    default:
      return false;
  }
}

}  // namespace

int acedTrans(const ads_point pt, const struct resbuf* from, const struct resbuf* to, int disp, ads_point result) {
  Axes a, b;
  if (!pt || !result || !systemAxes(from, a) || !systemAxes(to, b)) return RTERROR;
  // Displacements and points transform alike: every system here shares the world origin.
  (void)disp;
  double world[3];
  for (int i = 0; i < 3; ++i) world[i] = pt[0] * a.x[i] + pt[1] * a.y[i] + pt[2] * a.z[i];
  double out[3];
  out[0] = world[0] * b.x[0] + world[1] * b.x[1] + world[2] * b.x[2];
  out[1] = world[0] * b.y[0] + world[1] * b.y[1] + world[2] * b.y[2];
  out[2] = world[0] * b.z[0] + world[1] * b.z[1] + world[2] * b.z[2];
  for (int i = 0; i < 3; ++i) result[i] = out[i];
  return RTNORM;
}

HWND adsw_acadMainWnd() { return contura::afx::mainWindow(); }

Adesk::UInt32 acedGetRGB(int color) {
  if (color < 0 || color > 255) return 0;
  return AcCmEntityColor::lookUpRGB(static_cast<Adesk::UInt8>(color));
}

// --- Views ----------------------------------------------------------------------------------

Acad::ErrorStatus acedSetCurrentView(AcDbViewTableRecord* pVwRec, AcDbViewport* pVP) {
  if (!pVwRec) return Acad::eNullObjectPointer;
  if (pVP) return Acad::eInvalidInput;
  ed::DisplayedView& v = ed::detail::viewRef();
  AcGePoint2d c = pVwRec->centerPoint();
  AcGePoint3d t = pVwRec->target();
  AcGeVector3d d = pVwRec->viewDirection();
  v.center = {c.x, c.y};
  v.height = pVwRec->height();
  v.width = pVwRec->width();
  v.target = {t.x, t.y, t.z};
  v.direction = {d.x, d.y, d.z};
  v.twist = pVwRec->viewTwist();
  return Acad::eOk;
}

Acad::ErrorStatus acedVports2VportTableRecords() {
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  if (!db) return Acad::eNoDatabase;
  AcDbViewportTable* table = nullptr;
  Acad::ErrorStatus es = db->getViewportTable(table, AcDb::kForWrite);
  if (es != Acad::eOk) return es;
  AcDbViewportTableRecord* record = nullptr;
  bool made = false;
  if (table->getAt("*ACTIVE", record, AcDb::kForWrite) != Acad::eOk) {
    record = new AcDbViewportTableRecord;
    record->setName("*ACTIVE");
    made = true;
  }
  const ed::DisplayedView& v = ed::detail::viewRef();
  record->setCenterPoint(AcGePoint2d(v.center[0], v.center[1]));
  record->setHeight(v.height);
  record->setWidth(v.width);
  record->setTarget(AcGePoint3d(v.target[0], v.target[1], v.target[2]));
  record->setViewDirection(AcGeVector3d(v.direction[0], v.direction[1], v.direction[2]));
  record->setViewTwist(v.twist);
  if (made) {
    es = table->add(record);
    if (es != Acad::eOk) {
      delete record;
      table->close();
      return es;
    }
  }
  record->close();
  table->close();
  return Acad::eOk;
}
