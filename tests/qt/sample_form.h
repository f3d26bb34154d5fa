#pragma once

#include "platform/dataset/client_dataset.h"
#include "platform/ui/data_controls.h"

#include <memory>

namespace ctb::qt::test {

// A small form with what the screens use: panels, plain/masked/date/numeric edits, a lookup button,
// tabs, a grid over an in-memory table with lookup buttons in cells, radio buttons, a memo, buttons,
// a menu item with a shortcut, a question and a modal dialog. Positions are layout data in the model.
struct SampleForm {
    explicit SampleForm(ui::UiServices* services);

    ClientDataSet cdsLinhas{QStringLiteral("cdsLinhas")};
    DataSource dtsLinhas{&cdsLinhas, QStringLiteral("dtsLinhas")};
    ClientDataSet cdsEmpresas{QStringLiteral("cdsEmpresas")};
    std::unique_ptr<ui::Form> form;
    std::unique_ptr<ui::Form> dialog;

    // What the handlers saw, for the tests.
    QStringList events;
    int lastKeyDown = 0;

    [[nodiscard]] ui::Control& control(const char* name) const;
};

}  // namespace ctb::qt::test
