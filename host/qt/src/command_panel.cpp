// The command line panel: transcript, prompt, input field and its history.
#include "command_panel.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScrollBar>
#include <QVBoxLayout>

#include "dialog_font.h"

namespace contura::qt {
namespace {

// Lines the transcript keeps; older ones scroll away for good.
constexpr int kTranscriptLines = 5000;
constexpr int kTranscriptRows = 6;
// The command line's text is a little larger than the dialogs'.
constexpr int kCommandLineFontPixels = 13;

// The length of the longest prefix of `bytes` that ends on a whole UTF-8 character.
size_t wholeCharacters(std::string_view bytes) {
  size_t n = bytes.size();
  for (size_t back = 1; back <= 3 && back <= n; ++back) {
    auto c = static_cast<unsigned char>(bytes[n - back]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return need > back ? n - back : n;
  }
  return n;
}

}  // namespace

CommandPanel::CommandPanel(QWidget* parent) : QWidget(parent) {
  m_transcript = new QPlainTextEdit(this);
  m_transcript->setReadOnly(true);
  m_transcript->setMaximumBlockCount(kTranscriptLines);
  m_transcript->setFocusPolicy(Qt::ClickFocus);
  m_prompt = new QLabel(this);
  m_input = new QLineEdit(this);
  m_input->installEventFilter(this);
  QFont font = dialogFont();
  font.setPixelSize(kCommandLineFontPixels);
  m_transcript->setFont(font);
  m_prompt->setFont(font);
  m_input->setFont(font);
  m_transcript->setMinimumHeight(QFontMetrics(font).lineSpacing() * kTranscriptRows);
  auto* line = new QHBoxLayout;
  line->addWidget(m_prompt);
  line->addWidget(m_input, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(m_transcript, 1);
  layout->addLayout(line);
  connect(m_input, &QLineEdit::returnPressed, this, [this] {
    QString text = m_input->text();
    if (!text.isEmpty() && (m_history.isEmpty() || m_history.back() != text)) m_history.push_back(text);
    m_historyPos = static_cast<int>(m_history.size());
    m_typing.clear();
    m_input->clear();
    emit lineEntered(text);
  });
}

void CommandPanel::appendText(const QString& text) {
  QTextCursor cursor = m_transcript->textCursor();
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(text);
  m_transcript->setTextCursor(cursor);
  m_transcript->verticalScrollBar()->setValue(m_transcript->verticalScrollBar()->maximum());
}

void CommandPanel::setPrompt(const QString& prompt) { m_prompt->setText(prompt); }

void CommandPanel::recall(int step) {
  int next = std::clamp(m_historyPos + step, 0, static_cast<int>(m_history.size()));
  if (next == m_historyPos) return;
  if (m_historyPos == m_history.size()) m_typing = m_input->text();
  m_historyPos = next;
  m_input->setText(m_historyPos == m_history.size() ? m_typing : m_history[m_historyPos]);
}

bool CommandPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_input && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
      case Qt::Key_Up: recall(-1); return true;
      case Qt::Key_Down: recall(+1); return true;
      case Qt::Key_Escape:
        m_input->clear();
        emit cancelled();
        return true;
      default: break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

TranscriptStream::TranscriptStream(CommandPanel& panel) : std::ostream(nullptr), m_buffer(panel) { rdbuf(&m_buffer); }

TranscriptStream::Buffer::int_type TranscriptStream::Buffer::overflow(int_type ch) {
  if (ch != traits_type::eof()) {
    char c = static_cast<char>(ch);
    put(std::string_view(&c, 1));
  }
  return ch;
}

std::streamsize TranscriptStream::Buffer::xsputn(const char* s, std::streamsize n) {
  put(std::string_view(s, static_cast<size_t>(n)));
  return n;
}

void TranscriptStream::Buffer::put(std::string_view bytes) {
  m_pending += bytes;
  size_t whole = wholeCharacters(m_pending);
  if (whole == 0) return;
  m_panel.appendText(QString::fromUtf8(m_pending.data(), static_cast<qsizetype>(whole)));
  m_pending.erase(0, whole);
}

}  // namespace contura::qt
