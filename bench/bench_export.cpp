// Figures of the list export: 100,000 entry lines of the browse grid's twelve columns to a CSV file,
// streamed, with a display handler on one coded column (as the screen has); and the same rows as a
// report table. Prints numbers; not a test.

#include "bench/bench_timing.h"
#include "platform/dataset/client_dataset.h"
#include "platform/report/grid_export.h"
#include "platform/ui/data_controls.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <functional>

using namespace ctb;

namespace {

using ctb::bench::bestOf;
using ctb::bench::msSince;

constexpr int kRows = 100000;

QString s(const char* text) {
    return QString::fromUtf8(text);
}

void fill(ClientDataSet& t) {
    t.addStringField(s("NRLANCCONT"), 12).setDisplayLabel(s("Lançamento"));
    t.addStringField(s("CDCONTCTBL"), 20).setDisplayLabel(s("Conta Contábil"));
    t.addStringField(s("NMCONTCTBL"), 40).setDisplayLabel(s("Nome"));
    t.addDateTimeField(s("DTLANCCONT")).setDisplayLabel(s("Data"));
    for (const char* money : {"DEBITO", "CREDITO"}) {
        Field& f = t.addFloatField(s(money));
        f.setDisplayFormat(s("#,##0.00"));
    }
    t.addStringField(s("CDDOCUCONT"), 20).setDisplayLabel(s("Documento"));
    t.addStringField(s("DSHISTLANC"), 600).setDisplayLabel(s("Histórico"));
    t.addStringField(s("IDLANCCOME"), 1).setDisplayLabel(s("Identificador"));
    t.addStringField(s("CDCONTCOME"), 21).setDisplayLabel(s("Cód. Comercial"));
    t.addStringField(s("IDLANCINTE"), 1).setDisplayLabel(s("Tipo"));
    t.addStringField(s("IDSISTEMA"), 3).setDisplayLabel(s("Origem"));
    t.fieldByName(u"IDLANCINTE").onGetText = [](Field& f, QString& text, bool) {
        text = f.asString() == u"M" ? s("Manual") : s("Lote");
    };
    t.createDataSet();
    const QDateTime day(QDate(2026, 12, 1), QTime());
    for (int i = 0; i < kRows; ++i) {
        t.append();
        t.fieldByName(u"NRLANCCONT")
            .setAsString(QStringLiteral("202612%1").arg(i / 2 + 1, 6, 10, QLatin1Char('0')));
        t.fieldByName(u"CDCONTCTBL").setAsString(i % 2 == 0 ? s("4.1.01.001") : s("1.1.01.002"));
        t.fieldByName(u"NMCONTCTBL").setAsString(i % 2 == 0 ? s("ALUGUEL") : s("BANCOS"));
        t.fieldByName(u"DTLANCCONT").setAsDateTime(day.addDays(i % 28));
        t.fieldByName(i % 2 == 0 ? u"DEBITO" : u"CREDITO").setAsFloat(1000.0 + (i % 977) * 1.37);
        t.fieldByName(u"CDDOCUCONT").setAsString(QStringLiteral("NF%1").arg(i));
        t.fieldByName(u"DSHISTLANC")
            .setAsString(i % 10 == 0 ? s("Pagamento \"à vista\"; conforme NF")
                                     : s("Aluguel de dezembro – matriz"));
        t.fieldByName(u"IDLANCINTE").setAsString(i % 3 == 0 ? s("L") : s("M"));
        t.fieldByName(u"IDSISTEMA").setAsString(s("DFS"));
        t.post();
    }
    t.first();
}

}  // namespace

int main() {
    ClientDataSet table(s("cdsLancCont"));
    DataSource source(&table, s("dtsPadrao"));
    ui::DBGrid grid(s("dbgPadrao"));
    fill(table);
    grid.setDataSource(&source);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lancamentos.csv"));
    qint64 bytes = 0;
    const double csvMs = bestOf(3, [&] {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !report::writeGridCsv(grid, file)) {
            std::printf("could not write %s\n", qPrintable(path));
            std::exit(1);
        }
        bytes = file.size();
    });
    std::printf("export CSV        %d lines, 12 columns: %8.1f ms  (%.1f MB, %.0f lines/s)\n", kRows, csvMs,
                bytes / 1e6, kRows / (csvMs / 1000));
    std::size_t rows = 0;
    const double tableMs = bestOf(3, [&] { rows = report::gridTable(grid).rows.size(); });
    std::printf("report table      %zu rows:             %8.1f ms\n", rows, tableMs);
    return 0;
}
