// Colours: AcCmEntityColor (method and value in one word) and AcCmColor (the same plus the
// colour's name and colour book), with the 256-entry colour index table.
#pragma once
#include <acadstrc.h>
#include <adesk.h>

#include <string>

// Colour index table used here: indices 1-9 are the standard colours; 10-249 are 24 hue
// families of 10 (hue 15 degrees apart from red at 10), even offsets the full hue, odd offsets
// the pale hue (each component c -> 1 - (1 - c) / 2), offsets 0/1, 2/3, 4/5, 6/7, 8/9 scaled by
// 1, 0.8, 0.6, 0.5, 0.3 and truncated; 250-255 are the greys 51, 91, 132, 173, 214, 255.
// Index 0 (by block) and 256 (by layer) have no colour of their own.
class AcCmEntityColor {
public:
  enum ColorMethod {
    kByLayer = 0xC0, kByBlock = 0xC1, kByColor = 0xC2, kByACI = 0xC3, kByPen = 0xC4,
    kForeground = 0xC5, kLayerOff = 0xC6, kLayerFrozen = 0xC7, kNone = 0xC8
  };
  enum ACIcolorMethod { kACIbyBlock = 0, kACIforeground = 7, kACIbyLayer = 256,
                        kACIclear = 0, kACIRed = 1, kACIYellow = 2, kACIGreen = 3,
                        kACICyan = 4, kACIBlue = 5, kACIMagenta = 6, kACIWhite = 7,
                        kACIStandard = 7, kACImax = 255, kACInone = 257 };

  AcCmEntityColor() = default;  // by layer
  AcCmEntityColor(ColorMethod method);
  AcCmEntityColor(Adesk::UInt8 red, Adesk::UInt8 green, Adesk::UInt8 blue);  // true colour

  // Changing the method keeps the value only where it still means something (true colour
  // components for kByColor, the index for kByACI); by layer and by block clear it.
  Acad::ErrorStatus setColorMethod(ColorMethod method);
  ColorMethod colorMethod() const { return ColorMethod(mRGBM >> 24); }

  // The whole word: method in the top byte, then red, green, blue (for kByColor) or the
  // index in the low 16 bits (for kByACI).
  Acad::ErrorStatus setColor(Adesk::UInt32 color);
  Adesk::UInt32 color() const { return mRGBM; }

  // 0 -> by block, 256 -> by layer, 257 -> none, 1..255 -> that index; other values:
  // eOutOfRange and nothing changes.
  Acad::ErrorStatus setColorIndex(Adesk::Int16 colorIndex);
  // 0 for by block, 256 for by layer, 257 for none, the index for kByACI, the nearest index
  // for a true colour, 7 for foreground.
  Adesk::Int16 colorIndex() const;

  Acad::ErrorStatus setRGB(Adesk::UInt8 red, Adesk::UInt8 green, Adesk::UInt8 blue);
  Acad::ErrorStatus setRed(Adesk::UInt8 red);
  Acad::ErrorStatus setGreen(Adesk::UInt8 green);
  Acad::ErrorStatus setBlue(Adesk::UInt8 blue);
  // Components of a true colour; for an index colour the components of its table entry;
  // 0 for by layer, by block and none.
  Adesk::UInt8 red() const;
  Adesk::UInt8 green() const;
  Adesk::UInt8 blue() const;

  bool isByColor() const { return colorMethod() == kByColor; }
  bool isByLayer() const { return colorMethod() == kByLayer; }
  bool isByBlock() const { return colorMethod() == kByBlock; }
  bool isByACI() const { return colorMethod() == kByACI; }
  bool isForeground() const { return colorMethod() == kForeground; }
  bool isNone() const { return colorMethod() == kNone; }

  bool operator==(const AcCmEntityColor& c) const { return mRGBM == c.mRGBM; }
  bool operator!=(const AcCmEntityColor& c) const { return mRGBM != c.mRGBM; }

  // The table entry of a colour index as one word with red in the low byte, green in the
  // second and blue in the third (the layout of a Windows COLORREF); 0 for index 0.
  static Adesk::UInt32 lookUpRGB(Adesk::UInt8 colorIndex);
  // The index 1..255 whose table entry is nearest (squared distance) to the colour; ties
  // go to the lower index.
  static Adesk::UInt8 lookUpACI(Adesk::UInt8 red, Adesk::UInt8 green, Adesk::UInt8 blue);

private:
  Adesk::UInt32 mRGBM = Adesk::UInt32(kByLayer) << 24;
};

class AcCmColor {
public:
  AcCmColor() = default;  // by layer, no names
  AcCmColor(const AcCmEntityColor& color) : mColor(color) {}

  AcCmEntityColor::ColorMethod colorMethod() const { return mColor.colorMethod(); }
  Acad::ErrorStatus setColorMethod(AcCmEntityColor::ColorMethod method) { return mColor.setColorMethod(method); }
  bool isByColor() const { return mColor.isByColor(); }
  bool isByLayer() const { return mColor.isByLayer(); }
  bool isByBlock() const { return mColor.isByBlock(); }
  bool isByACI() const { return mColor.isByACI(); }
  bool isForeground() const { return mColor.isForeground(); }
  bool isNone() const { return mColor.isNone(); }

  Adesk::UInt32 color() const { return mColor.color(); }
  Acad::ErrorStatus setColor(Adesk::UInt32 color) { return mColor.setColor(color); }
  // See AcCmEntityColor::setColorIndex / colorIndex. Changing the colour clears the names.
  Acad::ErrorStatus setColorIndex(Adesk::UInt16 colorIndex);
  Adesk::UInt16 colorIndex() const { return Adesk::UInt16(mColor.colorIndex()); }
  Acad::ErrorStatus setRGB(Adesk::UInt8 red, Adesk::UInt8 green, Adesk::UInt8 blue);
  Adesk::UInt8 red() const { return mColor.red(); }
  Adesk::UInt8 green() const { return mColor.green(); }
  Adesk::UInt8 blue() const { return mColor.blue(); }

  // Colour book names (true colours only): both texts are copied; null clears.
  Acad::ErrorStatus setNames(const ACHAR* colorName, const ACHAR* bookName = nullptr);
  const ACHAR* colorName() const { return mColorName.c_str(); }
  const ACHAR* bookName() const { return mBookName.c_str(); }
  bool hasColorName() const { return !mColorName.empty(); }
  bool hasBookName() const { return !mBookName.empty(); }

  const AcCmEntityColor& entityColor() const { return mColor; }

  bool operator==(const AcCmColor& c) const {
    return mColor == c.mColor && mColorName == c.mColorName && mBookName == c.mBookName;
  }
  bool operator!=(const AcCmColor& c) const { return !(*this == c); }

private:
  AcCmEntityColor mColor;
  std::string mColorName;
  std::string mBookName;
};
