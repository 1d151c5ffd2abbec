// The measured box of a line of text.
#include "contura/ge/text_box.h"

#include <contura/os/codepage.h>

namespace contura::ge {

double textBoxWidth(std::string_view cp936, double height, double widthFactor) {
  double units = 0.0;
  for (std::size_t i = 0; i < cp936.size(); ++i) {
    if (os::isLeadByte(static_cast<unsigned char>(cp936[i])) && i + 1 < cp936.size()) {
      units += kWideCharAdvance;
      ++i;
    } else {
      units += kNarrowCharAdvance;
    }
  }
  return units * height * widthFactor;
}

}  // namespace contura::ge
