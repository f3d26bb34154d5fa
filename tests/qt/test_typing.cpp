// Typing as a person types, with real key events on the widgets: every edit kind keeps its cursor and
// selection through the model's echo, masks overwrite at the cursor, Tab and Shift+Tab entry selects
// the whole text, a click places the cursor, Ctrl+A, Home, End, Backspace and Delete behave as in any
// Qt line edit, a numeric edit takes the decimal comma and the keypad's decimal key; grid cells open
// their editor on the first character; Ctrl+C copies grid cells as tab-separated text.

#include "platform/dataset/client_dataset.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/widget_driver.h"
#include "platform/ui/data_controls.h"
#include "tests/qt/qt_app.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <variant>

namespace ctb::qt {
namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

// A form with one control of every edit kind, in this tab order (a plain edit first, so that every
// case has a predecessor to come from by Tab).
struct TypingForm {
    ClientDataSet cdsDados{s("cdsDados")};
    DataSource dtsDados{&cdsDados, s("dtsDados")};
    std::unique_ptr<ui::Form> form;
    QStringList changes;

    explicit TypingForm(ui::UiServices* services) {
        cdsDados.addStringField(s("NOME"), 20).setDisplayLabel(s("Nome"));
        Field& contaField = cdsDados.addStringField(s("CONTA"), 10);
        contaField.setDisplayLabel(s("Conta"));
        contaField.setEditMask(s("9.9.99.999;1;_"));
        Field& valor = cdsDados.addFloatField(s("VALOR"));
        valor.setDisplayLabel(s("Valor"));
        valor.setDisplayFormat(s("#,##0.00"));
        cdsDados.createDataSet();
        for (const auto& [nome, c, v] :
             {std::tuple{"Caixa", "1.1.01.001", 1234.5}, std::tuple{"Banco", "1.1.01.002", 10.0}}) {
            cdsDados.append();
            cdsDados.fieldByName(u"NOME").setAsString(s(nome));
            cdsDados.fieldByName(u"CONTA").setAsString(s(c));
            cdsDados.fieldByName(u"VALOR").setAsFloat(v);
            cdsDados.post();
        }
        cdsDados.first();

        form = std::make_unique<ui::Form>(s("frmDigitacao"), services);
        ui::Form& f = *form;
        f.setCaption(s("Digitação"));
        f.setGeometry(0, 0, 640, 400);
        int top = 8;
        auto place = [&top](ui::Control& c, int width = 160) {
            c.setGeometry(120, top, width, 24);
            top += 30;
        };
        place(f.add<ui::Edit>(s("edtInicio")));
        place(f.add<ui::Edit>(s("edtTexto")));
        auto& upper = f.add<ui::Edit>(s("edtMaiusculo"));
        upper.upperCase = true;
        place(upper);
        auto& conta = f.add<ui::MaskEdit>(s("medConta"));
        conta.setEditMask(s("9.9.99.999;1;_"));
        place(conta);
        auto& blank = f.add<ui::MaskEdit>(s("medContaBranco"));
        blank.setEditMask(s("9.9.99.999;1; "));
        place(blank);
        place(f.add<ui::DateEdit>(s("depData")));
        place(f.add<ui::NumberEdit>(s("nedValor")));
        place(f.add<ui::Memo>(s("memHistorico")), 300);
        auto& nome = f.add<ui::DBEdit>(s("dbeNome"));
        nome.setDataBinding(&dtsDados, s("NOME"));
        place(nome);
        auto& grid = f.add<ui::DBGrid>(s("dbgDados"));
        grid.setDataSource(&dtsDados);
        grid.addColumn(s("NOME"), {}, 160);
        grid.addColumn(s("CONTA"), {}, 120);
        grid.addColumn(s("VALOR"), {}, 120);
        grid.setGeometry(8, top, 600, 120);
        for (const char* name :
             {"edtTexto", "edtMaiusculo", "medConta", "depData", "nedValor", "memHistorico", "dbeNome"}) {
            f.findControl(s(name))->onChange = [this](ui::Control& c) {
                changes << c.name() + u'=' + c.text();
            };
        }
    }
    ui::Control& control(const char* name) const { return *form->findControl(s(name)); }
};

class Typing : public test::WithApp, public ::testing::Test {
  protected:
    void SetUp() override {
        area = std::make_unique<QMdiArea>();
        area->resize(900, 600);
        ui.setMdiArea(area.get());
        area->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(area.get()));
        typing = std::make_unique<TypingForm>(&ui);
        typing->form->show();
        driver::activate(area.get());
        driver::settle();
    }
    void TearDown() override {
        typing.reset();
        area.reset();
    }
    template <typename W = QWidget>
    W* widget(const char* name) {
        return qobject_cast<W*>(driver::findControl(s(name)));
    }
    // Enters the control as Tab does: from its predecessor (Shift+Tab from it first).
    void enterByTab(const char* name) {
        QWidget* w = widget(name);
        driver::focus(w);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        driver::settle();
        ASSERT_NE(QApplication::focusWidget(), w) << name;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        driver::settle();
        ASSERT_EQ(QApplication::focusWidget(), w) << name;
    }
    // Enters the control by a click at character position `at` (-1: past the end of its text).
    void enterByClick(const char* name, int at) {
        auto* edit = widget<QLineEdit>(name);
        driver::activate(edit);
        const int x = at < 0 ? edit->width() - 4 : at == 0 ? 1 : xOfPosition(*edit, at) + 1;
        QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(x, edit->height() / 2));
        driver::settle();
    }
    // Where the cursor stands before character `position`, in the edit's coordinates.
    static int xOfPosition(QLineEdit& edit, int position) {
        const QString shown = edit.displayText();
        const QMargins margins = edit.textMargins();
        // The frame and Qt's own side margin of a line edit, then the characters before the position.
        return 2 + margins.left() + 2 + edit.fontMetrics().horizontalAdvance(shown.left(position));
    }

    QtUi ui;
    std::unique_ptr<QMdiArea> area;
    std::unique_ptr<TypingForm> typing;
};

// ---- the keystrokes a case sends ----
struct Keys {
    QString text;  // typed as characters
};
struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};
using Step = std::variant<Keys, Key>;

void send(QWidget* target, const Step& step) {
    if (const auto* keys = std::get_if<Keys>(&step)) {
        for (QChar c : keys->text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(target, c.toLatin1());
            } else {
                QTest::sendKeyEvent(QTest::KeyAction::Press, target, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
                QTest::sendKeyEvent(QTest::KeyAction::Release, target, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
            }
        }
    } else {
        const auto& key = std::get<Key>(step);
        QTest::keyClick(target, key.key, key.modifiers);
    }
    driver::settle();
}

enum class Entry { Tab, ClickAtEnd, ClickAt, Focus };

struct TypingCase {
    const char* name;
    const char* control;
    const char* initial;  // the model's text before the user comes
    Entry entry;
    int clickAt;  // for ClickAt
    std::vector<Step> steps;
    const char* modelText;   // what the model holds afterwards
    const char* widgetText;  // what QLineEdit::text() gives (a mask keeps its literals)
    int cursor;              // the cursor afterwards
};

void PrintTo(const TypingCase& c, std::ostream* os) {
    *os << c.name;
}

const Key kHome{Qt::Key_Home};
const Key kEnd{Qt::Key_End};
const Key kLeft{Qt::Key_Left};
const Key kRight{Qt::Key_Right};
const Key kBackspace{Qt::Key_Backspace};
const Key kDelete{Qt::Key_Delete};
const Key kCtrlA{Qt::Key_A, Qt::ControlModifier};
const Key kKeypadDecimal{Qt::Key_Comma, Qt::KeypadModifier};
const Key kKeypadPeriod{Qt::Key_Period, Qt::KeypadModifier};

class TypingCases : public Typing, public ::testing::WithParamInterface<TypingCase> {};

TEST_P(TypingCases, TypesAsAPersonDoes) {
    const TypingCase& c = GetParam();
    ui::Control& control = typing->control(c.control);
    control.setText(s(c.initial));
    driver::settle();
    switch (c.entry) {
        case Entry::Tab:
            enterByTab(c.control);
            break;
        case Entry::ClickAtEnd:
            enterByClick(c.control, -1);
            break;
        case Entry::ClickAt:
            enterByClick(c.control, c.clickAt);
            break;
        case Entry::Focus:
            driver::focus(widget(c.control));
            break;
    }
    ASSERT_EQ(typing->form->activeControl(), &control);
    QWidget* target = widget(c.control);
    for (const Step& step : c.steps) {
        send(target, step);
    }
    EXPECT_EQ(control.text(), s(c.modelText));
    if (auto* edit = qobject_cast<QLineEdit*>(target)) {
        EXPECT_EQ(edit->text(), s(c.widgetText));
        EXPECT_EQ(edit->cursorPosition(), c.cursor);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(target)) {
        EXPECT_EQ(memo->toPlainText(), s(c.widgetText));
        EXPECT_EQ(memo->textCursor().position(), c.cursor);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryEditKind, TypingCases,
    ::testing::Values(
        // Dates: the prefilled period of the filter, changed by typing over it.
        TypingCase{"DatePrefilledOverwrittenFromHome",
                   "depData",
                   "09/12/2026",
                   Entry::ClickAtEnd,
                   0,
                   {kHome, Keys{s("01012026")}},
                   "01/01/2026",
                   "01/01/2026",
                   10},
        TypingCase{"DateReplacedAfterTab",
                   "depData",
                   "09/12/2026",
                   Entry::Tab,
                   0,
                   {Keys{s("15032026")}},
                   "15/03/2026",
                   "15/03/2026",
                   10},
        TypingCase{"DateReplacedAfterCtrlA",
                   "depData",
                   "09/12/2026",
                   Entry::ClickAtEnd,
                   0,
                   {kCtrlA, Keys{s("3112")}},
                   "31/12",
                   "31/12/",
                   6},
        TypingCase{"DateDayChangedInTheMiddle",
                   "depData",
                   "09/12/2026",
                   Entry::ClickAt,
                   3,
                   {Keys{s("11")}},
                   "09/11/2026",
                   "09/11/2026",
                   6},
        TypingCase{"DateBackspaceBlanksThePosition",
                   "depData",
                   "09/12/2026",
                   Entry::ClickAtEnd,
                   0,
                   {kBackspace, kBackspace},
                   "09/12/20",
                   "09/12/20",
                   8},
        TypingCase{"DateDeleteAtHome",
                   "depData",
                   "09/12/2026",
                   Entry::ClickAtEnd,
                   0,
                   {kHome, kDelete, Keys{s("1")}},
                   "19/12/2026",
                   "19/12/2026",
                   1},
        // Account codes: a digit corrected in the middle, the rest kept (Right steps over the dots).
        TypingCase{"AccountCorrectedInTheMiddle",
                   "medConta",
                   "1.1.01.001",
                   Entry::ClickAtEnd,
                   0,
                   {kHome, kRight, kRight, Keys{s("2")}},
                   "1.1.21.001",
                   "1.1.21.001",
                   5},
        TypingCase{"AccountTypedAfterTab",
                   "medConta",
                   "1.1.01.001",
                   Entry::Tab,
                   0,
                   {Keys{s("2101")}},
                   "2.1.01",
                   "2.1.01.",
                   7},
        TypingCase{"AccountLiteralTypedMovesPast",
                   "medConta",
                   "",
                   Entry::ClickAt,
                   0,
                   {Keys{s("1.1.01")}},
                   "1.1.01",
                   "1.1.01.",
                   7},
        TypingCase{"AccountWithBlankMaskAfterFocus",
                   "medContaBranco",
                   "",
                   Entry::Focus,
                   0,
                   {Keys{s("1.1.01")}},
                   "1.1.01",
                   "1.1.01.",
                   7},
        TypingCase{"AccountWithBlankMaskAfterClick",
                   "medContaBranco",
                   "",
                   Entry::ClickAt,
                   0,
                   {Keys{s("1.1.01")}},
                   "1.1.01",
                   "1.1.01.",
                   7},
        // Plain edits.
        TypingCase{"PlainInsertedAtTheCursor",
                   "edtTexto",
                   "ALUGUEL",
                   Entry::ClickAtEnd,
                   0,
                   {kHome, Keys{s("PG ")}},
                   "PG ALUGUEL",
                   "PG ALUGUEL",
                   3},
        TypingCase{"PlainReplacedAfterTab",
                   "edtTexto",
                   "ALUGUEL",
                   Entry::Tab,
                   0,
                   {Keys{s("água")}},
                   "água",
                   "água",
                   4},
        TypingCase{"PlainEndBackspaceDelete",
                   "edtTexto",
                   "ABCDE",
                   Entry::ClickAtEnd,
                   0,
                   {kLeft, kLeft, kBackspace, kDelete, kEnd, Keys{s("!")}},
                   "ABE!",
                   "ABE!",
                   4},
        TypingCase{"UpperCaseTypesCapitalsAtTheCursor",
                   "edtMaiusculo",
                   "AB",
                   Entry::ClickAtEnd,
                   0,
                   {kLeft, Keys{s("x")}},
                   "AXB",
                   "AXB",
                   2},
        // Numbers: the decimal comma and the keypad's decimal key (either Qt key it arrives as).
        TypingCase{"NumberTypedWithComma",
                   "nedValor",
                   "",
                   Entry::Tab,
                   0,
                   {Keys{s("1234,56")}},
                   "1234,56",
                   "1234,56",
                   7},
        TypingCase{"NumberKeypadDecimalIsTheComma",
                   "nedValor",
                   "",
                   Entry::Tab,
                   0,
                   {Keys{s("12")}, kKeypadDecimal, Keys{s("5")}},
                   "12,5",
                   "12,5",
                   4},
        TypingCase{"NumberKeypadPeriodIsTheComma",
                   "nedValor",
                   "",
                   Entry::Tab,
                   0,
                   {Keys{s("7")}, kKeypadPeriod, Keys{s("25")}},
                   "7,25",
                   "7,25",
                   4},
        TypingCase{"NumberRefusesASecondComma",
                   "nedValor",
                   "1,5",
                   Entry::ClickAtEnd,
                   0,
                   {Keys{s(",2")}},
                   "1,52",
                   "1,52",
                   4},
        TypingCase{"NumberValueReplacedAfterTab",
                   "nedValor",
                   "1.234,50",
                   Entry::Tab,
                   0,
                   {Keys{s("99")}},
                   "99",
                   "99",
                   2},
        // Memo and data-bound edit.
        TypingCase{"MemoInsertedAtTheCursor",
                   "memHistorico",
                   "PAGO",
                   Entry::Tab,
                   0,
                   {kCtrlA, Keys{s("NF 1")}, kHome, Keys{s("X")}},
                   "XNF 1",
                   "XNF 1",
                   1},
        TypingCase{"DataBoundInsertedAtTheCursor",
                   "dbeNome",
                   "Caixa",
                   Entry::ClickAtEnd,
                   0,
                   {kHome, Keys{s("Novo ")}},
                   "Novo Caixa",
                   "Novo Caixa",
                   5}),
    [](const ::testing::TestParamInfo<TypingCase>& info) { return std::string(info.param.name); });

TEST_F(Typing, EachKeystrokeLeavesTheCursorWhereThePersonPutIt) {
    ui::Control& date = typing->control("depData");
    date.setText(s("09/12/2026"));
    enterByClick("depData", -1);
    auto* edit = widget<QLineEdit>("depData");
    QTest::keyClick(edit, Qt::Key_Home);
    const int expected[] = {1, 3, 4, 6, 7, 8, 9, 10};
    int i = 0;
    for (QChar c : s("01012026")) {
        QTest::keyClick(edit, c.toLatin1());
        driver::settle();
        EXPECT_EQ(edit->cursorPosition(), expected[i]) << "after " << i + 1 << " digits";
        ++i;
    }
    EXPECT_EQ(date.text(), s("01/01/2026"));
}

TEST_F(Typing, TheModelHearsEveryKeystrokeAsAChange) {
    typing->control("edtTexto").setText(s("AB"));
    enterByClick("edtTexto", -1);
    typing->changes.clear();
    send(widget("edtTexto"), kHome);
    send(widget("edtTexto"), Keys{s("X")});
    send(widget("edtTexto"), kDelete);
    EXPECT_EQ(typing->changes, (QStringList{s("edtTexto=XAB"), s("edtTexto=XB")}));
}

TEST_F(Typing, DataBoundEditPutsTheTableInEditAndStoresTheField) {
    enterByClick("dbeNome", -1);
    send(widget("dbeNome"), Keys{s("!")});
    EXPECT_EQ(typing->cdsDados.state(), DataSetState::Edit);
    EXPECT_EQ(typing->cdsDados.fieldByName(u"NOME").asString(), s("Caixa!"));
}

// ---- grid cells ----

TEST_F(Typing, AGridCellIsReplacedByWhatIsTypedAndShowsItWhileTyping) {
    auto* view = widget<QTableView>("dbgDados");
    driver::focus(view);
    view->setCurrentIndex(view->model()->index(0, 2));
    driver::settle();
    QTest::keyClick(view, '9');
    driver::settle();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr) << "the first character opens the cell's editor";
    EXPECT_EQ(editor->text(), s("9"));
    EXPECT_EQ(editor->cursorPosition(), 1);
    for (QChar c : s("9,5")) {
        QTest::keyClick(editor, c.toLatin1());
    }
    QTest::keyClick(editor, Qt::Key_Left);
    QTest::keyClick(editor, Qt::Key_Backspace);  // the comma goes: 995
    QTest::keyClick(editor, ',');
    EXPECT_EQ(editor->text(), s("99,5"));
    QTest::keyClick(editor, Qt::Key_Down);
    driver::settle();
    EXPECT_EQ(typing->cdsDados.state(), DataSetState::Browse);
    EXPECT_EQ(view->model()->index(0, 2).data().toString(), s("99,50"));
    EXPECT_EQ(view->currentIndex().row(), 1) << "Down moved on, as it does without an editor";
}

TEST_F(Typing, AltWithALetterIsAMenuKeyAndTypesNothingIntoACell) {
    auto* view = widget<QTableView>("dbgDados");
    driver::focus(view);
    view->setCurrentIndex(view->model()->index(0, 0));
    driver::settle();
    QTest::keyClick(view, Qt::Key_M, Qt::AltModifier);
    driver::settle();
    EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr) << "no cell editor opened";
    EXPECT_EQ(typing->cdsDados.state(), DataSetState::Browse);
    EXPECT_EQ(typing->cdsDados.fieldByName(u"NOME").asString(), s("Caixa"));
}

TEST_F(Typing, AKeyTheCellEditorDoesNotTakeLeavesTheCellAndReachesTheGrid) {
    auto* view = widget<QTableView>("dbgDados");
    auto& grid = static_cast<ui::DBGrid&>(typing->control("dbgDados"));
    std::vector<int> keys;
    // The grid's handler sees the value typed so far in the field, then fills it, as F8 does.
    QString seen;
    grid.onKeyDown = [&](ui::Control&, int& key, ui::ShiftState) {
        keys.push_back(key);
        if (key == ui::vk::F1 + 7) {
            seen = typing->cdsDados.fieldByName(u"VALOR").asString();
            typing->cdsDados.fieldByName(u"VALOR").setAsFloat(77.0);
            key = 0;
        }
    };
    driver::focus(view);
    view->setCurrentIndex(view->model()->index(0, 2));
    driver::settle();
    QTest::keyClick(view, '5');
    driver::settle();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    // Once sent back and forth between the editor and the grid, this key overflowed the stack.
    QTest::keyClick(editor, Qt::Key_F8);
    driver::settle();
    EXPECT_EQ(std::count(keys.begin(), keys.end(), ui::vk::F1 + 7), 1);
    EXPECT_EQ(seen, s("5"));
    EXPECT_EQ(view->indexWidget(view->model()->index(0, 2)), nullptr) << "the editor closed";
    EXPECT_EQ(view->model()->index(0, 2).data().toString(), s("77,00"));
}

TEST_F(Typing, AMaskedGridCellOverwritesAtTheCursor) {
    auto* view = widget<QTableView>("dbgDados");
    driver::focus(view);
    view->setCurrentIndex(view->model()->index(1, 1));
    driver::settle();
    QTest::keyClick(view, Qt::Key_F2);
    driver::settle();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->deselect();
    editor->setCursorPosition(5);
    QTest::keyClick(editor, '7');
    EXPECT_EQ(editor->text(), s("1.1.07.002"));
    QTest::keyClick(editor, Qt::Key_Return);
    driver::settle();
    EXPECT_EQ(typing->cdsDados.fieldByName(u"CONTA").asString(), s("1.1.07.002"));
}

TEST_F(Typing, CtrlCCopiesTheSelectedCellsAsTabSeparatedText) {
    auto* view = widget<QTableView>("dbgDados");
    driver::focus(view);
    view->setCurrentIndex(view->model()->index(0, 0));
    view->selectionModel()->select(QItemSelection(view->model()->index(0, 0), view->model()->index(1, 2)),
                                   QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    driver::settle();
    EXPECT_EQ(QApplication::clipboard()->text(),
              s("Caixa\t1.1.01.001\t1.234,50\nBanco\t1.1.01.002\t10,00\n"));
}

}  // namespace
}  // namespace ctb::qt
