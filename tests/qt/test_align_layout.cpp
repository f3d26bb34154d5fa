// The align layout as the form designer lays out: aligned children stack on their side from the
// outside in by position, placed children keep their distance to their anchored sides.

#include "platform/qt/form_renderer.h"
#include "tests/qt/qt_app.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace ctb::qt {
namespace {

class AlignLayoutTest : public test::WithApp, public ::testing::Test {
  protected:
    QRect rectOf(FormView& view, const ui::Control& c) { return view.widgetOf(c)->geometry(); }
};

TEST_F(AlignLayoutTest, SidesStackByPositionNotByChildOrder) {
    ui::Form form(QStringLiteral("frm"));
    form.setGeometry(0, 0, 400, 300);
    // Created bottom-most first: the positions, not the order, say which lies outermost.
    auto& inner = form.add<ui::Panel>(QStringLiteral("panInner"));
    inner.setAlign(ui::Align::Bottom);
    inner.setGeometry(0, 200, 400, 30);
    auto& outer = form.add<ui::Panel>(QStringLiteral("panOuter"));
    outer.setAlign(ui::Align::Bottom);
    outer.setGeometry(0, 250, 400, 50);
    auto& second = form.add<ui::Panel>(QStringLiteral("panSecond"));
    second.setAlign(ui::Align::Top);
    second.setGeometry(0, 40, 400, 20);
    auto& first = form.add<ui::Panel>(QStringLiteral("panFirst"));
    first.setAlign(ui::Align::Top);
    first.setGeometry(0, 0, 400, 40);
    auto& client = form.add<ui::Panel>(QStringLiteral("panClient"));
    client.setAlign(ui::Align::Client);
    FormView view(form);
    view.show();
    QApplication::processEvents();
    EXPECT_EQ(rectOf(view, first), QRect(0, 0, 400, 40));
    EXPECT_EQ(rectOf(view, second), QRect(0, 40, 400, 20));
    EXPECT_EQ(rectOf(view, outer), QRect(0, 250, 400, 50));
    EXPECT_EQ(rectOf(view, inner), QRect(0, 220, 400, 30));
    EXPECT_EQ(rectOf(view, client), QRect(0, 60, 400, 160));
}

TEST_F(AlignLayoutTest, AnchorsMoveOrStretchWhenTheContainerGrows) {
    ui::Form form(QStringLiteral("frm"));
    form.setGeometry(0, 0, 400, 300);
    auto& pan = form.add<ui::Panel>(QStringLiteral("panArea"));
    pan.setAlign(ui::Align::Client);
    pan.setGeometry(0, 0, 400, 300);  // the size its children were placed for
    auto& fixed = pan.add<ui::Edit>(QStringLiteral("edtFixo"));
    fixed.setGeometry(10, 10, 100, 22);
    auto& wide = pan.add<ui::Edit>(QStringLiteral("edtLargo"));
    wide.setGeometry(120, 10, 200, 22);
    wide.setAnchors(ui::Anchors{true, true, true, false});
    auto& right = pan.add<ui::Button>(QStringLiteral("btnDireita"));
    right.setGeometry(330, 10, 60, 22);
    right.setAnchors(ui::Anchors{false, true, true, false});
    auto& tall = pan.add<ui::Memo>(QStringLiteral("memAlto"));
    tall.setGeometry(10, 40, 380, 250);
    tall.setAnchors(ui::Anchors{true, true, true, true});
    FormView view(form);
    view.show();
    QApplication::processEvents();
    EXPECT_EQ(rectOf(view, wide), QRect(120, 10, 200, 22));
    view.resize(500, 400);
    QApplication::processEvents();
    EXPECT_EQ(rectOf(view, fixed), QRect(10, 10, 100, 22));
    EXPECT_EQ(rectOf(view, wide), QRect(120, 10, 300, 22));
    EXPECT_EQ(rectOf(view, right), QRect(430, 10, 60, 22));
    EXPECT_EQ(rectOf(view, tall), QRect(10, 40, 480, 350));
}

}  // namespace
}  // namespace ctb::qt
