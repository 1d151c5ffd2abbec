// Whole `contura --gui` sessions with the module, driven by synthetic mouse and key events:
// CJLX with entities picked on the canvas, its preview painted and written, and the export
// made through the dialog's button and the file dialog (the same file as the script backend
// makes); picks, crossing windows and Escape; JMGL adding a section with the library dialog
// hidden during the pick, and a thumbnail double-click; the variable dialog's numeric filter
// fed by key events and Chinese typed through an input method; the editor's rubber band, drag
// and temporary vectors; USD with an outline drawn with clicks and keywords typed at the
// command line; a drawing that cannot be opened; closing with unsaved changes.
#include "frame_painter.h"
#include "gui_driver.h"

#include <AcDbVarCommon.h>
#include <Draw2DWindow.h>
#include <acedinpt.h>
#include <adscodes.h>
#include <dbapserv.h>
#include <dbents.h>
#include <dbmain.h>
#include <dbpl.h>
#include <dbsymtb.h>
#include <contura/dxf/dxf.h>
#include <contura/ed/editor_state.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QFileDialog>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>

#include <unistd.h>

#include "qt_frontend.h"
#include "session.h"
#include "text_codec.h"

namespace {

namespace fs = std::filesystem;
using namespace guitest;

const fs::path kData = fs::path(CONTURA_SOURCE_DIR) / "tests" / "data";
const fs::path kMadeData = CONTURA_MADE_DATA_DIR;  // drawings the build writes
const fs::path kArtifacts = fs::path(CONTURA_BINARY_DIR) / "tests" / "artifacts" / "qt";

// A folder of the test's own, removed afterwards.
struct TempDir {
  fs::path path;
  explicit TempDir(const std::string& name)
      : path(fs::temp_directory_path() / ("contura_qt_" + name + "_" + std::to_string(::getpid()))) {
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempDir() { fs::remove_all(path); }
  fs::path operator/(const std::string& name) const { return path / name; }
};

std::string readBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void expectClean(const GuiRun& run) {
  for (const std::string& failure : run.failures) ADD_FAILURE() << failure;
  EXPECT_EQ(run.exitCode, contura::host::kExitOk);
  EXPECT_EQ(run.err, "");
}

// The script backend on the same drawing: the transcript.
std::string runScript(const std::string& script, std::vector<std::string> extra) {
  std::istringstream in(script);
  std::ostringstream out, err;
  std::vector<std::string> args = {"--script", "-"};
  args.insert(args.end(), extra.begin(), extra.end());
  int code = contura::host::runProgram(args, CONTURA_ARX, {in, out, err});
  EXPECT_EQ(code, contura::host::kExitOk) << err.str();
  return out.str();
}

// The answer given to the first prompt of that text in a transcript ("选择对象: w 1,2 3,4").
std::string answerAfter(const std::string& transcript, const std::string& prompt) {
  size_t at = transcript.find(prompt);
  if (at == std::string::npos) return {};
  size_t end = transcript.find('\n', at);
  return transcript.substr(at + prompt.size(), end == std::string::npos ? std::string::npos : end - at - prompt.size());
}

// A window dragged left to right round everything the canvas shows.
void windowRoundEverything() {
  QRectF box = window().canvas()->scene().extents();
  double mx = box.width() * 0.02 + 1, my = box.height() * 0.02 + 1;
  dragWindow(box.left() - mx, box.bottom() + my, box.right() + mx, box.top() - my);
}

// The canvas shows something highlighted, and all of it within the pick box of (x, y): the
// frame against the same view painted without highlights.
void expectHighlightedAround(double x, double y) {
  contura::qt::Canvas* canvas = window().canvas();
  canvas->grab();
  QImage plain;
  contura::qt::paintFrame(plain, canvas->view(), canvas->scene(), {});
  const QImage& shown = canvas->frame();
  ASSERT_EQ(shown.size(), plain.size());
  QRect changed;
  for (int row = 0; row < plain.height(); ++row)
    for (int col = 0; col < plain.width(); ++col)
      if (shown.pixel(col, row) != plain.pixel(col, row)) changed |= QRect(col, row, 1, 1);
  ASSERT_FALSE(changed.isEmpty());
  int reach = static_cast<int>(std::ceil(canvas->pickBoxPixels()));
  EXPECT_TRUE(changed.adjusted(-reach, -reach, reach, reach).contains(canvas->toScreen({x, y}).toPoint()));
}

QString editText(int id) {
  QWidget* w = control(id);
  if (auto* line = qobject_cast<QLineEdit*>(w)) return line->text();
  if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) return edit->toPlainText();
  return {};
}

void selectAllIn(QWidget* edit) { QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier); }

// Chooses a row of a drop-down as a person does: opens the list, clicks the row.
void chooseRow(int id, int row) {
  auto* combo = qobject_cast<QComboBox*>(control(id));
  ASSERT_NE(combo, nullptr);
  combo->showPopup();
  QAbstractItemView* view = combo->view();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(row, 0)).center());
}

void saveScreenshot(QWidget* widget, const std::string& name) {
  fs::create_directories(kArtifacts);
  EXPECT_TRUE(widget->grab().save(QString::fromStdString((kArtifacts / name).string()), "PNG"));
}

// Whether the image has a pixel near `at` that passes `test` (lines are antialiased: their
// pixels are blends of the line's colour and the background).
bool pixelNear(const QImage& image, QPoint at, const std::function<bool(QColor)>& test, int reach = 2) {
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx)
      if (image.rect().contains(at + QPoint(dx, dy)) && test(image.pixelColor(at + QPoint(dx, dy)))) return true;
  return false;
}
bool greenish(QColor c) { return c.green() > c.red() + 60 && c.green() > c.blue() + 60; }
bool reddish(QColor c) { return c.red() > c.green() + 60 && c.red() > c.blue() + 60; }
bool light(QColor c) { return c.red() > 90 && c.green() > 90 && c.blue() > 90; }

// Calls `f` with every entity of the working drawing's model space, open for reading.
template <class F>
void forEachEntity(F f) {
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  AcDbBlockTable* table = nullptr;
  ASSERT_EQ(db->getBlockTable(table, AcDb::kForRead), Acad::eOk);
  AcDbBlockTableRecord* space = nullptr;
  ASSERT_EQ(table->getAt(ACDB_MODEL_SPACE, space, AcDb::kForRead), Acad::eOk);
  table->close();
  AcDbBlockTableRecordIterator* it = nullptr;
  space->newIterator(it);
  for (; !it->done(); it->step()) {
    AcDbEntity* e = nullptr;
    if (it->getEntity(e, AcDb::kForRead) != Acad::eOk) continue;
    f(e);
    e->close();
  }
  delete it;
  space->close();
}
template <class F>
void forEachVariable(F f) {
  forEachEntity([&](AcDbEntity* e) {
    if (auto* var = AcDbVarCommon::cast(e)) f(*var);
  });
}
AcDbObjectId firstCircle() {
  AcDbObjectId found;
  forEachEntity([&](AcDbEntity* e) {
    if (found.isNull() && AcDbCircle::cast(e)) found = e->objectId();
  });
  return found;
}

// The message box the window shows, checked to name `file`, answered with `button`.
void answerBoxNaming(const std::string& file, const QString& button) {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->text().contains(QString::fromStdString(file))) << box->text().toStdString();
  pressMessageBoxButton(button);
}

TEST(GuiSession, CjlxThroughTheWindowPreviewsAndExportsWhatTheScriptExports) {
  TempDir dir("cjlx");
  const fs::path drawing = kMadeData / "sectiontext" / "examples.dxf";
  const fs::path guiExport = dir / "gui.txt", scriptExport = dir / "script.txt";
  QString shown;
  QImage preview;
  GuiDriver driver;
  driver.then(WaitKind::kRequest, "command", [] { typeCommand("CJLX"); })
      .then(WaitKind::kRequest, "window round everything", [] { windowRoundEverything(); })
      .then(WaitKind::kRequest, "end of the selection", [] { rightClickCanvas(); })
      .then(WaitKind::kDialog, "preview",
            [&] {
              EXPECT_EQ(topDialog().session().templateId(), 201u);
              shown = editText(209);
              saveScreenshot(&topDialog(), "cjlx-infoview.png");
              clickControl(211);
            })
      .then(WaitKind::kDialog, "the preview dialog",
            [&] {
              EXPECT_EQ(topDialog().session().templateId(), 205u);
              QApplication::processEvents();
              preview = control(204)->grab().toImage();
              topDialog().close();
            })
      .then(WaitKind::kDialog, "export", [] { clickControl(210); })
      .then(WaitKind::kFileDialog, "file name", [&] { chooseInFileDialog(QString::fromStdString(guiExport.string())); })
      .then(WaitKind::kDialog, "export again", [] { clickControl(210); })
      .then(WaitKind::kFileDialog, "the same file", [&] { chooseInFileDialog(QString::fromStdString(guiExport.string())); })
      .then(WaitKind::kMessageBox, "do not replace it",
            [&] {
              auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
              EXPECT_EQ(box ? box->buttons().size() : 0, 2);
              answerBoxNaming(guiExport.filename().string(), "否");
            })
      .then(WaitKind::kFileDialog, "asked again: cancel",
            [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); })
      .then(WaitKind::kDialog, "close the view", [] { clickControl(IDOK); })
      .then(WaitKind::kRequest, "quit", [] { typeCommand("QUIT"); });
  GuiRun run = driver.run({"--preview-dir", dir.path.string(), drawing.string()});
  expectClean(run);

  // The preview was painted live (the circle red on the white sheet) and written as PNG beside the SVG.
  int red = 0;
  for (int y = 0; y < preview.height(); ++y)
    for (int x = 0; x < preview.width(); ++x) red += reddish(preview.pixelColor(x, y));
  EXPECT_GT(red, 100);
  QImage written(QString::fromStdString((dir / "预览-204.png").string()));
  ASSERT_FALSE(written.isNull());
  EXPECT_EQ(written.size(), preview.size());
  EXPECT_TRUE(fs::exists(dir / "预览-204.svg"));

  std::string golden = readBytes(kData / "sectiontext" / "examples.golden.txt");
  EXPECT_EQ(readBytes(guiExport), golden);
  EXPECT_EQ(shown, contura::qt::shownText(golden));  // the rich edit showed the text
  std::string window = answerAfter(run.transcript, "选择对象: ");
  ASSERT_EQ(window.substr(0, 2), "w ") << run.transcript;
  EXPECT_NE(run.transcript.find("找到 4 个"), std::string::npos) << run.transcript;

  // The script backend with the window the mouse made gives the same file.
  runScript("CJLX\n" + window + "\n\nclick 导出\n" + scriptExport.string() + "\nok\nQUIT\n", {drawing.string()});
  EXPECT_EQ(readBytes(scriptExport), readBytes(guiExport));
}

TEST(GuiSession, PicksCrossingWindowsAndEscapeFromTheCanvasAndTheCommandLine) {
  const fs::path drawing = kMadeData / "sectiontext" / "examples.dxf";
  QString picked;
  GuiDriver driver;
  driver
      .then(WaitKind::kRequest, "CJLX from the menu",
            [] {
              QList<QAction*> actions = window().commandsMenu()->actions();
              ASSERT_EQ(actions.size(), 5);  // the module's five commands
              for (QAction* a : actions) {
                EXPECT_TRUE(a->isEnabled());
                if (a->text().startsWith("CJLX")) a->trigger();
              }
            })
      .then(WaitKind::kRequest, "pick the circle",
            [] {
              for (QAction* a : window().commandsMenu()->actions()) EXPECT_FALSE(a->isEnabled());  // a command runs
              clickCanvasAt(650, 300);
            })
      .then(WaitKind::kRequest, "the circle shows highlighted; crossing over the line's end",
            [] {
              expectHighlightedAround(650, 300);
              dragWindow(1010, 10, 900, -10);
            })
      .then(WaitKind::kRequest, "Enter ends the selection", [] { typeCommand(""); })
      .then(WaitKind::kDialog, "read and cancel",
            [&] {
              picked = editText(209);
              QTest::keyClick(&topDialog(), Qt::Key_Escape);
            })
      .then(WaitKind::kRequest, "again", [] { typeCommand("cjlx"); })
      .then(WaitKind::kRequest, "Escape cancels the selection",
            [] { QTest::keyClick(window().commandPanel()->input(), Qt::Key_Escape); })
      .then(WaitKind::kDialog, "the empty view, closed with the close box",
            [] {
              EXPECT_EQ(editText(209), "");
              topDialog().close();
            })
      .then(WaitKind::kRequest, "quit", [] { typeCommand("QUIT"); });
  GuiRun run = driver.run({drawing.string()});
  expectClean(run);
  // The circle first, then the line: nothing else.
  EXPECT_TRUE(picked.startsWith("[Circle]")) << picked.toStdString();
  EXPECT_TRUE(picked.contains("[Line]"));
  EXPECT_FALSE(picked.contains("[Polyline]"));
  EXPECT_FALSE(picked.contains("[Text]"));
  EXPECT_NE(run.transcript.find("找到 1 个，总计 2 个"), std::string::npos) << run.transcript;
  EXPECT_NE(run.transcript.find("*取消*"), std::string::npos);
  EXPECT_NE(run.transcript.find("选择对象: c "), std::string::npos);
}

TEST(GuiSession, JmglAddsASectionPickedWithTheDialogHiddenAndAThumbnailDoubleClickChoosesIt) {
  TempDir dir("jmgl");
  const std::string drive = "E=" + dir.path.string();
  const std::string library = "E:\\_Velmora\\vlmr\\Support\\SectionLib.mdb";
  {
    std::istringstream in;
    std::ostringstream out, err;
    ASSERT_EQ(contura::host::runProgram({"--drive", drive, "--new-library", library}, CONTURA_ARX, {in, out, err}),
              contura::host::kExitOk)
        << err.str();
  }
  const fs::path drawing = kMadeData / "sectiontext" / "examples.dxf";
  bool hiddenDuringPick = false;
  GuiDriver driver;
  driver.then(WaitKind::kRequest, "command", [] { typeCommand("JMGL"); })
      .then(WaitKind::kDialog, "add",
            [] {
              EXPECT_EQ(topDialog().session().templateId(), 206u);
              EXPECT_EQ(qobject_cast<QListWidget*>(control(200))->count(), 0);
              clickControl(201);
            })
      .then(WaitKind::kDialog, "name, remark, category and code",
            [] {
              EXPECT_EQ(topDialog().session().templateId(), 208u);
              selectAllIn(control(203));
              commitText(control(203), "异形柱");
              typeInto(control(208), "L1");
              chooseRow(231, 2);
              chooseRow(232, 4);
              clickControl(IDOK);
            })
      .then(WaitKind::kRequest, "pick with the library hidden",
            [&] {
              hiddenDuringPick = !ui().dialogs().front()->isVisible() && window().isEnabled();
              windowRoundEverything();
            })
      .then(WaitKind::kRequest, "end of the selection", [] { rightClickCanvas(); })
      .then(WaitKind::kDialog, "added: preview the thumbnails",
            [] {
              EXPECT_TRUE(topDialog().isVisible());  // shown again after the pick
              auto* list = qobject_cast<QListWidget*>(control(200));
              ASSERT_EQ(list->count(), 1);
              EXPECT_EQ(list->item(0)->text(), "异形柱");
              const auto* preview = topDialog().controlOf(control(204));
              CDraw2DWindow* view = Draw2DWindowFromHandle(preview->handle);
              ASSERT_NE(view, nullptr);
              EXPECT_EQ(view->GetDisplayList().shapes.size(), 5u);  // line, circle, polyline, two texts
              saveScreenshot(&topDialog(), "jmgl-library.png");
              clickControl(211);
            })
      .then(WaitKind::kDialog, "double-click the first thumbnail",
            [] {
              EXPECT_EQ(topDialog().session().templateId(), 207u);
              saveScreenshot(&topDialog(), "jmgl-thumbnails.png");
              // A click frames the thumbnail; a double-click chooses it and ends the dialog.
              QTest::mouseClick(control(210), Qt::LeftButton);
              CDraw2DWindow* first = Draw2DWindowFromHandle(topDialog().controlOf(control(210))->handle);
              ASSERT_NE(first, nullptr);
              EXPECT_EQ(first->GetSelectRect(), 1);
              QTest::mouseDClick(control(210), Qt::LeftButton);
            })
      .then(WaitKind::kDialog, "the chosen section is selected",
            [] {
              EXPECT_EQ(topDialog().session().templateId(), 206u);
              EXPECT_EQ(qobject_cast<QListWidget*>(control(200))->currentRow(), 0);
              QTest::keyClick(&topDialog(), Qt::Key_Escape);
            })
      // (That the row is stored in the library file is checked with sqlite3 end to end.)
      .then(WaitKind::kRequest, "quit", [] { typeCommand("QUIT"); });
  GuiRun run = driver.run({"--drive", drive, drawing.string()});
  expectClean(run);
  EXPECT_TRUE(hiddenDuringPick);
}

TEST(GuiSession, VariableDialogFiltersTheKeysTypedIntoItsNumberBoxes) {
  double pixel = 0;
  GuiDriver driver;
  driver.then(WaitKind::kRequest, "command", [] { typeCommand("TJBL"); })
      .then(WaitKind::kRequest, "insertion point",
            [&] {
              pixel = window().canvas()->worldPerPixel();
              clickCanvasAt(40, 30);
            })
      .then(WaitKind::kDialog, "type into the boxes",
            [] {
              EXPECT_EQ(topDialog().session().templateId(), 200u);
              EXPECT_EQ(editText(206), "100");
              QWidget* height = control(206);
              height->setFocus();
              selectAllIn(height);
              typeInto(height, "1.5a2");  // the letter is taken out as it is typed
              EXPECT_EQ(editText(206), "1.52");
              QWidget* angle = control(207);
              selectAllIn(angle);
              typeInto(angle, "4x5.5");
              EXPECT_EQ(editText(207), "45.5");
              QTest::keyClick(angle, Qt::Key_Backspace);
              QTest::keyClick(angle, Qt::Key_Backspace);
              EXPECT_EQ(editText(207), "45");
              QWidget* sort = control(204);  // digits only
              selectAllIn(sort);
              typeInto(sort, "7b3");
              EXPECT_EQ(editText(204), "73");
              QWidget* name = control(200);
              selectAllIn(name);
              commitText(name, "柱宽");
              EXPECT_EQ(editText(200), "柱宽");
              chooseRow(209, 3);  // the colour box
              EXPECT_EQ(qobject_cast<QComboBox*>(control(209))->currentIndex(), 3);
              clickControl(IDOK);
            })
      .then(WaitKind::kRequest, "the entity holds what was typed",
            [&] {
              int count = 0;
              forEachVariable([&](const AcDbVarCommon& var) {
                ++count;
                EXPECT_EQ(std::string(var.textStringConst()), contura::qt::toCp936("柱宽"));
                EXPECT_DOUBLE_EQ(var.getVarValueHeight(), 1.52);
                EXPECT_NEAR(var.getVarAngle(), 45 * 3.1415927410125732 / 180, 1e-9);
                EXPECT_EQ(var.getVarSort(), 73);
                EXPECT_NEAR(var.position().x, 40, pixel);
                EXPECT_NEAR(var.position().y, 30, pixel);
              });
              EXPECT_EQ(count, 1);
              typeCommand("XGBL");
            })
      .then(WaitKind::kRequest, "pick the variable on the canvas", [] { clickCanvasAt(45, 35); })
      .then(WaitKind::kDialog, "its settings, and a type typed into the drop-down's field",
            [] {
              EXPECT_EQ(editText(200), "柱宽");
              EXPECT_EQ(editText(206), "1.52");
              auto* type = qobject_cast<QComboBox*>(control(203));
              ASSERT_NE(type, nullptr);
              ASSERT_NE(type->lineEdit(), nullptr);
              EXPECT_EQ(type->count(), 2);  // 整数, 小数
              selectAllIn(type->lineEdit());
              commitText(type->lineEdit(), "钢筋");
              typeInto(type->lineEdit(), "2");
              EXPECT_EQ(type->lineEdit()->text(), "钢筋2");
              clickControl(IDOK);
            })
      .then(WaitKind::kRequest, "the type was kept",
            [] {
              forEachVariable([](const AcDbVarCommon& var) {
                EXPECT_EQ(std::string(var.getVarType().GetString()), contura::qt::toCp936("钢筋2"));
              });
              typeCommand("QUIT");
            })
      .then(WaitKind::kMessageBox, "the new variable is not kept", [] { pressMessageBoxButton("不保存"); });
  GuiRun run = driver.run({});
  expectClean(run);
}

TEST(GuiSession, RubberBandDragAndTemporaryVectorsFollowTheEditor) {
  const fs::path drawing = kMadeData / "sectiontext" / "examples.dxf";
  ads_point got{}, dragged{};
  int pointResult = 0, dragResult = 0;
  double pixel = 0;
  GuiDriver driver;
  driver
      .then(WaitKind::kRequest, "ask from the prompt",
            [&] {
              contura::qt::Canvas* canvas = window().canvas();
              pixel = canvas->worldPerPixel();
              ads_point a{0, 300, 0}, b{300, 450, 0};
              acedGrDraw(a, b, 3, 0);  // green
              QImage image = canvas->grab().toImage();
              EXPECT_TRUE(pixelNear(image, canvas->toScreen({150, 375}).toPoint(), greenish));
              ads_point base{500, 300, 0};
              pointResult = acedGetPoint(base, "\nPoint: ", got);
              ads_name circle, set;
              ASSERT_EQ(acdbGetAdsName(circle, firstCircle()), Acad::eOk);
              ASSERT_EQ(acedSSAdd(circle, nullptr, set), RTNORM);
              dragResult = acedDragGen(set, "\nDrag: ", 0, nullptr, dragged);
              acedSSFree(set);
              acedCommandS(RTSTR, "REDRAW", RTNONE);
              EXPECT_TRUE(contura::ed::temporaryVectors().empty());
              canvas->repaint();
              image = canvas->grab().toImage();
              EXPECT_FALSE(pixelNear(image, canvas->toScreen({150, 375}).toPoint(), greenish));
              typeCommand("QUIT");
            })
      .then(WaitKind::kRequest, "the rubber band runs from the base point",
            [] {
              contura::qt::Canvas* canvas = window().canvas();
              EXPECT_EQ(canvas->mode(), contura::qt::Canvas::Mode::kPoint);
              QTest::mouseMove(canvas, canvas->toScreen({800, 300}).toPoint());
              QImage image = canvas->grab().toImage();
              int band = 0;
              for (double x = 520; x < 780; x += 4)
                band += pixelNear(image, canvas->toScreen({x, 300}).toPoint(), light, 1);
              EXPECT_GT(band, 10);
              clickCanvasAt(800, 300);
            })
      .then(WaitKind::kRequest, "the circle follows the cursor",
            [] {
              contura::qt::Canvas* canvas = window().canvas();
              EXPECT_EQ(canvas->mode(), contura::qt::Canvas::Mode::kDrag);
              QTest::mouseMove(canvas, canvas->toScreen({900, 300}).toPoint());
              QImage image = canvas->grab().toImage();
              // Moved by (100, 0) from the last point (800, 300): its top is at (600, 450).
              EXPECT_TRUE(pixelNear(image, canvas->toScreen({600, 450}).toPoint(), reddish));
              clickCanvasAt(900, 300);
            });
  GuiRun run = driver.run({drawing.string()});
  expectClean(run);
  EXPECT_EQ(pointResult, RTNORM);
  EXPECT_NEAR(got[0], 800, pixel);
  EXPECT_NEAR(got[1], 300, pixel);
  EXPECT_EQ(dragResult, RTNORM);
  EXPECT_NEAR(dragged[0], 900, pixel);
  EXPECT_NEAR(dragged[1], 300, pixel);
}

// USD in the window: the outline drawn on the canvas with clicks and keywords typed at the
// command line, growing on the canvas; its preview, a resize that grows the preview by the
// growth of the dialog, and the outline drawn in green at the origin.
TEST(GuiSession, UsdDrawsAnOutlineWithClicksAndKeywordsAndPlacesItAtTheOrigin) {
  const fs::path drawing = kMadeData / "sectiontext" / "examples.dxf";
  size_t itemsBefore = 0, itemsWithTwoPoints = 0;
  double pixel = 0, arcBulge = 0;
  unsigned int vertexCount = 0;
  int colorIndex = 0;
  AcGePoint2d first;
  GuiDriver driver;
  driver.then(WaitKind::kRequest, "command", [] { typeCommand("USD"); })
      .then(WaitKind::kDialog, "draw the section",
            [] {
              EXPECT_EQ(topDialog().session().templateId(), 203u);
              EXPECT_TRUE(topDialog().windowFlags() & Qt::WindowMaximizeButtonHint);
              clickControl(205);
            })
      .then(WaitKind::kRequest, "start point",
            [&] {
              itemsBefore = window().canvas()->scene().size();
              pixel = window().canvas()->worldPerPixel();
              clickCanvasAt(0, 300);
            })
      .then(WaitKind::kRequest, "next point", [] { clickCanvasAt(300, 300); })
      .then(WaitKind::kRequest, "the first segment shows; arc mode typed",
            [&] {
              itemsWithTwoPoints = window().canvas()->scene().size();
              typeCommand("A");
            })
      .then(WaitKind::kRequest, "the arc's end", [] { clickCanvasAt(300, 450); })
      .then(WaitKind::kRequest, "back to lines", [] { typeCommand("L"); })
      .then(WaitKind::kRequest, "a line", [] { clickCanvasAt(0, 450); })
      .then(WaitKind::kRequest, "close", [] { typeCommand("C"); })
      .then(WaitKind::kRequest, "the base point", [] { clickCanvasAt(150, 300); })
      .then(WaitKind::kDialog, "the outline in the preview; the dialog made larger",
            [] {
              EXPECT_TRUE(topDialog().isVisible());
              const auto* preview = topDialog().controlOf(control(204));
              CDraw2DWindow* view = Draw2DWindowFromHandle(preview->handle);
              ASSERT_NE(view, nullptr);
              EXPECT_FALSE(view->GetDisplayList().shapes.empty());
              saveScreenshot(&topDialog(), "usd-section.png");
              QSize dialogBefore = topDialog().size(), previewBefore = control(204)->size();
              topDialog().resize(dialogBefore + QSize(240, 120));
              QApplication::processEvents();
              EXPECT_EQ(control(204)->size(), previewBefore + QSize(240, 120));
              clickControl(IDOK);
            })
      .then(WaitKind::kRequest, "drawn",
            [&] {
              forEachEntity([&](AcDbEntity* e) {
                if (auto* pl = AcDbPolyline::cast(e)) {
                  vertexCount = pl->numVerts();
                  colorIndex = pl->colorIndex();
                  pl->getPointAt(0, first);
                  pl->getBulgeAt(1, arcBulge);
                }
              });
              typeCommand("QUIT");
            })
      .then(WaitKind::kMessageBox, "the outline is not kept", [] { pressMessageBoxButton("不保存"); });
  GuiRun run = driver.run({drawing.string()});
  expectClean(run);
  EXPECT_EQ(itemsWithTwoPoints, itemsBefore + 1);  // the polyline grows in the drawing
  // Base point (150,300) on the origin, the closing item repeating the first vertex; the arc a
  // half circle tangent to the first line. (Exact outlines are compared in the unit tests.)
  EXPECT_EQ(vertexCount, 5u);
  EXPECT_LT(first.distanceTo(AcGePoint2d(-150, 0)), 2 * pixel);
  EXPECT_NEAR(arcBulge, 1, 0.02);
  EXPECT_EQ(colorIndex, 3);
}

TEST(GuiSession, ADrawingThatCannotBeOpenedIsReportedAndTheWindowStaysUsable) {
  const fs::path bad = kMadeData / "dxf" / "malformed" / "bad_number.dxf";
  const fs::path alsoBad = kMadeData / "dxf" / "malformed" / "garbage_code.dxf";
  GuiDriver driver;
  driver
      .then(WaitKind::kMessageBox, "the file given on the command line",
            [] { answerBoxNaming("bad_number.dxf", "确定"); })
      .then(WaitKind::kRequest, "open another bad one from the File menu",
            [&] {
              EXPECT_EQ(window().windowTitle(), "Contura - 新图形");
              QAction* open = nullptr;
              for (QMenu* menu : window().findChildren<QMenu*>())
                for (QAction* a : menu->actions())
                  if (a->text().startsWith("打开")) open = a;
              ASSERT_NE(open, nullptr);
              open->trigger();
              EXPECT_EQ(window().windowTitle(), "Contura - 新图形");  // nothing changed
              typeCommand("TJBL");
            })
      .then(WaitKind::kFileDialog, "the file", [&] { chooseInFileDialog(QString::fromStdString(alsoBad.string())); })
      .then(WaitKind::kMessageBox, "its error",
            [] { answerBoxNaming("garbage_code.dxf", "确定"); })
      .then(WaitKind::kRequest, "commands still work", [] { clickCanvasAt(10, 10); })
      .then(WaitKind::kDialog, "the variable dialog", [] { QTest::keyClick(&topDialog(), Qt::Key_Escape); })
      .then(WaitKind::kRequest, "quit", [] { typeCommand("QUIT"); })
      .then(WaitKind::kMessageBox, "a variable was added", [] { pressMessageBoxButton("不保存"); });
  GuiRun run = driver.run({bad.string()});
  expectClean(run);
}

TEST(GuiSession, ClosingWithUnsavedChangesAsksAndCanSave) {
  TempDir dir("close");
  const fs::path plan = dir / "plan.dxf";
  fs::copy_file(kMadeData / "sectiontext" / "examples.dxf", plan);
  size_t itemsBefore = 0, itemsAfter = 0;
  bool stillOpen = false;
  GuiDriver driver;
  driver
      .then(WaitKind::kRequest, "switch WALL off, then close twice",
            [&] {
              itemsBefore = window().canvas()->scene().size();
              QList<QTreeWidgetItem*> wall = window().layerPanel()->findItems("WALL", Qt::MatchExactly);
              ASSERT_EQ(wall.size(), 1);
              wall.front()->setCheckState(contura::qt::LayerPanel::kOn, Qt::Unchecked);
              itemsAfter = window().canvas()->scene().size();
              window().close();
              stillOpen = window().isVisible() && !ui().inputEnded();
              window().close();
            })
      .then(WaitKind::kMessageBox, "cancel keeps the window", [] { pressMessageBoxButton("取消"); })
      .then(WaitKind::kMessageBox, "save", [] { pressMessageBoxButton("保存"); });
  GuiRun run = driver.run({plan.string()});
  expectClean(run);
  EXPECT_EQ(itemsAfter + 1, itemsBefore);  // the polyline of WALL is no longer drawn
  EXPECT_TRUE(stillOpen);
  AcDbDatabase saved(false);
  contura::dxf::DxfError error;
  ASSERT_EQ(contura::dxf::readDxf(plan.string(), saved, error), Acad::eOk) << error.text();
  bool wallOn = true;
  for (const auto& layer : contura::qt::layersOf(saved))
    if (layer.name == "WALL") wallOn = layer.on;
  EXPECT_FALSE(wallOn);

  // Opened and closed without changes: nothing is asked.
  GuiDriver quiet;
  quiet.then(WaitKind::kRequest, "close", [] { window().close(); });
  expectClean(quiet.run({plan.string()}));
}

// The $ACADVER of a DXF file ("" when it has none).
std::string acadVerOf(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("$ACADVER", 0) == 0 && std::getline(in, line) && std::getline(in, line))
      return line.substr(0, line.find('\r'));
  return "";
}

TEST(GuiSession, SavesWriteTheVersionOfTheCommandLineOrOfSaveAs) {
  TempDir dir("versions");
  const fs::path plan = dir / "plan.dxf", older = dir / "older.dxf";
  fs::copy_file(kMadeData / "sectiontext" / "examples.dxf", plan);
  GuiDriver driver;
  driver
      .then(WaitKind::kRequest, "save, then save as",
            [&] {
              EXPECT_EQ(window().saveVersion(), contura::dxf::DxfVersion::R2018);  // --dxf-version
              ASSERT_TRUE(window().saveDrawing());
              for (QMenu* menu : window().findChildren<QMenu*>())
                for (QAction* a : menu->actions())
                  if (a->text().startsWith("另存为")) a->trigger();
              typeCommand("QUIT");
            })
      .then(WaitKind::kFileDialog, "R12 chosen as the file type",
            [&] {
              auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
              ASSERT_NE(dialog, nullptr);
              EXPECT_EQ(dialog->selectedNameFilter(), "DXF R2018 图形 (*.dxf *.DXF)");
              dialog->selectNameFilter("DXF R12 图形 (*.dxf *.DXF)");
              chooseInFileDialog(QString::fromStdString(older.string()));
            })
      .then(WaitKind::kMessageBox, "R12 has no multi-line texts: said",
            [] {
              auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
              ASSERT_NE(box, nullptr);
              EXPECT_TRUE(box->text().contains("MTEXT")) << box->text().toStdString();
              pressMessageBoxButton("确定");
            });
  expectClean(driver.run({"--dxf-version", "R2018", plan.string()}));
  EXPECT_EQ(acadVerOf(plan), "AC1032");
  EXPECT_EQ(acadVerOf(older), "AC1009");
}

}  // namespace
