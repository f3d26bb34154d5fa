#include "platform/sql/sql_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ctb::sql {
namespace {

struct Case {
    const char* sql;
    const char* positional;
    std::vector<std::string> occurrences;
};

class Positional : public ::testing::TestWithParam<Case> {};

TEST_P(Positional, ReplacesOnlyRealPlaceholders) {
    const Case& c = GetParam();
    const PositionalSql p = toPositional(QString::fromUtf8(c.sql));
    EXPECT_EQ(p.text, QString::fromUtf8(c.positional));
    QStringList expected;
    for (const std::string& o : c.occurrences)
        expected << QString::fromStdString(o);
    EXPECT_EQ(p.occurrences, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Positional,
    ::testing::Values(Case{"SELECT 1", "SELECT 1", {}},
                      Case{"WHERE (A = :P_A OR :P_TA = 'T')", "WHERE (A = ? OR ? = 'T')", {"P_A", "P_TA"}},
                      Case{"WHERE A = :p_a OR B = :P_A", "WHERE A = ? OR B = ?", {"P_A", "P_A"}},
                      Case{"WHERE A = ':P_A' AND B = :P_B", "WHERE A = ':P_A' AND B = ?", {"P_B"}},
                      Case{"WHERE A = 'it''s :X' AND B=:Y", "WHERE A = 'it''s :X' AND B=?", {"Y"}},
                      Case{"SELECT \"A:B\" FROM T WHERE C=:C", "SELECT \"A:B\" FROM T WHERE C=?", {"C"}},
                      Case{"SELECT X::text FROM T WHERE C=:C", "SELECT X::text FROM T WHERE C=?", {"C"}},
                      Case{"SELECT 1 -- :NOT here\nWHERE A=:A", "SELECT 1 -- :NOT here\nWHERE A=?", {"A"}},
                      Case{"SELECT /* :NOT */ 1 WHERE A=:A", "SELECT /* :NOT */ 1 WHERE A=?", {"A"}},
                      Case{"WHERE(CDEMPRESA = :P_CDEMPRESA)", "WHERE(CDEMPRESA = ?)", {"P_CDEMPRESA"}},
                      Case{"SELECT '10:30' WHERE A=:A1", "SELECT '10:30' WHERE A=?", {"A1"}},
                      Case{"WHERE A = 'unterminated :X", "WHERE A = 'unterminated :X", {}}));

TEST(PositionalNames, DistinctInOrderOfFirstUse) {
    const PositionalSql p = toPositional(QStringLiteral("A=:B OR C=:A OR D=:b"));
    EXPECT_EQ(p.names, (QStringList{QStringLiteral("B"), QStringLiteral("A")}));
    EXPECT_EQ(p.occurrences.size(), 3);
}

}  // namespace
}  // namespace ctb::sql
