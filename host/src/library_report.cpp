// The option --library-report: reading the library, measuring each section, and writing the
// CSV table and the HTML catalogue.
#include "library_report.h"

#include <dabrel.h>
#include <VistrelDisplayList.h>
#include <contura/os/codepage.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace contura::host {
namespace {

// Size of a card's picture, in pixels.
constexpr int kThumbWidth = 220;
constexpr int kThumbHeight = 165;
// Libraries with at least this many rows get a progress line, redrawn every kProgressStep rows.
constexpr std::size_t kProgressFrom = 1000;
constexpr std::size_t kProgressStep = 500;

std::string full(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

std::string shown(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

std::string csvField(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string q = "\"";
  for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

std::string escaped(const std::string& s) {
  std::string out;
  for (char c : s) switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  return out;
}

// What the search box looks in: lower case, line ends as blanks.
std::string searchText(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    else if (c == '\r' || c == '\n') c = ' ';
  return s;
}

// Why a section has no measures, in the words of the catalogue.
std::string whyNotMeasured(const ReportEntry& e) {
  switch (e.props.result) {
    case vistrel::SectionProperties::kNoClosedShape: return "截面轮廓无法读出：没有封闭的图形";
    case vistrel::SectionProperties::kBadShape: return "截面轮廓无法读出：图形自相交或不围成面积";
    case vistrel::SectionProperties::kNoArea: return "截面轮廓无法读出：孔洞占满了截面";
    default: return {};
  }
}

// The picture of a section as an inline SVG element (UTF-8, without its XML declaration).
std::string thumbnail(const std::string& sectionText) {
  const vistrel::DisplayList list = vistrel::parseSectionText(sectionText);
  const vistrel::Viewport view = vistrel::fitToControl(vistrel::extents(list), kThumbWidth, kThumbHeight);
  vistrel::SvgOptions options;
  options.showBasePoint = true;
  std::string svg = vistrel::renderSvg(list, view, kThumbWidth, kThumbHeight, options);
  const std::size_t start = svg.find("<svg");
  return os::cp936ToUtf8(start == std::string::npos ? svg : svg.substr(start));
}

std::string measuresHtml(const vistrel::SectionProperties& p) {
  std::string out = "<dl>";
  auto row = [&](const char* name, const std::string& value, const char* unit) {
    out += "<dt>" + std::string(name) + "</dt><dd>" + value + " " + unit + "</dd>";
  };
  row("面积", shown(p.area), "mm²");
  row("周长", shown(p.perimeter()) + (p.holes ? "（外 " + shown(p.outerPerimeter) + "，孔 " + shown(p.holePerimeter) + "）" : ""),
      "mm");
  row("形心", "(" + shown(p.centroid.x) + ", " + shown(p.centroid.y) + ")", "mm");
  row("Ix", shown(p.ix), "mm⁴");
  row("Iy", shown(p.iy), "mm⁴");
  row("Ixy", shown(p.ixy), "mm⁴");
  row("I1", shown(p.i1), "mm⁴");
  row("I2", shown(p.i2), "mm⁴");
  row("主轴角", shown(p.angleDegrees), "°");
  row("范围", shown(p.box.width()) + " × " + shown(p.box.height()), "mm");
  return out + "</dl>";
}

std::string cardHtml(const ReportEntry& e) {
  const std::string remark = firstLine(e.remark);
  const std::string search = searchText(e.name + " " + std::to_string(e.code) + " " + e.remark);
  std::string out = "<div class=\"card\" data-search=\"" + escaped(search) + "\">" + thumbnail(e.sectionText);
  out += "<h3>" + escaped(e.name) + "</h3><p class=\"code\">编号 " + std::to_string(e.code) + " · Id " +
         std::to_string(e.id) + "</p>";
  if (!remark.empty()) out += "<p class=\"remark\">" + escaped(remark) + "</p>";
  if (e.props.result == vistrel::SectionProperties::kOk)
    out += measuresHtml(e.props);
  else
    out += "<p class=\"bad\">" + escaped(whyNotMeasured(e)) + "</p>";
  if (e.skippedRecords > 0)
    out += "<p class=\"bad\">" + std::to_string(e.skippedRecords) + " 条记录无法读出</p>";
  return out + "</div>\n";
}

const char kStyle[] =
    "body{font-family:sans-serif;margin:16px;background:#f4f4f4}"
    "header{position:sticky;top:0;background:#f4f4f4;padding:8px 0}"
    "#search{font-size:16px;width:360px;padding:4px}"
    ".cards{display:flex;flex-wrap:wrap;gap:10px}"
    ".card{background:#fff;border:1px solid #ccc;border-radius:4px;padding:8px;width:240px;font-size:12px}"
    ".card h3{margin:4px 0;font-size:14px}.card p{margin:2px 0}.code{color:#555}.bad{color:#b00}"
    "dl{display:grid;grid-template-columns:auto 1fr;gap:1px 6px;margin:4px 0}dt{color:#555}dd{margin:0}";

// Hides cards that do not contain the typed text, and categories left without cards.
const char kScript[] =
    "function filterCards(text){var t=text.trim().toLowerCase(),shown=0;"
    "document.querySelectorAll('.group').forEach(function(g){var n=0;"
    "g.querySelectorAll('.card').forEach(function(c){var on=c.dataset.search.indexOf(t)>=0;"
    "c.hidden=!on;if(on)n++;});g.hidden=n==0;shown+=n;});"
    "document.getElementById('count').textContent=shown+' 个截面';}";

}  // namespace

std::string firstLine(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

bool readReportEntries(const std::string& library, std::vector<ReportEntry>& entries, std::string& error,
                       const std::function<void(std::size_t, std::size_t)>& progress) {
  CString err;
  CDaoDatabase db;
  CDaoRecordset rs;
  if (OpenDatabase(err, db, CString(os::utf8ToCp936(library).c_str())) != 0 ||
      OpenRecordset(err, rs, db, "select * from SectionInfo") != 0) {
    error = os::cp936ToUtf8(err.GetString());
    return false;
  }
  while (!rs.IsEOF()) {
    ReportEntry e;
    CString name, remark, text;
    // A field that cannot be read (a Null) leaves its default, as the module's list does.
    GetValueFromRecordset(err, e.id, "Id", rs);
    GetValueFromRecordset(err, e.code, "Type", rs);
    GetValueFromRecordset(err, e.category, "GroupSec", rs);
    GetValueFromRecordset(err, name, "Name", rs);
    GetValueFromRecordset(err, remark, "Remark", rs);
    GetValueFromRecordset(err, text, "SectionInfo", rs);
    e.name = os::cp936ToUtf8(name.GetString());
    e.remark = os::cp936ToUtf8(remark.GetString());
    e.sectionText = text.GetString();
    entries.push_back(std::move(e));
    try {
      rs.MoveNext();
    } catch (CDaoException* ex) {
      ex->Delete();
      break;
    }
  }
  std::stable_sort(entries.begin(), entries.end(), [](const ReportEntry& a, const ReportEntry& b) {
    if (a.category != b.category) return a.category < b.category;
    if (a.code != b.code) return a.code < b.code;
    return a.id < b.id;
  });
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const vistrel::DisplayList list = vistrel::parseSectionText(entries[i].sectionText);
    entries[i].props = vistrel::sectionProperties(list);
    entries[i].skippedRecords = list.skippedRecords;
    if (progress) progress(i + 1, entries.size());
  }
  return true;
}

std::string reportCsv(const std::vector<ReportEntry>& entries) {
  std::string out = "id,category,code,name,remark,area,perimeter,centroid_x,centroid_y,Ix,Iy,Ixy,I1,I2,angle\n";
  for (const ReportEntry& e : entries) {
    out += std::to_string(e.id) + "," + std::to_string(e.category) + "," + std::to_string(e.code) + "," +
           csvField(e.name) + "," + csvField(firstLine(e.remark));
    const vistrel::SectionProperties& p = e.props;
    if (p.result == vistrel::SectionProperties::kOk)
      for (double v : {p.area, p.perimeter(), p.centroid.x, p.centroid.y, p.ix, p.iy, p.ixy, p.i1, p.i2, p.angleDegrees})
        out += "," + full(v);
    else
      out += ",,,,,,,,,,";
    out += "\n";
  }
  return out;
}

std::string reportHtml(const std::vector<ReportEntry>& entries, const std::string& library) {
  std::string out = "<!DOCTYPE html>\n<html lang=\"zh\"><head><meta charset=\"utf-8\"><title>截面库 " +
                    escaped(library) + "</title><style>" + kStyle + "</style><script>" + kScript +
                    "</script></head><body>\n<header><h1>截面库</h1><p>" + escaped(library) +
                    "</p><input id=\"search\" type=\"search\" placeholder=\"按名称、编号、备注筛选\" "
                    "oninput=\"filterCards(this.value)\"> <span id=\"count\">" +
                    std::to_string(entries.size()) + " 个截面</span></header>\n";
  for (std::size_t i = 0; i < entries.size();) {
    const long category = entries[i].category;
    out += "<section class=\"group\"><h2>类别 " + std::to_string(category) + "</h2><div class=\"cards\">\n";
    for (; i < entries.size() && entries[i].category == category; ++i) out += cardHtml(entries[i]);
    out += "</div></section>\n";
  }
  return out + "</body></html>\n";
}

bool writeLibraryReport(const std::string& outBase, const std::string& library, std::ostream& outStream,
                        std::ostream& err) {
  const std::string source = library.empty() ? std::string(kModuleLibraryPath) : library;
  std::vector<ReportEntry> entries;
  std::string error;
  bool progressShown = false;
  auto progress = [&](std::size_t done, std::size_t total) {
    if (total < kProgressFrom || (done % kProgressStep != 0 && done != total)) return;
    err << "\rcontura: --library-report: " << done << "/" << total << " sections measured" << std::flush;
    progressShown = true;
  };
  const bool read = readReportEntries(source, entries, error, progress);
  if (progressShown) err << "\n";
  if (!read) {
    err << "contura: --library-report: " << error << "\n";
    return false;
  }
  for (const auto& [suffix, text] : {std::pair{".csv", reportCsv(entries)}, {".html", reportHtml(entries, source)}}) {
    const std::string file = outBase + suffix;
    std::ofstream f(file, std::ios::binary | std::ios::trunc);
    f << text;
    f.close();
    if (!f) {
      err << "contura: --library-report: cannot write '" << file << "'\n";
      return false;
    }
  }
  const long unmeasured = std::count_if(entries.begin(), entries.end(), [](const ReportEntry& e) {
    return e.props.result != vistrel::SectionProperties::kOk;
  });
  outStream << "contura: " << entries.size() << " sections (" << unmeasured << " without measures) written to '"
            << outBase << ".csv' and '" << outBase << ".html'\n";
  return true;
}

}  // namespace contura::host
