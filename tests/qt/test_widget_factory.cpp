// The widget factory: a widget per control, laid out from the model, showing what the model holds;
// clicks on radio buttons and tabs go through the model.

#include "platform/ui/user_input.h"
#include "tests/qt/renderer_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace ctb::qt {
namespace {

using driver::findControl;
using test::Renderer;

TEST_F(Renderer, EveryControlHasAWidgetNamedAfterIt) {
    std::vector<ui::Control*> stack{sample->form.get()};
    int count = 0;
    while (!stack.empty()) {
        ui::Control* c = stack.back();
        stack.pop_back();
        if (c->kind() != ui::ControlKind::MenuItem) {
            QWidget* w = view->widgetOf(*c);
            ASSERT_NE(w, nullptr) << c->name().toStdString();
            EXPECT_EQ(w->objectName(), c->name());
            ++count;
        }
        if (c->isContainer()) {
            for (ui::Control* child : static_cast<ui::Container*>(c)->children()) {
                stack.push_back(child);
            }
        }
    }
    EXPECT_GT(count, 20);
}

TEST_F(Renderer, LayoutComesFromTheModel) {
    QWidget* edit = view->widgetOf(sample->control("edtCdEmpresa"));
    EXPECT_EQ(edit->geometry(), QRect(80, 8, 40, 24));
    EXPECT_EQ(edit->parentWidget(), view->widgetOf(sample->control("panTopo")));
    QWidget* top = view->widgetOf(sample->control("panTopo"));
    QWidget* bottom = view->widgetOf(sample->control("panBotoes"));
    EXPECT_EQ(top->y(), 0);
    EXPECT_EQ(top->height(), 74);
    EXPECT_EQ(bottom->height(), 40);
    EXPECT_EQ(bottom->geometry().bottom(), top->parentWidget()->height() - 1);
    // A geometry changed by screen code moves the widget.
    sample->control("edtCdEmpresa").setGeometry(90, 8, 40, 24);
    EXPECT_EQ(edit->x(), 90);
}

TEST_F(Renderer, ModelChangesShowInWidgets) {
    sample->control("edtNmEmpresa").setText(QStringLiteral("Matriz"));
    EXPECT_EQ(widget<QLineEdit>("edtNmEmpresa")->text(), QStringLiteral("Matriz"));
    sample->control("sbtConfirmar").setEnabled(false);
    EXPECT_FALSE(widget<QPushButton>("sbtConfirmar")->isEnabled());
    sample->control("lblValor").setVisible(false);
    EXPECT_TRUE(widget<QLabel>("lblValor")->isHidden());
    static_cast<ui::NumberEdit&>(sample->control("nedValor")).setNumber(1234.5);
    EXPECT_EQ(widget<QLineEdit>("nedValor")->text(), QStringLiteral("1.234,50"));
}

TEST_F(Renderer, RadioAndTabClicksGoThroughTheModel) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    driver::click(view->widgetOf(sample->control("tshOutros")));
    EXPECT_EQ(static_cast<ui::PageControl&>(sample->control("pgcPadrao")).activePage(),
              &sample->control("tshOutros"));
    driver::click(widget<QRadioButton>("rbtCredito"));
    EXPECT_TRUE(static_cast<ui::CheckBox&>(sample->control("rbtCredito")).checked());
    EXPECT_FALSE(static_cast<ui::CheckBox&>(sample->control("rbtDebito")).checked());
    EXPECT_FALSE(widget<QRadioButton>("rbtDebito")->isChecked());
    EXPECT_TRUE(widget<QRadioButton>("rbtCredito")->isChecked());
}

TEST_F(Renderer, TabClickAsksOnChangingOnceAndMayBeRefused) {
    auto& pages = static_cast<ui::PageControl&>(sample->control("pgcPadrao"));
    auto& dados = sample->control("tshDados");
    auto& outros = sample->control("tshOutros");
    int asked = 0;
    int changed = 0;
    bool allow = false;
    pages.onChanging = [&](ui::Control&, bool& allowChange) {
        ++asked;
        allowChange = allow;
    };
    pages.onChange = [&changed](ui::Control&) { ++changed; };
    auto* tabs = widget<QTabWidget>("pgcPadrao");
    ASSERT_NE(tabs, nullptr);
    // Focus on the showing sheet first: hiding it must not swallow the click.
    driver::focus(view->widgetOf(sample->control("dbgLinhas")));

    driver::click(view->widgetOf(outros));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(pages.activePage(), &dados);
    EXPECT_EQ(tabs->currentWidget(), view->widgetOf(dados));

    allow = true;
    driver::click(view->widgetOf(outros));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(pages.activePage(), &outros);
    EXPECT_EQ(tabs->currentWidget(), view->widgetOf(outros));

    // Back by the model's click path (a script's click on the sheet): once as well.
    ASSERT_TRUE(ui::user::click(dados));
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(tabs->currentWidget(), view->widgetOf(dados));
    // Clicking the showing tab asks nothing.
    driver::click(view->widgetOf(dados));
    EXPECT_EQ(asked, 3);
}

}  // namespace
}  // namespace ctb::qt
