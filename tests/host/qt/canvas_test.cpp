// The canvas's answers to the mouse without a request and to a tiny drag, its view (zoom
// about the cursor, pan, extents, the digits of a coordinate), the command line's history and
// transcript stream, and the window following a view a command made current.
#include "canvas.h"
#include "command_panel.h"
#include "main_window.h"

#include <aced.h>
#include <contura/ed/editor_state.h>
#include <dbmain.h>
#include <dbsymtb.h>

#include <cmath>
#include <memory>

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using contura::qt::Canvas;

// A shown canvas over a 10 x 10 square at (100,100), fitted in 400 x 300 pixels.
struct ShownCanvas {
  Canvas canvas;
  ShownCanvas() {
    canvas.resize(400, 300);
    contura::qt::IndexedEntity square;
    square.handle = 0x1A;
    square.box = {100, 100, 110, 110};
    canvas.show();
    canvas.setScene(contura::qt::DrawingIndex({square}));
    canvas.zoomExtents();
  }
  QPoint at(double x, double y) const { return canvas.toScreen({x, y}).toPoint(); }
  // The answer line a window or click gives, parsed back to world points.
  static std::vector<QPointF> pointsOf(const QString& line) {
    std::vector<QPointF> points;
    for (const QString& word : line.split(' ', Qt::SkipEmptyParts)) {
      QStringList xy = word.split(',');
      if (xy.size() == 2) points.push_back({xy[0].toDouble(), xy[1].toDouble()});
    }
    return points;
  }
};

// Clicks answering a point request within a pixel, windows left to right ("w ") and right to
// left ("c "), and the right button as Enter are asserted by the whole GUI sessions (their
// picks and exports depend on the corners); here what those sessions never do.
TEST(Canvas, ClicksWithoutARequestAnswerNothingAndATinyDragIsAPick) {
  ShownCanvas c;
  QSignalSpy answers(&c.canvas, &Canvas::answered);
  QTest::mouseClick(&c.canvas, Qt::LeftButton, {}, c.at(105, 105));
  EXPECT_EQ(answers.count(), 0);

  c.canvas.setRequest(Canvas::Mode::kSelection);
  QTest::mousePress(&c.canvas, Qt::LeftButton, {}, c.at(100, 105));
  QTest::mouseRelease(&c.canvas, Qt::LeftButton, {}, c.at(100, 105) + QPoint(1, 1));
  ASSERT_EQ(answers.count(), 1);
  auto p = ShownCanvas::pointsOf(answers.takeFirst()[0].toString());
  ASSERT_EQ(p.size(), 1u);
  EXPECT_NEAR(p[0].x(), 100, 2 * c.canvas.worldPerPixel());
}

TEST(Canvas, ZoomKeepsTheCursorsPointAndPanMovesTheView) {
  ShownCanvas c;
  // Extents: the square fills the smaller side less the margins and sits in the middle.
  QPointF lowLeft = c.canvas.toScreen({100, 100}), highRight = c.canvas.toScreen({110, 110});
  EXPECT_NEAR(lowLeft.y() - highRight.y(), 300 * 0.9, 1.0);
  EXPECT_NEAR((lowLeft.x() + highRight.x()) / 2, 200, 1.0);

  QPointF cursor(300, 80);
  QPointF under = c.canvas.toWorld(cursor);
  double before = c.canvas.worldPerPixel();
  c.canvas.zoomAbout(cursor, 2.0);
  EXPECT_NEAR(c.canvas.worldPerPixel(), before / 2, 1e-12);
  EXPECT_NEAR(c.canvas.toWorld(cursor).x(), under.x(), 1e-9);
  EXPECT_NEAR(c.canvas.toWorld(cursor).y(), under.y(), 1e-9);

  QWheelEvent wheel(cursor, c.canvas.mapToGlobal(cursor), {}, QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&c.canvas, &wheel);
  EXPECT_GT(c.canvas.worldPerPixel(), before / 2);  // a notch back zooms out
  EXPECT_NEAR(c.canvas.toWorld(cursor).x(), under.x(), 1e-9);

  QPointF world = c.canvas.toWorld({200, 150});
  c.canvas.panBy({10, -20});
  EXPECT_NEAR(c.canvas.toScreen(world).x(), 210, 1e-9);
  EXPECT_NEAR(c.canvas.toScreen(world).y(), 130, 1e-9);

  // A middle-button drag pans the same way.
  QPointF w2 = c.canvas.toWorld({100, 100});
  QTest::mousePress(&c.canvas, Qt::MiddleButton, {}, QPoint(100, 100));
  QMouseEvent move(QEvent::MouseMove, QPointF(130, 90), c.canvas.mapToGlobal(QPointF(130, 90)), Qt::NoButton,
                   Qt::MiddleButton, Qt::NoModifier);
  QApplication::sendEvent(&c.canvas, &move);
  QTest::mouseRelease(&c.canvas, Qt::MiddleButton, {}, QPoint(130, 90));
  EXPECT_NEAR(c.canvas.toScreen(w2).x(), 130, 1e-9);
  EXPECT_NEAR(c.canvas.toScreen(w2).y(), 90, 1e-9);
}

TEST(Canvas, CoordinatesCarryTheDigitsAPixelIsWorth) {
  ShownCanvas c;
  c.canvas.zoomAbout({200, 150}, c.canvas.worldPerPixel());  // one pixel per unit
  double perPixel = c.canvas.worldPerPixel();
  ASSERT_NEAR(perPixel, 1.0, 1e-9);
  EXPECT_EQ(c.canvas.pointText({12.34, -4.56}), "12.3,-4.6");
  EXPECT_EQ(c.canvas.pointText({-0.01, 7}), "0,7");  // no "-0"
  c.canvas.zoomAbout({200, 150}, 100.0);  // 0.01 units a pixel: three decimals
  EXPECT_EQ(c.canvas.pointText({12.34567, 3}), "12.346,3");
}

TEST(CommandPanel, HistoryRecallsEnteredLinesAndEscapeCancels) {
  contura::qt::CommandPanel panel;
  QSignalSpy lines(&panel, &contura::qt::CommandPanel::lineEntered);
  QSignalSpy cancels(&panel, &contura::qt::CommandPanel::cancelled);
  QLineEdit* input = panel.input();
  for (const char* typed : {"CJLX", "JMGL", "JMGL"}) {
    QTest::keyClicks(input, typed);
    QTest::keyClick(input, Qt::Key_Return);
  }
  ASSERT_EQ(lines.count(), 3);
  EXPECT_EQ(panel.history(), QStringList({"CJLX", "JMGL"}));  // a repeat is kept once
  QTest::keyClicks(input, "TJ");
  QTest::keyClick(input, Qt::Key_Up);
  EXPECT_EQ(input->text(), "JMGL");
  QTest::keyClick(input, Qt::Key_Up);
  QTest::keyClick(input, Qt::Key_Up);  // no further back than the first
  EXPECT_EQ(input->text(), "CJLX");
  QTest::keyClick(input, Qt::Key_Down);
  QTest::keyClick(input, Qt::Key_Down);
  EXPECT_EQ(input->text(), "TJ");  // back to what was being typed
  QTest::keyClick(input, Qt::Key_Escape);
  EXPECT_EQ(cancels.count(), 1);
  EXPECT_TRUE(input->text().isEmpty());
}

TEST(CommandPanel, TranscriptStreamJoinsCharactersSplitBetweenWrites) {
  contura::qt::CommandPanel panel;
  contura::qt::TranscriptStream out(panel);
  std::string text = "命令: CJLX\n找到 2 个";
  out << text.substr(0, 1);  // the first byte of a three-byte character
  EXPECT_EQ(panel.transcript(), "");
  out << text.substr(1);
  out.flush();
  EXPECT_EQ(panel.transcript(), QString::fromUtf8(text.c_str()));
}

}  // namespace

namespace {

// A command that zooms (to an entity or a window) makes a view current in the editor; the
// window shows that view at its next refresh, and a refresh without a new view keeps the
// person's own zoom.
TEST(MainWindowView, FollowsTheViewACommandMadeCurrent) {
  auto drawing = std::make_unique<AcDbDatabase>(true);
  contura::qt::MainWindow window(drawing, std::nullopt);
  window.resize(900, 700);
  window.show();
  auto* canvas = window.findChild<Canvas*>();
  ASSERT_NE(canvas, nullptr);
  canvas->zoomAbout({10, 10}, 3.0);
  const QPointF own = canvas->viewCenter();
  window.refresh();
  EXPECT_EQ(canvas->viewCenter(), own);

  AcDbViewTableRecord view;
  view.setCenterPoint(AcGePoint2d(500, 250));
  view.setWidth(40);
  view.setHeight(10);
  ASSERT_EQ(acedSetCurrentView(&view, nullptr), Acad::eOk);
  window.refresh();
  EXPECT_NEAR(canvas->viewCenter().x(), 500, 1e-9);
  EXPECT_NEAR(canvas->viewCenter().y(), 250, 1e-9);
  // The whole 40 x 10 window is in view, and it fills the canvas one way.
  const QPointF low = canvas->toScreen({480, 245}), high = canvas->toScreen({520, 255});
  EXPECT_GE(low.x(), -0.5);
  EXPECT_LE(high.x(), canvas->width() + 0.5);
  EXPECT_TRUE(std::abs((high.x() - low.x()) - canvas->width()) < 1.0 ||
              std::abs((low.y() - high.y()) - canvas->height()) < 1.0);
  contura::ed::resetEditor();
}

}  // namespace
