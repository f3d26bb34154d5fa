// The windows: MDI child, modal dialogs, the busy indicator, a screenshot.

#include "tests/qt/renderer_fixture.h"
#include "tests/support/latch.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include <optional>

namespace ctb::qt {
namespace {

using driver::findControl;
using test::Renderer;

TEST_F(Renderer, OpensAsMdiChildOfTheHostArea) {
    ASSERT_EQ(area->subWindowList().size(), 1);
    EXPECT_EQ(area->subWindowList().front()->widget(), view);
    EXPECT_EQ(area->subWindowList().front()->windowTitle(), QStringLiteral("Amostra de Formulário"));
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

TEST_F(Renderer, ADialogFormWhereADestroyedOneLivedShowsItsOwnControls) {
    // The same storage for both forms, so the second has the address of the first.
    std::optional<ui::Form> form;
    QStringList seen;
    auto look = [&seen](QDialog* dialog) {
        for (const char* name : {"btnUm", "btnDois"})
            if (dialog->findChild<QWidget*>(QString::fromLatin1(name)) != nullptr)
                seen << QString::fromLatin1(name);
        dialog->reject();
    };
    form.emplace(QStringLiteral("frmUm"), &ui);
    form->add<ui::Button>(QStringLiteral("btnUm"));
    script->forms.push_back(look);
    form->showModal();
    form.reset();
    form.emplace(QStringLiteral("frmDois"), &ui);
    form->add<ui::Button>(QStringLiteral("btnDois"));
    script->forms.push_back(look);
    form->showModal();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("btnUm"), QStringLiteral("btnDois")}));
}

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

namespace ctb::qt {
namespace {

using test::Renderer;

TEST_F(Renderer, ScreensOpenFillingTheHostWindow) {
    QMdiSubWindow* sub = area->subWindowList().front();
    EXPECT_EQ(sub->geometry(), QRect(QPoint(0, 0), area->viewport()->size()));
}

// Qt services on the area that remember window places; any dialog is a failure here, closed at once so
// that the test ends.
void rememberPlaces(QtUi& ui, QMdiArea& area) {
    ui.setMdiArea(&area);
    ui.renderer().setRememberPlaces(true);
    ui.setDialogHook([](QDialog* dialog) {
        ADD_FAILURE() << "unexpected dialog " << dialog->objectName().toStdString();
        dialog->reject();
    });
}

// Where the user left a screen is where it opens next time (QSettings, isolated by Qt's test mode).
TEST(WindowPlaces, AScreenOpensWhereTheUserLeftIt) {
    test::app();
    QStandardPaths::setTestModeEnabled(true);
    QSettings().remove(QStringLiteral("janelas"));
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
    const QRect left(30, 40, 500, 380);
    {
        QtUi ui;
        rememberPlaces(ui, area);
        test::SampleForm sample(&ui);
        // The company's exit check would stop the focus moves the window's state changes make.
        sample.control("edtCdEmpresa").setText(QStringLiteral("01"));
        sample.form->show();
        QMdiSubWindow* sub = area.subWindowList().front();
        EXPECT_EQ(sub->geometry(), QRect(QPoint(0, 0), area.viewport()->size())) << "nothing remembered yet";
        sub->setGeometry(left);
        driver::settle();
        // The window goes before its form does: the area outlives both.
        delete sub;
    }
    QtUi ui;
    rememberPlaces(ui, area);
    test::SampleForm sample(&ui);
    sample.control("edtCdEmpresa").setText(QStringLiteral("01"));
    sample.form->show();
    driver::settle();
    QMdiSubWindow* sub = area.subWindowList().back();
    EXPECT_EQ(sub->geometry(), left);
    delete sub;
    QSettings().remove(QStringLiteral("janelas"));
}

}  // namespace
}  // namespace ctb::qt
