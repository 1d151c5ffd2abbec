// Raw tags and colour indexes shared by the entity, table and object records.
#include <contura/dxf/entities.h>

#include <array>
#include <climits>

namespace contura::dxf {

RawTag rawTagOf(const Tag& tag, const TextCodec& codec) {
  RawTag raw;
  raw.code = static_cast<std::int16_t>(tag.code);
  if (tag.type == TagType::String) codec.decode(tag.text, raw.value);
  else raw.value.assign(tag.text);
  return raw;
}

void writeRawTags(TagWriter& writer, const RawTags& tags, const TextCodec& codec) {
  std::string encoded;
  for (const RawTag& t : tags) {
    if (tagType(t.code) == TagType::String) {
      encoded.clear();
      codec.encode(t.value, encoded);
      writer.string(t.code, encoded);
    } else {
      writer.raw(t.code, t.value);
    }
  }
}

namespace {

struct Rgb {
  int r, g, b;
};

// The colour-index palette: 1..9 fixed, 10..249 twenty-four hue families of ten shades,
// 250..255 greys.
Rgb paletteEntry(int index) {
  static const Rgb kFirst[10] = {{0, 0, 0},     {255, 0, 0},   {255, 255, 0},
                                 {0, 255, 0},   {0, 255, 255}, {0, 0, 255},
                                 {255, 0, 255}, {255, 255, 255}, {128, 128, 128},
                                 {192, 192, 192}};
  static const int kGreys[6] = {51, 91, 132, 173, 214, 255};
  if (index < 10) return kFirst[index];
  if (index >= 250) return {kGreys[index - 250], kGreys[index - 250], kGreys[index - 250]};
  const int family = (index - 10) / 10, shade = (index - 10) % 10;
  // The pure hue family*15 degrees at full value: components step by quarters.
  const double hue = family * 15.0 / 60.0;  // in sixths of the circle
  const int sector = static_cast<int>(hue);
  const double f = hue - sector;
  double c[3] = {0, 0, 0};
  switch (sector % 6) {
    case 0: c[0] = 1; c[1] = f; break;
    case 1: c[0] = 1 - f; c[1] = 1; break;
    case 2: c[1] = 1; c[2] = f; break;
    case 3: c[1] = 1 - f; c[2] = 1; break;
    case 4: c[0] = f; c[2] = 1; break;
    default: c[0] = 1; c[2] = 1 - f; break;
  }
  static const double kValue[5] = {1.0, 0.8, 0.6, 0.5, 0.3};
  const double v = kValue[shade / 2];
  int out[3];
  for (int i = 0; i < 3; ++i) {
    double comp = (shade % 2) ? 1 - (1 - c[i]) / 2 : c[i];
    out[i] = static_cast<int>(comp * 255 * v);
  }
  return {out[0], out[1], out[2]};
}

}  // namespace

std::int16_t nearestColorIndex(std::int32_t rgb) {
  const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  int best = 7;
  long bestDistance = LONG_MAX;
  for (int i = 1; i <= 255; ++i) {
    Rgb p = paletteEntry(i);
    long d = long(p.r - r) * (p.r - r) + long(p.g - g) * (p.g - g) + long(p.b - b) * (p.b - b);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return static_cast<std::int16_t>(best);
}

}  // namespace contura::dxf
