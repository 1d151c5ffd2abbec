// Selection sets: the table of open sets, selecting entities by window, crossing, pick,
// handle, last and all, filters, and the acedSS functions.
#include <acedinpt.h>
#include <dbapserv.h>
#include <dbents.h>
#include <dbmain.h>
#include <dbsymtb.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "editor_impl.h"
#include "pickgeom.h"

namespace contura::ed::detail {
namespace {

// The host lets this many sets be open at once.
constexpr size_t kMaxOpenSets = 128;
// The second word of a set's name; entity names carry 0 there.
constexpr Adesk::LongPtr kSetTag = 0x5353;

using Members = std::vector<AcDbObjectId>;

struct SetTable {
  std::map<Adesk::LongPtr, Members> sets;
  Adesk::LongPtr nextId = 1;
  Members previous;  // the last set acedSSGet made ("P")
};

SetTable& table() {
  static SetTable t;
  return t;
}

Members* setOf(const ads_name name) {
  if (!name || name[1] != kSetTag) return nullptr;
  auto it = table().sets.find(name[0]);
  return it == table().sets.end() ? nullptr : &it->second;
}

bool makeSet(Members members, ads_name out) {
  if (table().sets.size() >= kMaxOpenSets) return false;
  Adesk::LongPtr id = table().nextId++;
  table().sets.emplace(id, std::move(members));
  out[0] = id;
  out[1] = kSetTag;
  return true;
}

void addUnique(Members& set, AcDbObjectId id) {
  if (std::find(set.begin(), set.end(), id) == set.end()) set.push_back(id);
}

// --- Wildcards ---------------------------------------------------------------------------

char fold(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool matchOne(const char* p, const char* s) {
  for (; *p; ++p) {
    if (*p == '*') {
      for (const char* t = s;; ++t) {
        if (matchOne(p + 1, t)) return true;
        if (!*t) return false;
      }
    }
    if (!*s) return false;
    if (*p != '?' && fold(*p) != fold(*s)) return false;
    ++s;
  }
  return *s == '\0';
}

// A pattern of alternatives separated by ','; '*' any run, '?' one byte; case ignored.
bool wildMatch(const std::string& pattern, const std::string& text) {
  size_t start = 0;
  for (;;) {
    size_t comma = pattern.find(',', start);
    std::string alternative = pattern.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (matchOne(alternative.c_str(), text.c_str())) return true;
    if (comma == std::string::npos) return false;
    start = comma + 1;
  }
}

// --- Candidates ----------------------------------------------------------------------------

struct Filter {
  std::vector<std::string> types, layers;
  std::vector<int> colors;
  bool accepts(const AcDbEntity* e) const {
    if (!types.empty()) {
      const char* dxf = e->isA() ? e->isA()->dxfName() : nullptr;
      std::string name = dxf ? dxf : "";
      if (!std::all_of(types.begin(), types.end(), [&](const std::string& p) { return wildMatch(p, name); }))
        return false;
    }
    if (!layers.empty()) {
      // The layer name is a copy made with new[], as the host hands out strings.
      std::unique_ptr<char[]> layer(e->layer());
      std::string name = layer ? layer.get() : "";
      if (!std::all_of(layers.begin(), layers.end(), [&](const std::string& p) { return wildMatch(p, name); }))
        return false;
    }
    for (int c : colors)
      if (e->colorIndex() != c) return false;
    return true;
  }
};

// False for a filter code this host does not support.
bool readFilter(const resbuf* rb, Filter& f) {
  for (; rb; rb = rb->rbnext) {
    switch (rb->restype) {
      case 0:
      case RTDXF0:
        if (!rb->resval.rstring) return false;
        f.types.emplace_back(rb->resval.rstring);
        break;
      case 8:
        if (!rb->resval.rstring) return false;
        f.layers.emplace_back(rb->resval.rstring);
        break;
      case 62:
        f.colors.push_back(rb->resval.rint);
        break;
      default:
        return false;
    }
  }
  return true;
}

bool layerHidden(const AcDbEntity* e) {
  AcDbLayerTableRecord* layer = nullptr;
  if (acdbOpenObject(layer, e->layerId(), AcDb::kForRead) != Acad::eOk) return false;
  bool hidden = layer->isOff() || layer->isFrozen();
  layer->close();
  return hidden;
}

// The entities of the layouts of the working database (model space first), in drawing order.
// `layoutsOnly` false would add nothing else here: blocks' contents are never selected.
std::vector<AcDbObjectId> layoutEntities(bool modelOnly) {
  std::vector<AcDbObjectId> ids;
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  if (!db) return ids;
  AcDbBlockTable* blocks = nullptr;
  if (db->getBlockTable(blocks, AcDb::kForRead) != Acad::eOk) return ids;
  std::vector<AcDbObjectId> layouts;
  AcDbObjectId model;
  if (blocks->getAt(ACDB_MODEL_SPACE, model) == Acad::eOk) layouts.push_back(model);
  if (!modelOnly) {
    AcDbBlockTableIterator* it = nullptr;
    if (blocks->newIterator(it) == Acad::eOk) {
      for (; !it->done(); it->step()) {
        AcDbBlockTableRecord* record = nullptr;
        if (it->getRecord(record, AcDb::kForRead) != Acad::eOk) continue;
        if (record->isLayout() && record->objectId() != model) layouts.push_back(record->objectId());
        record->close();
      }
      delete it;
    }
  }
  blocks->close();
  for (AcDbObjectId layout : layouts) {
    AcDbBlockTableRecord* record = nullptr;
    if (acdbOpenObject(record, layout, AcDb::kForRead) != Acad::eOk) continue;
    AcDbBlockTableRecordIterator* it = nullptr;
    if (record->newIterator(it) == Acad::eOk) {
      for (; !it->done(); it->step()) {
        AcDbObjectId id;
        if (it->getEntityId(id) == Acad::eOk) ids.push_back(id);
      }
      delete it;
    }
    record->close();
  }
  return ids;
}

// Calls visit(id, entity) for every candidate: an entity of model space (of every layout
// with `everywhere`) that passes the filter and, unless `everywhere`, is on a shown layer.
template <class F>
void forEachCandidate(const Filter& filter, bool everywhere, F visit) {
  for (AcDbObjectId id : layoutEntities(!everywhere)) {
    AcDbEntity* e = nullptr;
    if (acdbOpenAcDbEntity(e, id, AcDb::kForRead) != Acad::eOk) continue;
    if (filter.accepts(e) && (everywhere || !layerHidden(e))) visit(id, e);
    e->close();
  }
}

Members selectAll(const Filter& f, bool everywhere) {
  Members out;
  forEachCandidate(f, everywhere, [&](AcDbObjectId id, AcDbEntity*) { out.push_back(id); });
  return out;
}

Members selectWindow(const Filter& f, const Point3& a, const Point3& b, bool crossing) {
  Rect window = Rect::corners(a[0], a[1], b[0], b[1]);
  Members out;
  forEachCandidate(f, false, [&](AcDbObjectId id, AcDbEntity* e) {
    std::optional<Rect> ext = extentsOf(e);
    bool inside = ext && within(*ext, window);
    if (inside || (crossing && touches(shapeOf(e), window))) out.push_back(id);
  });
  return out;
}

// The entity nearest to the point among those within the pick box; the later one in drawing
// order wins a tie (it is drawn on top).
std::optional<AcDbObjectId> pickAt(const Filter& f, const Point3& p) {
  Rect box = Rect::around(p[0], p[1], pickBox());
  std::optional<AcDbObjectId> best;
  double bestDistance = 0.0;
  forEachCandidate(f, false, [&](AcDbObjectId id, AcDbEntity* e) {
    Shape shape = shapeOf(e);
    if (shape.empty() || !touches(shape, box)) return;
    double d = distanceTo(shape, p[0], p[1]);
    if (!best || d <= bestDistance) {
      best = id;
      bestDistance = d;
    }
  });
  return best;
}

Members selectLast(const Filter& f) {
  Members all = selectAll(f, false);
  if (all.empty()) return {};
  return {all.back()};
}

Members selectHandles(const Filter& f, const std::vector<std::string>& handles) {
  Members out;
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  if (!db) return out;
  std::vector<AcDbObjectId> candidates = layoutEntities(true);
  for (const std::string& text : handles) {
    AcDbObjectId id;
    if (db->getAcDbObjectId(id, false, AcDbHandle(text.c_str())) != Acad::eOk) {
      say("\n未找到句柄“" + text + "”。");
      continue;
    }
    if (std::find(candidates.begin(), candidates.end(), id) == candidates.end()) {
      say("\n句柄“" + text + "”不是模型空间中的对象。");
      continue;
    }
    AcDbEntity* e = nullptr;
    if (acdbOpenAcDbEntity(e, id, AcDb::kForRead) != Acad::eOk) continue;
    if (f.accepts(e)) out.push_back(id);
    e->close();
  }
  return out;
}

std::string countText(size_t found, size_t duplicates, size_t total, bool first) {
  std::string s = "\n找到 " + std::to_string(found) + " 个";
  if (duplicates) s += "（" + std::to_string(duplicates) + " 个重复）";
  if (!first) s += "，总计 " + std::to_string(total) + " 个";
  return s;
}

// The person builds a set, line by line. RTNORM, RTCAN; `single` ends after the first line
// that selects something.
int selectInteractively(const Filter& f, bool single, Members& set) {
  InputRequest request{RequestKind::kSelection, "选择对象: ", std::nullopt};
  bool first = true;
  for (;;) {
    request.highlighted.clear();
    for (AcDbObjectId id : set) request.highlighted.push_back(handleText(id));
    InputLine answer = ask(request);
    if (answer.ended) return RTCAN;
    SelectionLine line = parseSelectionLine(answer.text, lastPointRef());
    Members found;
    switch (line.kind) {
      case SelectionLine::kEnd: return RTNORM;
      case SelectionLine::kCancel: say(kCancelled); return RTCAN;
      case SelectionLine::kInvalid: say(kInvalidSelection); continue;
      case SelectionLine::kAll: found = selectAll(f, false); break;
      case SelectionLine::kLast: found = selectLast(f); break;
      case SelectionLine::kHandles: found = selectHandles(f, line.handles); break;
      case SelectionLine::kWindow:
      case SelectionLine::kCrossing:
        found = selectWindow(f, line.p1, line.p2, line.kind == SelectionLine::kCrossing);
        lastPointRef() = line.p2;
        break;
      case SelectionLine::kPick:
        if (auto id = pickAt(f, line.p1)) found.push_back(*id);
        lastPointRef() = line.p1;
        break;
    }
    size_t before = set.size();
    for (AcDbObjectId id : found) addUnique(set, id);
    size_t added = set.size() - before;
    say(countText(found.size(), found.size() - added, set.size(), first));
    first = false;
    if (single && !set.empty()) return RTNORM;
  }
}

}  // namespace

void freeAllSelectionSets() {
  table().sets.clear();
  table().previous.clear();
}

std::optional<AcDbObjectId> entityAt(const Point3& p) { return pickAt(Filter{}, p); }

std::string handleText(AcDbObjectId id) {
  char hex[17] = {};
  if (id.isNull() || !id.handle().getIntoAsciiBuffer(hex, sizeof hex)) return {};
  std::string text = hex;
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::optional<AcDbObjectId> entityWithHandle(const std::string& hex) {
  Members found = selectHandles(Filter{}, {hex});
  if (found.empty()) return std::nullopt;
  return found.front();
}

}  // namespace contura::ed::detail

namespace ed = contura::ed;
using ed::detail::Members;

int acedSSGet(const ACHAR* str, const void* pt1, const void* pt2, const struct resbuf* filter, ads_name ss) {
  ed::detail::takeArming();
  if (!ss) return RTREJ;
  ed::detail::Filter f;
  if (!ed::detail::readFilter(filter, f)) return RTERROR;
  std::string mode = str ? str : "";
  if (!mode.empty() && mode.front() == '_') mode.erase(0, 1);
  for (char& c : mode) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (ed::detail::table().sets.size() >= ed::detail::kMaxOpenSets) return RTERROR;

  Members set;
  auto point = [](const void* p) { return ed::detail::toPoint(static_cast<const ads_real*>(p)); };
  if (mode.empty() && pt1) {
    if (auto id = ed::detail::pickAt(f, point(pt1))) set.push_back(*id);
  } else if (mode.empty() || mode == ":S") {
    int rc = ed::detail::selectInteractively(f, mode == ":S", set);
    if (rc != RTNORM) return rc;
  } else if (mode == "X") {
    set = ed::detail::selectAll(f, true);
  } else if (mode == "W" || mode == "C") {
    if (!pt1 || !pt2) return RTREJ;
    set = ed::detail::selectWindow(f, point(pt1), point(pt2), mode == "C");
  } else if (mode == "L") {
    set = ed::detail::selectLast(f);
  } else if (mode == "P") {
    for (AcDbObjectId id : ed::detail::table().previous)
      if (id.isValid() && !id.isErased()) set.push_back(id);
  } else if (mode == "I") {
    return RTERROR;  // no pick-first set in this host
  } else {
    return RTERROR;
  }
  if (set.empty()) return RTERROR;
  ed::detail::table().previous = set;
  return ed::detail::makeSet(std::move(set), ss) ? RTNORM : RTERROR;
}

int acedSSFree(const ads_name sname) {
  if (!ed::detail::setOf(sname)) return RTERROR;
  ed::detail::table().sets.erase(sname[0]);
  return RTNORM;
}

int acedSSLength(const ads_name sname, Adesk::Int32* len) {
  Members* set = ed::detail::setOf(sname);
  if (!set || !len) return RTERROR;
  *len = static_cast<Adesk::Int32>(set->size());
  return RTNORM;
}

int acedSSName(const ads_name ss, Adesk::Int32 i, ads_name entres) {
  Members* set = ed::detail::setOf(ss);
  if (!set || !entres || i < 0 || static_cast<size_t>(i) >= set->size()) return RTERROR;
  ads_name name;
  if (acdbGetAdsName(name, (*set)[static_cast<size_t>(i)]) != Acad::eOk) return RTERROR;
  ads_name_set(name, entres);
  return RTNORM;
}

int acedSSAdd(const ads_name ename, const ads_name sname, ads_name result) {
  if (!result) return RTREJ;
  AcDbObjectId id;
  if (ename && acdbGetObjectId(id, ename) != Acad::eOk) return RTERROR;
  if (!sname) {
    Members set;
    if (ename) set.push_back(id);
    return ed::detail::makeSet(std::move(set), result) ? RTNORM : RTERROR;
  }
  Members* set = ed::detail::setOf(sname);
  if (!set) return RTERROR;
  if (ename) ed::detail::addUnique(*set, id);
  result[0] = sname[0];
  result[1] = sname[1];
  return RTNORM;
}

int acedSSDel(const ads_name ename, const ads_name ss) {
  Members* set = ed::detail::setOf(ss);
  AcDbObjectId id;
  if (!set || !ename || acdbGetObjectId(id, ename) != Acad::eOk) return RTERROR;
  auto it = std::find(set->begin(), set->end(), id);
  if (it == set->end()) return RTERROR;
  set->erase(it);
  return RTNORM;
}

int acedSSMemb(const ads_name ename, const ads_name ss) {
  Members* set = ed::detail::setOf(ss);
  AcDbObjectId id;
  if (!set || !ename || acdbGetObjectId(id, ename) != Acad::eOk) return RTERROR;
  return std::find(set->begin(), set->end(), id) == set->end() ? RTERROR : RTNORM;
}

int contura::ed::openSelectionSets() { return static_cast<int>(ed::detail::table().sets.size()); }
