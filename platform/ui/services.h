#pragma once

// What the screens ask of the user interface beyond their own controls: message boxes, Yes/No
// questions, showing forms, lookup dialogs and the busy animation. The headless implementation
// answers from queues filled by tests and scripts and records every message; the Qt one shows
// real dialogs.

#include "platform/export.h"
#include "platform/report/document.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace ctb {
class ClientDataSet;
class Field;
}  // namespace ctb

namespace ctb::ui {

class Form;

enum class MessageKind { Error, Information, Question };

enum class ModalResult { None, Ok, Cancel, Yes, No };

// A lookup dialog over the visible rows of a table (a query's result or an in-memory table).
struct CTB_PLATFORM_EXPORT LookupRequest {
    QString title;
    QString notFoundText;  // what to say when the table has no row
    ClientDataSet* table = nullptr;
    QString keyField;       // the column scripts and callers pick by; the first shown field when empty
    QStringList fields;     // columns to show, in order; every visible field when empty
    bool multiple = false;  // check several rows

    // The field of keyField, or the first field the dialog shows; nullptr when there is none.
    [[nodiscard]] const Field* keyFieldOf(const ClientDataSet& t) const;
};

class CTB_PLATFORM_EXPORT UiServices {
  public:
    virtual ~UiServices();

    virtual void showMessage(MessageKind kind, const QString& text) = 0;
    // true for Yes.
    [[nodiscard]] virtual bool askYesNo(const QString& text) = 0;

    // Shows the form as a child window of the main window and returns at once.
    virtual void showForm(Form& form) = 0;
    // Shows the form modally and returns when it closes, with its modal result.
    virtual ModalResult showModal(Form& form) = 0;

    // View rows (0-based, in table order) the user picked; empty when nothing was picked.
    // A single-pick request returns at most one row.
    [[nodiscard]] virtual std::vector<int> lookup(const LookupRequest& request) = 0;

    // Busy animation; calls nest, only the outermost pair shows and hides it.
    virtual void busyOn() = 0;
    virtual void busyOff() = 0;
    [[nodiscard]] virtual int busyDepth() const = 0;

    // Runs a blocking call (a server request) for the caller. Windowed services keep painting and
    // hold user input back meanwhile; the default runs it inline.
    virtual void runBlocking(const std::function<void()>& work) { work(); }

    // Shows a document as it will print: a preview with printing to a printer or to a PDF file.
    // Without windows nothing is shown (the headless services keep it for scripts and tests).
    virtual void printDocument(const report::Document& document);
    // Asks where to write a file (`filter` as "Arquivos CSV (*.csv)"); empty when the user cancelled.
    [[nodiscard]] virtual QString askSaveFileName(const QString& title, const QString& suggestedName,
                                                  const QString& filter);

    // The text on the clipboard (what Ctrl+V pastes); empty when it holds none. Setting it is what a
    // copy does. Without a clipboard (the default) there is never any text.
    [[nodiscard]] virtual QString clipboardText() const { return {}; }
    virtual void setClipboardText(const QString& /*text*/) {}

    void showError(const QString& text) { showMessage(MessageKind::Error, text); }
    void showInformation(const QString& text) { showMessage(MessageKind::Information, text); }
};

// Scripted answers and picks, recorded messages. Problems the script should hear about (a question
// nobody answered, a pick of a key the list lacks, a modal form with nothing to drive it) are kept
// in problems() and answered in the safest way (No, nothing picked, Cancel).
class CTB_PLATFORM_EXPORT HeadlessUi : public UiServices {
  public:
    struct Message {
        MessageKind kind;
        QString text;
    };
    // A queued lookup answer: the key texts to pick, or none.
    struct Pick {
        QStringList keys;
    };

    void showMessage(MessageKind kind, const QString& text) override;
    [[nodiscard]] bool askYesNo(const QString& text) override;
    void showForm(Form& form) override;
    ModalResult showModal(Form& form) override;
    [[nodiscard]] std::vector<int> lookup(const LookupRequest& request) override;
    void busyOn() override;
    void busyOff() override;
    [[nodiscard]] int busyDepth() const override { return busyDepth_; }
    void printDocument(const report::Document& document) override;
    // The next queued file name; with none queued a problem is recorded and the save is cancelled.
    [[nodiscard]] QString askSaveFileName(const QString& title, const QString& suggestedName,
                                          const QString& filter) override;
    // A clipboard of its own: what a script or test put there, or what the application copied.
    [[nodiscard]] QString clipboardText() const override { return clipboard_; }
    void setClipboardText(const QString& text) override { clipboard_ = text; }

    // ---- scripting ----
    void queueSaveFileName(const QString& path) { saveNames_.push_back(path); }
    void queueAnswer(bool yes) { answers_.push_back(yes); }
    void queuePick(const QStringList& keys) { picks_.push_back(Pick{keys}); }
    void queuePickNone() { picks_.push_back(Pick{}); }
    // Drives a modal form while showModal waits (the script runner runs its next lines here);
    // without one, queued modal handlers are used, then the form is cancelled.
    void setModalLoop(std::function<void(Form&)> loop) { modalLoop_ = std::move(loop); }
    void queueModalHandler(std::function<void(Form&)> handler) {
        modalHandlers_.push_back(std::move(handler));
    }

    // ---- what happened ----
    [[nodiscard]] std::deque<Message>& messages() { return messages_; }
    [[nodiscard]] std::optional<Message> takeMessage();
    [[nodiscard]] const std::vector<QString>& problems() const { return problems_; }
    void clearProblems() { problems_.clear(); }
    [[nodiscard]] std::size_t pendingAnswers() const { return answers_.size(); }
    [[nodiscard]] std::size_t pendingPicks() const { return picks_.size(); }
    [[nodiscard]] const std::vector<Form*>& shownForms() const { return shown_; }
    [[nodiscard]] const std::vector<Form*>& modalStack() const { return modalStack_; }
    [[nodiscard]] const std::vector<report::Document>& printed() const { return printed_; }
    [[nodiscard]] int busyPeak() const { return busyPeak_; }
    [[nodiscard]] int busyTotal() const { return busyTotal_; }  // how many times it was switched on

  private:
    std::deque<Message> messages_;
    std::deque<bool> answers_;
    std::deque<Pick> picks_;
    std::deque<QString> saveNames_;
    std::vector<report::Document> printed_;
    std::deque<std::function<void(Form&)>> modalHandlers_;
    std::function<void(Form&)> modalLoop_;
    std::vector<QString> problems_;
    std::vector<Form*> shown_;
    std::vector<Form*> modalStack_;
    QString clipboard_;
    int busyDepth_ = 0;
    int busyPeak_ = 0;
    int busyTotal_ = 0;
};

// Switches the busy animation on for a scope.
class CTB_PLATFORM_EXPORT BusyScope {
  public:
    explicit BusyScope(UiServices* services) : services_(services) {
        if (services_ != nullptr)
            services_->busyOn();
    }
    ~BusyScope() {
        if (services_ != nullptr)
            services_->busyOff();
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    UiServices* services_;
};

}  // namespace ctb::ui
