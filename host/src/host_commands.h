// The host program's own commands at the command prompt, beside those modules register:
//   HELP (?)  lists every command          OPEN    opens another drawing
//   SAVE      saves to the drawing's file  SAVEAS  saves under a new name and DXF version
//   QUIT      ends the session
// OPEN asks about unsaved changes first, in a script too (a script answers as a person
// would). QUIT asks only at the terminal, and not when --save writes the drawing at the end;
// a script that quits or ends with changes unsaved is told so by the session instead.
// SAVE writes the version the session saves in (--dxf-version, R2004 unless given, or the one
// SAVEAS last chose), as the window does, also for a drawing read from a file of another one.
// A file name with a drive letter ("E:\plans\a") goes through the drive map (--drive) as the
// module's file dialogs do; any other is a Linux path.
// A name typed for a file that has no extension gets ".dxf", as the window's file dialog adds.
// Saving over another existing file asks first.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console.h"
#include "drawing_file.h"
#include "input.h"

namespace contura::host {

// What the host's commands work on.
struct PromptContext {
  DrawingDocument* document = nullptr;  // none: SAVE, SAVEAS and OPEN say there is no drawing
  bool savedAtEnd = false;              // --save writes the drawing when the session ends
};

struct HostCommand {
  const char* name;       // global name
  const char* localName;  // the other name it is typed by
  const char* summary;    // one line for HELP (UTF-8)
};

inline constexpr HostCommand kHostCommands[] = {
    {"HELP", "?", "列出所有命令"},
    {"OPEN", "OPEN", "打开另一个图形（先询问是否保存修改）"},
    {"SAVE", "SAVE", "保存图形到它自己的文件（新图形询问文件名）"},
    {"SAVEAS", "SAVEAS", "以新的文件名和 DXF 版本保存图形"},
    {"QUIT", "QUIT", "结束会话（图形有未保存的修改时先询问）"},
};

// The host command typed as `name` (either name, letter case ignored); null when none.
const HostCommand* findHostCommand(std::string_view name);

enum class HostCommandEnd {
  kDone,  // back to the command prompt
  kQuit,  // QUIT: end the session
  kInputEnded,
};

// Runs a host command.
HostCommandEnd runHostCommand(const HostCommand& command, InputSource& input, Console& console,
                              const PromptContext& context);

// The text of HELP (UTF-8 lines): the host's commands, then every registered command with its
// local name and its group.
std::string helpText();

// Whether to go on with something that would lose the drawing's unsaved changes: asks
// 是否保存修改？ (yes saves first, no drops them, cancel stays). True to go on; no question when
// nothing changed. `ended` is set when the input ended while asking (then false).
bool confirmLosingChanges(InputSource& input, Console& console, DrawingDocument& document, bool& ended);

// The DXF version named by `text` ("R2004", "r12", "2018"); none for another text.
std::optional<dxf::DxfVersion> saveVersionNamed(std::string_view text);

}  // namespace contura::host
