// The report of a drawing read.
#include "contura/dxf/read_report.h"

#include <contura/os/codepage.h>

namespace contura::dxf {

void ReadReport::note(Kind kind, std::string_view what, std::uint32_t line) {
  for (Item& item : items) {
    if (item.kind == kind && item.what == what) {
      ++item.count;
      return;
    }
  }
  items.push_back(Item{kind, std::string(what), 1, line});
}

std::vector<std::string> ReadReport::lines() const {
  std::vector<std::string> out;
  for (const Item& item : items) {
    std::string head;
    switch (item.kind) {
      case Kind::kConverted: head = os::utf8Literal(u8"已转换 "); break;
      case Kind::kKeptRaw: head = os::utf8Literal(u8"未解读、原样保留 "); break;
      case Kind::kRepaired: head = os::utf8Literal(u8"已补全 "); break;
    }
    std::string line = head + std::to_string(item.count) + os::utf8Literal(u8" 处：") + item.what;
    if (item.firstLine != 0)
      line += os::utf8Literal(u8"（第一处在第 ") + std::to_string(item.firstLine) + os::utf8Literal(u8" 行）");
    out.push_back(std::move(line));
  }
  return out;
}

}  // namespace contura::dxf
