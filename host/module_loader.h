#pragma once

#include <QLibrary>
#include <QString>

#include <memory>

namespace ctb::host {

// What the host needs from the module's C entry points, resolved by name.
struct ModuleEntryPoints {
    void (*initialize)() = nullptr;
    void (*finalize)() = nullptr;
    int (*setSessao)(const void* session) = nullptr;
    void (*iniProc)() = nullptr;
};

// Loads PKG_CTB10000 at run time and resolves its entry points. Every failure is a Portuguese message
// in error(); nothing throws.
class ModuleLoader {
  public:
    ModuleLoader() = default;
    ~ModuleLoader();
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    // The first of: the explicit path, $CTB_MODULE, next to the executable, the installed module folder
    // relative to the executable's (bin/ -> lib/<arch>/ctb/), the build tree's module/. When none
    // exists, the installed place (named in the error).
    [[nodiscard]] static QString findModule(const QString& explicitPath, const QString& executableDir);

    [[nodiscard]] bool load(const QString& path);
    [[nodiscard]] const ModuleEntryPoints& entryPoints() const { return entry_; }
    [[nodiscard]] const QString& error() const { return error_; }
    [[nodiscard]] bool isLoaded() const { return lib_ && lib_->isLoaded(); }

  private:
    std::unique_ptr<QLibrary> lib_;
    ModuleEntryPoints entry_;
    QString error_;
};

}  // namespace ctb::host
