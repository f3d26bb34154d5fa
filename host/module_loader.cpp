#include "host/module_loader.h"

#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace ctb::host {

namespace {
const QString kModuleFile = QStringLiteral("PKG_CTB10000.so");
}

ModuleLoader::~ModuleLoader() {
    if (isLoaded() && entry_.finalize != nullptr)
        entry_.finalize();
    // The module's screens live until the process ends (they are owned by the application), so the
    // library stays mapped: unloading would pull their code from under them.
}

QString ModuleLoader::findModule(const QString& explicitPath, const QString& executableDir) {
    if (!explicitPath.isEmpty())
        return explicitPath;
    const QString env = QProcessEnvironment::systemEnvironment().value(QStringLiteral("CTB_MODULE"));
    if (!env.isEmpty())
        return env;
    const QDir dir(executableDir);
    // Installed: bin/ctb-host and lib/<arch>/ctb/PKG_CTB10000.so; in the build tree: host/ and module/.
    const QString installed =
        dir.filePath(QStringLiteral(CTB_MODULE_DIR_FROM_BIN) + QLatin1Char('/') + kModuleFile);
    for (const QString& candidate :
         {dir.filePath(kModuleFile), installed, dir.filePath(QStringLiteral("../module/") + kModuleFile)})
        if (QFileInfo::exists(candidate))
            return QDir::cleanPath(candidate);
    return QDir::cleanPath(installed);
}

bool ModuleLoader::load(const QString& path) {
    entry_ = {};
    if (!QFileInfo::exists(path)) {
        error_ = QStringLiteral("Módulo não encontrado: %1").arg(path);
        return false;
    }
    lib_ = std::make_unique<QLibrary>(path);
    if (!lib_->load()) {
        error_ = QStringLiteral("Não foi possível carregar o módulo %1: %2").arg(path, lib_->errorString());
        return false;
    }
    const auto resolve = [this](const char* name) { return lib_->resolve(name); };
    entry_.initialize = reinterpret_cast<void (*)()>(resolve("Initialize"));
    entry_.finalize = reinterpret_cast<void (*)()>(resolve("Finalize"));
    entry_.setSessao = reinterpret_cast<int (*)(const void*)>(resolve("SetSessao"));
    entry_.iniProc = reinterpret_cast<void (*)()>(resolve("IniProc"));
    QStringList missing;
    if (entry_.iniProc == nullptr)
        missing << QStringLiteral("IniProc");
    if (entry_.setSessao == nullptr)
        missing << QStringLiteral("SetSessao");
    if (!missing.isEmpty()) {
        error_ = QStringLiteral("O módulo %1 não exporta: %2").arg(path, missing.join(QStringLiteral(", ")));
        entry_ = {};
        return false;
    }
    if (entry_.initialize != nullptr)
        entry_.initialize();
    return true;
}

}  // namespace ctb::host
