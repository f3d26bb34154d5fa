// The filter dialog in real Qt windows (offscreen): a lookup or message box it opens hands the
// activation back to the dialog when it closes, and that is no new opening. The criteria typed and
// picked survive, and the opening step runs once per show.
#include "tests/module/filter_fixture.h"

#include "platform/qt/lookup_dialog.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/widget_driver.h"
#include "tests/qt/qt_app.h"

#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QPushButton>

#include <deque>
#include <functional>

namespace ctb::ctb10000 {
namespace {

using namespace filtertest;
namespace driver = qt::driver;

class FilterDialogQt : public qt::test::WithApp, public FilterFixtureBase<qt::QtUi> {
  protected:
    void SetUp() override {
        FilterFixtureBase::SetUp();
        ui_.setDialogHook([this](QDialog* dialog) {
            if (handlers_.empty()) {
                dialog->reject();
                return;
            }
            auto handler = handlers_.front();
            handlers_.pop_front();
            handler(dialog);
        });
    }

    static QWidget* widget(const char* name) {
        QWidget* w = driver::findControl(QString::fromUtf8(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    void pickNext(const QStringList& keys) {
        handlers_.push_back([keys](QDialog* dialog) {
            auto* lookup = qobject_cast<qt::LookupDialog*>(dialog);
            ASSERT_NE(lookup, nullptr);
            EXPECT_TRUE(lookup->selectKeys(keys));
            driver::click(lookup->findChild<QPushButton*>(QStringLiteral("btnOK")));
        });
    }

    void acknowledgeNext() {
        handlers_.push_back([this](QDialog* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            ASSERT_NE(box, nullptr);
            messages_ << box->text();
            driver::click(box->findChild<QPushButton*>(QStringLiteral("btnOK")));
        });
    }

    std::deque<std::function<void(QDialog*)>> handlers_;
    QStringList messages_;
};

TEST_F(FilterDialogQt, FocusBackFromALookupOrMessageDoesNotRestoreTheRememberedCriteria) {
    screen();
    bool ran = false;
    handlers_.push_back([&](QDialog* dialog) {
        ran = true;
        TfrmLancFiltro& d = *frmLancFiltro;
        EXPECT_EQ(d.activationCount(), 1);
        driver::typeText(widget("medDoc"), QStringLiteral("777"));
        driver::click(widget("rbtClie"));
        pickNext({QStringLiteral("C001")});
        driver::click(widget("sbtClie"));
        // What a window manager does when the lookup goes away.
        driver::activate(dialog);
        driver::settle();
        EXPECT_EQ(d.activationCount(), 1);
        EXPECT_EQ(d.medDoc.text(), QStringLiteral("777"));
        EXPECT_EQ(d.FListaClie, QStringLiteral("'C001'"));

        driver::click(widget("rbtForn"));
        acknowledgeNext();
        driver::click(widget("sbtConfirma"));
        driver::activate(dialog);
        driver::settle();
        EXPECT_EQ(messages_, QStringList{QStringLiteral("Fornecedor deve ser informado.")});
        EXPECT_EQ(d.activationCount(), 1);
        EXPECT_EQ(qobject_cast<QLineEdit*>(widget("medDoc"))->text().trimmed(), QStringLiteral("777"));
        EXPECT_EQ(d.FListaClie, QStringLiteral("'C001'"));
        EXPECT_TRUE(d.rbtClie.checked());

        driver::click(widget("rbtTForn"));
        driver::click(widget("sbtConfirma"));
    });
    EXPECT_EQ(CriaLancFiltro(), static_cast<int>(ui::ModalResult::Ok));
    ASSERT_TRUE(ran);
    const auto calls = sent();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0][10], Value::fromString(u"777")) << show(calls[0]);
    EXPECT_EQ(calls[0][15], Value::fromString(u"'C001'"));
    EXPECT_EQ(calls[0][16], Value::fromString(u"_C_"));
    EXPECT_EQ(screen().cdsLancCont.recordCount(), 0);  // no line of today has that document

    // The next opening restores into the widgets, once.
    handlers_.push_back([](QDialog*) {
        TfrmLancFiltro& d = *frmLancFiltro;
        EXPECT_EQ(d.activationCount(), 2);
        EXPECT_EQ(qobject_cast<QLineEdit*>(widget("medDoc"))->text().trimmed(), QStringLiteral("777"));
        EXPECT_TRUE(d.rbtClie.checked());
        EXPECT_TRUE(widget("sbtClie")->isEnabled());
        driver::click(widget("sbtCancel"));
    });
    EXPECT_EQ(CriaLancFiltro(), static_cast<int>(ui::ModalResult::Cancel));
    EXPECT_TRUE(handlers_.empty());
}

}  // namespace
}  // namespace ctb::ctb10000
