// Result buffers: value kinds of type and group codes, allocation, release and list
// building.
#include "internal.h"

#include <adsdef.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

// The host's ads type codes (the editor layer's adscodes.h has the same numbers).
enum : int {
  kRtNone = 5000, kRtReal = 5001, kRtPoint = 5002, kRtShort = 5003, kRtAng = 5004,
  kRtStr = 5005, kRtEname = 5006, kRtPicks = 5007, kRtOrint = 5008, kRt3dPoint = 5009,
  kRtLong = 5010, kRtVoid = 5014, kRtLb = 5016, kRtLe = 5017, kRtDote = 5018, kRtNil = 5019,
  kRtDxf0 = 5020, kRtT = 5021
};

bool inRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

// The kind of a code; known is false for codes no resbuf carries.
AdsValueKind kindOf(int t, bool& known) {
  known = true;
  switch (t) {
    case kRtNone: case kRtVoid: case kRtLb: case kRtLe: case kRtDote: case kRtNil: case kRtT:
      return AdsValueKind::kNone;
    case kRtReal: case kRtAng: case kRtOrint: return AdsValueKind::kReal;
    case kRtPoint: case kRt3dPoint: return AdsValueKind::kPoint;
    case kRtShort: return AdsValueKind::kShort;
    case kRtStr: case kRtDxf0: return AdsValueKind::kString;
    case kRtEname: case kRtPicks: return AdsValueKind::kName;
    case kRtLong: return AdsValueKind::kLong;
    default: break;
  }
  if (t == -1 || t == -2) return AdsValueKind::kName;
  if (t == -3 || t == -5) return AdsValueKind::kNone;
  if (t == -4) return AdsValueKind::kString;
  if (inRange(t, 0, 9) || inRange(t, 100, 102) || t == 105 || inRange(t, 300, 309) ||
      inRange(t, 320, 329) || inRange(t, 410, 419) || inRange(t, 430, 439) ||
      inRange(t, 470, 479) || t == 999 || inRange(t, 1000, 1003) || t == 1005)
    return AdsValueKind::kString;
  if (inRange(t, 10, 18) || inRange(t, 110, 112) || t == 210 || inRange(t, 1010, 1013))
    return AdsValueKind::kPoint;
  if (inRange(t, 19, 59) || inRange(t, 113, 149) || inRange(t, 211, 239) || inRange(t, 460, 469) ||
      inRange(t, 1014, 1059))
    return AdsValueKind::kReal;
  if (inRange(t, 60, 79) || inRange(t, 170, 179) || inRange(t, 270, 299) || inRange(t, 370, 389) ||
      inRange(t, 400, 409) || t == 1070)
    return AdsValueKind::kShort;
  if (inRange(t, 90, 99) || inRange(t, 420, 429) || inRange(t, 440, 459) || t == 1071)
    return AdsValueKind::kLong;
  if (inRange(t, 160, 169)) return AdsValueKind::kInt64;
  if (inRange(t, 330, 369) || inRange(t, 390, 399) || inRange(t, 480, 481)) return AdsValueKind::kName;
  if (inRange(t, 310, 319) || t == 1004) return AdsValueKind::kBinary;
  known = false;
  return AdsValueKind::kNone;
}

char* mallocCopy(const char* text, size_t len) {
  char* out = static_cast<char*>(std::malloc(len + 1));
  if (out == nullptr) return nullptr;
  std::memcpy(out, text, len);
  out[len] = '\0';
  return out;
}

}  // namespace

AdsValueKind acutResbufValueKind(int restype) {
  bool known = false;
  return kindOf(restype, known);
}

resbuf* acutNewRb(int restype) {
  auto* rb = static_cast<resbuf*>(std::calloc(1, sizeof(resbuf)));
  if (rb != nullptr) rb->restype = short(restype);
  return rb;
}

int acutRelRb(resbuf* rb) {
  while (rb != nullptr) {
    resbuf* next = rb->rbnext;
    const AdsValueKind kind = acutResbufValueKind(rb->restype);
    if (kind == AdsValueKind::kString) std::free(rb->resval.rstring);
    if (kind == AdsValueKind::kBinary) std::free(rb->resval.rbinary.buf);
    std::free(rb);
    rb = next;
  }
  return 5100;  // RTNORM
}

resbuf* acutBuildList(int rtype, ...) {
  va_list ap;
  va_start(ap, rtype);
  resbuf* head = nullptr;
  resbuf* tail = nullptr;
  bool failed = false;
  for (int type = rtype; type != 0 && !failed; type = va_arg(ap, int)) {
    bool known = false;
    const AdsValueKind kind = kindOf(type, known);
    // RTDXF0 stands for group code 0 (0 itself ends the list).
    resbuf* rb = known ? acutNewRb(type == kRtDxf0 ? 0 : type) : nullptr;
    if (rb == nullptr) {
      failed = true;
      break;
    }
    if (head == nullptr) head = rb;
    else tail->rbnext = rb;
    tail = rb;
    switch (kind) {
      case AdsValueKind::kString: {
        const char* s = va_arg(ap, const char*);
        rb->resval.rstring = s ? mallocCopy(s, std::strlen(s)) : nullptr;
        failed = (rb->resval.rstring == nullptr);
        break;
      }
      case AdsValueKind::kPoint: {
        const double* p = va_arg(ap, const double*);
        if (p == nullptr) failed = true;
        else for (int i = 0; i < 3; ++i) rb->resval.rpoint[i] = p[i];
        break;
      }
      case AdsValueKind::kReal: rb->resval.rreal = va_arg(ap, double); break;
      case AdsValueKind::kShort: rb->resval.rint = short(va_arg(ap, int)); break;
      case AdsValueKind::kLong: rb->resval.rlong = va_arg(ap, Adesk::Int32); break;
      case AdsValueKind::kInt64: rb->resval.mnInt64 = va_arg(ap, long long); break;
      case AdsValueKind::kName: {
        const Adesk::LongPtr* n = va_arg(ap, const Adesk::LongPtr*);
        if (n == nullptr) failed = true;
        else { rb->resval.rlname[0] = n[0]; rb->resval.rlname[1] = n[1]; }
        break;
      }
      case AdsValueKind::kBinary: {
        const ads_binary* b = va_arg(ap, const ads_binary*);
        if (b == nullptr || b->clen < 0 || (b->clen > 0 && b->buf == nullptr)) {
          failed = true;
        } else {
          rb->resval.rbinary.clen = b->clen;
          rb->resval.rbinary.buf = static_cast<char*>(std::malloc(size_t(b->clen) + 1));
          if (rb->resval.rbinary.buf == nullptr) failed = true;
          else if (b->clen > 0) std::memcpy(rb->resval.rbinary.buf, b->buf, size_t(b->clen));
        }
        break;
      }
      case AdsValueKind::kNone: break;
    }
  }
  va_end(ap);
  if (failed) {
    acutRelRb(head);
    return nullptr;
  }
  return head;
}
