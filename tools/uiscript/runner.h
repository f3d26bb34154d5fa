#pragma once

// Runs a UI script against a backend. The verbs are fixed (see the README of the tools); the runner
// stops at the first failed expectation with a ScriptError naming the line, what it expected and
// what it saw.

#include "tools/uiscript/backend.h"
#include "tools/uiscript/script.h"

#include <memory>
#include <optional>

namespace ctb::uiscript {

class Runner {
  public:
    // `appName` picks the application `open` launches from the registry.
    Runner(Backend& backend, const ApplicationRegistry& registry, QString appName);
    ~Runner();
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    // Throws ScriptError at the first failure.
    void run(const std::vector<Command>& commands);
    void runText(const QString& script) { run(parseScript(script)); }

    // Where `clipboard file "NAME"` finds NAME (the script's folder); the working folder when unset.
    void setScriptDir(const QString& dir) { scriptDir_ = dir; }

    [[nodiscard]] Application* application() const { return app_.get(); }
    [[nodiscard]] const SessionOptions& session() const { return session_; }

  private:
    void runUntil(const std::function<bool()>& stop);
    void execute(const Command& c);
    void expect(const Command& c);
    void checkProblems(const Command& c);
    [[nodiscard]] ClientDataSet& table(const Command& c, const QString& name) const;

    Backend& backend_;
    const ApplicationRegistry& registry_;
    QString appName_;
    QString scriptDir_;
    SessionOptions session_;
    bool sessionSet_ = false;
    std::unique_ptr<Application> app_;
    const std::vector<Command>* commands_ = nullptr;
    std::size_t next_ = 0;
    std::optional<ScriptError> failure_;
    int modalDepth_ = 0;
};

}  // namespace ctb::uiscript
