#include "tools/uiscript/qt_script_backend.h"

#include "platform/qt/qt_ui.h"
#include "platform/qt/widget_driver.h"
#include "platform/ui/data_controls.h"
#include "tools/uiscript/headless_backend.h"
#include "tools/uiscript/qt_backend.h"

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QPixmap>
#include <QWidget>

#include <algorithm>

namespace ctb::uiscript {
namespace {

// Forwards to the Qt services and keeps the shown and modal forms, so that names are looked up in
// the same order as headless.
class TrackingServices : public ui::UiServices {
  public:
    explicit TrackingServices(ui::UiServices& inner) : inner_(inner) {}

    void showMessage(ui::MessageKind kind, const QString& text) override { inner_.showMessage(kind, text); }
    bool askYesNo(const QString& text) override { return inner_.askYesNo(text); }
    void showForm(ui::Form& form) override {
        std::erase(shown_, &form);
        shown_.push_back(&form);
        inner_.showForm(form);
    }
    ui::ModalResult showModal(ui::Form& form) override {
        modal_.push_back(&form);
        struct Pop {
            std::vector<ui::Form*>& stack;
            ~Pop() { stack.pop_back(); }
        } pop{modal_};
        return inner_.showModal(form);
    }
    std::vector<int> lookup(const ui::LookupRequest& request) override { return inner_.lookup(request); }
    void busyOn() override { inner_.busyOn(); }
    void busyOff() override { inner_.busyOff(); }
    int busyDepth() const override { return inner_.busyDepth(); }
    void runBlocking(const std::function<void()>& work) override { inner_.runBlocking(work); }
    void printDocument(const report::Document& document) override { inner_.printDocument(document); }
    QString askSaveFileName(const QString& title, const QString& suggestedName,
                            const QString& filter) override {
        return inner_.askSaveFileName(title, suggestedName, filter);
    }
    QString clipboardText() const override { return inner_.clipboardText(); }
    void setClipboardText(const QString& text) override { inner_.setClipboardText(text); }

    [[nodiscard]] const std::vector<ui::Form*>& shown() const { return shown_; }
    [[nodiscard]] const std::vector<ui::Form*>& modal() const { return modal_; }

  private:
    ui::UiServices& inner_;
    std::vector<ui::Form*> shown_;
    std::vector<ui::Form*> modal_;
};

class QtScriptBackend : public Backend {
  public:
    QtScriptBackend() : services_(qt_.services()) {}

    ui::UiServices& services() override { return services_; }
    void setModalLoop(std::function<void(ui::Form&)> loop) override { qt_.setModalLoop(std::move(loop)); }

    // A focus, column, row or cell move that a handler stopped is the user's outcome, not the
    // script's fault: the handler's message waits for the next `expect message`.
    void focus(const QString& name) override { (void)qt_.focus(usable(name)); }
    void type(const QString& name, const QString& text) override { (void)qt_.type(usable(name), text); }
    void key(const QString& name, int virtualKey, ui::ShiftState shift) override {
        (void)qt_.key(usable(name), virtualKey, shift);
    }
    void keys(const QString& name, const QString& text) override {
        QString error;
        if (!qt_.keys(usable(name), text, &error) && !error.isEmpty())
            throw BackendError(error);
    }
    void click(const QString& name) override { done(qt_.click(usable(name)), name); }
    void selectColumn(const QString& name, const QString& field) override {
        ui::DBGrid& g = grid(name, field);
        const std::size_t shown = qt_.messagesShown();
        movedOrRefused(qt_.selectColumn(g, field), shown, name);
    }
    void selectRow(const QString& name, int row1) override {
        ui::DBGrid& g = grid(name, {});
        const std::size_t shown = qt_.messagesShown();
        movedOrRefused(qt_.selectRow(g, row1), shown, name);
    }
    void editCell(const QString& name, const QString& field, const QString& text) override {
        ui::DBGrid& g = grid(name, field);
        const std::size_t shown = qt_.messagesShown();
        movedOrRefused(qt_.editCell(g, field, text), shown, name);
    }

    void screenshot(const QString& path) override {
        // The active modal dialog when one is up (the filter), else the main window with its screens.
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr)
            window = &qt_.mainWindow();
        qt::driver::settle();
        if (!window->grab().save(path, "PNG"))
            throw BackendError(QStringLiteral("não foi possível gravar %1").arg(path));
    }

    void queueAnswer(bool yes) override { qt_.queueAnswer(yes); }
    void queuePick(const QStringList& keys) override {
        if (keys.isEmpty())
            qt_.queuePickNone();
        else
            qt_.queuePick(keys);
    }

    std::optional<ui::HeadlessUi::Message> takeMessage() override {
        auto m = qt_.takeMessage();
        if (!m)
            return std::nullopt;
        return ui::HeadlessUi::Message{m->kind, m->text};
    }
    QStringList takeProblems() override {
        QStringList out;
        for (const QString& p : qt_.problems())
            out << p;
        qt_.clearProblems();
        return out;
    }
    ui::Control* findControl(const QString& name) const override {
        return findInForms(services_.modal(), services_.shown(), name);
    }
    // The model's word: the window follows it (the renderer's own tests check that).
    bool isEnabled(const QString& name) const override { return control(name).effectivelyEnabled(); }
    // What a person sees is the widget (shown with every parent, on the active tab page, in a shown
    // window); a control without a widget of its own answers by the model.
    bool isVisible(const QString& name) const override {
        const ui::Control& c = control(name);
        if (QWidget* widget = qt_.widgetOf(c))
            return widget->isVisible();
        return seenByAPerson(c);
    }
    bool isFocused(const QString& name) const override {
        const ui::Control& c = control(name);
        const ui::Form* f = c.form();
        return f != nullptr && f->activeControl() != nullptr && c.contains(*f->activeControl());
    }
    QString text(const QString& name) const override { return control(name).text(); }

  private:
    ui::Control& control(const QString& name) const {
        ui::Control* c = findControl(name);
        if (c == nullptr)
            throw BackendError(QStringLiteral("controle \"%1\" não existe nas janelas abertas").arg(name));
        return *c;
    }
    ui::Control& usable(const QString& name) const {
        ui::Control& c = control(name);
        requireUsable(c);
        return c;
    }
    ui::DBGrid& grid(const QString& name, const QString& field) const {
        ui::Control& c = usable(name);
        if (c.kind() != ui::ControlKind::DBGrid)
            throw BackendError(QStringLiteral("\"%1\" não é uma grade").arg(name));
        auto& g = static_cast<ui::DBGrid&>(c);
        if (!field.isEmpty() && g.columnIndex(field) < 0)
            throw BackendError(QStringLiteral("a grade \"%1\" não tem a coluna %2").arg(name, field));
        return g;
    }
    static void done(bool ok, const QString& name) {
        if (!ok)
            throw BackendError(QStringLiteral("a janela recusou a ação em \"%1\"").arg(name));
    }
    // A move that did not happen is a handler's refusal when it showed why; without a message the
    // window did not take the action at all, which is the script's (or the driver's) fault.
    void movedOrRefused(bool moved, std::size_t messagesBefore, const QString& name) const {
        if (!moved && qt_.messagesShown() == messagesBefore)
            done(false, name);
    }

    QtBackend qt_;
    TrackingServices services_;
};

}  // namespace

std::unique_ptr<Backend> makeQtScriptBackend() {
    return std::make_unique<QtScriptBackend>();
}

BackendChoice qtChoice() {
    return BackendChoice{[](int& argc, char** argv) -> std::unique_ptr<QCoreApplication> {
                             if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                                 qputenv("QT_QPA_PLATFORM", "offscreen");
                             return std::make_unique<QApplication>(argc, argv);
                         },
                         [] { return makeQtScriptBackend(); }};
}

}  // namespace ctb::uiscript
