// Where the editor's requests are answered: points, entity picks, selections and drags
// each read answer lines from the input backend the host program installs (a script, the
// terminal, a window that turns mouse picks into the same lines). The editor itself
// understands the lines:
//   point     x,y  x,y,z  @dx,dy[,dz] (relative to the base point, else the last point)
//             empty line (none)  *cancel*
//   pick      x,y (the nearest entity within the pick box)  h HANDLE  *cancel*
//   selection lines that add to the set, ended by an empty line: all, w x1,y1 x2,y2
//             (window), c x1,y1 x2,y2 (crossing), l (last), h HANDLE..., x,y (pick); *cancel*
//   drag      the final cursor point (as a point)  *cancel*
//   keyword   a keyword armed by acedInitGet (abbreviation, whole word or a long enough
//             prefix, any letter case); also accepted by points when armed  *cancel*
//   string    the text (the whole line, or its first word; see acedGetString)  *cancel*
// An answer that does not fit is refused with the host's message and the request is asked
// again. Everything here runs on the UI thread; texts are code page 936 bytes.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace contura::ed {

enum class RequestKind { kPoint, kEntity, kSelection, kDrag, kKeyword, kString };

struct InputRequest {
  RequestKind kind = RequestKind::kPoint;
  std::string prompt;  // as the module gave it (may be empty, may start with a line feed)
  std::optional<std::array<double, 3>> base;  // the rubber band's base point, when there is one
  // A drag: the handles (upper-case hexadecimal) of the entities that follow the cursor; a
  // window backend draws them moved by the cursor's offset from the last point.
  std::vector<std::string> dragged = {};
  // A selection being built: the handles of the entities chosen so far, which a window
  // backend draws highlighted while the person adds to them.
  std::vector<std::string> highlighted = {};
  // The keywords acedInitGet armed for this request, as the person types them (the local
  // names), so a backend can offer them.
  std::vector<std::string> keywords = {};
};

struct InputLine {
  bool ended = false;  // no more input: the requester cancels
  std::string text;    // the answer (no line end)
  static InputLine line(std::string text) { return {false, std::move(text)}; }
  static InputLine end() { return {true, {}}; }
};

class InputBackend {
public:
  virtual ~InputBackend() = default;
  // Shows the request's prompt and returns the next answer line.
  virtual InputLine readLine(const InputRequest& request) = 0;
  // Shows one of the editor's own messages ("点无效。", "找到 3 个", "*取消*"); it begins with
  // a line feed, as command-line messages do.
  virtual void message(std::string_view text) = 0;
};

// Installs a backend (not owned) and returns the one it replaces. With none installed every
// request is cancelled.
InputBackend* setInputBackend(InputBackend* backend);

class ScopedInputBackend {
public:
  explicit ScopedInputBackend(InputBackend& backend) : m_previous(setInputBackend(&backend)) {}
  ~ScopedInputBackend() { setInputBackend(m_previous); }
  ScopedInputBackend(const ScopedInputBackend&) = delete;
  ScopedInputBackend& operator=(const ScopedInputBackend&) = delete;

private:
  InputBackend* m_previous;
};

// The editor's messages.
inline constexpr std::string_view kInvalidPoint = "\n点无效。";
inline constexpr std::string_view kInvalidSelection = "\n*无效选择*";
inline constexpr std::string_view kCancelled = "\n*取消*";
inline constexpr std::string_view kPointOrKeyword = "\n需要点或选项关键字。";
inline constexpr std::string_view kInvalidKeyword = "\n无效选项关键字。";

// Half the side of the square within which a picked point finds an entity, in drawing
// units (default 5). Non-positive values are ignored.
void setPickBox(double halfSide);
double pickBox();

// Answer lines queued ahead of the backend (acedCommand's arguments); they are taken before
// the backend is asked, and echoed through message().
void queueAnswer(std::string line);

// --- Parsing of answer lines (exposed for tests and for backends that check lines) -------

// "x,y" or "x,y,z" (blanks around the numbers allowed); relative "@dx,dy[,dz]" is added to
// `from`. Nothing for anything else.
std::optional<std::array<double, 3>> parsePoint(std::string_view text, const std::array<double, 3>& from);

// One line of a selection.
struct SelectionLine {
  enum Kind { kEnd, kCancel, kAll, kWindow, kCrossing, kLast, kHandles, kPick, kInvalid } kind = kInvalid;
  std::array<double, 3> p1{}, p2{};  // pick point; window corners
  std::vector<std::string> handles;  // upper-case hexadecimal
};
SelectionLine parseSelectionLine(std::string_view text, const std::array<double, 3>& lastPoint);

// One keyword of an acedInitGet list: what the person types and what the request reports.
struct Keyword {
  std::string local;
  std::string global;
};
// The keywords of a list ("Arc Close Undo", or "圆弧 闭合 _ Arc Close"); nothing when the
// halves around "_" differ in length. An empty list gives no keywords.
std::optional<std::vector<Keyword>> parseKeywordList(std::string_view list);
// The keyword an answer names (the rules are acedInitGet's), or null.
const Keyword* matchKeyword(std::string_view answer, const std::vector<Keyword>& keywords);

}  // namespace contura::ed
