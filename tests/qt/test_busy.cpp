#include "platform/qt/busy_indicator.h"
#include "platform/qt/responsive_call.h"
#include "tests/qt/qt_app.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
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
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent* /*event*/) override { ++paints; }
};

TEST_F(Busy, ResponsiveCallKeepsPaintingAndTurnsTheSpinner) {
    auto* canvas = new PaintCounter(&window);
    canvas->resize(50, 50);
    canvas->show();
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, canvas, [canvas] { canvas->update(); });
    repaint.start(20);
    QTest::qWait(30);
    const int before = canvas->paints;
    runResponsive([] { std::this_thread::sleep_for(std::chrono::milliseconds(400)); }, &busy);
    EXPECT_GT(canvas->paints, before + 3);
    EXPECT_EQ(busy.depth(), 0);
}

TEST_F(Busy, ResponsiveCallSpinnerAdvancesWhileWaiting) {
    int angleDuringCall = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (busy.spinner() != nullptr) {
            angleDuringCall = std::max(angleDuringCall, busy.spinner()->angle());
        }
    });
    probe.start(30);
    runResponsive([] { std::this_thread::sleep_for(std::chrono::milliseconds(400)); }, &busy);
    EXPECT_GT(angleDuringCall, 0);
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
