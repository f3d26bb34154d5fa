// The real module PKG_CTB10000.so, loaded at run time through the host's loader and driven in real Qt
// windows (offscreen) against a real server and database: the screen opens and draws, an abort thrown
// inside the module ends one user action at the host's dispatch and the host goes on; and the ctb-host
// executable itself opens the screen and saves a screenshot that is not blank.

#include "host/module_loader.h"
#include "module/pkg_ctb10000.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/widget_driver.h"
#include "platform/sql/database.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImage>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <link.h>

#include <memory>

namespace {

const QDate kToday(2026, 12, 8);

QApplication& app() {
    static int argc = 1;
    static char name[] = "test_host_module";
    static char* argv[] = {name, nullptr};
    static auto* instance = new QApplication(argc, argv);
    return *instance;
}

// ctb-server on a fresh demo database, on the port the system gives it (named on its start-up line).
class ServerProcess {
  public:
    ServerProcess() {
        db_ = dir_.filePath(QStringLiteral("ctb.sqlite"));
        QProcess init;
        init.start(QStringLiteral(CTB_SERVER_BIN),
                   {QStringLiteral("--init-db"), db_, QStringLiteral("--demo")});
        if (!init.waitForFinished(60000) || init.exitCode() != 0) {
            error_ = QString::fromLocal8Bit(init.readAllStandardError());
            return;
        }
        server_.setProcessChannelMode(QProcess::MergedChannels);  // the start-up line is on stderr
        server_.start(
            QStringLiteral(CTB_SERVER_BIN),
            {QStringLiteral("--db"), db_, QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")});
        const QRegularExpression startLine(QStringLiteral("^ctb-server: escutando em [^,]*:(\\d+)"));
        const QDeadlineTimer deadline(60000);
        while (port_ == 0 && !deadline.hasExpired()) {
            if (!server_.canReadLine() && !server_.waitForReadyRead(1000)) {
                if (server_.state() == QProcess::NotRunning)
                    break;
                continue;
            }
            while (port_ == 0 && server_.canReadLine()) {
                const QString line = QString::fromLocal8Bit(server_.readLine()).trimmed();
                error_ += line + QLatin1Char('\n');
                if (const auto m = startLine.match(line); m.hasMatch())
                    port_ = m.captured(1).toInt();
            }
        }
    }
    ~ServerProcess() {
        server_.terminate();
        if (!server_.waitForFinished(10000))
            server_.kill();
    }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    [[nodiscard]] int port() const { return port_; }
    [[nodiscard]] const QString& db() const { return db_; }
    [[nodiscard]] const QString& error() const { return error_; }

  private:
    QTemporaryDir dir_;
    QString db_;
    QProcess server_;
    int port_ = 0;
    QString error_;
};

// Not blank: many colours, and dark pixels where text is drawn (without fonts there would be boxes
// or nothing, and an empty window is a few flat colours).
void expectNotBlank(const QImage& image) {
    ASSERT_FALSE(image.isNull());
    QSet<QRgb> colours;
    QHash<QRgb, int> counts;
    int dark = 0, all = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            const QRgb px = image.pixel(x, y);
            colours.insert(px);
            ++counts[px];
            ++all;
            dark += qGray(px) < 80 ? 1 : 0;
        }
    }
    int commonest = 0;
    for (const int n : std::as_const(counts))
        commonest = std::max(commonest, n);
    EXPECT_GE(colours.size(), 64);
    EXPECT_GT(dark, 1000);
    EXPECT_LT(commonest, all * 9 / 10);
}

// How many copies of a library the process has mapped.
int mappedCopies(const char* fileName) {
    struct Search {
        const char* name;
        int count;
    } search{fileName, 0};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* s = static_cast<Search*>(data);
            if (info->dlpi_name != nullptr && QFileInfo(QString::fromLocal8Bit(info->dlpi_name))
                                                  .fileName()
                                                  .startsWith(QString::fromLatin1(s->name)))
                ++s->count;
            return 0;
        },
        &search);
    return search.count;
}

// The application exists before the fixture's widgets.
struct WithApp {
    WithApp() { app(); }
};

class HostModule : public WithApp, public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_GT(server.port(), 0) << server.error().toStdString();
        database = ctb::sql::openDatabase(server.db(), QStringLiteral("ctb-host"));
        window.resize(1280, 800);
        mdi = new QMdiArea(&window);
        window.setCentralWidget(mdi);
        ui.setMdiArea(mdi);
        ui.setMainWindow(&window);
        ui.setDialogHook([this](QDialog* dialog) { answer(dialog); });
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ctb::qt::driver::activate(&window);
    }

    // Every message box the module shows is read here and closed with its OK button.
    void answer(QDialog* dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(dialog))
            messages << box->text();
        if (auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("btnOK")))
            ok->click();
        else
            dialog->reject();
    }

    void startSession(const char* company) {
        const QByteArray today = kToday.toString(Qt::ISODate).toUtf8();
        CtbSessao s{};
        s.size = sizeof(CtbSessao);
        s.company = company;
        s.user = "DEMO";
        s.serverHost = "127.0.0.1";
        s.serverPort = server.port();
        s.dbConnection = "ctb-host";
        s.locale = "pt_BR";
        s.today = today.constData();
        s.uiServices = static_cast<ctb::ui::UiServices*>(&ui);
        s.accountPicture = "";
        ASSERT_EQ(loader.entryPoints().setSessao(&s), 0);
    }

    // As the host's menu does: one call of the launcher, exceptions kept out of Qt.
    void openEntries() {
        try {
            loader.entryPoints().iniProc();
        } catch (...) {
            ADD_FAILURE() << "an exception left IniProc";
        }
        ctb::qt::driver::settle();
    }

    template <typename T>
    T* widget(const char* name) {
        return mdi->findChild<T*>(QString::fromLatin1(name));
    }

    // Declared in the order ctb-host declares them, so they are destroyed in the same order.
    ServerProcess server;
    std::unique_ptr<ctb::sql::Database> database;
    QMainWindow window;
    QMdiArea* mdi = nullptr;
    ctb::qt::QtUi ui;
    ctb::host::ModuleLoader loader;
    QStringList messages;
};

TEST_F(HostModule, TheHostFindsTheBuiltModuleNextToItsOwnFolder) {
    const QString hostDir = QFileInfo(QStringLiteral(CTB_HOST_BIN)).absolutePath();
    EXPECT_EQ(QFileInfo(ctb::host::ModuleLoader::findModule({}, hostDir)).canonicalFilePath(),
              QFileInfo(QStringLiteral(CTB_MODULE_FILE)).canonicalFilePath());
}

TEST_F(HostModule, LoadsTheSharedLibraryAndOpensTheScreen) {
    ASSERT_TRUE(loader.load(QStringLiteral(CTB_MODULE_FILE))) << loader.error().toStdString();
    // The module is the shared library, mapped once, and it brought no platform copy of its own.
    Dl_info where{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(loader.entryPoints().iniProc), &where), 0);
    EXPECT_EQ(QFileInfo(QString::fromLocal8Bit(where.dli_fname)).fileName(),
              QStringLiteral("PKG_CTB10000.so"));
    EXPECT_EQ(mappedCopies("PKG_CTB10000.so"), 1);
    EXPECT_EQ(mappedCopies("libctb_platform.so"), 1);
    EXPECT_EQ(mappedCopies("libctb_hostlib.so"), 1);

    startSession("01");
    openEntries();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
    ASSERT_EQ(mdi->subWindowList().size(), 1);
    QMdiSubWindow* screen = mdi->subWindowList().front();
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Lançamentos Contábeis"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(screen));
    auto* name = widget<QLineEdit>("edtNmEmpresa");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), QStringLiteral("Comercial Araújo & Filhos Ltda."));

    // Text can be drawn: the application's font has the glyphs of the screen's texts.
    const QRawFont font = QRawFont::fromFont(QApplication::font());
    EXPECT_TRUE(font.isValid());
    for (const QChar c : QStringLiteral("Lançamentos Contábeis"))
        EXPECT_TRUE(font.supportsCharacter(c)) << int(c.unicode());

    const QImage shot = window.grab().toImage();
    if (const QByteArray dir = qgetenv("CTB_SCREENSHOT_DIR"); !dir.isEmpty())
        shot.save(QString::fromLocal8Bit(dir) + QStringLiteral("/host_module.png"));
    expectNotBlank(shot);
    // The company's name is drawn in its edit: dark pixels inside it.
    const QImage nameShot = name->grab().toImage();
    int dark = 0;
    for (int y = 0; y < nameShot.height(); ++y)
        for (int x = 0; x < nameShot.width(); ++x)
            dark += qGray(nameShot.pixel(x, y)) < 100 ? 1 : 0;
    EXPECT_GT(dark, 30);

    // The host calls the launcher again: the same screen comes forward.
    openEntries();
    EXPECT_EQ(mdi->subWindowList().size(), 1);
}

TEST_F(HostModule, AnAbortInsideTheModuleEndsOneActionAndTheHostGoesOn) {
    ASSERT_TRUE(loader.load(QStringLiteral(CTB_MODULE_FILE))) << loader.error().toStdString();
    // An unknown company: the check at creation fails with MensErro inside the module.
    startSession("99");
    openEntries();
    EXPECT_EQ(messages, QStringList{QStringLiteral("Empresa não cadastrada.")});
    ASSERT_EQ(mdi->subWindowList().size(), 1);
    auto* code = widget<QLineEdit>("edtCdEmpresa");
    auto* name = widget<QLineEdit>("edtNmEmpresa");
    ASSERT_NE(code, nullptr);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(code->text(), QStringLiteral("99"));
    EXPECT_EQ(name->text(), QString());

    // A user action in the window: the exit check aborts inside the module; the renderer's dispatch
    // in the host catches the abort, the message shows, the focus stays, and the next action works.
    messages.clear();
    ctb::qt::driver::typeText(code, QStringLiteral("98"));
    ctb::qt::driver::pressKey(code, 9, false, false);
    EXPECT_EQ(messages, QStringList{QStringLiteral("Empresa não cadastrada.")});
    // Nothing is active once a message box closes (no window manager offscreen): come back to it.
    ctb::qt::driver::activate(&window);
    EXPECT_TRUE(code->hasFocus());
    messages.clear();
    ctb::qt::driver::typeText(code, QStringLiteral("01"));
    ctb::qt::driver::pressKey(code, 9, false, false);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
    EXPECT_EQ(name->text(), QStringLiteral("Comercial Araújo & Filhos Ltda."));
}

TEST_F(HostModule, TheHostExecutableSavesAScreenshotThatIsNotBlank) {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("host.png"));
    QProcess host;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("CTB_MODULE"));
    host.setProcessEnvironment(env);
    host.setProcessChannelMode(QProcess::MergedChannels);
    host.start(
        QStringLiteral(CTB_HOST_BIN),
        {QStringLiteral("--db"), server.db(), QStringLiteral("--server"),
         QStringLiteral("127.0.0.1:%1").arg(server.port()), QStringLiteral("--company"), QStringLiteral("01"),
         QStringLiteral("--user"), QStringLiteral("DEMO"), QStringLiteral("--today"),
         kToday.toString(Qt::ISODate), QStringLiteral("--screenshot"), png});
    ASSERT_TRUE(host.waitForFinished(90000));
    const QString output = QString::fromLocal8Bit(host.readAll());
    ASSERT_EQ(host.exitStatus(), QProcess::NormalExit) << output.toStdString();
    ASSERT_EQ(host.exitCode(), 0) << output.toStdString();
    expectNotBlank(QImage(png));
}

}  // namespace
