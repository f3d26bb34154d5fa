#include "platform/qt/dataset_model.h"
#include "platform/qt/form_renderer.h"
#include "platform/qt/grid_delegate.h"
#include "platform/qt/lookup_dialog.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/widget_driver.h"
#include "platform/ui/user_input.h"
#include "tests/qt/qt_app.h"
#include "tests/qt/sample_form.h"
#include "tests/support/latch.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace ctb::qt {
namespace {

using driver::findControl;

// Answers the dialogs the form opens, as a person would, and records message texts.
struct DialogScript {
    std::deque<QString> buttons;  // object names to press in message boxes, in order
    std::deque<std::function<void(QDialog*)>> forms;
    QStringList messages;

    void operator()(QDialog* dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            messages << box->text();
            const QString name = buttons.empty() ? QStringLiteral("btnOK") : buttons.front();
            if (!buttons.empty()) {
                buttons.pop_front();
            }
            auto* button = box->findChild<QPushButton*>(name);
            if (button == nullptr) {
                button = box->findChild<QPushButton*>(QStringLiteral("btnNao"));
            }
            if (button == nullptr) {
                button = box->findChild<QPushButton*>(QStringLiteral("btnOK"));
            }
            QTest::mouseClick(button, Qt::LeftButton);
        } else if (!forms.empty()) {
            auto handler = forms.front();
            forms.pop_front();
            handler(dialog);
        } else {
            dialog->reject();
        }
    }
};

class Renderer : public test::WithApp, public ::testing::Test {
  protected:
    void SetUp() override {
        script = std::make_shared<DialogScript>();
        ui.setDialogHook([s = script](QDialog* d) { (*s)(d); });
        sample = std::make_unique<test::SampleForm>(&ui);
        area = std::make_unique<QMdiArea>();
        area->resize(800, 600);
        ui.setMdiArea(area.get());
        area->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(area.get()));
        sample->form->show();
        view = ui.renderer().viewOf(*sample->form);
        ASSERT_NE(view, nullptr);
        driver::activate(view);
        driver::settle();
    }
    void TearDown() override {
        sample.reset();
        area.reset();
    }
    template <typename W>
    W* widget(const char* name) {
        return qobject_cast<W*>(findControl(QString::fromUtf8(name)));
    }

    QtUi ui;
    std::shared_ptr<DialogScript> script;
    std::unique_ptr<test::SampleForm> sample;
    std::unique_ptr<QMdiArea> area;
    FormView* view = nullptr;
};

// ---- structure ----

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

TEST_F(Renderer, OpensAsMdiChildOfTheHostArea) {
    ASSERT_EQ(area->subWindowList().size(), 1);
    EXPECT_EQ(area->subWindowList().front()->widget(), view);
    EXPECT_EQ(area->subWindowList().front()->windowTitle(), QStringLiteral("Amostra de Formulário"));
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

// ---- model -> widgets ----

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

// ---- widgets -> model ----

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

// ---- focus ----

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

// ---- keys ----

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

TEST_F(Renderer, CtrlLRunsTheMenuItemAndTheModalDialog) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    script->forms.push_back([](QDialog* dialog) {
        EXPECT_TRUE(dialog->isModal());
        driver::typeText(findControl(QStringLiteral("edtFiltro")), QStringLiteral("abc"));
        driver::click(findControl(QStringLiteral("sbtConfirma")));
    });
    driver::pressKey(widget<QLineEdit>("edtCdEmpresa"), 'L', true, false);
    EXPECT_TRUE(script->forms.empty());
    EXPECT_EQ(sample->control("edtNmEmpresa").text(), QStringLiteral("abc"));
    EXPECT_FALSE(sample->dialog->isShowing());
}

TEST_F(Renderer, CancelledDialogLeavesTheScreenAlone) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    script->forms.push_back([](QDialog*) { driver::click(findControl(QStringLiteral("sbtCancel"))); });
    driver::click(view->widgetOf(sample->control("spbFiltro")));
    EXPECT_EQ(sample->dialog->modalResult(), ui::ModalResult::Cancel);
    EXPECT_EQ(sample->control("edtNmEmpresa").text(), QString());
}

// ---- questions, messages, lookups ----

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

// ---- radio buttons and tabs ----

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

// A click on a tab whose sheet is not showing goes through the model's userSelect once: onChanging
// is asked once and may refuse (the tab bar then shows the old sheet again).
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

// ---- grid ----

TEST_F(Renderer, GridModelPassesQtsModelTester) {
    DataSetTableModel* model = view->gridModel(static_cast<ui::DBGrid&>(sample->control("dbgLinhas")));
    ASSERT_NE(model, nullptr);
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->columnCount(), 3);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Código"));
    EXPECT_EQ(model->index(0, 2).data().toString(), QStringLiteral("1.234,50"));
    // Changes made by code flow through the tester's checks.
    sample->cdsLinhas.append();
    sample->cdsLinhas.fieldByName(u"CODIGO").setAsString(QStringLiteral("0004"));
    sample->cdsLinhas.post();
    EXPECT_EQ(model->rowCount(), 4);
    sample->cdsLinhas.remove();
    EXPECT_EQ(model->rowCount(), 3);
    sample->cdsLinhas.setFilter(QStringLiteral("CODIGO = '0002'"));
    sample->cdsLinhas.setFiltered(true);
    EXPECT_EQ(model->rowCount(), 1);
    sample->cdsLinhas.setFiltered(false);
    sample->cdsLinhas.emptyDataSet();
    EXPECT_EQ(model->rowCount(), 0);
}

TEST_F(Renderer, GridNavigationAndEditingGoThroughTheModel) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    auto* table = widget<QTableView>("dbgLinhas");
    auto& grid = static_cast<ui::DBGrid&>(sample->control("dbgLinhas"));
    driver::focus(table);
    sample->events.clear();
    table->setCurrentIndex(table->model()->index(1, 2));
    driver::settle();
    EXPECT_EQ(sample->cdsLinhas.recNo(), 2);
    EXPECT_EQ(grid.selectedField()->fieldName(), QStringLiteral("VALOR"));
    EXPECT_TRUE(sample->events.contains(QStringLiteral("colExit:CODIGO")));
    // Typed text goes into the field when the cell is left; Down posts it and the view follows.
    driver::typeText(table, QStringLiteral("75"));
    driver::pressKey(table, 40, false, false);
    EXPECT_EQ(sample->cdsLinhas.recNo(), 3);
    EXPECT_EQ(sample->cdsLinhas.state(), DataSetState::Browse);
    EXPECT_EQ(table->currentIndex().row(), 2);
    EXPECT_EQ(table->model()->index(1, 2).data().toString(), QStringLiteral("75,00"));
}

// Typed into a float cell of the grid itself (no Qt editor), the decimal comma and the thousands
// points of pt_BR are read as such.
TEST_F(Renderer, GridCellTypingReadsTheDecimalComma) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    auto* table = widget<QTableView>("dbgLinhas");
    driver::focus(table);
    for (const auto& [typed, shown] : {std::pair{"7,5", "7,50"}, std::pair{"1.234,56", "1.234,56"}}) {
        table->setCurrentIndex(table->model()->index(0, 2));
        driver::settle();
        driver::typeText(table, QString::fromUtf8(typed));
        driver::pressKey(table, 40, false, false);
        EXPECT_EQ(table->model()->index(0, 2).data().toString(), QString::fromUtf8(shown)) << typed;
    }
    sample->cdsLinhas.first();
    EXPECT_DOUBLE_EQ(sample->cdsLinhas.fieldByName(u"VALOR").asFloat(), 1234.56);
}

TEST_F(Renderer, QtsInPlaceEditorCommitsTheWholeCellText) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    auto* table = widget<QTableView>("dbgLinhas");
    driver::focus(table);
    const QModelIndex cell = table->model()->index(0, 2);
    table->setCurrentIndex(cell);
    driver::settle();
    table->edit(cell);
    driver::settle();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    // Whole numbers only: the control model's cell typing drops a trailing decimal comma today.
    QTest::keyClicks(editor, QStringLiteral("12"));
    QTest::keyClick(editor, Qt::Key_Return);
    // Item-view edits commit on a later event-loop turn: wait for the value, not for a time.
    EXPECT_TRUE(QTest::qWaitFor([&] { return sample->cdsLinhas.fieldByName(u"VALOR").asFloat() == 12.0; }));
    EXPECT_DOUBLE_EQ(sample->cdsLinhas.fieldByName(u"VALOR").asFloat(), 12.0);
    EXPECT_EQ(table->model()->index(0, 2).data().toString(), QStringLiteral("12,00"));
    // The view is not editable where the model's column is read-only.
    EXPECT_FALSE(table->model()->flags(table->model()->index(0, 1)) & Qt::ItemIsEditable);
}

TEST_F(Renderer, GridCellLookupButtonRunsEditButtonClick) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    auto* table = widget<QTableView>("dbgLinhas");
    driver::focus(table);
    table->setCurrentIndex(table->model()->index(0, 0));
    driver::settle();
    sample->events.clear();
    const QRect cell = table->visualRect(table->currentIndex());
    const QPoint button = GridDelegate::buttonRect(cell).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, button);
    driver::settle();
    EXPECT_TRUE(sample->events.contains(QStringLiteral("lookup:CODIGO")))
        << sample->events.join(u',').toStdString();
}

// ---- busy ----

TEST_F(Renderer, BlockingCallShowsTheBusyIndicator) {
    // The work waits until the GUI thread has seen the spinner: the call lasts as long as that takes.
    ctb::test::Latch shown;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (ui.busyIndicator().spinner() != nullptr && ui.busyIndicator().spinner()->isVisible()) {
            shown.release();
        }
    });
    probe.start(10);
    bool sawSpinner = false;
    ui.runBlocking([&] { sawSpinner = shown.wait(); });
    EXPECT_TRUE(sawSpinner);
    EXPECT_EQ(ui.busyDepth(), 0);
}

// ---- screenshot ----

TEST_F(Renderer, ScreenshotOfTheSampleFormIsNotBlank) {
    static_cast<ui::NumberEdit&>(sample->control("nedValor")).setNumber(1234.5);
    sample->control("edtNmEmpresa").setText(QStringLiteral("Matriz Ltda."));
    driver::settle();
    const QImage image = area->window()->grab().toImage();
    const QString path = QStringLiteral("/tmp/ctb-sample.png");
    image.save(path);
    QSet<QRgb> colours;
    int dark = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            const QRgb px = image.pixel(x, y);
            colours.insert(px);
            if (qGray(px) < 80) {
                ++dark;
            }
        }
    }
    EXPECT_GT(colours.size(), 20);
    // Text renders as dark glyphs (without fonts it would be boxes or nothing).
    EXPECT_GT(dark, 300);
    // The label's area holds dark pixels: its text is drawn.
    QWidget* label = view->widgetOf(sample->control("lblEmpresa"));
    const QImage labelImage = label->grab().toImage();
    int labelDark = 0;
    for (int y = 0; y < labelImage.height(); ++y) {
        for (int x = 0; x < labelImage.width(); ++x) {
            labelDark += qGray(labelImage.pixel(x, y)) < 100 ? 1 : 0;
        }
    }
    EXPECT_GT(labelDark, 20);
}

}  // namespace
}  // namespace ctb::qt
