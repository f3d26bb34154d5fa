// Reversals (request header X-Ctb-Estorno on SetLancamento) and the audit trail (getHistAlteracoes), over
// real HTTP, once per backend.

#include "server/http_server.h"
#include "tests/server/entry_packets.h"
#include "tests/server/server_fixture.h"

namespace ctb::test {
namespace {

using wire::Value;

const QDate kDay(2026, 6, 10);
const QString kT1 = QStringLiteral("T1");

// The original: a managerial debit split over two branches, a bank account on the credit side.
const std::vector<LineSpec> kOriginal = {{"1", "D", 100, "8.3.01.001", "Tarifa"},
                                         {"2", "C", 100, "8.4.01.001", "Tarifa", "B", "B-1"}};
const std::vector<AllocSpec> kOriginalAllocs = {{"1", "T101", "T501", -60}, {"1", "T102", "T502", -40}};
// Its mirror: the same accounts and values on the other side, the shares with their sign turned.
const std::vector<LineSpec> kMirror = {{"1", "D", 100, "8.4.01.001", "ESTORNO", "B", "B-1"},
                                       {"2", "C", 100, "8.3.01.001", "ESTORNO"}};
const std::vector<AllocSpec> kMirrorAllocs = {{"2", "T101", "T501", 60}, {"2", "T102", "T502", 40}};

class Reversal : public ServerTest {
  protected:
    // SetLancamento of T1's entry `number`; `reverses` names the entry reversed ("" sends no header).
    net::CallResult confirm(const char* number, const std::vector<LineSpec>& lines,
                            const std::vector<AllocSpec>& allocs, const char* reverses = "",
                            const char* version = "", const char* user = "OPER", QDate day = kDay) {
        net::Headers headers;
        if (*reverses)
            headers.emplace_back(server::kReversalHeader, reverses);
        if (*version)
            headers.emplace_back(server::kVersionHeader, version);
        const QString n = QString::fromLatin1(number);
        return call("SetLancamento",
                    {Value::fromPacket(entryPacket(kT1, n, day, lines)),
                     Value::fromPacket(allocPacket(kT1, n, day, allocs)), str(user)},
                    headers);
    }
    void storeOriginal(const char* number = "202606000001") {
        const auto r = confirm(number, kOriginal, kOriginalAllocs);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
    }
    long long lines(const char* number) {
        return count(QStringLiteral("SELECT COUNT(*) FROM LANCCONT WHERE NRLANCCONT = '%1'")
                         .arg(QLatin1String(number)));
    }
    long long reversals(const char* reversal, const char* original) {
        return count(QStringLiteral("SELECT COUNT(*) FROM LANCESTORNO WHERE CDEMPRESA = 'T1' AND "
                                    "NRLANCCONT = '%1' AND NRLANCORIG = '%2'")
                         .arg(QLatin1String(reversal), QLatin1String(original)));
    }
    std::string versionOf(const char* number) {
        return call("getLancFiltrado", {str("T1"), str(number)}).header(server::kVersionHeader);
    }
    // getHistAlteracoes: "IDACAO/NRVERSAO/NRLINHAS/VRTOTAL/CDOPERADOR/NRLANCREF" per row, in order.
    std::vector<std::string> trail(const char* number) {
        const auto r = call("getHistAlteracoes", {str("T1"), str(number)});
        EXPECT_TRUE(r.ok) << r.error.toStdString();
        std::vector<std::string> out;
        if (!r.ok || !r.value.isPacket())
            return out;
        for (const Row& row : r.value.packet().rows) {
            EXPECT_FALSE(row.isNull(0)) << "DTHORA";
            out.push_back(QStringLiteral("%1/%2/%3/%4/%5/%6")
                              .arg(row.text(2))
                              .arg(row.integer(6))
                              .arg(row.integer(4))
                              .arg(row.number(5), 0, 'f', 2)
                              .arg(row.text(1), row.isNull(7) ? QStringLiteral("-") : row.text(7))
                              .toStdString());
        }
        return out;
    }
};

TEST_P(Reversal, IsRecordedOnTheNewEntryAndTheOriginalStaysAsItWas) {
    storeOriginal();
    const auto r = confirm("202606000002", kMirror, kMirrorAllocs, "202606000001");
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(reversals("202606000002", "202606000001"), 1);
    EXPECT_EQ(lines("202606000002"), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCCCUSTO WHERE NRLANCCONT = '202606000002' AND "
                                   "NRSEQLANC = '2' AND VRLANCCUST > 0")),
              2);
    // The original: its lines, allocations and version untouched.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCCONT WHERE NRLANCCONT = '202606000001' AND "
                                   "((CDCONTCTBL = '8.3.01.001' AND VRLANCAMENT = -100) OR (CDCONTCTBL = "
                                   "'8.4.01.001' AND VRLANCAMENT = 100))")),
              2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCCCUSTO WHERE NRLANCCONT = '202606000001'")), 2);
    EXPECT_EQ(versionOf("202606000001"), "1");
    EXPECT_EQ(versionOf("202606000002"), "1");
}

TEST_P(Reversal, ASecondReversalOfTheSameEntryIsRefused) {
    storeOriginal();
    ASSERT_TRUE(confirm("202606000002", kMirror, kMirrorAllocs, "202606000001").ok);
    const auto second = confirm("202606000003", kMirror, kMirrorAllocs, "202606000001");
    EXPECT_FALSE(second.ok);
    EXPECT_EQ(second.httpStatus, 200);
    EXPECT_EQ(second.error,
              QStringLiteral("O lançamento contábil 202606000001 já foi estornado pelo lançamento "
                             "202606000002. Nada foi gravado: um lançamento é estornado uma vez "
                             "só."));
    EXPECT_EQ(lines("202606000003"), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCESTORNO")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCAUDIT WHERE NRLANCCONT = '202606000003'")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCVERSAO WHERE NRLANCCONT = '202606000003'")), 0);
    // A change of the stored reversal is an ordinary change: it stays the reversal.
    const auto change = confirm("202606000002", kMirror, kMirrorAllocs, "202606000001", "1");
    ASSERT_TRUE(change.ok) << change.error.toStdString();
    EXPECT_EQ(reversals("202606000002", "202606000001"), 1);
    // Once the reversal is deleted the original may be reversed again.
    ASSERT_TRUE(
        call("DeletaLancamento", {str("T1"), str("202606000002")}, {{server::kVersionHeader, "2"}}).ok);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCESTORNO")), 0);
    const auto again = confirm("202606000003", kMirror, kMirrorAllocs, "202606000001");
    ASSERT_TRUE(again.ok) << again.error.toStdString();
    EXPECT_EQ(reversals("202606000003", "202606000001"), 1);
}

TEST_P(Reversal, AnEntryInAClosedPeriodIsReversedIntoTheOpenOne) {
    storeOriginal();
    exec(QStringLiteral("UPDATE CONTOPECTBL SET DTINICLANC = '2026-07-01' WHERE CDEMPRESA = 'T1'"));
    const auto r =
        confirm("202607000001", kMirror, kMirrorAllocs, "202606000001", "", "OPER", QDate(2026, 7, 1));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(reversals("202607000001", "202606000001"), 1);
    EXPECT_EQ(lines("202606000001"), 2);
}

struct RefusedReversal {
    const char* name;
    const char* number;    // the new entry
    const char* reverses;  // the header
    std::vector<LineSpec> lines;
    std::vector<AllocSpec> allocs;
    const char* message;  // contained in the refusal
};

TEST_P(Reversal, EachRefusedReversalStoresNothing) {
    storeOriginal();
    storeOriginal("202606000005");
    exec(
        QStringLiteral("INSERT INTO LOTELANC (CDEMPRESA, NRLANCCONT, CDLOTE) VALUES ('T1', '202606000005', "
                       "'L77')"));
    const std::vector<RefusedReversal> cases = {
        {"of an entry that does not exist", "202606000002", "202606000099", kMirror, kMirrorAllocs,
         "O lançamento contábil 202606000099, a estornar, não existe na empresa T1."},
        {"of itself", "202606000002", "202606000002", kMirror, kMirrorAllocs,
         "Um lançamento contábil não pode estornar a si mesmo (202606000002)."},
        {"of an entry of a lot", "202606000002", "202606000005", kMirror, kMirrorAllocs,
         "Operação bloqueada! Lançamento contábil referente a lote. Favor realizar a reversão do lote L77"},
        {"lines on their original sides", "202606000002", "202606000001", kOriginal, kOriginalAllocs,
         "não corresponde a uma partida do original"},
        {"another value",
         "202606000002",
         "202606000001",
         {{"1", "D", 90, "8.4.01.001", "x", "B", "B-1"}, {"2", "C", 90, "8.3.01.001"}},
         {{"2", "T101", "T501", 50}, {"2", "T102", "T502", 40}},
         "não corresponde a uma partida do original"},
        {"an extra line",
         "202606000002",
         "202606000001",
         {{"1", "D", 100, "8.4.01.001", "x", "B", "B-1"},
          {"2", "C", 60, "8.3.01.001"},
          {"3", "C", 40, "8.3.01.002"}},
         {{"2", "T101", "T501", 60}, {"3", "T102", "T502", 40}},
         "o estorno tem 3 partidas e o original 2"},
        {"other branches in the allocations",
         "202606000002",
         "202606000001",
         kMirror,
         {{"2", "T101", "T501", 40}, {"2", "T102", "T502", 60}},
         "os rateios da partida 2 não são os da partida correspondente do original"},
        {"a line check still applies",
         "202606000002",
         "202606000001",
         {{"1", "D", 100, "8.4.01.001", "x", "B", "B-2"}, {"2", "C", 100, "8.3.01.001"}},
         kMirrorAllocs,
         "Código da Conta Corrente não cadastrado."},
    };
    for (const RefusedReversal& c : cases) {
        const auto r = confirm(c.number, c.lines, c.allocs, c.reverses);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.httpStatus, 200) << c.name;
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(c.message)))
            << c.name << ": " << r.error.toStdString();
        EXPECT_EQ(lines(c.number), 0) << c.name;
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCESTORNO")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCAUDIT")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCCCUSTO")), 4);
    // A header that names no entry is a malformed request.
    for (const char* bad : {"abc", "2026060000011", "-1", "20260600000 1"}) {
        const auto r = confirm("202606000002", kMirror, kMirrorAllocs, bad);
        EXPECT_EQ(r.httpStatus, 400) << bad;
        EXPECT_EQ(lines("202606000002"), 0) << bad;
    }
}

TEST_P(Reversal, TheAuditTrailListsInclusionChangeAndReversalNewestFirst) {
    storeOriginal();
    auto changed = kOriginal;
    changed[0].value = changed[1].value = 50;
    const auto change = confirm("202606000001", changed, {{"1", "T101", "T501", -50}}, "", "1", "ANA");
    ASSERT_TRUE(change.ok) << change.error.toStdString();
    const auto rev =
        confirm("202606000002", {{"1", "D", 50, "8.4.01.001", "x", "B", "B-1"}, {"2", "C", 50, "8.3.01.001"}},
                {{"2", "T101", "T501", 50}}, "202606000001", "", "BIA");
    ASSERT_TRUE(rev.ok) << rev.error.toStdString();
    EXPECT_EQ(trail("202606000001"),
              (std::vector<std::string>{"ESTORNADO/2/2/50.00/BIA/202606000002", "ALTERACAO/2/2/50.00/ANA/-",
                                        "INCLUSAO/1/2/100.00/OPER/-"}));
    EXPECT_EQ(trail("202606000002"), (std::vector<std::string>{"ESTORNO/1/2/50.00/BIA/202606000001"}));
    const auto r = call("getHistAlteracoes", {str("T1"), str("202606000001")});
    ASSERT_TRUE(r.ok && r.value.isPacket());
    ASSERT_EQ(r.value.packet().rows.size(), 3u);
    EXPECT_EQ(r.value.packet().rows[0].text(3), QStringLiteral("Estornado pelo lançamento 202606000002"));
    EXPECT_EQ(r.value.packet().rows[1].text(3), QStringLiteral("Alteração"));
    EXPECT_EQ(r.value.packet().rows[2].text(3), QStringLiteral("Inclusão"));
    EXPECT_EQ(call("getHistAlteracoes", {str("T1"), str("202606000002")}).value.packet().rows[0].text(3),
              QStringLiteral("Estorno do lançamento 202606000001"));

    // A deletion comes first, with the lines and total deleted.
    ASSERT_TRUE(call("DeletaLancamento", {str("T1"), str("202606000002")},
                     {{server::kOperatorHeader, "CAIO"}, {server::kVersionHeader, "1"}})
                    .ok);
    EXPECT_EQ(trail("202606000002"),
              (std::vector<std::string>{"EXCLUSAO/2/2/50.00/CAIO/-", "ESTORNO/1/2/50.00/BIA/202606000001"}));
    // Of an entry never stored: no rows.
    EXPECT_TRUE(trail("202606000077").empty());
}

TEST_P(Reversal, TheAuditTrailRefusesAMissingCompanyOrEntry) {
    for (const auto& [company, entry] :
         std::vector<std::pair<const char*, const char*>>{{"", "202606000001"}, {"T1", ""}, {"T1", "  "}}) {
        const auto r = call("getHistAlteracoes", {str(company), str(entry)});
        EXPECT_FALSE(r.ok) << company << "/" << entry;
        EXPECT_EQ(r.httpStatus, 200) << company << "/" << entry;
        EXPECT_FALSE(r.error.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, Reversal,
                         ::testing::Values(std::string("sqlite"), std::string("postgres")), backendName);

}  // namespace
}  // namespace ctb::test
