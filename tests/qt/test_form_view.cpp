// The form view: typing, focus and keys reach the model; questions, messages and lookups.

#include "tests/qt/renderer_fixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

namespace ctb::qt {
namespace {

using driver::findControl;
using test::Renderer;

TEST_F(Renderer, TypingReachesTheModelKeystrokeByKeystroke) {
    sample->events.clear();
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    EXPECT_EQ(sample->control("edtCdEmpresa").text(), QStringLiteral("01"));
    EXPECT_TRUE(sample->events.contains(QStringLiteral("change:0")));
    EXPECT_TRUE(sample->events.contains(QStringLiteral("change:01")));
    // The model's limit holds: a third character is refused.
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("012"));
    EXPECT_EQ(sample->control("edtCdEmpresa").text(), QStringLiteral("01"));
}

TEST_F(Renderer, MaskedEditsFollowTheMask) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    driver::typeText(widget<QLineEdit>("medConta"), QStringLiteral("1.1.01"));
    EXPECT_EQ(sample->control("medConta").text(), QStringLiteral("1.1.01"));
    EXPECT_FALSE(widget<QLineEdit>("medConta")->inputMask().isEmpty());
    driver::typeText(widget<QLineEdit>("depData"), QStringLiteral("15/03/2026"));
    EXPECT_EQ(static_cast<ui::DateEdit&>(sample->control("depData")).date(), QDate(2026, 3, 15));
    EXPECT_EQ(widget<QLineEdit>("depData")->text(), QStringLiteral("15/03/2026"));
}

TEST_F(Renderer, NumericEditReadsTheDecimalComma) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    driver::typeText(widget<QLineEdit>("nedValor"), QStringLiteral("1234,5"));
    EXPECT_DOUBLE_EQ(static_cast<ui::NumberEdit&>(sample->control("nedValor")).number(), 1234.5);
}

TEST_F(Renderer, AccentedTextIsTyped) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    auto& memo = sample->control("memHistorico");
    driver::click(view->widgetOf(sample->control("tshOutros")));
    driver::typeText(view->widgetOf(memo), QStringLiteral("Lançamento à vista"));
    EXPECT_EQ(memo.text(), QStringLiteral("Lançamento à vista"));
}

TEST_F(Renderer, QtFocusRunsTheModelsExitAndEnterEvents) {
    driver::focus(widget<QLineEdit>("edtCdEmpresa"));
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    sample->events.clear();
    driver::focus(widget<QLineEdit>("nedValor"));
    EXPECT_EQ(sample->form->activeControl(), &sample->control("nedValor"));
    EXPECT_TRUE(sample->events.contains(QStringLiteral("edtCdEmpresaExit")));
    // Leaving the panel runs its exit after the edit's.
    driver::focus(view->widgetOf(sample->control("dbgLinhas")));
    EXPECT_EQ(sample->events.last(), QStringLiteral("panTopoExit"));
}

TEST_F(Renderer, AnAbortingExitKeepsTheFocusInQtToo) {
    driver::focus(widget<QLineEdit>("edtCdEmpresa"));
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QString());
    driver::focus(widget<QLineEdit>("nedValor"));
    EXPECT_EQ(script->messages, QStringList{QStringLiteral("Empresa deve ser informada.")});
    EXPECT_EQ(sample->form->activeControl(), &sample->control("edtCdEmpresa"));
    driver::activate(view);
    driver::settle();
    EXPECT_EQ(QApplication::focusWidget(), widget<QLineEdit>("edtCdEmpresa"));
}

TEST_F(Renderer, ModelFocusMovesQtFocus) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    sample->control("medConta").setFocus();
    driver::settle();
    EXPECT_EQ(QApplication::focusWidget(), widget<QLineEdit>("medConta"));
}

TEST_F(Renderer, KeypadPlusReachesTheModelAs107) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    driver::focus(widget<QLineEdit>("nedValor"));
    driver::pressKey(widget<QLineEdit>("nedValor"), 107, false, false);
    EXPECT_EQ(sample->lastKeyDown, 107);
    EXPECT_TRUE(sample->events.contains(QStringLiteral("keypadPlus")));
    driver::pressKey(widget<QLineEdit>("nedValor"), 187, false, true);
    EXPECT_EQ(sample->lastKeyDown, 187);
}

TEST_F(Renderer, TabMovesToTheNextControlInTheModelsOrder) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    driver::pressKey(widget<QLineEdit>("edtCdEmpresa"), 9, false, false);
    EXPECT_EQ(sample->form->activeControl(), &sample->control("medConta"));
    EXPECT_EQ(QApplication::focusWidget(), widget<QLineEdit>("medConta"));
}

TEST_F(Renderer, OnlySimActsOnAQuestion) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    script->buttons = {QStringLiteral("btnNao")};
    driver::click(widget<QPushButton>("sbtCancelar"));
    EXPECT_EQ(script->messages, QStringList{QStringLiteral("Deseja cancelar?")});
    script->messages.clear();
    script->buttons = {QStringLiteral("btnSim"), QStringLiteral("btnOK")};
    driver::click(widget<QPushButton>("sbtCancelar"));
    EXPECT_EQ(script->messages,
              (QStringList{QStringLiteral("Deseja cancelar?"), QStringLiteral("Cancelado.")}));
}

TEST_F(Renderer, LookupButtonPicksByKey) {
    script->forms.push_back([](QDialog* dialog) {
        auto* lookup = qobject_cast<LookupDialog*>(dialog);
        ASSERT_NE(lookup, nullptr);
        EXPECT_TRUE(lookup->selectKeys({QStringLiteral("02")}));
        driver::click(lookup->findChild<QPushButton*>(QStringLiteral("btnOK")));
    });
    driver::click(view->widgetOf(sample->control("btnEmpresa")));
    EXPECT_EQ(sample->control("edtCdEmpresa").text(), QStringLiteral("02"));
    EXPECT_EQ(widget<QLineEdit>("edtNmEmpresa")->text(), QStringLiteral("Filial São Paulo"));
}

}  // namespace
}  // namespace ctb::qt
