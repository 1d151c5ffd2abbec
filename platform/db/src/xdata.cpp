// Extended data: stored as drawing-file tags (one storage for the file layer's raw view and
// the host's resbuf view), converted on the way in and out; the other raw-tag stores.
#include "internal.h"
#include "filing.h"

#include <adsdef.h>
#include <contura/db/rawtags.h>

#include <charconv>
#include <cstdlib>
#include <cstring>

using contura::db::ObjectAccess;

namespace {

constexpr short kAppName = 1001;
constexpr short kFirstXDataCode = 1000;
constexpr short kLastXDataCode = 1071;
const AcDbRawTags kNoTags;

bool isPointCode(short code) { return code >= 1010 && code <= 1013; }

double parseDouble(const std::string& text) {
  double value = 0.0;
  const char* first = text.data();
  while (first < text.data() + text.size() && *first == ' ') ++first;
  std::from_chars(first, text.data() + text.size(), value);
  return value;
}

long long parseInteger(const std::string& text) {
  long long value = 0;
  const char* first = text.data();
  while (first < text.data() + text.size() && *first == ' ') ++first;
  std::from_chars(first, text.data() + text.size(), value);
  return value;
}

std::string hexOf(const char* data, size_t len) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(len * 2);
  for (size_t i = 0; i < len; ++i) {
    const unsigned char c = static_cast<unsigned char>(data[i]);
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

std::string bytesOfHex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    unsigned value = 0;
    std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
    out += char(value);
  }
  return out;
}

char* mallocString(const std::string& text) {
  char* out = static_cast<char*>(std::malloc(text.size() + 1));
  if (out) std::memcpy(out, text.c_str(), text.size() + 1);
  return out;
}

// One application's group: its name and its item tags (after the 1001 tag).
struct XDataGroup {
  std::string app;
  AcDbRawTags items;
};

std::vector<XDataGroup> splitGroups(const AcDbRawTags& tags) {
  std::vector<XDataGroup> groups;
  for (const AcDbRawTag& tag : tags) {
    if (tag.code == kAppName) groups.push_back({tag.value, {}});
    else if (!groups.empty()) groups.back().items.push_back(tag);
  }
  return groups;
}

AcDbRawTags joinGroups(const std::vector<XDataGroup>& groups) {
  AcDbRawTags tags;
  for (const XDataGroup& g : groups) {
    tags.push_back({kAppName, g.app});
    tags.insert(tags.end(), g.items.begin(), g.items.end());
  }
  return tags;
}

// Tags of one resbuf item (a point becomes its three coordinate tags).
void appendItemTags(const resbuf& rb, AcDbRawTags& out) {
  const short code = rb.restype;
  if (isPointCode(code)) {
    for (int i = 0; i < 3; ++i)
      out.push_back({short(code + 10 * i), contura::db::formatDouble(rb.resval.rpoint[i])});
    return;
  }
  switch (acutResbufValueKind(code)) {
    case AdsValueKind::kString: out.push_back({code, contura::db::safeString(rb.resval.rstring)}); break;
    case AdsValueKind::kBinary:
      out.push_back({code, rb.resval.rbinary.buf ? hexOf(rb.resval.rbinary.buf, size_t(std::max<short>(rb.resval.rbinary.clen, 0))) : std::string()});
      break;
    case AdsValueKind::kReal: out.push_back({code, contura::db::formatDouble(rb.resval.rreal)}); break;
    case AdsValueKind::kShort: out.push_back({code, std::to_string(rb.resval.rint)}); break;
    case AdsValueKind::kLong: out.push_back({code, std::to_string(rb.resval.rlong)}); break;
    default: break;
  }
}

// A resbuf for the tag at tags[i] (a point takes its coordinate tags too); i moves past it.
resbuf* resbufOfTags(const AcDbRawTags& tags, size_t& i) {
  const AcDbRawTag& tag = tags[i++];
  resbuf* rb = acutNewRb(tag.code);
  if (rb == nullptr) return nullptr;
  if (isPointCode(tag.code)) {
    rb->resval.rpoint[0] = parseDouble(tag.value);
    for (int k = 1; k <= 2 && i < tags.size() && tags[i].code == tag.code + 10 * k; ++k)
      rb->resval.rpoint[k] = parseDouble(tags[i++].value);
    return rb;
  }
  switch (acutResbufValueKind(tag.code)) {
    case AdsValueKind::kString: rb->resval.rstring = mallocString(tag.value); break;
    case AdsValueKind::kBinary: {
      const std::string bytes = bytesOfHex(tag.value);
      rb->resval.rbinary.clen = short(bytes.size());
      rb->resval.rbinary.buf = static_cast<char*>(std::malloc(bytes.size() + 1));
      if (rb->resval.rbinary.buf && !bytes.empty()) std::memcpy(rb->resval.rbinary.buf, bytes.data(), bytes.size());
      break;
    }
    case AdsValueKind::kReal: rb->resval.rreal = parseDouble(tag.value); break;
    case AdsValueKind::kShort: rb->resval.rint = short(parseInteger(tag.value)); break;
    case AdsValueKind::kLong: rb->resval.rlong = Adesk::Int32(parseInteger(tag.value)); break;
    default: break;
  }
  return rb;
}

bool regappRegistered(AcDbDatabase* db, const std::string& app) {
  if (db == nullptr) return true;  // a new object: checked when the file layer writes it
  const auto& impl = ObjectAccess::impl(*db);
  return impl.lookupRecord(AcDbDatabase::Impl::kRegAppTable, app) != nullptr;
}

}  // namespace

resbuf* AcDbObject::xData(const ACHAR* regappName) const {
  const contura::db::ObjectExtras* extras = ObjectAccess::extrasIf(*this);
  if (extras == nullptr || extras->xdata.empty()) return nullptr;
  const std::string wanted = regappName ? contura::db::nameKey(regappName) : std::string();
  resbuf* head = nullptr;
  resbuf* tail = nullptr;
  auto link = [&](resbuf* rb) {
    if (rb == nullptr) return;
    if (head == nullptr) head = rb; else tail->rbnext = rb;
    tail = rb;
  };
  for (const XDataGroup& group : splitGroups(extras->xdata)) {
    if (regappName != nullptr && contura::db::nameKey(group.app) != wanted) continue;
    resbuf* app = acutNewRb(kAppName);
    if (app) app->resval.rstring = mallocString(group.app);
    link(app);
    for (size_t i = 0; i < group.items.size();) link(resbufOfTags(group.items, i));
  }
  return head;
}

Acad::ErrorStatus AcDbObject::setXData(const resbuf* xdata) {
  if (!writable()) return Acad::eNotOpenForWrite;
  // Check the whole list first: nothing changes on failure.
  std::vector<XDataGroup> incoming;
  for (const resbuf* rb = xdata; rb != nullptr; rb = rb->rbnext) {
    if (rb->restype == kAppName) {
      if (rb->resval.rstring == nullptr || rb->resval.rstring[0] == '\0') return Acad::eInvalidResBuf;
      if (!regappRegistered(database(), rb->resval.rstring)) return Acad::eRegappIdNotFound;
      incoming.push_back({rb->resval.rstring, {}});
      continue;
    }
    if (incoming.empty() || rb->restype < kFirstXDataCode || rb->restype > kLastXDataCode)
      return Acad::eInvalidResBuf;
    bool known = acutResbufValueKind(rb->restype) != AdsValueKind::kNone;
    if (!known) return Acad::eInvalidResBuf;
    appendItemTags(*rb, incoming.back().items);
  }
  contura::db::ObjectExtras& extras = ObjectAccess::extras(*this);
  std::vector<XDataGroup> groups = splitGroups(extras.xdata);
  for (XDataGroup& in : incoming) {
    const std::string key = contura::db::nameKey(in.app);
    auto it = std::find_if(groups.begin(), groups.end(),
                           [&](const XDataGroup& g) { return contura::db::nameKey(g.app) == key; });
    if (in.items.empty()) {
      if (it != groups.end()) groups.erase(it);
    } else if (it != groups.end()) {
      it->items = std::move(in.items);
    } else {
      groups.push_back(std::move(in));
    }
  }
  extras.xdata = joinGroups(groups);
  return Acad::eOk;
}

namespace contura::db {

const AcDbRawTags& rawXData(const AcDbObject& obj) {
  const ObjectExtras* e = ObjectAccess::extrasIf(obj);
  return e ? e->xdata : kNoTags;
}
void setRawXData(AcDbObject& obj, AcDbRawTags tags) { ObjectAccess::extras(obj).xdata = std::move(tags); }

const AcDbRawTags& rawAppGroups(const AcDbObject& obj) {
  const ObjectExtras* e = ObjectAccess::extrasIf(obj);
  return e ? e->appGroups : kNoTags;
}
void setRawAppGroups(AcDbObject& obj, AcDbRawTags tags) { ObjectAccess::extras(obj).appGroups = std::move(tags); }

const AcDbRawTags& rawExtra(const AcDbObject& obj) {
  const ObjectExtras* e = ObjectAccess::extrasIf(obj);
  return e ? e->extra : kNoTags;
}
void setRawExtra(AcDbObject& obj, AcDbRawTags tags) { ObjectAccess::extras(obj).extra = std::move(tags); }

const RawHeader& rawHeader(const AcDbDatabase& db) { return ObjectAccess::impl(db).rawHeader; }
void setRawHeader(AcDbDatabase& db, RawHeader header) { ObjectAccess::impl(db).rawHeader = std::move(header); }
const RawHeader& rawSections(const AcDbDatabase& db) { return ObjectAccess::impl(db).rawSections; }
void setRawSections(AcDbDatabase& db, RawHeader sections) { ObjectAccess::impl(db).rawSections = std::move(sections); }

}  // namespace contura::db
