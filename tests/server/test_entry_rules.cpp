// The rules a confirm must pass before any database is read (values, sides, balance, allocations).

#include "platform/net/wire.h"
#include "server/entry_rules.h"
#include "server/errors.h"
#include "server/packets.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace ctb;
using namespace ctb::server;

Row line(const char* seq, const char* side, double value, const char* account = "8.1.01.001") {
    const auto& f = entryLineFields();
    Row r(static_cast<int>(f.size()));
    r.setText(0, u"T1");
    r.setText(1, u"202606000001");
    r.setText(2, QString::fromLatin1(seq));
    r.setText(3, QString::fromLatin1(account));
    r.setMsecs(5, wire::msecsFromDate(QDate(2026, 6, 10)));
    r.setNumber(8, value);
    r.setText(14, QString::fromLatin1(side));
    return r;
}

DataPacket lines(std::vector<Row> rows) {
    return DataPacket{entryLineFields(), std::move(rows)};
}

Row allocation(const char* seq, const char* branch, const char* centre, double value) {
    Row r(static_cast<int>(allocationFields().size()));
    r.setText(0, u"T1");
    r.setText(1, u"202606000001");
    r.setText(2, QString::fromLatin1(seq));
    r.setText(3, QString::fromLatin1(branch));
    r.setText(5, QString::fromLatin1(centre));
    r.setNumber(8, value);
    return r;
}

DataPacket allocations(std::vector<Row> rows = {}) {
    return DataPacket{allocationFields(), std::move(rows)};
}

QString refusal(const std::function<void()>& f) {
    try {
        f();
    } catch (const Refusal& r) {
        return r.message();
    }
    return {};
}

struct RefusalCase {
    const char* name;
    std::function<DataPacket()> lines;
    std::function<DataPacket()> allocs;
    const char* message;  // prefix of the expected refusal
};

class RefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, IsRefused) {
    const auto& c = GetParam();
    const QString msg = refusal([&] { (void)readEntry(c.lines(), c.allocs()); });
    EXPECT_TRUE(msg.startsWith(QString::fromUtf8(c.message))) << c.name << ": " << msg.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RefusalTest,
    ::testing::Values(
        RefusalCase{"empty", [] { return lines({}); }, [] { return allocations(); },
                    "Partida de débito deve ser realizada."},
        RefusalCase{"no debit", [] { return lines({line("1", "C", 10)}); }, [] { return allocations(); },
                    "Partida de débito deve ser realizada."},
        RefusalCase{"zero debit",
                    [] {
                        return lines({line("1", "D", -0.004), line("2", "C", 0.004)});
                    },
                    [] { return allocations(); }, "Valor de débito deve ser maior que zero."},
        RefusalCase{"zero credit",
                    [] {
                        return lines({line("1", "D", -10), line("2", "C", 0)});
                    },
                    [] { return allocations(); }, "Valor de crédito deve ser maior que zero."},
        RefusalCase{"positive debit",
                    [] {
                        return lines({line("1", "D", 10), line("2", "C", 10)});
                    },
                    [] { return allocations(); }, "O sinal do valor da partida 1"},
        RefusalCase{"negative credit",
                    [] {
                        return lines({line("1", "D", -10), line("2", "C", -10)});
                    },
                    [] { return allocations(); }, "O sinal do valor da partida 2"},
        RefusalCase{"unbalanced by a cent",
                    [] {
                        return lines({line("1", "D", -100.01), line("2", "C", 100)});
                    },
                    [] { return allocations(); }, "Valor total de crédito difere do total de débito."},
        RefusalCase{"unknown side", [] { return lines({line("1", "X", -10)}); }, [] { return allocations(); },
                    "A partida 1 deve ser de débito (D) ou de crédito (C)."},
        RefusalCase{"repeated sequence",
                    [] {
                        return lines({line("1", "D", -10), line("1", "C", 10)});
                    },
                    [] { return allocations(); }, "Sequência de partida não informada ou repetida"},
        RefusalCase{"empty account",
                    [] {
                        return lines({line("1", "D", -10, ""), line("2", "C", 10)});
                    },
                    [] { return allocations(); }, "Conta Contábil de débito deve ser informada."},
        RefusalCase{"two entries",
                    [] {
                        Row other = line("2", "C", 10);
                        other.setText(1, u"202606000002");
                        return lines({line("1", "D", -10), other});
                    },
                    [] { return allocations(); }, "Todas as partidas devem ser da mesma empresa"},
        RefusalCase{"two companies",
                    [] {
                        Row other = line("2", "C", 10);
                        other.setText(0, u"T2");
                        return lines({line("1", "D", -10), other});
                    },
                    [] { return allocations(); }, "Todas as partidas devem ser da mesma empresa"},
        RefusalCase{"no date",
                    [] {
                        Row r = line("1", "D", -10);
                        r.setNull(5);
                        return lines({r, line("2", "C", 10)});
                    },
                    [] { return allocations(); }, "Data do lançamento contábil deve ser informada."},
        RefusalCase{"allocation of another line",
                    [] {
                        return lines({line("1", "D", -10), line("2", "C", 10)});
                    },
                    [] { return allocations({allocation("9", "T101", "T501", -10)}); },
                    "Rateio não pertence a nenhuma partida"},
        RefusalCase{"allocation without value",
                    [] {
                        return lines({line("1", "D", -10), line("2", "C", 10)});
                    },
                    [] { return allocations({allocation("1", "T101", "T501", 0)}); },
                    "Valor do rateio deve informado."},
        RefusalCase{"allocation without branch",
                    [] {
                        return lines({line("1", "D", -10), line("2", "C", 10)});
                    },
                    [] { return allocations({allocation("1", "", "T501", -10)}); },
                    "Filial deve ser informada."},
        RefusalCase{"duplicate allocation",
                    [] {
                        return lines({line("1", "D", -10), line("2", "C", 10)});
                    },
                    [] {
                        return allocations(
                            {allocation("1", "T101", "T501", -5), allocation("1", "T101", "T501", -5)});
                    },
                    "Rateio já informado para a filial e centro de custo informados."}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    });

TEST(EntryRules, SubCentDifferencesCountAsEqual) {
    const Entry e = readEntry(lines({line("1", "D", -100.004), line("2", "C", 100.00)}), allocations());
    ASSERT_EQ(e.lines.size(), 2u);
    EXPECT_EQ(e.lines[0].cents, -10000);
    EXPECT_EQ(e.lines[1].cents, 10000);
}

TEST(EntryRules, ValueFallsBackToTheSideColumnsWhenVRLANCAMENTIsNull) {
    Row d = line("1", "D", 0);
    d.setNull(8);
    d.setNumber(7, 25.5);
    Row c = line("2", "C", 0);
    c.setNull(8);
    c.setNumber(6, 25.5);
    const Entry e = readEntry(lines({d, c}), allocations());
    EXPECT_EQ(e.lines[0].cents, -2550);
    EXPECT_EQ(e.lines[1].cents, 2550);
}

TEST(EntryRules, PacketWithoutAKeyFieldIsABadRequest) {
    DataPacket p = lines({line("1", "D", -10), line("2", "C", 10)});
    p.fields[1].name = QStringLiteral("OUTRO");
    EXPECT_THROW((void)readEntry(p, allocations()), BadRequest);
}

TEST(EntryRules, YearMonth) {
    EXPECT_TRUE(isValidYearMonth(QStringLiteral("202612")));
    for (const char* bad :
         {"", "20261", "2026123", "202613", "202600", "2026a1", "18991 ", "189912", " 20261"})
        EXPECT_FALSE(isValidYearMonth(QString::fromLatin1(bad))) << bad;
}

}  // namespace
