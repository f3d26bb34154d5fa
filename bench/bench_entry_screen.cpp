// The journal-entry screen with large entries, headless against a real server: opening an entry, the
// balance recount, confirming it again, a new entry typed line by line, and N lines pasted from a
// spreadsheet (the preview, then the store of the rows that pass with their recount), and the first
// entry reversed. Prints its figures; checks nothing.
//
//   bench_entry_screen [--pg] [--lines N] [--allocations K] [--big N] [--runs R]
//
// Company 01 keeps commercial accounts and managerial lines. The entry of N lines has every debit line
// on an allocating account with K allocations and every credit line on a bank account with its code;
// the big entry has plain lines only.
#include "bench/bench_timing.h"
#include "db/schema.h"
#include "entry_screen/cli_ctb10000.h"
#include "filter_dialog/cli_ctb10010.h"
#include "module/pkg_ctb10000.h"
#include "paste_dialog/paste_preview.h"
#include "platform/sql/database.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/services.h"
#include "platform/ui/user_input.h"
#include "server/http_server.h"
#include "tests/support/pg_cluster.h"

#include <QCoreApplication>
#include <QSqlQuery>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

using namespace ctb;
using ctb10000::TfrmLancamento;
using ctb10000::TfrmLancFiltro;
namespace user = ui::user;

namespace {

using Clock = std::chrono::steady_clock;
using ctb::bench::msSince;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

const char* const kReference[] = {
    "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('01', 'Bancada Um Ltda')",
    "INSERT INTO CONTOPECTBL VALUES ('01', 'S', 'S', 'S', '2026-01-01', '2026-12-31')",
    "INSERT INTO CONTCTBL VALUES ('1.1.01.001', '10', 'CAIXA', NULL, '4', 'A', NULL, NULL)",
    "INSERT INTO CONTCTBL VALUES ('1.1.01.002', '11', 'BANCOS', NULL, '4', 'A', NULL, 'B')",
    "INSERT INTO CONTCTBL VALUES ('4.1.01.001', '50', 'ALUGUEL', NULL, '4', 'A', 'G', NULL)",
    "INSERT INTO CONTCTBL VALUES ('3.1.01.001', '40', 'VENDAS', NULL, '4', 'A', NULL, NULL)",
    "INSERT INTO HISTPADR VALUES ('0001', 'PAGAMENTO')",
    "INSERT INTO FILIAL VALUES ('0001', 'MATRIZ')",
    "INSERT INTO FILIAL VALUES ('0002', 'FILIAL SUL')",
    "INSERT INTO EMPRFILIAL VALUES ('01', '0001')",
    "INSERT INTO EMPRFILIAL VALUES ('01', '0002')",
    "INSERT INTO CENTCUST VALUES ('0010', 'ADMINISTRATIVO')",
    "INSERT INTO CENTCUST VALUES ('0020', 'COMERCIAL')",
    "INSERT INTO CENTCUSTFIL VALUES ('0001', '0010')",
    "INSERT INTO CENTCUSTFIL VALUES ('0001', '0020')",
    "INSERT INTO CENTCUSTFIL VALUES ('0002', '0020')",
    "INSERT INTO BANCO VALUES ('001', 'BANCO UM')",
    "INSERT INTO CONTCORR VALUES ('01', '001', '0001', '12345', 'CONTA UM', 'B01')",
};

void exec(QSqlQuery& q, const QString& sql) {
    if (!q.exec(sql)) {
        std::fprintf(stderr, "SQL: %s\n", qPrintable(sql));
        std::exit(2);
    }
}

// An entry of `lines` lines (half debit, half credit, a cent apart so every line differs); with
// allocations, the debit lines are on the allocating account with `allocations` shares each and the
// credit lines on the bank account with its code.
void insertEntry(QSqlQuery& q, const char* entry, int lines, int allocations) {
    const int pairs = std::max(1, lines / 2);
    const auto insertLine = [&](int seq, const char* account, qint64 cents, const char* side,
                                const char* come, const char* kind) {
        exec(
            q,
            QStringLiteral("INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, "
                           "VRLANCAMENT, CDDOCUCONT, DSHISTLANC, CDCONTCOME, IDLANCINTE, IDTIPOLANC, "
                           "CDHISTPADR, IDLANCCOME, IDSISTEMA) VALUES ('01', '%1', '%2', '%3', '2026-12-05', "
                           "%4, 'B1', 'LINHA %2', %5, 'M', '%6', '0001', %7, NULL)")
                .arg(QString::fromLatin1(entry), QStringLiteral("%1").arg(seq, 5, 10, QLatin1Char('0')),
                     QString::fromLatin1(account),
                     QString::number(static_cast<double>(cents) / 100.0, 'f', 2),
                     come ? QStringLiteral("'%1'").arg(QString::fromLatin1(come)) : QStringLiteral("NULL"),
                     QString::fromLatin1(side),
                     kind ? QStringLiteral("'%1'").arg(QString::fromLatin1(kind)) : QStringLiteral("NULL")));
    };
    const char* const centres[][2] = {{"0001", "0010"}, {"0001", "0020"}, {"0002", "0020"}};
    int seq = 0;
    for (int i = 0; i < pairs; ++i) {
        const qint64 cents = 10000 + i;
        ++seq;
        insertLine(seq, allocations > 0 ? "4.1.01.001" : "1.1.01.001", -cents, "D", nullptr, nullptr);
        qint64 left = cents;
        for (int a = 0; a < allocations; ++a) {
            const qint64 share = a + 1 == allocations ? left : cents / allocations;
            left -= share;
            exec(q,
                 QStringLiteral(
                     "INSERT INTO LANCCCUSTO VALUES ('01', '%1', '%2', '%3', '%4', '2026-12-05', %5)")
                     .arg(QString::fromLatin1(entry), QStringLiteral("%1").arg(seq, 5, 10, QLatin1Char('0')),
                          QString::fromLatin1(centres[a % 3][0]), QString::fromLatin1(centres[a % 3][1]),
                          QString::number(static_cast<double>(-share) / 100.0, 'f', 2)));
        }
        ++seq;
        if (allocations > 0)
            insertLine(seq, "1.1.01.002", cents, "C", "B01", "B");
        else
            insertLine(seq, "1.1.01.001", cents, "C", nullptr, nullptr);
    }
}

int intArg(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return std::atoi(argv[i + 1]);
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool pg = std::find_if(argv + 1, argv + argc,
                                 [](const char* a) { return std::strcmp(a, "--pg") == 0; }) != argv + argc;
    const int lines = intArg(argc, argv, "--lines", 1000);
    const int allocations = intArg(argc, argv, "--allocations", 3);
    const int big = intArg(argc, argv, "--big", 10000);
    const int runs = std::max(1, intArg(argc, argv, "--runs", 5));

    const QString url =
        pg ? test::PgCluster::instance().createDatabase() : test::tempSqlitePath(QStringLiteral("bench"));
    auto database = sql::openDatabase(url, QStringLiteral("bench_screen"), sql::OpenMode::CreateIfMissing);
    {
        QSqlDatabase db = database->handle();
        db::createSchema(db);
        QSqlQuery q(db);
        db.transaction();
        for (const char* sql : kReference)
            exec(q, QString::fromUtf8(sql));
        insertEntry(q, "202612000001", lines, allocations);
        insertEntry(q, "202612000002", big, 0);
        exec(q, QStringLiteral("INSERT INTO NUMLANC VALUES ('01', '202612', 2)"));
        db.commit();
    }
    server::ServerOptions o;
    o.databaseUrl = url;
    o.threads = 2;
    o.logRequests = false;
    o.rowLimit = 1000000;
    server::AppServer server(o);
    server.start();

    ui::HeadlessUi ui;
    Initialize();
    const QByteArray connection = database->connectionName().toUtf8();
    CtbSessao s{};
    s.size = sizeof(CtbSessao);
    s.company = "01";
    s.user = "OPER";
    s.serverHost = "127.0.0.1";
    s.serverPort = server.port();
    s.dbConnection = connection.constData();
    s.today = "2026-12-08";
    s.uiServices = &ui;
    s.accountPicture = "9.9.99.999";
    if (SetSessao(&s) != 0)
        return 2;
    IniProc();
    TfrmLancamento& f = *frmLancamento;
    ui.queueModalHandler([](ui::Form& d) {
        auto& dialog = static_cast<TfrmLancFiltro&>(d);
        user::type(dialog.depIni, QStringLiteral("01/12/2026"));
        user::click(dialog.sbtConfirma);
    });
    user::focus(f.dbgPadrao);
    auto fail = [&ui](const char* what) {
        const auto m = ui.takeMessage();
        std::fprintf(stderr, "%s: %s\n", what, m ? qPrintable(m->text) : "sem mensagem");
        std::exit(1);
    };
    if (f.cdsLancCont.recordCount() != lines + big)
        fail("lista");

    const char* backend = pg ? "PostgreSQL" : "SQLite";
    // Opens the entry whose first list row is `row1`; returns the time from the click to the form.
    auto open = [&](int row1) {
        user::click(f.tshFolhaDados);
        user::selectRow(f.dbgPadrao, row1);
        const auto start = Clock::now();
        user::click(f.tshFormulario);
        const double ms = msSince(start);
        if (f.pgcPadrao.activePage() != &f.tshFormulario)
            fail("abrir");
        return ms;
    };
    auto confirm = [&]() {
        user::click(f.sbtAlterar);
        // One changed history makes the entry one to store again.
        user::focus(f.dbgDebito);
        user::type(f.dbeDsHistLanc, QStringLiteral("ALTERADO"));
        const auto start = Clock::now();
        user::click(f.sbtConfirmar);
        const double ms = msSince(start);
        if (!f.FConfirmado)
            fail("confirmar");
        return ms;
    };
    auto recount = [&]() {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            // As after a stored line: one user action.
            const auto start = Clock::now();
            if (!ui::runUserAction(&ui, [&f] { f.CalculaDebitoCredito(); }))
                fail("recontagem");
            times.push_back(msSince(start));
        }
        return median(times);
    };

    const double openMs = open(1);
    const double recountMs = recount();
    const double confirmMs = confirm();
    std::printf("%s, entry of %d lines, %d allocations per debit line, commercial credit lines:\n", backend,
                lines, allocations);
    std::printf("  open %.1f ms, recount %.1f ms (median of %d), confirm %.1f ms\n", openMs, recountMs, runs,
                confirmMs);
    const double bigOpenMs = open(lines + 1);
    const double bigRecountMs = recount();
    const double bigConfirmMs = confirm();
    std::printf("%s, entry of %d plain lines:\n", backend, big);
    std::printf("  open %.1f ms, recount %.1f ms (median of %d), confirm %.1f ms\n", bigOpenMs, bigRecountMs,
                runs, bigConfirmMs);

    // A new entry typed line by line as a person does: account, value, history, post.
    user::click(f.tshFolhaDados);
    user::click(f.sbtIncluir);
    user::type(f.edtDocumento, QStringLiteral("B2"));
    std::printf("%s, a new entry of %d lines typed one by one (ms per line, by hundreds):\n ", backend,
                lines);
    const auto buildStart = Clock::now();
    auto blockStart = buildStart;
    for (int i = 1; i <= lines; ++i) {
        ui::DBGrid& grid = i % 2 == 1 ? f.dbgDebito : f.dbgCredito;
        const QString valueField = i % 2 == 1 ? QStringLiteral("DEBITO") : QStringLiteral("CREDITO");
        ClientDataSet& table = i % 2 == 1 ? f.cdsDebito : f.cdsCredito;
        user::focus(grid);
        // Down on the last line begins the next one, as the user does after switching grids.
        if (!table.isEmpty() && table.state() != DataSetState::Insert)
            user::key(grid, ui::vk::Down);
        user::editCell(grid, QStringLiteral("CDCONTREDU"),
                       i % 2 == 1 ? QStringLiteral("10") : QStringLiteral("40"));
        user::editCell(grid, valueField, QStringLiteral("1,00"));
        user::type(f.dbeCdHistPadr, QStringLiteral("1"));
        user::focus(grid);
        if (!user::key(grid, ui::vk::Down))
            fail("linha");
        if (i % 100 == 0) {
            std::printf(" %.2f", msSince(blockStart) / 100.0);
            blockStart = Clock::now();
        }
    }
    std::printf("\n  total %.0f ms\n", msSince(buildStart));
    if (ui.takeMessage() || f.cdsDebito.recordCount() + f.cdsCredito.recordCount() != lines)
        std::fprintf(stderr, "%d + %d\n", f.cdsDebito.recordCount(), f.cdsCredito.recordCount()),
            fail("linhas digitadas");
    std::printf("  totals %s / %s, recount of the typed entry %.1f ms\n", qPrintable(f.nedDebito.text()),
                qPrintable(f.nedCredito.text()), recount());

    // A new entry, and N lines pasted into its debit grid as a spreadsheet copies them (CRLF, pt-BR
    // amounts), half by reduced code, half by full code with the bank account's commercial code; in the
    // second paste every tenth row names an unknown account and is refused.
    // The entry on the form tab is dropped: the line being typed, then the entry itself (Yes).
    auto dropEntry = [&]() {
        for (ClientDataSet* t : {&f.cdsDebito, &f.cdsCredito})
            if (ctb10000::editing(*t))
                t->cancel();
        if (f.pgcPadrao.activePage() == &f.tshFormulario) {
            ui.queueAnswer(true);
            user::click(f.sbtCancelar);
            static_cast<void>(ui.takeMessage());
        }
    };
    auto paste = [&](int everyRefused) {
        dropEntry();
        user::click(f.tshFolhaDados);
        user::click(f.sbtIncluir);
        user::type(f.edtDocumento, QStringLiteral("B3"));
        user::focus(f.dbgDebito);
        QString text = QStringLiteral("Conta\tValor\tHist.\tHistórico\tCód. comercial\r\n");
        qint64 expected = 0;
        int passing = 0;
        for (int i = 1; i <= lines; ++i) {
            const qint64 cents = 100000 + i;
            const QString value = QLocale(QLocale::Portuguese, QLocale::Brazil)
                                      .toString(static_cast<double>(cents) / 100.0, 'f', 2);
            const bool refused = everyRefused > 0 && i % everyRefused == 0;
            if (refused)
                text += QStringLiteral("99\t%1\t1\r\n").arg(value);
            else if (i % 2 == 1)
                text += QStringLiteral("10\t%1\t1\tLINHA %2\t\r\n").arg(value).arg(i);
            else
                text += QStringLiteral("1.1.01.002\t%1\t1\t\tB01\r\n").arg(value);
            if (!refused) {
                expected += cents;
                ++passing;
            }
        }
        ui.setClipboardText(text);
        double previewMs = 0;
        Clock::time_point confirmed;
        ui.queueModalHandler([&](ui::Form& d) {
            previewMs = msSince(confirmed);
            auto& preview = static_cast<ctb10000::PastePreviewDialog&>(d);
            if (preview.cdsPastePreview.recordCount() != lines)
                fail("prévia");
            user::click(preview.sbtConfirma);
            confirmed = Clock::now();
        });
        if (passing < lines)
            ui.queueModalHandler(
                [](ui::Form& d) { user::click(static_cast<ctb10000::PastePreviewDialog&>(d).sbtCancel); });
        confirmed = Clock::now();
        user::key(f.dbgDebito, ui::vk::KeyA + ('V' - 'A'), ui::ShiftState{true, false});
        const double storeMs = msSince(confirmed);
        if (ui.takeMessage() || f.cdsDebito.recordCount() != passing ||
            f.nedDebito.text() != QLocale(QLocale::Portuguese, QLocale::Brazil)
                                      .toString(static_cast<double>(expected) / 100.0, 'f', 2))
            fail("linhas coladas");
        std::printf("%s, %d lines pasted into the debit grid, %d refused:\n", backend, lines,
                    lines - passing);
        std::printf("  preview %.0f ms, confirm (%d lines stored, one recount) %.0f ms, debit %s\n",
                    previewMs, passing, storeMs, qPrintable(f.nedDebito.text()));
    };
    paste(0);
    paste(10);

    // The allocated entry reversed: every line and allocation through its checks, then stored.
    dropEntry();
    open(1);
    auto start = Clock::now();
    user::click(*static_cast<ui::MenuItem*>(f.findControl(QStringLiteral("mnuEstornar"))));
    const double reverseMs = msSince(start);
    f.cdsLancCCusto.setFiltered(false);
    if (ui.takeMessage() || f.reversalOf.isEmpty() ||
        f.cdsDebito.recordCount() + f.cdsCredito.recordCount() != lines ||
        f.cdsLancCCusto.recordCount() != lines / 2 * allocations)
        fail("estorno");
    start = Clock::now();
    user::click(f.sbtConfirmar);
    const double reversalStoreMs = msSince(start);
    if (ui.takeMessage() || !f.FConfirmado)
        fail("gravar o estorno");
    std::printf("%s, the entry of %d lines reversed:\n", backend, lines);
    std::printf("  reversal begun (every line and allocation checked) %.0f ms, confirm %.0f ms\n", reverseMs,
                reversalStoreMs);
    Finalize();
    return 0;
}
