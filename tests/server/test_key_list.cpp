#include "server/key_list.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct Case {
    const char* input;
    std::optional<QStringList> expected;
};

class KeyListTest : public ::testing::TestWithParam<Case> {};

TEST_P(KeyListTest, ParsesStrictly) {
    const Case& c = GetParam();
    const auto got = ctb::server::parseKeyList(QString::fromUtf8(c.input));
    ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.input;
    if (got) {
        EXPECT_EQ(*got, *c.expected) << c.input;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, KeyListTest,
    ::testing::Values(Case{"'0001'", QStringList{QStringLiteral("0001")}},
                      Case{"'0001','0002'", QStringList{QStringLiteral("0001"), QStringLiteral("0002")}},
                      Case{" '0001' , '0002' ", QStringList{QStringLiteral("0001"), QStringLiteral("0002")}},
                      Case{"'O''Brien'", QStringList{QStringLiteral("O'Brien")}},
                      Case{"''", QStringList{QString()}}, Case{"''''", QStringList{QStringLiteral("'")}},
                      Case{"'a,b'", QStringList{QStringLiteral("a,b")}},
                      Case{"'x'' OR ''1''=''1'", QStringList{QStringLiteral("x' OR '1'='1")}},
                      Case{"'Ação'", QStringList{QString::fromUtf8("Ação")}},
                      // Refused: anything that is not exactly the quoted form.
                      Case{"", std::nullopt}, Case{"   ", std::nullopt}, Case{"0001", std::nullopt},
                      Case{"'0001", std::nullopt}, Case{"'0001',", std::nullopt},
                      Case{"'0001' '0002'", std::nullopt},
                      Case{"'0001');DROP TABLE LANCCONT;--", std::nullopt}, Case{"' OR 1=1 --", std::nullopt},
                      Case{"'a'b'", std::nullopt}, Case{",'a'", std::nullopt}, Case{"T", std::nullopt}));

}  // namespace
