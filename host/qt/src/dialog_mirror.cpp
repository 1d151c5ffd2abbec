// The widgets of a running module dialog: made from its windows, fed back into them, and
// refreshed from them after every action.
#include "dialog_mirror.h"

#include <Draw2DWindow.h>
#include <acuiComboBox.h>
#include <afxcmn.h>
#include <dbcolor.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "dialog_font.h"
#include "picture_painter.h"
#include "text_codec.h"
#include "wait_hook.h"

namespace contura::qt {
namespace {

// A combo box shows its edit field only; the rest of its template rectangle is the room its
// list drops into. The field is as high as the templates' edit boxes (14 dialog units).
constexpr int kComboFieldDialogUnits = 14;
constexpr int kSwatchPixels = 12;
// Room a push button keeps free on each side of its caption.
constexpr int kButtonTextMarginPixels = 3;

std::string windowText(HWND h) {
  CString text;
  if (CWnd* w = CWnd::FromHandle(h)) w->GetWindowText(text);
  return std::string(text.GetString(), static_cast<size_t>(text.GetLength()));
}

std::string classOf(HWND h) {
  char name[128] = {};
  int n = GetClassName(h, name, sizeof name);
  return std::string(name, n > 0 ? static_cast<size_t>(n) : 0);
}

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

bool isRichEditClass(std::string_view c) {
  for (const char* name : {"RichEdit20A", "RichEdit20W", "RICHEDIT50W", "RichEdit"})
    if (sameName(c, name)) return true;
  return false;
}

QRect rectInDialog(HWND control, HWND dialog) {
  RECT r{}, d{};
  GetWindowRect(control, &r);
  GetWindowRect(dialog, &d);
  return QRect(r.left - d.left, r.top - d.top, r.right - r.left, r.bottom - r.top);
}

std::string rowText(HWND h, bool combo, int row) {
  LRESULT n = SendMessage(h, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
  if (n < 0) return {};
  std::string text(static_cast<size_t>(n) + 1, '\0');
  SendMessage(h, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(n));
  return text;
}

QStringList rowsOf(HWND h, bool combo) {
  QStringList rows;
  int n = static_cast<int>(SendMessage(h, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) rows << fromCp936(rowText(h, combo, i));
  return rows;
}

// A caption without its '&' markers ("&&" is one '&').
QString withoutMnemonics(const QString& caption) {
  QString out;
  for (int i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') out += caption[i];
    else if (i + 1 < caption.size() && caption[i + 1] == '&') out += caption[++i];
  }
  return out;
}

// A caption broken into lines that fit `width` (a multi-line button's; Chinese breaks between
// any two characters, as Windows breaks it).
QString wrapped(const QString& text, const QFont& font, int width) {
  QFontMetrics metrics(font);
  QString out, line;
  for (QChar c : text) {
    if (!line.isEmpty() && metrics.horizontalAdvance(line + c) > width) {
      out += line + '\n';
      line.clear();
    }
    line += c;
  }
  return out + line;
}

// The selection of an edit or combo field, byte offsets.
std::pair<int, int> moduleSelection(HWND h, bool combo) {
  DWORD start = 0, end = 0;
  if (combo) {
    LRESULT sel = SendMessage(h, CB_GETEDITSEL, 0, 0);
    start = LOWORD(sel);
    end = HIWORD(sel);
  } else {
    SendMessage(h, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  }
  return {static_cast<int>(start), static_cast<int>(end)};
}

DialogMirror::Kind kindOf(const std::string& cls, DWORD style) {
  if (sameName(cls, "Button")) {
    switch (style & BS_TYPEMASK) {
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_3STATE:
      case BS_AUTO3STATE: return DialogMirror::Kind::kCheckBox;
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON: return DialogMirror::Kind::kRadio;
      case BS_GROUPBOX: return DialogMirror::Kind::kGroup;
      default: return DialogMirror::Kind::kPushButton;
    }
  }
  if (sameName(cls, "Static")) return DialogMirror::Kind::kStatic;
  if (isRichEditClass(cls) || sameName(cls, "Edit"))
    return (style & ES_MULTILINE) ? DialogMirror::Kind::kMultiEdit : DialogMirror::Kind::kEdit;
  if (sameName(cls, "ListBox")) return DialogMirror::Kind::kList;
  if (sameName(cls, "ComboBox")) return DialogMirror::Kind::kCombo;
  if (sameName(cls, "Draw2DCtrl")) return DialogMirror::Kind::kPicture;
  return DialogMirror::Kind::kOther;
}

// A caption made safe as part of a file name: path separators and the characters Windows
// refuses in names become '_'.
QString fileNamePart(const QString& caption) {
  QString out;
  for (QChar c : caption) out += (c.unicode() < 0x20 || QString("\\/:*?\"<>|").contains(c)) ? QChar('_') : c;
  return out.isEmpty() ? QString("_") : out;
}

// A control the module paints itself: the view library's picture, or a frame. With a preview
// folder set (--preview-dir), each new picture is also written there as PNG, beside the SVG
// the view library writes: "<dialog caption>-<control id>.png".
class PictureWidget : public QWidget {
public:
  PictureWidget(HWND handle, QString className, QWidget* parent)
      : QWidget(parent), m_handle(handle), m_className(std::move(className)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

  void exportPicture(const CDraw2DWindow& view) {
    CString dir = Draw2DGetPreviewDirectory();
    const std::string& picture = view.GetLastPicture();
    if (dir.IsEmpty() || picture.empty() || picture == m_exported) return;
    QString caption = window() ? window()->windowTitle() : QString();
    QString path = fromCp936(dir.GetString()) + "/" + fileNamePart(caption) + "-" +
                   QString::number(GetDlgCtrlID(m_handle)) + ".png";
    QString error;
    if (writePicturePng(path, view.GetDisplayList(), view.GetViewport(), width(), height(), view.PictureOptions(), error))
      m_exported = picture;  // a picture that cannot be written is only a convenience lost
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    CDraw2DWindow* view = IsWindow(m_handle) ? Draw2DWindowFromHandle(m_handle) : nullptr;
    if (view == nullptr) {
      painter.fillRect(rect(), Qt::white);
      painter.setPen(Qt::gray);
      painter.drawRect(rect().adjusted(0, 0, -1, -1));
      painter.drawText(rect(), Qt::AlignCenter, m_className);
      return;
    }
    QtPictureSink sink(painter);
    vistrel::paintPicture(view->GetDisplayList(), view->GetViewport(), width(), height(), view->PictureOptions(), sink);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::gray);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    exportPicture(*view);
  }

private:
  HWND m_handle;
  QString m_className;
  std::string m_exported;  // the picture (as the view library last painted it) last written
};

QIcon colorSwatch(int colorIndex) {
  QPixmap pixmap(kSwatchPixels, kSwatchPixels);
  if (colorIndex >= 1 && colorIndex <= 255) {
    Adesk::UInt32 rgb = AcCmEntityColor::lookUpRGB(static_cast<Adesk::UInt8>(colorIndex));
    pixmap.fill(QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF));
  } else {
    pixmap.fill(Qt::transparent);  // by block, by layer: no colour of their own
  }
  QPainter painter(&pixmap);
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, kSwatchPixels - 1, kSwatchPixels - 1);
  return QIcon(pixmap);
}

}  // namespace

DialogMirror::DialogMirror(afx::DialogSession& session, QWidget* parent) : QDialog(parent), m_session(session) {
  setFont(dialogFont());
  setWindowModality(Qt::ApplicationModal);
  setSizeGripEnabled(false);
  build();
  sync();
}

DialogMirror::~DialogMirror() = default;

QSize DialogMirror::moduleSize() const {
  RECT r{};
  GetClientRect(m_session.dialog(), &r);
  return QSize(r.right - r.left, r.bottom - r.top);
}

void DialogMirror::place(Control& c) {
  QRect shown = c.rect;
  if (c.kind == Kind::kCombo) shown.setHeight(std::min(shown.height(), afx::dialogUnitsToPixelsY(kComboFieldDialogUnits)));
  // A picture is painted at exactly the module window's size: its view is fitted to that.
  if (auto* picture = dynamic_cast<PictureWidget*>(c.widget)) picture->setFixedSize(shown.size());
  c.widget->setGeometry(shown);
}

void DialogMirror::build() {
  HWND dialog = m_session.dialog();
  DWORD dialogStyle = static_cast<DWORD>(GetWindowLong(dialog, GWL_STYLE));
  if (dialogStyle & WS_THICKFRAME) {
    resize(moduleSize());
  } else if (dialogStyle & WS_MAXIMIZEBOX) {
    // A modal frame with a maximise box: no sizing border, but it can be maximised and
    // restored; it never shrinks below its template.
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setMinimumSize(moduleSize());
    resize(moduleSize());
  } else {
    setFixedSize(moduleSize());
  }
  for (HWND h : m_session.controls()) {
    Control control;
    control.handle = h;
    std::string cls = classOf(h);
    DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
    control.kind = kindOf(cls, style);
    control.rect = rectInDialog(h, dialog);
    QWidget* widget = makeWidget(control, style, fromCp936(windowText(h)));
    if (widget == nullptr) continue;
    control.widget = widget;
    place(control);
    widget->setObjectName(QString("control-%1").arg(GetDlgCtrlID(h)));
    m_controls.push_back(control);
  }
  // Group boxes are frames behind the controls they hold.
  for (Control& c : m_controls)
    if (c.kind == Kind::kGroup) c.widget->lower();
  QWidget* previous = nullptr;
  for (Control& c : m_controls) {
    if (c.widget->focusPolicy() == Qt::NoFocus) continue;
    if (previous) setTabOrder(previous, c.widget);
    previous = c.widget;
  }
}

QWidget* DialogMirror::makeWidget(Control& control, DWORD style, const QString& text) {
  HWND h = control.handle;
  switch (control.kind) {
    case Kind::kPushButton: {
      auto* button = new QPushButton(buttonText(control, style, text), this);
      button->setAutoDefault(false);
      button->setDefault((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
      connect(button, &QPushButton::clicked, this, [this, h] { act([this, h] { return m_session.click(h); }); });
      return button;
    }
    case Kind::kCheckBox: {
      auto* box = new QCheckBox(text, this);
      box->setTristate((style & BS_TYPEMASK) == BS_3STATE || (style & BS_TYPEMASK) == BS_AUTO3STATE);
      connect(box, &QCheckBox::clicked, this, [this, h] { act([this, h] { return m_session.click(h); }); });
      return box;
    }
    case Kind::kRadio: {
      auto* radio = new QRadioButton(text, this);
      radio->setAutoExclusive(false);  // the module's buttons decide
      connect(radio, &QRadioButton::clicked, this, [this, h] { act([this, h] { return m_session.click(h); }); });
      return radio;
    }
    case Kind::kGroup: {
      auto* group = new QGroupBox(withoutMnemonics(text), this);
      group->setAttribute(Qt::WA_TransparentForMouseEvents);
      group->setFocusPolicy(Qt::NoFocus);
      return group;
    }
    case Kind::kStatic: {
      auto* label = new QLabel(withoutMnemonics(text), this);
      DWORD type = style & SS_TYPEMASK;
      label->setAlignment((type == SS_CENTER ? Qt::AlignHCenter : type == SS_RIGHT ? Qt::AlignRight : Qt::AlignLeft) |
                          Qt::AlignTop);
      label->setWordWrap(type == SS_LEFT);
      label->installEventFilter(this);
      return label;
    }
    case Kind::kEdit: {
      auto* edit = new QLineEdit(this);
      if (style & ES_PASSWORD) edit->setEchoMode(QLineEdit::Password);
      edit->setFrame((style & WS_BORDER) != 0 || (GetWindowLong(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0);
      edit->setAlignment((style & ES_RIGHT) ? Qt::AlignRight : (style & ES_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft);
      edit->installEventFilter(this);
      return edit;
    }
    case Kind::kMultiEdit: {
      auto* edit = new QPlainTextEdit(this);
      edit->setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
      edit->setHorizontalScrollBarPolicy((style & WS_HSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
      edit->setLineWrapMode((style & (ES_AUTOHSCROLL | WS_HSCROLL)) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
      edit->setTabChangesFocus(true);
      edit->installEventFilter(this);
      return edit;
    }
    case Kind::kList: {
      auto* list = new QListWidget(this);
      list->setSelectionMode(QAbstractItemView::SingleSelection);
      list->viewport()->installEventFilter(this);
      list->installEventFilter(this);
      return list;
    }
    case Kind::kCombo: {
      auto* combo = new QComboBox(this);
      combo->setEditable((style & CBS_TYPEMASK) != CBS_DROPDOWNLIST);
      combo->setInsertPolicy(QComboBox::NoInsert);
      connect(combo, &QComboBox::activated, this, [this, h](int row) {
        act([this, h, row] { return m_session.select(h, afx::RowRef::number(row)); });
      });
      if (QLineEdit* field = combo->lineEdit()) field->installEventFilter(this);
      return combo;
    }
    case Kind::kPicture:
    case Kind::kOther: {
      auto* picture = new PictureWidget(h, fromCp936(classOf(h)), this);
      picture->installEventFilter(this);
      return picture;
    }
  }
  return nullptr;
}

void DialogMirror::run(const std::function<bool()>& stop) {
  if (!m_placed) {
    if (QWidget* owner = parentWidget()) move(owner->window()->geometry().center() - rect().center());
    m_placed = true;
  }
  sync();
  while (!m_session.ended() && !stop()) m_loop.exec();
  hide();
}

void DialogMirror::act(const std::function<afx::ActionStatus()>& action) {
  if (m_syncing || m_session.ended()) return;
  long waitsBefore = waitsAnnounced();
  action();
  if (m_session.ended()) {
    m_loop.quit();
    return;
  }
  sync();
  if (m_afterAction) m_afterAction();
  if (waitsAnnounced() != waitsBefore) announceWait(WaitKind::kDialog);  // waiting for the person again
}

QString DialogMirror::buttonText(const Control& c, DWORD style, const QString& text) const {
  if (!(style & BS_MULTILINE)) return text;
  return wrapped(text, font(), c.rect.width() - 2 * kButtonTextMarginPixels);
}

QWidget* DialogMirror::widgetOf(int id) const {
  for (const Control& c : m_controls)
    if (GetDlgCtrlID(c.handle) == id) return c.widget;
  return nullptr;
}

const DialogMirror::Control* DialogMirror::controlOf(const QWidget* widget) const {
  for (const Control& c : m_controls)
    if (c.widget == widget) return &c;
  return nullptr;
}

DialogMirror::Control* DialogMirror::controlOfWatched(QObject* watched) {
  for (Control& c : m_controls) {
    if (c.widget == watched) return &c;
    if (auto* list = qobject_cast<QListWidget*>(c.widget); list && list->viewport() == watched) return &c;
    if (auto* combo = qobject_cast<QComboBox*>(c.widget); combo && combo->lineEdit() == watched) return &c;
  }
  return nullptr;
}

void DialogMirror::sync() {
  if (m_syncing) return;
  m_syncing = true;
  HWND dialog = m_session.dialog();
  if (IsWindow(dialog)) {
    setWindowTitle(fromCp936(windowText(dialog)));
    setEnabled(IsWindowEnabled(dialog));
    QSize size = moduleSize();
    if (size != this->size()) {
      if (maximumSize() == minimumSize()) setFixedSize(size);
      else resize(size);
    }
    for (Control& c : m_controls) syncControl(c);
    bool shown = IsWindowVisible(dialog);
    if (shown && !isVisible()) {
      show();
      raise();
      activateWindow();
    } else if (!shown && isVisible()) {
      hide();
    }
    HWND focus = GetFocus();
    for (Control& c : m_controls)
      if (c.handle == focus && c.widget->isVisible() && !c.widget->hasFocus()) c.widget->setFocus(Qt::OtherFocusReason);
  }
  m_syncing = false;
}

void DialogMirror::syncControl(Control& c) {
  if (!IsWindow(c.handle)) {
    c.widget->hide();
    return;
  }
  c.widget->setVisible(IsWindowVisible(c.handle) != FALSE);
  c.widget->setEnabled(IsWindowEnabled(c.handle) != FALSE);
  QRect rect = rectInDialog(c.handle, m_session.dialog());
  if (rect != c.rect) {
    c.rect = rect;
    place(c);
  }
  QString text = fromCp936(windowText(c.handle));
  switch (c.kind) {
    case Kind::kPushButton: {
      QString shown = buttonText(c, static_cast<DWORD>(GetWindowLong(c.handle, GWL_STYLE)), text);
      if (static_cast<QPushButton*>(c.widget)->text() != shown) static_cast<QPushButton*>(c.widget)->setText(shown);
      break;
    }
    case Kind::kCheckBox:
    case Kind::kRadio: {
      auto* button = static_cast<QAbstractButton*>(c.widget);
      if (button->text() != text) button->setText(text);
      LRESULT check = SendMessage(c.handle, BM_GETCHECK, 0, 0);
      if (auto* box = qobject_cast<QCheckBox*>(button))
        box->setCheckState(check == BST_CHECKED ? Qt::Checked : check == BST_INDETERMINATE ? Qt::PartiallyChecked : Qt::Unchecked);
      else
        button->setChecked(check == BST_CHECKED);
      break;
    }
    case Kind::kGroup: static_cast<QGroupBox*>(c.widget)->setTitle(withoutMnemonics(text)); break;
    case Kind::kStatic: static_cast<QLabel*>(c.widget)->setText(withoutMnemonics(text)); break;
    case Kind::kEdit:
    case Kind::kMultiEdit: syncEdit(c); break;
    case Kind::kList: syncList(c); break;
    case Kind::kCombo: syncCombo(c); break;
    case Kind::kPicture:  // the view's line (what it shows, and a library section's measures) as its tooltip
      if (c.widget->toolTip() != text) c.widget->setToolTip(text);
      c.widget->update();
      break;
    case Kind::kOther: c.widget->update(); break;
  }
}

void DialogMirror::syncEdit(Control& c) {
  std::string bytes = windowText(c.handle);
  QString text = shownText(bytes);
  auto [start, end] = moduleSelection(c.handle, false);
  int from = positionOfByte(bytes, start), to = positionOfByte(bytes, end);
  bool readOnly = (GetWindowLong(c.handle, GWL_STYLE) & ES_READONLY) != 0;
  if (auto* line = qobject_cast<QLineEdit*>(c.widget)) {
    line->setReadOnly(readOnly);
    if (line->text() != text) line->setText(text);
    if (from == to) line->setCursorPosition(to);
    else line->setSelection(from, to - from);
    return;
  }
  auto* edit = static_cast<QPlainTextEdit*>(c.widget);
  edit->setReadOnly(readOnly);
  if (edit->toPlainText() != text) edit->setPlainText(text);
  QTextCursor cursor = edit->textCursor();
  cursor.setPosition(std::min(from, static_cast<int>(text.size())));
  cursor.setPosition(std::min(to, static_cast<int>(text.size())), QTextCursor::KeepAnchor);
  edit->setTextCursor(cursor);
}

void DialogMirror::syncList(Control& c) {
  auto* list = static_cast<QListWidget*>(c.widget);
  QStringList rows = rowsOf(c.handle, false);
  bool same = list->count() == rows.size();
  for (int i = 0; same && i < rows.size(); ++i) same = list->item(i)->text() == rows[i];
  if (!same) {
    list->clear();
    list->addItems(rows);
  }
  int current = static_cast<int>(SendMessage(c.handle, LB_GETCURSEL, 0, 0));
  if (current >= 0 && current < list->count()) {
    list->setCurrentRow(current);
  } else {
    list->clearSelection();
    list->setCurrentRow(-1);
  }
}

void DialogMirror::syncCombo(Control& c) {
  auto* combo = static_cast<QComboBox*>(c.widget);
  QStringList rows = rowsOf(c.handle, true);
  bool same = combo->count() == rows.size();
  for (int i = 0; same && i < rows.size(); ++i) same = combo->itemText(i) == rows[i];
  if (!same) {
    combo->clear();
    combo->addItems(rows);
    if (auto* colors = dynamic_cast<CAcUiColorComboBox*>(CWnd::FromHandlePermanent(c.handle)))
      for (int i = 0; i < rows.size(); ++i) combo->setItemIcon(i, colorSwatch(colors->GetItemColor(i)));
  }
  int current = static_cast<int>(SendMessage(c.handle, CB_GETCURSEL, 0, 0));
  combo->setCurrentIndex(current >= 0 && current < combo->count() ? current : -1);
  if (QLineEdit* field = combo->lineEdit()) {
    std::string bytes = windowText(c.handle);
    QString text = fromCp936(bytes);
    if (field->text() != text) field->setText(text);
    auto [start, end] = moduleSelection(c.handle, true);
    int from = positionOfByte(bytes, start), to = positionOfByte(bytes, end);
    if (from == to) field->setCursorPosition(to);
    else field->setSelection(from, to - from);
  }
}

void DialogMirror::sendSelection(Control& c) {
  std::string bytes = windowText(c.handle);
  int from = 0, to = 0;
  if (auto* line = qobject_cast<QLineEdit*>(c.widget)) {
    from = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
    to = line->hasSelectedText() ? line->selectionEnd() : from;
  } else if (auto* edit = qobject_cast<QPlainTextEdit*>(c.widget)) {
    from = edit->textCursor().selectionStart();
    to = edit->textCursor().selectionEnd();
  } else if (auto* combo = qobject_cast<QComboBox*>(c.widget); combo && combo->lineEdit()) {
    QLineEdit* field = combo->lineEdit();
    from = field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
    to = field->hasSelectedText() ? field->selectionEnd() : from;
    SendMessage(c.handle, CB_SETEDITSEL, 0, MAKELPARAM(byteOffsetOf(bytes, from), byteOffsetOf(bytes, to)));
    return;
  }
  SendMessage(c.handle, EM_SETSEL, static_cast<WPARAM>(byteOffsetOf(bytes, from)),
              static_cast<LPARAM>(byteOffsetOf(bytes, to)));
}

void DialogMirror::typeText(Control& c, const QString& text) {
  for (char32_t ch : text.toUcs4()) {
    if (m_session.ended() || !IsWindow(c.handle)) return;
    if (ch == '\n' || ch == '\r') {
      act([this, &c] { return m_session.input(c.handle, WM_KEYDOWN, VK_RETURN, 1); });
      continue;
    }
    std::optional<unsigned> code = charCode(QString::fromUcs4(&ch, 1));
    if (!code) continue;  // not a character the module's code page holds
    sendSelection(c);
    act([this, &c, code] { return m_session.input(c.handle, WM_CHAR, *code, 1); });
  }
}

bool DialogMirror::editKey(Control& c, QKeyEvent* key) {
  auto sendKey = [this, &c](WPARAM vk) {
    sendSelection(c);
    act([this, &c, vk] { return m_session.input(c.handle, WM_KEYDOWN, vk, 1); });
  };
  if (key->matches(QKeySequence::Paste)) {
    typeText(c, QApplication::clipboard()->text());
    return true;
  }
  if (key->matches(QKeySequence::Cut)) {
    QString selected;
    if (auto* line = qobject_cast<QLineEdit*>(c.widget)) selected = line->selectedText();
    else if (auto* edit = qobject_cast<QPlainTextEdit*>(c.widget)) selected = edit->textCursor().selectedText();
    if (!selected.isEmpty()) {
      QApplication::clipboard()->setText(selected);
      sendKey(VK_BACK);
    }
    return true;
  }
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: sendKey(VK_RETURN); return true;
    case Qt::Key_Escape: sendKey(VK_ESCAPE); return true;
    case Qt::Key_Backspace: sendKey(VK_BACK); return true;
    case Qt::Key_Delete: sendKey(VK_DELETE); return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return false;
    default: break;
  }
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  if (key->text().isEmpty() || key->text().at(0).category() == QChar::Other_Control) return false;
  typeText(c, key->text());
  return true;
}

bool DialogMirror::mouseToModule(Control& c, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: break;
    default: return false;
  }
  auto* mouse = static_cast<QMouseEvent*>(event);
  bool left = mouse->button() == Qt::LeftButton, right = mouse->button() == Qt::RightButton;
  UINT message = 0;
  WPARAM keys = 0;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      message = left ? WM_LBUTTONDOWN : right ? WM_RBUTTONDOWN : 0;
      keys = left ? MK_LBUTTON : MK_RBUTTON;
      break;
    case QEvent::MouseButtonDblClick:
      message = left ? WM_LBUTTONDBLCLK : 0;
      keys = MK_LBUTTON;
      break;
    case QEvent::MouseButtonRelease: message = left ? WM_LBUTTONUP : right ? WM_RBUTTONUP : 0; break;
    case QEvent::MouseMove:
      if (mouse->buttons() & Qt::LeftButton) keys |= MK_LBUTTON;
      if (mouse->buttons() & Qt::RightButton) keys |= MK_RBUTTON;
      message = keys ? WM_MOUSEMOVE : 0;  // moves matter to the module only while a button is down
      break;
    default: return false;
  }
  if (message == 0) return false;
  QPoint at = mouse->position().toPoint();
  act([this, &c, message, keys, at] {
    return m_session.input(c.handle, message, keys, MAKELPARAM(at.x(), at.y()));
  });
  return true;
}

bool DialogMirror::listMouse(Control& c, QMouseEvent* event) {
  auto* list = static_cast<QListWidget*>(c.widget);
  if (event->button() != Qt::LeftButton) return false;
  int row = list->indexAt(event->position().toPoint()).row();
  if (row < 0) return true;
  HWND h = c.handle;
  int current = static_cast<int>(SendMessage(h, LB_GETCURSEL, 0, 0));
  if (event->type() == QEvent::MouseButtonPress || row != current)
    act([this, h, row] { return m_session.select(h, afx::RowRef::number(row)); });
  if (event->type() == QEvent::MouseButtonDblClick) {
    QPoint at = event->position().toPoint();
    act([this, h, at] { return m_session.input(h, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x(), at.y())); });
  }
  return true;
}

bool DialogMirror::eventFilter(QObject* watched, QEvent* event) {
  Control* c = m_syncing ? nullptr : controlOfWatched(watched);
  if (c == nullptr) return QDialog::eventFilter(watched, event);
  switch (c->kind) {
    case Kind::kEdit:
    case Kind::kMultiEdit:
    case Kind::kCombo:
      if (event->type() == QEvent::KeyPress) return editKey(*c, static_cast<QKeyEvent*>(event));
      if (event->type() == QEvent::InputMethod) {
        auto* im = static_cast<QInputMethodEvent*>(event);
        if (!im->commitString().isEmpty()) typeText(*c, im->commitString());
        event->accept();
        return true;
      }
      if (event->type() == QEvent::FocusIn && GetFocus() != c->handle) {
        HWND h = c->handle;
        act([this, h] {
          SetFocus(h);
          m_session.flush();
          return afx::ActionStatus::kDone;
        });
      }
      break;
    case Kind::kList:
      if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        return listMouse(*c, static_cast<QMouseEvent*>(event));
      if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseMove) return true;
      if (event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
          int current = static_cast<int>(SendMessage(c->handle, LB_GETCURSEL, 0, 0));
          int count = static_cast<int>(SendMessage(c->handle, LB_GETCOUNT, 0, 0));
          int row = std::clamp(current + (key == Qt::Key_Up ? -1 : 1), 0, count - 1);
          HWND h = c->handle;
          if (row != current && row >= 0) act([this, h, row] { return m_session.select(h, afx::RowRef::number(row)); });
          return true;
        }
      }
      break;
    case Kind::kStatic:
    case Kind::kPicture:
    case Kind::kOther: return mouseToModule(*c, event) || QDialog::eventFilter(watched, event);
    default: break;
  }
  return QDialog::eventFilter(watched, event);
}

void DialogMirror::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: act([this] { return m_session.pressOk(); }); return;
    case Qt::Key_Escape: act([this] { return m_session.pressCancel(); }); return;
    default: QDialog::keyPressEvent(event);
  }
}

void DialogMirror::closeEvent(QCloseEvent* event) {
  event->ignore();  // the module decides whether its dialog ends
  act([this] { return m_session.close(); });
}

void DialogMirror::reject() { act([this] { return m_session.pressCancel(); }); }

void DialogMirror::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (m_syncing || event->size() == moduleSize()) return;
  QSize size = event->size();
  act([this, size] { return m_session.resize(size.width(), size.height()); });
}

}  // namespace contura::qt
