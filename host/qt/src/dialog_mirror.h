// A running module dialog as a Qt dialog. The module's dialog (its windows, their texts,
// rows, states and rectangles, laid out from the template in dialog units) stays the model:
// each control becomes a widget at the same pixel rectangle, a person's clicks, keys and
// typed characters go to the module's windows as the messages its message map dispatches,
// and after every action the widgets show the windows' state again (texts, rows, checks,
// focus, visibility - so a dialog that hides itself for a pick on the canvas disappears and
// comes back).
#pragma once
#include <QDialog>
#include <QEventLoop>

#include <contura/afx/ui_backend.h>

#include <functional>
#include <vector>

namespace contura::qt {

class DialogMirror : public QDialog {
  Q_OBJECT

public:
  enum class Kind { kPushButton, kCheckBox, kRadio, kGroup, kStatic, kEdit, kMultiEdit, kList, kCombo, kPicture, kOther };
  struct Control {
    HWND handle = nullptr;
    QWidget* widget = nullptr;
    Kind kind = Kind::kOther;
    QRect rect;  // the module window's rectangle in the dialog, pixels
  };

  DialogMirror(afx::DialogSession& session, QWidget* parent);
  ~DialogMirror() override;

  afx::DialogSession& session() const { return m_session; }
  // Shows the dialog and handles a person's actions until the module's dialog ends or
  // `stop()` turns true (checked whenever quit() was called).
  void run(const std::function<bool()>& stop);
  // Called after every action that did not end the dialog (the window redraws the drawing).
  void setAfterAction(std::function<void()> afterAction) { m_afterAction = std::move(afterAction); }
  // Leaves run() to check `stop` again.
  void quit() { m_loop.quit(); }
  // Shows the module windows' state: texts, rows, checks, focus, enabled and visible.
  void sync();

  const std::vector<Control>& controls() const { return m_controls; }
  // The widget of control `id` (the first one with that id); null when none.
  QWidget* widgetOf(int id) const;
  const Control* controlOf(const QWidget* widget) const;
  // The module dialog's client size, pixels.
  QSize moduleSize() const;

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void build();
  // Puts a control's widget at its module window's rectangle (a combo box: its field).
  void place(Control& control);
  QWidget* makeWidget(Control& control, DWORD style, const QString& text);
  // Runs one action on the module's dialog, then shows the result.
  void act(const std::function<afx::ActionStatus()>& action);
  void syncControl(Control& control);
  // A push button's caption as shown (a multi-line one broken to its width).
  QString buttonText(const Control& control, DWORD style, const QString& text) const;
  void syncEdit(Control& control);
  void syncList(Control& control);
  void syncCombo(Control& control);
  bool editKey(Control& control, QKeyEvent* key);
  void typeText(Control& control, const QString& text);
  // The widget's selection given to the module's edit (or combo field) before a key.
  void sendSelection(Control& control);
  bool mouseToModule(Control& control, QEvent* event);
  bool listMouse(Control& control, QMouseEvent* event);
  Control* controlOfWatched(QObject* watched);

  afx::DialogSession& m_session;
  std::vector<Control> m_controls;
  QEventLoop m_loop;
  std::function<void()> m_afterAction;
  bool m_syncing = false;
  bool m_placed = false;
};

}  // namespace contura::qt
