// What reading a drawing did that the person should know of: texts converted, entities and
// table entries this system does not model kept as they were (written back unchanged, but not
// drawn or edited), and what the file lacked that was made up for. A clean file gives none.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace contura::dxf {

struct ReadReport {
  enum class Kind { kConverted, kKeptRaw, kRepaired };
  struct Item {
    Kind kind = Kind::kConverted;
    std::string what;             // UTF-8: what happened to what, e.g. a DXF type name
    std::uint32_t count = 0;
    std::uint32_t firstLine = 0;  // line of the first occurrence; 0 when it concerns no line
  };
  // One item per kind and `what`, in the order of their first occurrence.
  std::vector<Item> items;

  void note(Kind kind, std::string_view what, std::uint32_t line);
  bool empty() const { return items.empty(); }
  // One line per item, UTF-8, for the command line: "未解读、原样保留 3 处：HELIX（第一处在第 120 行）".
  std::vector<std::string> lines() const;
};

}  // namespace contura::dxf
