// Colours: the colour index table, AcCmEntityColor and AcCmColor.
#include <dbcolor.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace {

struct Rgb {
  Adesk::UInt8 r, g, b;
};

// Components of the pure hue of family k (hue k x 15 degrees) in quarters (0..4).
void hueQuarters(int family, int q[3]) {
  const int sector = family / 4;  // 60-degree sector
  const int step = family % 4;    // quarter steps inside it
  const int up = step, down = 4 - step;
  switch (sector) {
    case 0: q[0] = 4; q[1] = up; q[2] = 0; break;     // red -> yellow
    case 1: q[0] = down; q[1] = 4; q[2] = 0; break;   // yellow -> green
    case 2: q[0] = 0; q[1] = 4; q[2] = up; break;     // green -> cyan
    case 3: q[0] = 0; q[1] = down; q[2] = 4; break;   // cyan -> blue
    case 4: q[0] = up; q[1] = 0; q[2] = 4; break;     // blue -> magenta
    default: q[0] = 4; q[1] = 0; q[2] = down; break;  // magenta -> red
  }
}

std::array<Rgb, 256> buildTable() {
  std::array<Rgb, 256> t{};
  const Rgb fixed[10] = {{0, 0, 0},       {255, 0, 0},   {255, 255, 0},   {0, 255, 0},
                         {0, 255, 255},   {0, 0, 255},   {255, 0, 255},   {255, 255, 255},
                         {128, 128, 128}, {192, 192, 192}};
  for (int i = 0; i < 10; ++i) t[i] = fixed[i];
  // Value factors of the offset pairs 0/1 .. 8/9, as tenths: 1, 0.8, 0.6, 0.5, 0.3.
  const int valueTenths[5] = {10, 8, 6, 5, 3};
  for (int i = 10; i <= 249; ++i) {
    const int family = (i - 10) / 10;
    const int offset = (i - 10) % 10;
    int q[3];
    hueQuarters(family, q);
    Adesk::UInt8 c[3];
    for (int k = 0; k < 3; ++k) {
      // In eighths: the full hue is 2q/8, the pale hue 1 - (1 - q/4)/2 = (4 + q)/8.
      const int eighths = (offset % 2 == 0) ? 2 * q[k] : 4 + q[k];
      // Truncated 255 x eighths/8 x tenths/10, in integers so that no rounding creeps in.
      c[k] = Adesk::UInt8(255 * eighths * valueTenths[offset / 2] / 80);
    }
    t[i] = {c[0], c[1], c[2]};
  }
  const Adesk::UInt8 greys[6] = {51, 91, 132, 173, 214, 255};
  for (int i = 0; i < 6; ++i) t[250 + i] = {greys[i], greys[i], greys[i]};
  return t;
}

const std::array<Rgb, 256>& table() {
  static const std::array<Rgb, 256> t = buildTable();
  return t;
}

constexpr Adesk::UInt32 methodBits(AcCmEntityColor::ColorMethod m) { return Adesk::UInt32(m) << 24; }

}  // namespace

Adesk::UInt32 AcCmEntityColor::lookUpRGB(Adesk::UInt8 colorIndex) {
  const Rgb& c = table()[colorIndex];
  return Adesk::UInt32(c.r) | (Adesk::UInt32(c.g) << 8) | (Adesk::UInt32(c.b) << 16);
}

namespace {

// The nearest index of recently looked-up colours: each slot holds (rgb << 8) | index, zero
// while empty (no index is 0). Colours of a drawing are few, so most look-ups find their
// slot; a slot is one atomic word, so threads may share the cache.
constexpr std::size_t kAciCacheSlots = 256;
std::array<std::atomic<std::uint32_t>, kAciCacheSlots> gAciCache{};

std::size_t aciSlot(std::uint32_t rgb) { return std::size_t((rgb * 0x9E3779B1u) >> 24) % kAciCacheSlots; }

Adesk::UInt8 nearestIndex(Adesk::UInt8 red, Adesk::UInt8 green, Adesk::UInt8 blue);

}  // namespace

Adesk::UInt8 AcCmEntityColor::lookUpACI(Adesk::UInt8 red, Adesk::UInt8 green, Adesk::UInt8 blue) {
  const std::uint32_t rgb = (std::uint32_t(red) << 16) | (std::uint32_t(green) << 8) | blue;
  std::atomic<std::uint32_t>& slot = gAciCache[aciSlot(rgb)];
  const std::uint32_t held = slot.load(std::memory_order_relaxed);
  if (held != 0 && (held >> 8) == rgb) return Adesk::UInt8(held & 0xFF);
  const Adesk::UInt8 best = nearestIndex(red, green, blue);
  slot.store((rgb << 8) | best, std::memory_order_relaxed);
  return best;
}

namespace {

// The index of the table colour nearest to (red, green, blue) (squared distance; the lowest
// index of equally near ones).
Adesk::UInt8 nearestIndex(Adesk::UInt8 red, Adesk::UInt8 green, Adesk::UInt8 blue) {
  int best = 1;
  long bestDist = -1;
  for (int i = 1; i <= 255; ++i) {
    const Rgb& c = table()[i];
    const long dr = long(c.r) - red, dg = long(c.g) - green, db = long(c.b) - blue;
    const long dist = dr * dr + dg * dg + db * db;
    if (bestDist < 0 || dist < bestDist) {
      best = i;
      bestDist = dist;
    }
  }
  return Adesk::UInt8(best);
}

}  // namespace

AcCmEntityColor::AcCmEntityColor(ColorMethod method) { setColorMethod(method); }

AcCmEntityColor::AcCmEntityColor(Adesk::UInt8 red, Adesk::UInt8 green, Adesk::UInt8 blue) {
  setRGB(red, green, blue);
}

Acad::ErrorStatus AcCmEntityColor::setColorMethod(ColorMethod method) {
  if (method < kByLayer || method > kNone) return Acad::eInvalidInput;
  const ColorMethod old = colorMethod();
  if (method == kByColor) {
    const Adesk::UInt8 r = red(), g = green(), b = blue();
    mRGBM = methodBits(kByColor) | (Adesk::UInt32(r) << 16) | (Adesk::UInt32(g) << 8) | b;
  } else if (method == kByACI) {
    Adesk::Int16 index = 7;
    if (old == kByACI) index = Adesk::Int16(mRGBM & 0xFFFF);
    else if (old == kByColor) index = colorIndex();
    mRGBM = methodBits(kByACI) | Adesk::UInt16(index);
  } else {
    mRGBM = methodBits(method);
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcCmEntityColor::setColor(Adesk::UInt32 color) {
  const Adesk::UInt32 method = color >> 24;
  if (method < kByLayer || method > kNone) return Acad::eInvalidInput;
  if (method == kByACI) {
    const Adesk::UInt32 index = color & 0xFFFF;
    if (index < 1 || index > 255) return Acad::eOutOfRange;
  }
  mRGBM = color;
  return Acad::eOk;
}

Acad::ErrorStatus AcCmEntityColor::setColorIndex(Adesk::Int16 colorIndex) {
  if (colorIndex == kACIbyBlock) mRGBM = methodBits(kByBlock);
  else if (colorIndex == kACIbyLayer) mRGBM = methodBits(kByLayer);
  else if (colorIndex == kACInone) mRGBM = methodBits(kNone);
  else if (colorIndex >= 1 && colorIndex <= 255) mRGBM = methodBits(kByACI) | Adesk::UInt16(colorIndex);
  else return Acad::eOutOfRange;
  return Acad::eOk;
}

Adesk::Int16 AcCmEntityColor::colorIndex() const {
  switch (colorMethod()) {
    case kByLayer: return kACIbyLayer;
    case kByBlock: return kACIbyBlock;
    case kByACI:
    case kByPen: return Adesk::Int16(mRGBM & 0xFFFF);
    case kByColor: return lookUpACI(red(), green(), blue());
    case kForeground: return kACIforeground;
    case kNone: return kACInone;
    default: return kACIbyLayer;
  }
}

Acad::ErrorStatus AcCmEntityColor::setRGB(Adesk::UInt8 r, Adesk::UInt8 g, Adesk::UInt8 b) {
  mRGBM = methodBits(kByColor) | (Adesk::UInt32(r) << 16) | (Adesk::UInt32(g) << 8) | b;
  return Acad::eOk;
}
Acad::ErrorStatus AcCmEntityColor::setRed(Adesk::UInt8 r) { return setRGB(r, green(), blue()); }
Acad::ErrorStatus AcCmEntityColor::setGreen(Adesk::UInt8 g) { return setRGB(red(), g, blue()); }
Acad::ErrorStatus AcCmEntityColor::setBlue(Adesk::UInt8 b) { return setRGB(red(), green(), b); }

namespace {
Adesk::UInt8 component(const AcCmEntityColor& c, int shiftTrue, int tableShift) {
  switch (c.colorMethod()) {
    case AcCmEntityColor::kByColor: return Adesk::UInt8((c.color() >> shiftTrue) & 0xFF);
    case AcCmEntityColor::kByACI:
    case AcCmEntityColor::kByPen:
    case AcCmEntityColor::kForeground: {
      const Adesk::Int16 index = c.colorIndex();
      if (index < 1 || index > 255) return 0;
      return Adesk::UInt8((AcCmEntityColor::lookUpRGB(Adesk::UInt8(index)) >> tableShift) & 0xFF);
    }
    default: return 0;
  }
}
}  // namespace

Adesk::UInt8 AcCmEntityColor::red() const { return component(*this, 16, 0); }
Adesk::UInt8 AcCmEntityColor::green() const { return component(*this, 8, 8); }
Adesk::UInt8 AcCmEntityColor::blue() const { return component(*this, 0, 16); }

Acad::ErrorStatus AcCmColor::setColorIndex(Adesk::UInt16 colorIndex) {
  const Acad::ErrorStatus es = mColor.setColorIndex(Adesk::Int16(colorIndex));
  if (es == Acad::eOk) {
    mColorName.clear();
    mBookName.clear();
  }
  return es;
}

Acad::ErrorStatus AcCmColor::setRGB(Adesk::UInt8 red, Adesk::UInt8 green, Adesk::UInt8 blue) {
  mColorName.clear();
  mBookName.clear();
  return mColor.setRGB(red, green, blue);
}

Acad::ErrorStatus AcCmColor::setNames(const ACHAR* colorName, const ACHAR* bookName) {
  mColorName = colorName ? colorName : "";
  mBookName = bookName ? bookName : "";
  return Acad::eOk;
}
