// Packet codec throughput and memory on a journal of 400,000 entry lines (the 18 fields of cdsLancCont).
//
//   bench_codec [LINES]
//
// Prints encode and decode rates, the raw RapidJSON parse rate of the same bytes (the floor of any
// decoder built on it), the packet size and the peak memory of a decode measured in a fresh process.

#include "platform/net/wire.h"

#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <QDate>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

using namespace ctb;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

long statusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string k = std::string(key) + ":";
    while (std::getline(in, line))
        if (line.rfind(k, 0) == 0)
            return std::strtol(line.c_str() + k.size(), nullptr, 10);
    return -1;
}

struct Rng {
    std::uint64_t s = 0x9E3779B97F4A7C15ULL;
    std::uint64_t next() {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return s;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
};

FieldDef str(const char* name, int size) {
    return FieldDef{QString::fromLatin1(name), FieldType::String, size};
}
FieldDef typed(const char* name, FieldType t) {
    return FieldDef{QString::fromLatin1(name), t, 0};
}

DataPacket journal(int lines) {
    DataPacket p;
    p.fields = {str("CDEMPRESA", 2),
                str("NRLANCCONT", 12),
                str("NRSEQLANC", 5),
                str("CDCONTCTBL", 20),
                str("NMCONTCTBL", 40),
                typed("DTLANCCONT", FieldType::DateTime),
                typed("CREDITO", FieldType::Float),
                typed("DEBITO", FieldType::Float),
                typed("VRLANCAMENT", FieldType::Float),
                str("CDDOCUCONT", 20),
                str("DSHISTLANC", 600),
                str("CDCONTCOME", 21),
                str("IDLANCINTE", 1),
                str("CDCONTREDU", 20),
                str("IDTIPOLANC", 1),
                str("CDHISTPADR", 4),
                str("IDLANCCOME", 1),
                str("IDSISTEMA", 3)};
    static const char* const kAccounts[][2] = {
        {"1.1.01.001", "Caixa Geral"},        {"1.1.02.003", "Banco do Brasil C/C 12345-6"},
        {"1.1.03.010", "Clientes Nacionais"}, {"2.1.01.002", "Fornecedores Nacionais"},
        {"3.1.01.001", "Receita de Vendas"},  {"4.1.02.015", "Despesas com Aluguéis"},
        {"4.1.03.007", "Energia Elétrica"},   {"2.1.04.001", "Salários a Pagar"},
        {"1.1.05.002", "ICMS a Recuperar"},   {"4.2.01.009", "Manutenção e Conservação"}};
    static const char* const kHist[] = {
        "Pagamento da NF %d ref. serviços de manutenção preventiva",
        "Recebimento de duplicata nº %d - cliente Comércio de Alimentos São João Ltda.",
        "Transferência entre contas correntes conforme aviso %d",
        "Provisão de férias e 13º salário do mês - lote %d",
        "Tarifa bancária cobrança %d",
        "Compra de material de escritório conforme pedido %d, entregue na filial de Ribeirão Preto"};
    static const char* const kSystems[] = {"CTB", "FIN", "FAT", "EST", "FOL"};
    const QString longText =
        QStringLiteral(
            "Lançamento de ajuste referente à reclassificação contábil dos saldos de exercícios anteriores, "
            "conforme parecer da auditoria independente e ata de reunião da diretoria; ")
            .repeated(4)
            .left(600);
    const QByteArray longUtf8 = longText.toUtf8();
    Rng rng;
    p.rows.reserve(static_cast<std::size_t>(lines));
    const std::int64_t base = wire::msecsFromDate(QDate(2026, 1, 1));
    int entry = 0;
    int seq = 0;
    int linesLeft = 0;
    std::int64_t day = 0;
    char buf[700];
    for (int i = 0; i < lines; ++i) {
        if (linesLeft == 0) {
            ++entry;
            seq = 0;
            linesLeft = 2 + rng.below(3);
            day = rng.below(365);
        }
        --linesLeft;
        ++seq;
        Row r(18);
        r.setUtf8(0, i % 7 == 0 ? "02" : "01");
        const QDate date = QDate(2026, 1, 1).addDays(day);
        std::snprintf(buf, sizeof buf, "%04d%02d%06d", date.year(), date.month(), entry % 1000000);
        r.setUtf8(1, buf);
        std::snprintf(buf, sizeof buf, "%05d", seq);
        r.setUtf8(2, buf);
        const auto& acc = kAccounts[rng.below(10)];
        r.setUtf8(3, acc[0]);
        r.setUtf8(4, acc[1]);
        r.setMsecs(5, base + day * 86'400'000);
        const double value = static_cast<double>(rng.below(10'000'000) + 1) / 100.0;
        const bool debit = seq % 2 == 1;
        r.setNumber(6, debit ? 0.0 : value);
        r.setNumber(7, debit ? value : 0.0);
        r.setNumber(8, debit ? -value : value);
        std::snprintf(buf, sizeof buf, "NF %d", 100000 + rng.below(900000));
        r.setUtf8(9, buf);
        if (rng.below(20) == 0) {
            r.setUtf8(10, std::string_view(longUtf8.constData(), static_cast<std::size_t>(longUtf8.size())));
        } else {
            std::snprintf(buf, sizeof buf, kHist[rng.below(6)], 1000 + rng.below(90000));
            r.setUtf8(10, buf);
        }
        if (rng.below(3) == 0) {
            std::snprintf(buf, sizeof buf, "C%06d", rng.below(1000000));
            r.setUtf8(11, buf);
            r.setUtf8(16, "C");
        }
        r.setUtf8(12, "M");
        std::snprintf(buf, sizeof buf, "%d", 10000 + rng.below(90000));
        r.setUtf8(13, buf);
        r.setUtf8(14, debit ? "D" : "C");
        std::snprintf(buf, sizeof buf, "%04d", rng.below(200));
        r.setUtf8(15, buf);
        r.setUtf8(17, kSystems[rng.below(5)]);
        p.rows.push_back(std::move(r));
    }
    return p;
}

struct NullHandler : rapidjson::BaseReaderHandler<rapidjson::UTF8<>, NullHandler> {};

constexpr unsigned kFlags = rapidjson::kParseValidateEncodingFlag | rapidjson::kParseFullPrecisionFlag;

// Child mode: decode the file once and report peak memory against the packet size.
int decodeMemory(const char* path) {
    const long before = statusKb("VmHWM");
    std::string json;
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream ss;
        ss << in.rdbuf();
        json = ss.str();
    }
    const long withInput = statusKb("VmRSS");
    const DataPacket p = wire::decodePacket(json);
    const long peak = statusKb("VmHWM");
    const long after = statusKb("VmRSS");
    const double mb = static_cast<double>(json.size()) / 1048576.0;
    std::printf(
        "decode memory (fresh process): packet %.1f MB, baseline %.1f MB, with input %.1f MB, "
        "peak %.1f MB, after %.1f MB (%zu rows)\n",
        mb, before / 1024.0, withInput / 1024.0, peak / 1024.0, after / 1024.0, p.rows.size());
    std::printf("  peak above baseline (input + table) = %.2f x packet size\n",
                static_cast<double>(peak - before) / 1024.0 / mb);
    std::printf("  decoded table alone (peak - with input) = %.2f x packet size\n",
                static_cast<double>(peak - withInput) / 1024.0 / mb);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--decode-memory")
        return decodeMemory(argv[2]);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 400'000;
    constexpr int kRuns = 3;

    auto t = Clock::now();
    const DataPacket packet = journal(lines);
    std::printf("built %d lines in %.2f s\n", lines, secondsSince(t));

    std::string json;
    double best = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        t = Clock::now();
        json = wire::encodePacket(packet);
        best = std::min(best, secondsSince(t));
    }
    const double mb = static_cast<double>(json.size()) / 1048576.0;
    std::printf("packet: %zu bytes (%.1f MB, %.0f bytes/line)\n", json.size(), mb,
                static_cast<double>(json.size()) / lines);
    std::printf("encode: %.3f s  %.0f lines/s  %.0f MB/s\n", best, lines / best, mb / best);

    best = 1e9;
    std::size_t rows = 0;
    for (int i = 0; i < kRuns; ++i) {
        t = Clock::now();
        const DataPacket back = wire::decodePacket(json);
        best = std::min(best, secondsSince(t));
        rows = back.rows.size();
        if (i == 0 && !(back.rows == packet.rows && back.fields == packet.fields)) {
            std::printf("ROUND TRIP MISMATCH\n");
            return 1;
        }
    }
    std::printf("decode: %.3f s  %.0f lines/s  %.0f MB/s  (%zu rows)\n", best, lines / best, mb / best, rows);

    best = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        t = Clock::now();
        rapidjson::Reader reader;
        rapidjson::MemoryStream ms(json.data(), json.size());
        NullHandler h;
        reader.Parse<kFlags>(ms, h);
        best = std::min(best, secondsSince(t));
    }
    std::printf("raw RapidJSON SAX parse (same flags, null handler): %.3f s  %.0f lines/s  %.0f MB/s\n", best,
                lines / best, mb / best);

    // Peak memory in a fresh process, so the source packet and freed heap do not blur the figure.
    char path[] = "/tmp/bench_codec_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        return 1;
    if (write(fd, json.data(), json.size()) != static_cast<ssize_t>(json.size()))
        return 1;
    close(fd);
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/proc/self/exe", argv[0], "--decode-memory", path, static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    unlink(path);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
