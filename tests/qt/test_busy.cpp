#include "platform/qt/busy_indicator.h"
#include "platform/qt/responsive_call.h"
#include "tests/qt/qt_app.h"
#include "tests/support/latch.h"

#include <QApplication>
#include <QPaintEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <thread>

namespace ctb::qt {
namespace {

class Busy : public test::WithApp, public ::testing::Test {
  protected:
    void SetUp() override {
        test::app();
        window.resize(400, 300);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        busy.setHost(&window);
    }
    QWidget window;
    BusyIndicator busy;
};

TEST_F(Busy, NestedCallsShowUntilTheOutermostEnds) {
    busy.on();
    busy.on();
    ASSERT_NE(busy.spinner(), nullptr);
    EXPECT_TRUE(busy.spinner()->isVisible());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    busy.off();
    ASSERT_NE(busy.spinner(), nullptr);
    EXPECT_TRUE(busy.spinner()->isVisible());
    busy.off();
    EXPECT_EQ(busy.spinner(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Busy, ExtraOffIsIgnored) {
    busy.off();
    EXPECT_EQ(busy.depth(), 0);
    busy.on();
    EXPECT_EQ(busy.depth(), 1);
    busy.off();
    busy.off();
    EXPECT_EQ(busy.depth(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Counts paint events, to prove the window keeps painting during a call.
class PaintCounter : public QWidget {
  public:
    using QWidget::QWidget;
    std::function<void()> painted;

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        if (painted)
            painted();
    }
};

// The work of each call below waits until the GUI thread has shown what the test looks for, so the
// call lasts exactly as long as it takes to see it, and a window that stopped painting fails the test.
TEST_F(Busy, ResponsiveCallKeepsPaintingAndTurnsTheSpinner) {
    auto* canvas = new PaintCounter(&window);
    canvas->resize(50, 50);
    canvas->show();
    ctb::test::Latch paintedThrice;
    int paintsDuringCall = 0;
    bool inCall = false;
    canvas->painted = [&] {
        if (inCall && ++paintsDuringCall == 3)
            paintedThrice.release();
    };
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, canvas, [canvas] { canvas->update(); });
    repaint.start(20);
    inCall = true;
    bool sawPaints = false;
    runResponsive([&] { sawPaints = paintedThrice.wait(); }, &busy);
    inCall = false;
    EXPECT_TRUE(sawPaints);
    EXPECT_GE(paintsDuringCall, 3);
    EXPECT_EQ(busy.depth(), 0);
}

TEST_F(Busy, ResponsiveCallSpinnerAdvancesWhileWaiting) {
    ctb::test::Latch turned;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (busy.spinner() != nullptr && busy.spinner()->isVisible() && busy.spinner()->angle() > 0)
            turned.release();
    });
    probe.start(10);
    bool sawTurn = false;
    runResponsive([&] { sawTurn = turned.wait(); }, &busy);
    EXPECT_TRUE(sawTurn);
    EXPECT_EQ(busy.depth(), 0);
}

TEST_F(Busy, ResponsiveCallRethrowsAndClearsTheIndicator) {
    EXPECT_THROW(runResponsive([] { throw std::runtime_error("falhou"); }, &busy), std::runtime_error);
    EXPECT_EQ(busy.depth(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Busy, ResponsiveCallRunsOnAnotherThread) {
    std::thread::id worker;
    runResponsive([&] { worker = std::this_thread::get_id(); }, nullptr);
    EXPECT_NE(worker, std::this_thread::get_id());
}

}  // namespace
}  // namespace ctb::qt
