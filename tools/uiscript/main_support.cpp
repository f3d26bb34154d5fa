#include "tools/uiscript/main_support.h"

#include "tools/uiscript/headless_backend.h"
#include "tools/uiscript/runner.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace ctb::uiscript {

BackendChoice headlessChoice() {
    return BackendChoice{
        [](int& argc, char** argv) { return std::make_unique<QCoreApplication>(argc, argv); },
        [] { return std::make_unique<HeadlessBackend>(); }};
}

namespace {
void printErr(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fprintf(stderr, "%s\n", bytes.constData());
}
}  // namespace

int runMain(int argc, char** argv, const ApplicationRegistry& apps, const QString& defaultApp,
            const std::map<QString, BackendChoice>& backends) {
    QString backendName = QStringLiteral("headless");
    QString appName = defaultApp;
    QString scriptPath;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == u"--qt")
            backendName = QStringLiteral("qt");
        else if (a == u"--app" && i + 1 < argc)
            appName = QString::fromLocal8Bit(argv[++i]);
        else if (a.startsWith(u'-') && a != u"-")
            scriptPath.clear(), printErr(QStringLiteral("opção desconhecida: %1").arg(a)),
                backendName.clear();
        else
            scriptPath = a;
    }
    if (backendName.isEmpty() || scriptPath.isEmpty()) {
        printErr(QStringLiteral("uso: ctb-uiscript [--qt] [--app NOME] SCRIPT"));
        return 2;
    }
    auto choice = backends.find(backendName);
    if (choice == backends.end()) {
        printErr(QStringLiteral("backend \"%1\" não disponível neste executável").arg(backendName));
        return 2;
    }
    auto app = choice->second.makeApp(argc, argv);
    QFile file(scriptPath);
    if (!file.open(QIODevice::ReadOnly)) {
        printErr(QStringLiteral("não foi possível ler o script %1").arg(scriptPath));
        return 2;
    }
    const QString text = QString::fromUtf8(file.readAll());
    try {
        auto backend = choice->second.makeBackend();
        Runner runner(*backend, apps, appName);
        runner.setScriptDir(QFileInfo(scriptPath).absolutePath());
        runner.runText(text);
    } catch (const ScriptError& e) {
        printErr(QStringLiteral("%1:%2: %3").arg(scriptPath).arg(e.line()).arg(e.message()));
        return 1;
    } catch (const std::exception& e) {
        printErr(QStringLiteral("%1: erro: %2").arg(scriptPath, QString::fromUtf8(e.what())));
        return 1;
    }
    return 0;
}

}  // namespace ctb::uiscript
