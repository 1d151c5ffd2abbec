// Requests, dialogs, file dialogs and message boxes answered in the window.
#include "window_ui.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <contura/ed/editor_state.h>
#include <dbapserv.h>
#include <dbmain.h>

#include "dialog_font.h"
#include "dialog_mirror.h"
#include "text_codec.h"
#include "wait_hook.h"

namespace contura::qt {
namespace {

host::RequestKind hostKind(ed::RequestKind kind) {
  switch (kind) {
    case ed::RequestKind::kPoint: return host::RequestKind::Point;
    case ed::RequestKind::kEntity: return host::RequestKind::Entity;
    case ed::RequestKind::kSelection: return host::RequestKind::Selection;
    case ed::RequestKind::kDrag: return host::RequestKind::Drag;
    case ed::RequestKind::kKeyword:
    case ed::RequestKind::kString: return host::RequestKind::Text;
  }
  return host::RequestKind::Point;
}

Canvas::Mode canvasMode(host::RequestKind kind) {
  switch (kind) {
    case host::RequestKind::Point: return Canvas::Mode::kPoint;
    case host::RequestKind::Entity: return Canvas::Mode::kEntity;
    case host::RequestKind::Selection: return Canvas::Mode::kSelection;
    case host::RequestKind::Drag: return Canvas::Mode::kDrag;
    default: return Canvas::Mode::kIdle;
  }
}

struct ButtonName {
  int id;
  const char* text;
  QMessageBox::ButtonRole role;
};

constexpr ButtonName kButtons[] = {
    {IDOK, "确定", QMessageBox::AcceptRole},     {IDCANCEL, "取消", QMessageBox::RejectRole},
    {IDYES, "是", QMessageBox::YesRole},         {IDNO, "否", QMessageBox::NoRole},
    {IDRETRY, "重试", QMessageBox::AcceptRole},  {IDIGNORE, "忽略", QMessageBox::AcceptRole},
    {IDABORT, "中止", QMessageBox::RejectRole}};

QMessageBox::Icon iconOf(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

}  // namespace

WindowUi::WindowUi(MainWindow& window, host::Console& console) : m_window(window), m_console(console) {
  QObject::connect(window.commandPanel(), &CommandPanel::lineEntered, &window, [this](const QString& line) { submit(line); });
  QObject::connect(window.commandPanel(), &CommandPanel::cancelled, &window, [this] {
    if (m_current && m_current->request.kind != host::RequestKind::Command) submit("*cancel*");
  });
  QObject::connect(window.canvas(), &Canvas::answered, &window, [this](const QString& line) {
    if (m_current && m_current->mode != Canvas::Mode::kIdle) submit(line);
  });
  QObject::connect(&window, &MainWindow::commandChosen, &window, [this](const QString& name) {
    if (m_current && m_current->request.kind == host::RequestKind::Command) submit(name);
  });
  QObject::connect(&window, &MainWindow::closed, &window, [this] { endInput(); });
}

WindowUi::~WindowUi() = default;

void WindowUi::show(const std::string& utf8) {
  std::string_view text = utf8;
  while (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (text.empty()) return;
  m_console.beginPrompt();
  m_console.write(text);
}

QWidget* WindowUi::topWindow() const {
  for (auto it = m_dialogs.rbegin(); it != m_dialogs.rend(); ++it)
    if ((*it)->isVisible()) return *it;
  return &m_window;
}

void WindowUi::submit(const QString& line) {
  if (!m_current) return;
  m_answer = line;
  if (m_loop) m_loop->quit();
}

void WindowUi::endInput() {
  m_ended = true;
  if (m_loop) m_loop->quit();
  for (DialogMirror* dialog : m_dialogs) dialog->quit();
}

void WindowUi::present(const Pending& pending) {
  m_window.canvas()->setRequest(pending.mode, pending.base, pending.dragged, pending.dragFrom, pending.highlighted);
  m_window.commandPanel()->setPrompt(QString::fromStdString(pending.request.prompt));
  m_window.setAtCommandPrompt(pending.request.kind == host::RequestKind::Command);
}

host::Answer WindowUi::wait(const host::Request& request, Canvas::Mode mode, std::optional<QPointF> base,
                            std::vector<std::string> dragged, std::vector<std::string> highlighted) {
  if (m_ended) return host::Answer::end();
  // A further line of a selection that has chosen something: only the editor's selection ran
  // since the last request, so the drawing is as the canvas shows it.
  bool sameDrawing = request.kind == host::RequestKind::Selection && !highlighted.empty();
  if (!sameDrawing) m_window.refresh();
  for (DialogMirror* dialog : m_dialogs) dialog->sync();  // a dialog hidden for a pick disappears
  auto last = ed::lastPoint();
  // A request made while another waits (code run from a wait's loop) answers first; the
  // other one is shown again after.
  std::optional<Pending> outer = std::move(m_current);
  std::optional<QString> outerAnswer = std::move(m_answer);
  m_current = Pending{request, mode, base, std::move(dragged), QPointF(last[0], last[1]), std::move(highlighted)};
  present(*m_current);
  m_answer.reset();
  QEventLoop loop;
  QEventLoop* outerLoop = m_loop;
  m_loop = &loop;
  announceWait(WaitKind::kRequest);
  while (!m_answer && !m_ended) loop.exec();
  m_loop = outerLoop;
  std::optional<QString> answer = std::move(m_answer);
  m_current = std::move(outer);
  m_answer = std::move(outerAnswer);
  if (m_current) {
    present(*m_current);
  } else {
    m_window.setAtCommandPrompt(false);
    m_window.canvas()->setRequest(Canvas::Mode::kIdle);
    m_window.commandPanel()->setPrompt(QString());
  }
  if (!answer) return host::Answer::end();
  std::string text = answer->toStdString();
  if (request.kind == host::RequestKind::Entity || request.kind == host::RequestKind::Selection)
    ed::setPickBox(m_window.canvas()->pickBoxPixels() * m_window.canvas()->worldPerPixel());
  // The transcript reads as a script's would: the prompt, then the answer.
  m_console.beginPrompt();
  m_console.write(request.prompt);
  m_console.write(text);
  return host::Answer::line(std::move(text));
}

host::Answer WindowUi::answer(const host::Request& request) { return wait(request, canvasMode(request.kind)); }

ed::InputLine WindowUi::readLine(const ed::InputRequest& request) {
  host::RequestKind kind = hostKind(request.kind);
  std::string_view prompt = request.prompt;
  while (!prompt.empty() && prompt.front() == '\n') prompt.remove_prefix(1);
  host::Request hostRequest{kind, fromCp936(prompt).toStdString()};
  std::optional<QPointF> base;
  if (request.base) base = QPointF((*request.base)[0], (*request.base)[1]);
  host::Answer answer = wait(hostRequest, canvasMode(kind), base, request.dragged, request.highlighted);
  if (answer.ended()) return ed::InputLine::end();
  return ed::InputLine::line(toCp936(QString::fromStdString(answer.text)));
}

void WindowUi::message(std::string_view text) { m_console.writeModuleText(text); }

void WindowUi::runModal(afx::DialogSession& session) {
  if (m_ended) return;
  DialogMirror mirror(session, topWindow());
  // What an action drew into the drawing shows at once: the canvas is drawn again when the
  // drawing got new objects.
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  Adesk::UInt64 seed = db ? db->handseed().value() : 0;
  mirror.setAfterAction([this, &seed] {
    AcDbDatabase* now = acdbHostApplicationServices()->workingDatabase();
    if (!now || now->handseed().value() == seed) return;
    seed = now->handseed().value();
    m_window.refresh();
  });
  m_dialogs.push_back(&mirror);
  announceWait(WaitKind::kDialog);
  mirror.run([this] { return m_ended; });
  m_dialogs.pop_back();
  if (!m_ended) m_window.refresh();  // what the dialog drew into the drawing
}

std::optional<std::string> WindowUi::chooseFile(const afx::FileDialogRequest& request) {
  if (m_ended) return std::nullopt;
  QString title = fromCp936(request.title);
  QStringList filters;
  for (const auto& [description, patterns] : request.filters) {
    QString list = fromCp936(patterns);
    list.replace(';', ' ');
    filters << fromCp936(description) + " (" + list + ")";
  }
  QFileDialog dialog(topWindow(), title);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // The module's dialog class asks about overwriting and refuses missing files itself.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (!request.defaultExt.empty()) dialog.setDefaultSuffix(fromCp936(request.defaultExt));
  if (!request.initialName.empty()) dialog.selectFile(fromCp936(request.initialName));
  announceWait(WaitKind::kFileDialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return toCp936(dialog.selectedFiles().front());
}

int WindowUi::messageBox(const afx::MessageBoxRequest& request) {
  QString caption = fromCp936(request.caption), text = fromCp936(request.text);
  show("[" + caption.toStdString() + "] " + text.toStdString() + "\n");
  std::vector<int> ids = afx::messageBoxButtons(request.type);
  if (m_ended) return ids.back();
  QMessageBox box(iconOf(request.type), caption, text, QMessageBox::NoButton, topWindow());
  box.setFont(dialogFont());
  std::vector<std::pair<QAbstractButton*, int>> buttons;
  for (int id : ids)
    for (const ButtonName& b : kButtons)
      if (b.id == id) buttons.push_back({box.addButton(b.text, b.role), id});
  // Esc and the close box give Cancel, else No, else the only button.
  for (int escape : {IDCANCEL, IDNO, IDOK})
    for (auto [button, id] : buttons)
      if (id == escape && box.escapeButton() == nullptr) box.setEscapeButton(button);
  announceWait(WaitKind::kMessageBox);
  box.exec();
  for (auto [button, id] : buttons)
    if (box.clickedButton() == button) return id;
  return ids.back();
}

}  // namespace contura::qt
