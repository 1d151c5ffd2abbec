// Shared pieces of the drawing reader and writer: angles and application groups.
#include "drawing_common.h"

namespace contura::dxf::detail {

namespace {
// An angle in degrees is tried first at this many decimals (what people and programs type).
constexpr double kDecimalScale = 1e9;
// Neighbouring doubles tried when no short form maps back exactly.
constexpr int kNeighbours = 4;
}  // namespace

double toDegrees(double radians) {
  const double d0 = radians / kRadiansPerDegree;
  const double shortForm = std::round(d0 * kDecimalScale) / kDecimalScale;
  if (toRadians(shortForm) == radians) return shortForm;
  if (toRadians(d0) == radians) return d0;
  double up = d0, down = d0;
  for (int i = 0; i < kNeighbours; ++i) {
    up = std::nextafter(up, HUGE_VAL);
    down = std::nextafter(down, -HUGE_VAL);
    if (toRadians(up) == radians) return up;
    if (toRadians(down) == radians) return down;
  }
  return d0;
}

AppGroups splitAppGroups(const RawTags& groups) {
  AppGroups out;
  enum class In { None, Reactors, XDict, Other } in = In::None;
  for (const RawTag& t : groups) {
    if (t.code == 102 && !t.value.empty() && t.value[0] == '{') {
      in = t.value == "{ACAD_REACTORS" ? In::Reactors
           : t.value == "{ACAD_XDICTIONARY" ? In::XDict : In::Other;
      if (in == In::Other) out.others.push_back(t);
      continue;
    }
    if (t.code == 102 && t.value == "}") {
      if (in == In::Other) out.others.push_back(t);
      in = In::None;
      continue;
    }
    std::uint64_t h = 0;
    switch (in) {
      case In::Reactors:
        if (parseHandle(t.value, h)) out.reactors.push_back(h);
        break;
      case In::XDict:
        if (parseHandle(t.value, h)) out.extensionDictionary = h;
        break;
      default:
        out.others.push_back(t);
        break;
    }
  }
  return out;
}

RawTags joinAppGroups(const std::vector<std::uint64_t>& reactors, std::uint64_t extensionDictionary,
                      const RawTags& others) {
  RawTags out;
  if (!reactors.empty()) {
    out.push_back({102, "{ACAD_REACTORS"});
    for (std::uint64_t h : reactors) out.push_back({330, formatHandle(h)});
    out.push_back({102, "}"});
  }
  if (extensionDictionary != 0) {
    out.push_back({102, "{ACAD_XDICTIONARY"});
    out.push_back({360, formatHandle(extensionDictionary)});
    out.push_back({102, "}"});
  }
  out.insert(out.end(), others.begin(), others.end());
  return out;
}

AcCmColor toColor(const Color& c) {
  AcCmColor color;
  if (c.rgb >= 0) {
    color.setRGB(Adesk::UInt8((c.rgb >> 16) & 0xFF), Adesk::UInt8((c.rgb >> 8) & 0xFF),
                 Adesk::UInt8(c.rgb & 0xFF));
    if (!c.name.empty()) {
      // "BOOK$COLOR" names a colour of a colour book.
      std::size_t dollar = c.name.find('$');
      if (dollar == std::string::npos) color.setNames(c.name.c_str());
      else color.setNames(c.name.substr(dollar + 1).c_str(), c.name.substr(0, dollar).c_str());
    }
  } else if (c.index == 256) {
    color.setColorMethod(AcCmEntityColor::kByLayer);
  } else if (c.index == 0) {
    color.setColorMethod(AcCmEntityColor::kByBlock);
  } else if (c.index == 257) {
    color.setColorMethod(AcCmEntityColor::kNone);
  } else {
    color.setColorIndex(Adesk::UInt16(std::abs(c.index)));
  }
  return color;
}

Color fromColor(const AcCmColor& c) {
  Color out;
  switch (c.colorMethod()) {
    case AcCmEntityColor::kByLayer: out.index = 256; break;
    case AcCmEntityColor::kByBlock: out.index = 0; break;
    case AcCmEntityColor::kNone: out.index = 257; break;
    case AcCmEntityColor::kByColor:
      out.index = 256;
      out.rgb = (std::int32_t(c.red()) << 16) | (std::int32_t(c.green()) << 8) | c.blue();
      if (c.hasColorName()) {
        out.name = c.hasBookName() ? std::string(c.bookName()) + "$" + c.colorName() : c.colorName();
      }
      break;
    default: out.index = std::int16_t(c.colorIndex()); break;
  }
  return out;
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string canonicalBlockName(std::string_view name) {
  const std::string key = upper(name);
  if (key == "$MODEL_SPACE") return "*Model_Space";
  if (key == "$PAPER_SPACE") return "*Paper_Space";
  return std::string(name);
}

}  // namespace contura::dxf::detail
