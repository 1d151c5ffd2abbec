// The host's own commands: HELP, OPEN, SAVE, SAVEAS and QUIT.
#include "host_commands.h"

#include "answer_text.h"

#include <accmd.h>
#include <contura/ed/input.h>
#include <contura/os/codepage.h>
#include <contura/os/paths.h>

#include <algorithm>
#include <memory>
#include <system_error>

namespace contura::host {
namespace {

constexpr std::string_view kDrawingExtension = ".dxf";
constexpr size_t kHelpNameColumn = 12;  // width of the name columns of HELP

void say(Console& console, std::string_view line) {
  console.beginPrompt();
  console.write(line);
  console.write("\n");
}

// The display width of UTF-8 text on a terminal: a Chinese character takes two columns.
size_t columnsOf(std::string_view utf8) {
  size_t columns = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) == 0x80) continue;
    columns += c >= 0xE0 ? 2 : 1;
  }
  return columns;
}

std::string padded(std::string_view utf8, size_t columns) {
  std::string out(utf8);
  for (size_t used = columnsOf(utf8); used < columns; ++used) out += ' ';
  return out + ' ';
}

// "E:\plans\a.dxf", "e:/a": a Windows path, found through the drive map. Other text is a
// Linux path taken as it is (any UTF-8 name, also one the module's code page cannot hold).
bool startsWithDriveLetter(std::string_view text) {
  return text.size() >= 2 && text[1] == ':' && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
}

enum class Reply { kYes, kNo, kCancel, kEnded };

// Asks a yes/no(/cancel) question until it gets an answer it understands.
Reply askYesNo(InputSource& input, Console& console, const std::string& question, bool withCancel) {
  std::string prompt = question + " 是(yes)/否(no)" + (withCancel ? "/取消(cancel)" : "") + ": ";
  for (;;) {
    Answer answer = input.answer({RequestKind::Text, prompt});
    if (answer.ended()) return Reply::kEnded;
    std::string said = keywordOf(answer.text);
    if (answer.cancelled() || said == "*cancel*" || said == "取消" || said == "cancel" || said == "c")
      return withCancel || answer.cancelled() ? Reply::kCancel : Reply::kNo;
    if (said == "是" || said == "yes" || said == "y") return Reply::kYes;
    if (said == "否" || said == "no" || said == "n") return Reply::kNo;
    say(console, "无效的回答。");
  }
}

// Asks for a file name; none when the person cancels or gives none.
std::optional<std::filesystem::path> askFileName(InputSource& input, Console& console, const std::string& title,
                                                 const std::optional<std::filesystem::path>& suggested, bool& ended) {
  std::string prompt = title;
  if (suggested) prompt += "（" + suggested->string() + "）";
  prompt += " 文件名: ";
  Answer answer = input.answer({RequestKind::FileDialog, prompt});
  ended = answer.ended();
  std::string text(trimBlanks(answer.text));
  if (ended || answer.cancelled() || keywordOf(text) == "*cancel*") {
    if (!ended) say(console, kCancelledText);
    return std::nullopt;
  }
  if (text.empty()) {
    if (suggested) return suggested;
    say(console, kCancelledText);
    return std::nullopt;
  }
  std::filesystem::path path(text);
  if (startsWithDriveLetter(text)) {
    try {
      path = os::toNativePath(os::utf8ToCp936(text));
    } catch (const os::PathError& e) {
      say(console, std::string("无效的文件名：") + e.what());
      return std::nullopt;
    }
  }
  if (!path.has_extension()) path += kDrawingExtension;
  return path;
}

void reportSaved(Console& console, const std::filesystem::path& path, dxf::DxfVersion version,
                 const dxf::WriteWarnings& warnings) {
  say(console, "图形已保存到 " + path.string() + "（" + dxf::nameOf(version) + "）。");
  for (const auto& [warning, count] : warnings) say(console, warning + "（" + std::to_string(count) + " 处）");
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec);
}

// Saves to `path`; asks first when that is another file that exists.
bool saveTo(InputSource& input, Console& console, DrawingDocument& document, const std::filesystem::path& path,
            dxf::DxfVersion version, bool& ended) {
  std::error_code ec;
  bool ownFile = document.path() && sameFile(*document.path(), path);
  if (!ownFile && std::filesystem::exists(path, ec)) {
    Reply reply = askYesNo(input, console, "文件“" + path.string() + "”已存在。是否替换？", false);
    ended = reply == Reply::kEnded;
    if (reply != Reply::kYes) {
      if (!ended) say(console, kCancelledText);
      return false;
    }
  }
  std::string error;
  dxf::WriteWarnings warnings;
  if (!document.saveAs(path, version, error, warnings)) {
    say(console, "无法保存图形 " + path.string() + "：" + error);
    return false;
  }
  reportSaved(console, path, version, warnings);
  return true;
}

bool saveAsAsking(InputSource& input, Console& console, DrawingDocument& document, bool askVersion, bool& ended) {
  std::optional<std::filesystem::path> path = askFileName(input, console, askVersion ? "另存为" : "保存图形", document.path(), ended);
  if (!path) return false;
  dxf::DxfVersion version = document.version();
  if (askVersion) {
    std::string prompt = "DXF 版本 [";
    for (dxf::DxfVersion v : kSaveVersions) prompt += std::string(v == kSaveVersions[0] ? "" : "/") + dxf::nameOf(v);
    prompt += std::string("] <") + dxf::nameOf(version) + ">: ";
    for (;;) {
      Answer answer = input.answer({RequestKind::Text, prompt});
      ended = answer.ended();
      if (ended || answer.cancelled() || keywordOf(answer.text) == "*cancel*") {
        if (!ended) say(console, kCancelledText);
        return false;
      }
      if (keywordOf(answer.text).empty()) break;
      if (std::optional<dxf::DxfVersion> named = saveVersionNamed(answer.text)) {
        version = *named;
        break;
      }
      say(console, "无效的 DXF 版本。");
    }
  }
  return saveTo(input, console, document, *path, version, ended);
}

bool save(InputSource& input, Console& console, DrawingDocument& document, bool& ended) {
  if (!document.path()) return saveAsAsking(input, console, document, false, ended);
  return saveTo(input, console, document, *document.path(), document.version(), ended);
}

HostCommandEnd openAnother(InputSource& input, Console& console, DrawingDocument& document) {
  bool ended = false;
  if (!confirmLosingChanges(input, console, document, ended))
    return ended ? HostCommandEnd::kInputEnded : HostCommandEnd::kDone;
  std::optional<std::filesystem::path> path = askFileName(input, console, "打开图形", std::nullopt, ended);
  if (path) {
    std::string error;
    dxf::ReadReport report;
    if (document.open(*path, error, report)) {
      say(console, "已打开图形 " + path->string() + "。");
      for (const std::string& line : report.lines()) say(console, line);
    } else
      say(console, "无法打开图形 " + path->string() + "：" + error);
  }
  return ended ? HostCommandEnd::kInputEnded : HostCommandEnd::kDone;
}

}  // namespace

const HostCommand* findHostCommand(std::string_view name) {
  std::string upper = upperAscii(name);
  for (const HostCommand& c : kHostCommands)
    if (upper == c.name || upper == c.localName) return &c;
  return nullptr;
}

std::optional<dxf::DxfVersion> saveVersionNamed(std::string_view text) {
  dxf::DxfVersion version{};
  if (!dxf::versionFromName(text, version)) return std::nullopt;
  if (std::find(std::begin(kSaveVersions), std::end(kSaveVersions), version) == std::end(kSaveVersions))
    return std::nullopt;
  return version;
}

bool confirmLosingChanges(InputSource& input, Console& console, DrawingDocument& document, bool& ended) {
  ended = false;
  if (!document.isModified()) return true;
  switch (askYesNo(input, console, "是否保存修改？", true)) {
    case Reply::kYes: return save(input, console, document, ended);
    case Reply::kNo: return true;
    case Reply::kCancel: say(console, kCancelledText); return false;
    case Reply::kEnded: ended = true; return false;
  }
  return false;
}

std::string helpText() {
  std::string out = "主机命令：\n";
  for (const HostCommand& c : kHostCommands) {
    std::string local = std::string_view(c.localName) == c.name ? "" : c.localName;
    out += "  " + padded(c.name, kHelpNameColumn) + padded(local, kHelpNameColumn) + c.summary + "\n";
  }
  AcEdCommandStack* stack = acedRegCmds;
  std::unique_ptr<AcEdCommandIterator> it(stack ? stack->iterator() : nullptr);
  bool first = true;
  for (; it && !it->done(); it->next()) {
    if (first) out += "模块命令（本地名  全局名  命令组）：\n";
    first = false;
    const AcEdCommand* c = it->command();
    out += "  " + padded(os::cp936ToUtf8(c->localName()), kHelpNameColumn) +
           padded(os::cp936ToUtf8(c->globalName()), kHelpNameColumn + 8) + os::cp936ToUtf8(it->commandGroup()) + "\n";
  }
  out += "输入命令名（本地名或全局名，不分大小写；全局名前可加“_”）后按回车。\n";
  return out;
}

HostCommandEnd runHostCommand(const HostCommand& command, InputSource& input, Console& console,
                              const PromptContext& context) {
  std::string_view name = command.name;
  if (name == "HELP") {
    console.beginPrompt();
    console.write(helpText());
    return HostCommandEnd::kDone;
  }
  DrawingDocument* document = context.document;
  if (name == "QUIT") {
    if (document == nullptr || context.savedAtEnd || !input.interactive()) return HostCommandEnd::kQuit;
    bool ended = false;
    if (confirmLosingChanges(input, console, *document, ended)) return HostCommandEnd::kQuit;
    return ended ? HostCommandEnd::kInputEnded : HostCommandEnd::kDone;
  }
  if (document == nullptr) {
    say(console, "没有打开的图形。");
    return HostCommandEnd::kDone;
  }
  if (name == "OPEN") return openAnother(input, console, *document);
  bool ended = false;
  if (name == "SAVE")
    save(input, console, *document, ended);
  else
    saveAsAsking(input, console, *document, true, ended);
  return ended ? HostCommandEnd::kInputEnded : HostCommandEnd::kDone;
}

}  // namespace contura::host
