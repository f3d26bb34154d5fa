// ctb-host: the host application. Opens the suite's database connection, loads the module at run
// time and calls its launcher from the menu, with the session given on the command line or in a
// configuration file.

#include "host/main_window.h"
#include "host/module_loader.h"
#include "module/pkg_ctb10000.h"
#include "platform/net/http_client.h"
#include "platform/qt/form_renderer.h"
#include "platform/qt/qt_ui.h"
#include "platform/sql/database.h"
#include "platform/sql/error.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <memory>

namespace {

using ctb::host::HostOptions;

const QString kDbConnection = QStringLiteral("ctb-host");

// The token is the file's first line; it never reaches a log or a message.
bool readToken(const QString& path, QByteArray& token, QString& error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Não foi possível ler o arquivo de token %1: %2.").arg(path, f.errorString());
        return false;
    }
    token = f.readLine().trimmed();
    if (token.isEmpty()) {
        error = QStringLiteral("O arquivo de token %1 está vazio.").arg(path);
        return false;
    }
    return true;
}

bool parseOptions(QApplication& app, HostOptions& o, QByteArray& token, QString& error) {
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Aplicação hospedeira do módulo de lançamentos contábeis"));
    p.addHelpOption();
    const QCommandLineOption config(QStringLiteral("config"),
                                    QStringLiteral("Arquivo de configuração (INI)."), QStringLiteral("FILE"));
    const QCommandLineOption db(QStringLiteral("db"),
                                QStringLiteral("Banco: arquivo SQLite ou postgresql://..."),
                                QStringLiteral("DB"));
    const QCommandLineOption server(QStringLiteral("server"),
                                    QStringLiteral("Servidor de aplicação HOST:PORTA."),
                                    QStringLiteral("HOST:PORT"));
    const QCommandLineOption company(QStringLiteral("company"), QStringLiteral("Empresa."),
                                     QStringLiteral("CODE"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("Usuário."), QStringLiteral("OPER"));
    const QCommandLineOption locale(QStringLiteral("locale"), QStringLiteral("Localidade (pt_BR)."),
                                    QStringLiteral("LOCALE"));
    const QCommandLineOption today(QStringLiteral("today"), QStringLiteral("Data de hoje AAAA-MM-DD."),
                                   QStringLiteral("DATE"));
    const QCommandLineOption module(QStringLiteral("module"), QStringLiteral("Caminho do módulo."),
                                    QStringLiteral("PATH"));
    const QCommandLineOption picture(QStringLiteral("account-picture"),
                                     QStringLiteral("Máscara de contas (9.9.99.999)."),
                                     QStringLiteral("PIC"));
    const QCommandLineOption tokenFile(
        QStringLiteral("token-file"),
        QStringLiteral("Arquivo com o token do servidor de aplicação (ou a variável CTB_TOKEN_FILE)."),
        QStringLiteral("FILE"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Abre os lançamentos, salva a tela em PNG e sai."),
                                        QStringLiteral("FILE"));
    p.addOptions({config, db, server, company, user, locale, today, module, picture, tokenFile, screenshot});
    p.process(app);
    const QString tokenPath =
        p.isSet(tokenFile) ? p.value(tokenFile) : qEnvironmentVariable("CTB_TOKEN_FILE");
    if (!tokenPath.isEmpty() && !readToken(tokenPath, token, error))
        return false;

    // The configuration file gives defaults; the command line wins.
    if (p.isSet(config)) {
        const QSettings ini(p.value(config), QSettings::IniFormat);
        if (ini.status() != QSettings::NoError) {
            error = QStringLiteral("Arquivo de configuração ilegível: %1").arg(p.value(config));
            return false;
        }
        o.db = ini.value(QStringLiteral("db")).toString();
        const QString srv = ini.value(QStringLiteral("server")).toString();
        if (!srv.isEmpty())
            o.serverHost = srv;
        o.company = ini.value(QStringLiteral("company")).toString();
        o.user = ini.value(QStringLiteral("user")).toString();
        o.locale = ini.value(QStringLiteral("locale"), o.locale).toString();
        o.accountPicture = ini.value(QStringLiteral("account_picture")).toString();
    }
    QString serverText = p.isSet(server) ? p.value(server) : o.serverHost;
    if (p.isSet(db))
        o.db = p.value(db);
    if (p.isSet(company))
        o.company = p.value(company);
    if (p.isSet(user))
        o.user = p.value(user);
    if (p.isSet(locale))
        o.locale = p.value(locale);
    if (p.isSet(today))
        o.today = p.value(today);
    if (p.isSet(module))
        o.module = p.value(module);
    if (p.isSet(picture))
        o.accountPicture = p.value(picture);
    if (p.isSet(screenshot))
        o.screenshot = p.value(screenshot);

    const int colon = serverText.lastIndexOf(QLatin1Char(':'));
    bool portOk = false;
    if (colon > 0) {
        o.serverHost = serverText.left(colon);
        o.serverPort = serverText.mid(colon + 1).toInt(&portOk);
    }
    if (!portOk || o.serverPort <= 0 || o.serverPort > 65535) {
        error = QStringLiteral("Servidor de aplicação inválido: \"%1\" (use HOST:PORTA).").arg(serverText);
        return false;
    }
    if (o.db.isEmpty()) {
        error = QStringLiteral("Informe o banco de dados (--db).");
        return false;
    }
    return true;
}

void report(const HostOptions& o, QWidget* parent, const QString& text) {
    std::fprintf(stderr, "ctb-host: %s\n", qPrintable(text));
    if (o.screenshot.isEmpty())
        QMessageBox::critical(parent, QStringLiteral("CTB"), text);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ctb-host"));
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));

    HostOptions options;
    QByteArray token;
    QString error;
    if (!parseOptions(app, options, token, error)) {
        std::fprintf(stderr, "ctb-host: %s\n", qPrintable(error));
        return 2;
    }

    ctb::host::MainWindow window(options);
    ctb::qt::QtUi ui;
    ui.setMdiArea(window.mdiArea());
    ui.setMainWindow(&window);
    // Screens open maximized the first time, then where the user left them.
    ui.renderer().setRememberPlaces(true);
    window.show();
    window.activateWindow();

    bool usable = true;
    std::unique_ptr<ctb::sql::Database> database;
    try {
        database = ctb::sql::openDatabase(options.db, kDbConnection);
    } catch (const std::exception& e) {
        report(options, &window, QString::fromUtf8(e.what()));
        usable = false;
    }

    {
        ctb::net::HttpClient probe(options.serverHost.toStdString(), options.serverPort);
        const auto health = probe.health();
        if (!health.ok)
            report(options, &window,
                   QStringLiteral("Servidor de aplicação %1:%2 não responde: %3")
                       .arg(options.serverHost)
                       .arg(options.serverPort)
                       .arg(health.error));
    }

    ctb::host::ModuleLoader loader;
    const QString modulePath =
        ctb::host::ModuleLoader::findModule(options.module, QApplication::applicationDirPath());
    if (usable && !loader.load(modulePath)) {
        report(options, &window, loader.error());
        usable = false;
    }

    // Texts handed to the module must outlive the call: kept here for the life of the host.
    const QByteArray company = options.company.toUtf8(), user = options.user.toUtf8(),
                     host = options.serverHost.toUtf8(), conn = kDbConnection.toUtf8(),
                     locale = options.locale.toUtf8(), today = options.today.toUtf8(),
                     picture = options.accountPicture.toUtf8();
    if (usable) {
        CtbSessao session{};
        session.size = sizeof(CtbSessao);
        session.company = company.constData();
        session.user = user.constData();
        session.serverHost = host.constData();
        session.serverPort = options.serverPort;
        session.dbConnection = conn.constData();
        session.locale = locale.constData();
        session.today = today.constData();
        session.uiServices = static_cast<ctb::ui::UiServices*>(&ui);
        session.accountPicture = picture.constData();
        session.token = token.constData();
        if (loader.entryPoints().setSessao(&session) != 0) {
            report(options, &window, QStringLiteral("O módulo recusou a sessão do usuário."));
            usable = false;
        }
    }
    window.setModuleAvailable(usable);

    const auto openEntries = [&]() {
        try {
            loader.entryPoints().iniProc();
        } catch (const std::exception& e) {
            report(options, &window,
                   QStringLiteral("Erro inesperado no módulo: %1").arg(QString::fromUtf8(e.what())));
        } catch (...) {
            report(options, &window, QStringLiteral("Erro inesperado no módulo."));
        }
    };
    QObject::connect(&window, &ctb::host::MainWindow::openEntriesRequested, &window, openEntries);

    if (!options.screenshot.isEmpty()) {
        if (!usable)
            return 1;
        QTimer::singleShot(0, &window, [&]() {
            openEntries();
            QTimer::singleShot(800, &window, [&]() {
                const bool saved = window.grab().save(options.screenshot);
                std::fprintf(stderr, "ctb-host: screenshot %s %s\n", qPrintable(options.screenshot),
                             saved ? "saved" : "NOT saved");
                // Modal dialogs opened by the screen run their own loops: leave through exit().
                std::fflush(stderr);
                std::_Exit(saved ? 0 : 1);
            });
        });
    } else if (usable) {
        QTimer::singleShot(0, &window, openEntries);
    }
    return QApplication::exec();
}
