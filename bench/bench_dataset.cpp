// Figures of the in-memory table on 100,000 entry lines: append, packet get/set, filter, locate, memory.
// Prints numbers; not a test.

#include "bench/bench_timing.h"
#include "platform/dataset/client_dataset.h"

#include <malloc.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

using namespace ctb;

namespace {

using ctb::bench::bestOf;
using ctb::bench::msSince;

constexpr int kRows = 100000;
constexpr int kLinesPerEntry = 4;

std::size_t heapInUse() {
    return mallinfo2().uordblks;
}

void declare(ClientDataSet& t) {
    t.addStringField(QStringLiteral("CDEMPRESA"), 2);
    t.addStringField(QStringLiteral("NRLANCCONT"), 12);
    t.addStringField(QStringLiteral("NRSEQLANC"), 5);
    t.addStringField(QStringLiteral("CDCONTCTBL"), 20);
    t.addStringField(QStringLiteral("NMCONTCTBL"), 40);
    t.addDateTimeField(QStringLiteral("DTLANCCONT"));
    t.addFloatField(QStringLiteral("CREDITO"));
    t.addFloatField(QStringLiteral("DEBITO"));
    t.addFloatField(QStringLiteral("VRLANCAMENT"));
    t.addStringField(QStringLiteral("CDDOCUCONT"), 20);
    t.addStringField(QStringLiteral("DSHISTLANC"), 600);
    t.addStringField(QStringLiteral("CDCONTCOME"), 21);
    t.addStringField(QStringLiteral("IDLANCINTE"), 1);
    t.addStringField(QStringLiteral("CDCONTREDU"), 20);
    t.addStringField(QStringLiteral("IDTIPOLANC"), 1);
    t.addStringField(QStringLiteral("CDHISTPADR"), 4);
    t.addStringField(QStringLiteral("IDLANCCOME"), 1);
    t.addStringField(QStringLiteral("IDSISTEMA"), 3);
}

const char* const kAccounts[] = {"1.1.01.001", "1.1.02.003", "2.1.01.002", "3.1.01.001", "4.2.03.010"};
const char* const kNames[] = {"Caixa Geral", "Bancos Conta Movimento", "Fornecedores Nacionais",
                              "Receita de Vendas de Mercadorias", "Despesas com Aluguéis"};
const char* const kHistories[] = {
    "Pagamento de fornecedor conforme nota fiscal",
    "Recebimento de cliente referente à duplicata em aberto no mês de competência",
    "Transferência entre contas",
    "Provisão de despesas com aluguel do depósito central, contrato renovado em janeiro, com reajuste pelo "
    "índice"};
const char* const kSystems[] = {"DFS", "DFE", "PAG", "REC", "BCO", "LTO", ""};

void fillLine(ClientDataSet& t, int i) {
    const int entry = i / kLinesPerEntry;
    const int seq = i % kLinesPerEntry + 1;
    const bool debit = seq % 2 == 1;
    const double value = 10.0 + (i * 37 % 100000) / 100.0;
    const auto f = [&](const char16_t* name) -> Field& { return t.fieldByName(name); };
    f(u"CDEMPRESA").setAsString(i % 10 == 0 ? QStringLiteral("02") : QStringLiteral("01"));
    f(u"NRLANCCONT")
        .setAsString(QStringLiteral("2026%1%2")
                         .arg(entry % 12 + 1, 2, 10, QLatin1Char('0'))
                         .arg(entry, 6, 10, QLatin1Char('0')));
    f(u"NRSEQLANC").setAsString(QStringLiteral("%1").arg(seq, 5, 10, QLatin1Char('0')));
    f(u"CDCONTCTBL").setAsString(QString::fromLatin1(kAccounts[i % 5]));
    f(u"NMCONTCTBL").setAsString(QString::fromUtf8(kNames[i % 5]));
    f(u"DTLANCCONT").setAsDate(QDate(2026, entry % 12 + 1, entry % 28 + 1));
    f(debit ? u"DEBITO" : u"CREDITO").setAsFloat(value);
    f(u"VRLANCAMENT").setAsFloat(debit ? -value : value);
    f(u"CDDOCUCONT").setAsString(QStringLiteral("NF%1").arg(100000 + entry));
    f(u"DSHISTLANC").setAsString(QString::fromUtf8(kHistories[i % 4]));
    if (i % 3 == 0)
        f(u"CDCONTCOME").setAsString(QStringLiteral("%1").arg(i % 997, 6, 10, QLatin1Char('0')));
    f(u"IDLANCINTE").setAsString(QStringLiteral("M"));
    f(u"CDCONTREDU").setAsString(QStringLiteral("%1").arg(i % 5 + 101));
    f(u"IDTIPOLANC").setAsString(debit ? QStringLiteral("D") : QStringLiteral("C"));
    f(u"CDHISTPADR").setAsString(QStringLiteral("%1").arg(i % 40 + 1, 4, 10, QLatin1Char('0')));
    if (i % 3 == 0)
        f(u"IDLANCCOME").setAsString(QStringLiteral("C"));
    f(u"IDSISTEMA").setAsString(QString::fromLatin1(kSystems[i % 7]));
}

// Size of the packet as the wire's JSON would roughly hold it (rows only).
std::size_t jsonSize(const DataPacket& p) {
    std::size_t n = 2;
    for (const Row& r : p.rows) {
        n += 3;
        for (int i = 0; i < r.size(); ++i) {
            switch (r.kind(i)) {
                case CellKind::Null:
                    n += 4;
                    break;
                case CellKind::Text:
                    n += r.utf8(i).size() + 2;
                    break;
                case CellKind::Number:
                case CellKind::Integer:
                    n += std::to_string(r.number(i)).size() - 4;  // "%f" prints six decimals; money has two
                    break;
                case CellKind::DateTime:
                    n += 12;
                    break;
            }
            n += 1;
        }
    }
    return n;
}

}  // namespace

int main() {
    double load[1] = {0};
    if (getloadavg(load, 1) != 1)
        load[0] = -1;
    std::printf("in-memory table, %d entry lines of 18 fields (load average %.1f: figures scale with it)\n\n",
                kRows, load[0]);

    const std::size_t heap0 = heapInUse();
    ClientDataSet t(QStringLiteral("cdsLancCont"));
    declare(t);
    t.createDataSet();
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kRows; ++i) {
        t.append();
        fillLine(t, i);
        t.post();
    }
    const double appendMs = msSince(t0);
    t.mergeChangeLog();
    const std::size_t tableBytes = heapInUse() - heap0;
    std::printf("append + 18 fields + post   %9.1f ms   %8.0f rows/s\n", appendMs,
                kRows / (appendMs / 1000.0));

    DataPacket packet;
    const double getMs = bestOf(3, [&] { packet = t.data(); });
    const std::size_t json = jsonSize(packet);
    std::printf("data() (GetData, copy)      %9.1f ms\n", getMs);

    ClientDataSet u(QStringLiteral("cdsCopia"));
    declare(u);
    // setData alone, the packet moved in as the codec hands it over.
    double setOnlyMs = 1e300;
    for (int k = 0; k < 3; ++k) {
        DataPacket copy = packet;
        const auto s0 = std::chrono::steady_clock::now();
        u.setData(std::move(copy));
        setOnlyMs = std::min(setOnlyMs, msSince(s0));
    }
    std::printf("setData(&&) (SetData)       %9.1f ms\n", setOnlyMs);

    const QString lineFilter =
        QStringLiteral("NRLANCCONT = '202604024999' AND CDEMPRESA  = '01' AND NRSEQLANC  = '00002'");
    const double filterOnMs = bestOf(9, [&] {
        t.setFiltered(false);
        t.setFilter(lineFilter);
        t.setFiltered(true);
    });
    std::printf("filter on (3 terms)         %9.2f ms   -> %d rows\n", filterOnMs, t.recordCount());
    double filterOffMs = 1e300;
    for (int k = 0; k < 9; ++k) {
        t.setFiltered(true);
        const auto s0 = std::chrono::steady_clock::now();
        t.setFiltered(false);
        filterOffMs = std::min(filterOffMs, msSince(s0));
    }
    t.setFilter(QStringLiteral("CDEMPRESA = '01'"));
    const double broadMs = bestOf(9, [&] {
        t.setFiltered(false);
        t.setFiltered(true);
    });
    std::printf("filter off                  %9.2f ms   (broad filter on: %.2f ms -> %d rows)\n", filterOffMs,
                broadMs, t.recordCount());

    t.setFiltered(false);
    const QVariantList key{QStringLiteral("01"), QStringLiteral("202604024999"), QStringLiteral("00001")};
    const LocateOptions ci{.caseInsensitive = true};
    bool found = false;
    const double locateMs = bestOf(9, [&] { found = t.locate(u"CDEMPRESA;NRLANCCONT;NRSEQLANC", key, ci); });
    std::printf("locate 3 keys, no filter    %9.2f ms   (found %s, row %d)\n", locateMs, found ? "yes" : "no",
                t.recNo());
    const double missMs =
        bestOf(9, [&] { found = t.locate(u"CDCONTCTBL", QStringLiteral("9.9.99.999"), ci); });
    std::printf("locate miss, no filter      %9.2f ms\n", missMs);

    t.setFilter(QStringLiteral("CDEMPRESA = '01'"));
    t.setFiltered(true);
    const double locateFilteredMs =
        bestOf(9, [&] { found = t.locate(u"CDEMPRESA;NRLANCCONT;NRSEQLANC", key, ci); });
    std::printf("locate 3 keys, filter on    %9.2f ms   (found %s, %d visible rows)   target < 10 ms\n",
                locateFilteredMs, found ? "yes" : "no", t.recordCount());
    const double accentMs =
        bestOf(9, [&] { found = t.locate(u"NMCONTCTBL", QStringLiteral("DESPESAS COM ALUGUÉIS X"), ci); });
    std::printf("locate accented miss, filter%9.2f ms\n", accentMs);

    std::printf("\nmemory: table %.0f bytes/row, packet as JSON ~%.0f bytes/row, ratio %.2f (target <= 3)\n",
                static_cast<double>(tableBytes) / kRows, static_cast<double>(json) / kRows,
                static_cast<double>(tableBytes) / static_cast<double>(json));
    return 0;
}
