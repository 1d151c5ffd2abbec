// Errors of the DXF layer: one message, with the file line it concerns when there is one.
#pragma once
#include <cstdint>
#include <string>

namespace contura::dxf {

struct DxfError {
  // 1-based line of the file the error concerns; 0 when it concerns no line (file not found,
  // write failure).
  std::uint32_t line = 0;
  std::string message;

  bool failed() const { return !message.empty(); }
  // "line 17: bad number 'x' for group code 10", or the bare message when line is 0.
  std::string text() const;
  void set(std::uint32_t atLine, std::string what);
  void clear();
};

}  // namespace contura::dxf
