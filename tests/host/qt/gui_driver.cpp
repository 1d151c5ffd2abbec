// The step driver of GUI runs and the person's actions it uses.
#include "gui_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <sstream>

#include "qt_frontend.h"
#include "session.h"

namespace guitest {
namespace {

// A GUI run that takes longer than this has lost its way (a wait nobody answers).
constexpr int kRunLimitMs = 180000;

const char* kindName(WaitKind kind) {
  switch (kind) {
    case WaitKind::kRequest: return "request";
    case WaitKind::kDialog: return "dialog";
    case WaitKind::kFileDialog: return "file dialog";
    case WaitKind::kMessageBox: return "message box";
  }
  return "?";
}

// Closes whatever modal window Qt has open (file dialogs, message boxes) after the window's
// input has ended.
void closeModalWindows() {
  for (int i = 0; i < 20; ++i) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && !qobject_cast<contura::qt::DialogMirror*>(dialog))
      dialog->done(QDialog::Rejected);
    else
      modal->hide();
    QApplication::processEvents();
  }
}

}  // namespace

GuiDriver& GuiDriver::then(WaitKind kind, std::string what, Step step) {
  m_steps.push_back({kind, std::move(what), std::move(step)});
  return *this;
}

void GuiDriver::abandon(const std::string& why) {
  m_run.failures.push_back(why);
  if (contura::qt::WindowUi* ui = contura::qt::QtFrontEnd::runningUi()) ui->endInput();
  closeModalWindows();
}

void GuiDriver::onWait(WaitKind kind) {
  if (m_next >= m_steps.size()) {
    abandon(std::string("the window waits (") + kindName(kind) + ") after the last step");
    return;
  }
  // A copy: a step may add further steps while it runs.
  Entry entry = m_steps[m_next++];
  if (entry.kind != kind) {
    abandon("step " + std::to_string(m_next) + " (" + entry.what + ") expects a " + kindName(entry.kind) +
            ", the window waits in a " + kindName(kind));
    return;
  }
  entry.step();
}

GuiRun GuiDriver::run(std::vector<std::string> args) {
  contura::qt::installQtFrontEnd();
  contura::qt::WaitHook previous = contura::qt::setWaitHook([this](WaitKind kind) { onWait(kind); });
  QTimer limit;
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, [this] { abandon("the run took too long"); });
  limit.start(kRunLimitMs);
  args.insert(args.begin(), "--gui");
  std::istringstream in;
  std::ostringstream out, err;
  m_run.exitCode = contura::host::runProgram(args, CONTURA_ARX, {in, out, err});
  m_run.err = err.str();
  m_run.transcript = contura::qt::QtFrontEnd::lastTranscript().toStdString();
  contura::qt::setWaitHook(std::move(previous));
  contura::host::setWindowFrontEnd(nullptr);
  if (m_next < m_steps.size()) m_run.failures.push_back("step " + std::to_string(m_next + 1) + " (" + m_steps[m_next].what + ") never ran");
  return m_run;
}

contura::qt::MainWindow& window() { return *contura::qt::QtFrontEnd::runningWindow(); }
contura::qt::WindowUi& ui() { return *contura::qt::QtFrontEnd::runningUi(); }
contura::qt::DialogMirror& topDialog() { return *ui().dialogs().back(); }

QWidget* control(int id) {
  QWidget* widget = topDialog().widgetOf(id);
  if (widget == nullptr) ADD_FAILURE() << "the dialog has no control " << id;
  return widget;
}

void typeCommand(const QString& line) {
  QLineEdit* input = window().commandPanel()->input();
  QTest::keyClicks(input, line);
  QTest::keyClick(input, Qt::Key_Return);
}

void clickCanvasAt(double x, double y) {
  contura::qt::Canvas* canvas = window().canvas();
  QPoint at = canvas->toScreen({x, y}).toPoint();
  QTest::mouseMove(canvas, at);
  QTest::mouseClick(canvas, Qt::LeftButton, {}, at);
}

void rightClickCanvas() {
  contura::qt::Canvas* canvas = window().canvas();
  QTest::mouseClick(canvas, Qt::RightButton, {}, canvas->rect().center());
}

void dragWindow(double x1, double y1, double x2, double y2) {
  contura::qt::Canvas* canvas = window().canvas();
  QPoint from = canvas->toScreen({x1, y1}).toPoint(), to = canvas->toScreen({x2, y2}).toPoint();
  QTest::mouseMove(canvas, from);
  QTest::mousePress(canvas, Qt::LeftButton, {}, from);
  QTest::mouseMove(canvas, (from + to) / 2);
  QTest::mouseMove(canvas, to);
  QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
}

void clickControl(int id) {
  if (QWidget* widget = control(id)) QTest::mouseClick(widget, Qt::LeftButton);
}

void typeInto(QWidget* widget, const QString& ascii) { QTest::keyClicks(widget, ascii); }

void commitText(QWidget* widget, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QApplication::sendEvent(widget, &event);
}

void chooseInFileDialog(const QString& path) {
  auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
  if (dialog == nullptr) {
    ADD_FAILURE() << "no file dialog is open";
    return;
  }
  auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
  if (name == nullptr) {
    ADD_FAILURE() << "the file dialog has no name field";
    return;
  }
  // The whole name at once: typed character by character, the dialog's completer would
  // pop up over the field and take the Enter.
  name->setText(path);
  QTest::keyClick(name, Qt::Key_Return);
}

void pressMessageBoxButton(const QString& text) {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box == nullptr) {
    ADD_FAILURE() << "no message box is open";
    return;
  }
  for (QAbstractButton* button : box->buttons())
    if (button->text() == text) {
      QTest::mouseClick(button, Qt::LeftButton);
      return;
    }
  ADD_FAILURE() << "the message box has no button " << text.toStdString();
}

}  // namespace guitest
