// The command line's output stream.
#include "console.h"

#include <contura/os/codepage.h>

namespace contura::host {
namespace {

// True when the last byte starts a double-byte character instead of finishing one. The text
// is walked from its start, since a trail byte may also lie in the lead-byte range.
bool endsWithDanglingLead(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    if (os::isLeadByte(static_cast<unsigned char>(text[i]))) {
      if (i + 1 == text.size()) return true;
      i += 2;
    } else {
      i += 1;
    }
  }
  return false;
}

}  // namespace

Console::Console(std::ostream& out) : m_out(out) {}

void Console::put(std::string_view utf8) {
  if (utf8.empty()) return;
  if (m_enterJustPressed && utf8.front() == '\n') utf8.remove_prefix(1);
  m_enterJustPressed = false;
  if (utf8.empty()) return;
  m_out << utf8;
  m_out.flush();
  m_atLineStart = utf8.back() == '\n';
}

void Console::write(std::string_view utf8) { put(utf8); }

void Console::writeModuleText(std::string_view cp936) {
  std::string bytes = m_heldLeadByte;
  bytes.append(cp936);
  m_heldLeadByte.clear();
  if (endsWithDanglingLead(bytes)) {
    m_heldLeadByte = bytes.back();
    bytes.pop_back();
  }
  put(os::cp936ToUtf8(bytes));
}

void Console::beginPrompt() {
  if (!m_atLineStart) put("\n");
  m_enterJustPressed = false;
}

void Console::lineEnteredByUser() {
  m_atLineStart = true;
  m_enterJustPressed = true;
}

void Console::finish() {
  if (!m_heldLeadByte.empty()) {
    std::string held;
    held.swap(m_heldLeadByte);
    put(os::cp936ToUtf8(held));
  }
  if (!m_atLineStart) put("\n");
}

}  // namespace contura::host
