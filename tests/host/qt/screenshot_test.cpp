// Screenshots of the window with the sample drawing (its Chinese texts drawn from the
// dialog font, which has every glyph of them) and of every dialog template of the module
// (200 to 208; templates that are not there yet are named and passed over). Each
// dialog is checked: its size and each control's rectangle are the template's dialog units
// in pixels, every control lies inside the dialog, and the dialog font has a glyph for every
// character of every caption. The pictures are written to tests/artifacts/qt in the build
// folder.
#include "gui_driver.h"

#include <afxcmn.h>
#include <afxres.h>
#include <afxwin.h>
#include <contura/db/world_draw.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "dialog_font.h"
#include "text_codec.h"

namespace {

namespace fs = std::filesystem;
using namespace guitest;
using contura::qt::DialogMirror;

const fs::path kArtifacts = fs::path(CONTURA_BINARY_DIR) / "tests" / "artifacts" / "qt";

QString captionOf(QWidget* widget) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
  return {};
}

// Checks the running dialog against its template, then saves its picture.
void checkDialog(const AFX_DLGTEMPLATE& tpl) {
  DialogMirror& dialog = topDialog();
  SCOPED_TRACE("dialog " + std::to_string(tpl.id));
  QFont font = contura::qt::dialogFont();
  QString caption = contura::qt::fromCp936(tpl.caption);
  EXPECT_EQ(dialog.windowTitle(), caption);
  EXPECT_EQ(contura::qt::missingGlyphs(font, caption), "") << caption.toStdString();
  QSize size(contura::afx::dialogUnitsToPixelsX(tpl.cx), contura::afx::dialogUnitsToPixelsY(tpl.cy));
  EXPECT_EQ(dialog.size(), size);
  QRect inside(QPoint(0, 0), size);
  ASSERT_EQ(static_cast<int>(dialog.controls().size()), tpl.itemCount);
  for (int i = 0; i < tpl.itemCount; ++i) {
    const AFX_DLGITEM& item = tpl.items[i];
    const DialogMirror::Control& control = dialog.controls()[static_cast<size_t>(i)];
    SCOPED_TRACE("control " + std::to_string(item.id) + " " + item.className);
    QRect units(contura::afx::dialogUnitsToPixelsX(item.x), contura::afx::dialogUnitsToPixelsY(item.y),
                contura::afx::dialogUnitsToPixelsX(item.cx), contura::afx::dialogUnitsToPixelsY(item.cy));
    EXPECT_EQ(control.rect, units);
    // What shows of the control lies in the dialog (a combo box shows its field; the rest
    // of its rectangle is where its list drops).
    EXPECT_TRUE(inside.contains(control.widget->geometry())) << "at " << control.widget->geometry().x() << ","
                                                             << control.widget->geometry().y() << " size "
                                                             << control.widget->width() << "x"
                                                             << control.widget->height();
    QString text = captionOf(control.widget);
    EXPECT_EQ(contura::qt::missingGlyphs(font, text), "") << text.toStdString();
  }
  fs::create_directories(kArtifacts);
  QString file = QString::fromStdString((kArtifacts / ("dialog-" + std::to_string(tpl.id) + ".png")).string());
  EXPECT_TRUE(dialog.grab().save(file, "PNG"));
}

// The texts model space draws, with where their baselines start.
class TextCollector : public contura::db::WorldDrawConsumer {
public:
  using WorldDrawConsumer::WorldDrawConsumer;
  std::vector<std::pair<QString, QPointF>> texts;

protected:
  void onText(const contura::db::DrawnText& text, const contura::db::DrawStyle&) override {
    texts.emplace_back(contura::qt::fromCp936(text.text), QPointF(text.position.x, text.position.y));
  }
  void onPolyline(const AcGePoint3d*, std::size_t, bool, const contura::db::DrawStyle&) override {}
  void onArc(const AcGePoint3d&, double, const AcGeVector3d&, const AcGeVector3d&, double,
             const contura::db::DrawStyle&) override {}
  void onFill(const std::vector<std::vector<AcGePoint3d>>&, const contura::db::DrawStyle&) override {}
  void onPoints(const AcGePoint3d*, std::size_t, const contura::db::DrawStyle&) override {}
  void onInfiniteLine(const AcGePoint3d&, const AcGeVector3d&, bool, const contura::db::DrawStyle&) override {}
};

// Every text of the drawing has its glyphs in the canvas font (no missing-glyph boxes).
void expectTextGlyphs(const std::vector<std::pair<QString, QPointF>>& texts, int& chinese) {
  QFont font = contura::qt::dialogFont();
  for (const auto& [text, at] : texts) {
    EXPECT_EQ(contura::qt::missingGlyphs(font, text), "") << text.toStdString();
    for (QChar c : text) chinese += c.script() == QChar::Script_Han;
  }
}

TEST(Screenshots, MainWindowWithTheSampleDrawing) {
  // The sample drawing of special-shaped columns: outlines with arcs, Chinese notes and a
  // variable; a CJLX run leaves its transcript in the command line.
  const fs::path drawing = fs::path(CONTURA_SOURCE_DIR) / "examples" / "sectiontext" / "columns.dxf";
  GuiDriver driver;
  driver.then(WaitKind::kRequest, "command", [] { typeCommand("CJLX"); })
      .then(WaitKind::kRequest, "window",
            [] {
              QRectF box = window().canvas()->scene().extents();
              dragWindow(box.left() - 10, box.bottom() + 10, box.right() + 10, box.top() - 10);
            })
      .then(WaitKind::kRequest, "end", [] { rightClickCanvas(); })
      .then(WaitKind::kDialog, "close the view", [] { QTest::keyClick(&topDialog(), Qt::Key_Escape); })
      .then(WaitKind::kRequest, "picture", [] {
        contura::qt::Canvas* canvas = window().canvas();
        int chinese = 0;
        TextCollector collector(canvas->scene().database());
        for (const contura::qt::IndexedEntity& e : canvas->scene().entities()) collector.drawEntity(e.id);
        expectTextGlyphs(collector.texts, chinese);
        EXPECT_GT(chinese, 10);
        // Each text is drawn: some pixel near the start of its baseline is not background.
        QImage image = canvas->grab().toImage();
        QColor background = image.pixelColor(0, 0);
        for (const auto& [text, start] : collector.texts) {
          QPoint at = canvas->toScreen(start).toPoint();
          bool inked = false;
          for (int dy = -12; dy <= 2 && !inked; ++dy)
            for (int dx = -20; dx <= 20 && !inked; ++dx)
              inked = image.rect().contains(at + QPoint(dx, dy)) && image.pixelColor(at + QPoint(dx, dy)) != background;
          EXPECT_TRUE(inked) << text.toStdString();
        }
        QPoint cursor = canvas->toScreen(canvas->scene().extents().center()).toPoint();
        QTest::mouseMove(canvas, cursor);
        EXPECT_EQ(window().coordinates()->text(), canvas->pointText(canvas->toWorld(cursor)).replace(",", ", "));
        fs::create_directories(kArtifacts);
        EXPECT_TRUE(window().grab().save(QString::fromStdString((kArtifacts / "main-window.png").string()), "PNG"));
        typeCommand("QUIT");
      });
  GuiRun run = driver.run({drawing.string()});
  for (const std::string& failure : run.failures) ADD_FAILURE() << failure;
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.transcript.find("找到"), std::string::npos);
}

// The pixel of the 3 x 3 around `at` that differs most from the background (the corner).
QColor inkNear(const QImage& image, QPoint at) {
  QColor background = image.pixelColor(0, 0), best = background;
  auto distance = [&](QColor c) {
    return std::abs(c.red() - background.red()) + std::abs(c.green() - background.green()) +
           std::abs(c.blue() - background.blue());
  };
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      QColor c = image.pixelColor(at + QPoint(dx, dy));
      if (distance(c) > distance(best)) best = c;
    }
  return best;
}

TEST(Screenshots, EveryDialogTemplate) {
  const fs::path drawing = fs::path(CONTURA_MADE_DATA_DIR) / "sectiontext" / "examples.dxf";
  GuiDriver driver;
  std::vector<std::string> skipped;
  int shown = 0;
  driver.then(WaitKind::kRequest, "pictures", [&] {
    contura::qt::Canvas* canvas = window().canvas();
    QImage image = canvas->grab().toImage();
    // The red line and circle (colour 1) and the blue polyline of layer WALL (colour 5);
    // lines are antialiased, so their pixels are the colour blended with the background: the
    // most inked pixel next to the point is taken.
    QColor circle = inkNear(image, canvas->toScreen({650, 300}).toPoint());
    EXPECT_GT(circle.red(), circle.green() + 100);
    EXPECT_GT(circle.red(), circle.blue() + 100);
    QColor wall = inkNear(image, canvas->toScreen({100, 50}).toPoint());
    EXPECT_GT(wall.blue(), wall.red() + 30);
    EXPECT_GT(wall.blue(), wall.green() + 30);
    AfxInitRichEdit2();
    for (UINT id = 200; id <= 208; ++id) {
      const AFX_DLGTEMPLATE* tpl = AfxFindDialogTemplate(id);
      if (tpl == nullptr) {
        skipped.push_back("dialog " + std::to_string(id) + ": no template in the module yet, not shown");
        continue;
      }
      driver.then(WaitKind::kDialog, "dialog " + std::to_string(id), [tpl] {
        checkDialog(*tpl);
        topDialog().close();
      });
      CDialog dialog(id);
      EXPECT_EQ(dialog.DoModal(), IDCANCEL) << id;
      ++shown;
    }
    typeCommand("QUIT");
  });
  GuiRun run = driver.run({drawing.string()});
  for (const std::string& failure : run.failures) ADD_FAILURE() << failure;
  EXPECT_EQ(run.exitCode, 0);
  for (const std::string& line : skipped) std::cout << "[ SKIPPED  ] " << line << "\n";
  EXPECT_GE(shown, 7);  // 200, 201, 204 to 208 are the module's so far
}

}  // namespace
