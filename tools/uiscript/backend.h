#pragma once

// What the script runner needs from a backend (headless: the control model with scripted
// answers; Qt: real widgets offscreen driven through QTest) and from the application it opens.
//
// A backend acts on controls by name, looked up in the innermost open modal form first, then in
// the forms beneath it, then in the other shown forms (most recent first). Every action is one user
// action: failures inside handlers are caught and shown, never thrown here. Backend methods throw
// BackendError for things a script got wrong (unknown control, a disabled button...).

#include "platform/ui/controls.h"
#include "platform/ui/services.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>

namespace ctb {
class ClientDataSet;
}

namespace ctb::uiscript {

class BackendError : public std::runtime_error {
  public:
    explicit BackendError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    [[nodiscard]] const QString& message() const { return message_; }

  private:
    QString message_;
};

// The `session` line.
struct SessionOptions {
    QString company;
    QString user;
    QString db;
    QString server;  // host:port
    QString locale = QStringLiteral("pt_BR");
    QDate today;             // invalid: the real date
    QString accountPicture;  // empty: the installation default
};

// What `open` launches: the module (through its IniProc) or a test application.
class Application {
  public:
    virtual ~Application() = default;
    // The host calls the launcher: create and show the first screen through `services`. Called again
    // for every later `open`, with the same session and services: the launcher runs again, as a host
    // calls it again from its menu.
    virtual void open(const SessionOptions& session, ui::UiServices& services) = 0;
    // Named tables and flags of the open screens, for `expect rows|field|state|flag`.
    [[nodiscard]] virtual ClientDataSet* findTable(const QString& name) = 0;
    [[nodiscard]] virtual std::optional<bool> flag(const QString& name) = 0;
};

using ApplicationFactory = std::function<std::unique_ptr<Application>()>;

// Launchable applications by name ("module" is the journal-entry module once it is wired).
class ApplicationRegistry {
  public:
    void add(const QString& name, ApplicationFactory factory) { factories_[name] = std::move(factory); }
    [[nodiscard]] std::unique_ptr<Application> create(const QString& name) const;
    [[nodiscard]] QStringList names() const;

  private:
    std::map<QString, ApplicationFactory> factories_;
};

class Backend {
  public:
    virtual ~Backend() = default;

    // The services the application shows its forms, messages and lookups through.
    [[nodiscard]] virtual ui::UiServices& services() = 0;
    // While a modal form is open the runner feeds it the next script lines: the backend calls
    // `loop(form)` from inside showModal, and the loop returns when the form closed (or the
    // script ended or failed).
    virtual void setModalLoop(std::function<void(ui::Form&)> loop) = 0;

    // ---- actions (one user action each) ----
    virtual void focus(const QString& control) = 0;
    virtual void type(const QString& control, const QString& text) = 0;
    virtual void key(const QString& control, int virtualKey, ui::ShiftState shift) = 0;
    virtual void click(const QString& control) = 0;
    virtual void selectColumn(const QString& grid, const QString& field) = 0;
    virtual void selectRow(const QString& grid, int row1) = 0;
    virtual void editCell(const QString& grid, const QString& field, const QString& text) = 0;
    // `keys CONTROL "TEXT"`: focus as a click would (cursor at the end of the text), then real key
    // events; {Home} {End} {Left} {Right} {BackSpace} {Delete} {Tab} {Enter} {Escape} {CtrlA} are
    // named keys. Only windows have a cursor to move: backends without them refuse the verb.
    virtual void keys(const QString& /*control*/, const QString& /*text*/) {
        throw BackendError(QStringLiteral(
            "keys só funciona com --qt: sem janelas não há cursor que as teclas movam; use type"));
    }
    // `screenshot "FILE"`: saves what the main window shows as PNG; backends without windows ignore it.
    virtual void screenshot(const QString& /*path*/) {}

    // ---- scripted answers ----
    virtual void queueAnswer(bool yes) = 0;
    virtual void queuePick(const QStringList& keys) = 0;  // empty: pick none

    // ---- observations ----
    // The next message shown (any kind), oldest first; nullopt when none is left unread.
    [[nodiscard]] virtual std::optional<ui::HeadlessUi::Message> takeMessage() = 0;
    // Problems the backend noticed (an unanswered question, a pick of an unlisted key...), cleared.
    [[nodiscard]] virtual QStringList takeProblems() = 0;
    // The control model object behind a name, in the lookup order above; nullptr when none.
    [[nodiscard]] virtual ui::Control* findControl(const QString& name) const = 0;
    // What the user sees: enabled, visible, focused and text as shown.
    [[nodiscard]] virtual bool isEnabled(const QString& control) const = 0;
    [[nodiscard]] virtual bool isVisible(const QString& control) const = 0;
    [[nodiscard]] virtual bool isFocused(const QString& control) const = 0;
    [[nodiscard]] virtual QString text(const QString& control) const = 0;
};

}  // namespace ctb::uiscript
