#pragma once

#include "platform/qt/form_renderer.h"
#include "platform/qt/lookup_dialog.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/widget_driver.h"
#include "tests/qt/qt_app.h"
#include "tests/qt/sample_form.h"

#include <QDialog>
#include <QMdiArea>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

namespace ctb::qt::test {

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

// The sample form open as an MDI child of an area, its dialogs answered by `script`.
class Renderer : public WithApp, public ::testing::Test {
  protected:
    void SetUp() override {
        script = std::make_shared<DialogScript>();
        ui.setDialogHook([s = script](QDialog* d) { (*s)(d); });
        sample = std::make_unique<SampleForm>(&ui);
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
        return qobject_cast<W*>(driver::findControl(QString::fromUtf8(name)));
    }

    QtUi ui;
    std::shared_ptr<DialogScript> script;
    std::unique_ptr<SampleForm> sample;
    std::unique_ptr<QMdiArea> area;
    FormView* view = nullptr;
};

}  // namespace ctb::qt::test
