// The box of a line of text as the drawing measures it. Fonts are not read: a single-byte
// character advances 2/3 of the height, a double-byte (code page 936) character the full
// height, times the width factor. The window, the previews, picking and extents all take
// the box from here, so what is seen, picked and measured agree.
#pragma once
#include <string_view>

namespace contura::ge {

inline constexpr double kNarrowCharAdvance = 2.0 / 3.0;  // in text heights
inline constexpr double kWideCharAdvance = 1.0;          // in text heights
// How far the box reaches below the baseline, in text heights.
inline constexpr double kTextDescent = 0.25;
// Baselines of paragraph text are this many text heights apart at spacing factor 1.
inline constexpr double kMTextLineSpacing = 5.0 / 3.0;

// Advance of the code page 936 text at the given height and width factor (drawing units).
// A lead byte at the very end counts as one narrow character.
double textBoxWidth(std::string_view cp936, double height, double widthFactor = 1.0);

}  // namespace contura::ge
