// The command line of the window: the transcript above, the prompt and an input field with
// the history of what was entered below.
#pragma once
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>

#include <ostream>
#include <streambuf>
#include <string>

namespace contura::qt {

class CommandPanel : public QWidget {
  Q_OBJECT

public:
  explicit CommandPanel(QWidget* parent = nullptr);

  // Appends UTF-8 text to the transcript as it comes (line feeds start new lines).
  void appendText(const QString& text);
  QString transcript() const { return m_transcript->toPlainText(); }
  void setPrompt(const QString& prompt);
  QString prompt() const { return m_prompt->text(); }
  QLineEdit* input() const { return m_input; }
  const QStringList& history() const { return m_history; }

signals:
  // Enter: the text typed (may be empty).
  void lineEntered(const QString& line);
  // Esc in the input field.
  void cancelled();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void recall(int step);
  QPlainTextEdit* m_transcript;
  QLabel* m_prompt;
  QLineEdit* m_input;
  QStringList m_history;
  int m_historyPos = 0;  // m_history.size(): the line being typed
  QString m_typing;      // what was typed before stepping into the history
};

// An output stream whose text goes to the transcript (the console of the window). Bytes of
// a UTF-8 character split between two writes wait for the rest.
class TranscriptStream : public std::ostream {
public:
  explicit TranscriptStream(CommandPanel& panel);

private:
  class Buffer : public std::streambuf {
  public:
    explicit Buffer(CommandPanel& panel) : m_panel(panel) {}

  protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;

  private:
    void put(std::string_view bytes);
    CommandPanel& m_panel;
    std::string m_pending;
  };
  Buffer m_buffer;
};

}  // namespace contura::qt
