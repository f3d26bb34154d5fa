// Table-driven rules of the host library's utilities.

#include "hostlib/host.h"

#include <gtest/gtest.h>

using namespace ctb::hostlib;

namespace {

struct RoundCase {
    double value;
    int decimals;
    double expected;
};
class RoundDecRule : public ::testing::TestWithParam<RoundCase> {};
TEST_P(RoundDecRule, HalfAwayFromZeroOnTheDecimalValue) {
    EXPECT_EQ(RoundDec(GetParam().value, GetParam().decimals), GetParam().expected)
        << GetParam().value << " -> " << RoundDec(GetParam().value, GetParam().decimals);
}
INSTANTIATE_TEST_SUITE_P(Cases, RoundDecRule,
                         ::testing::Values(RoundCase{0.005, 2, 0.01}, RoundCase{1.005, 2, 1.01},
                                           RoundCase{100.004, 2, 100.00}, RoundCase{-0.005, 2, -0.01},
                                           RoundCase{-1.005, 2, -1.01}, RoundCase{2.675, 2, 2.68},
                                           RoundCase{1.015, 2, 1.02}, RoundCase{0.1 + 0.2, 2, 0.3},
                                           RoundCase{9.995, 2, 10.0}, RoundCase{-0.004, 2, 0.0},
                                           RoundCase{0.0, 2, 0.0}, RoundCase{1234567.891, 2, 1234567.89},
                                           RoundCase{2.5, 0, 3.0}, RoundCase{-2.5, 0, -3.0},
                                           RoundCase{1.23456, 4, 1.2346}, RoundCase{5.0, 2, 5.0}));

TEST(RoundDecRule, NoNegativeZeroAndNonFiniteUnchanged) {
    EXPECT_FALSE(std::signbit(RoundDec(-0.001, 2)));
    EXPECT_TRUE(std::isnan(RoundDec(std::nan(""), 2)));
    EXPECT_TRUE(std::isinf(RoundDec(INFINITY, 2)));
}

struct AjustaCase {
    const char* code;
    int width;
    const char* expected;
};
class AjustaRule : public ::testing::TestWithParam<AjustaCase> {};
TEST_P(AjustaRule, FixedWidth) {
    EXPECT_EQ(Ajusta(QString::fromUtf8(GetParam().code), GetParam().width),
              QString::fromUtf8(GetParam().expected));
}
INSTANTIATE_TEST_SUITE_P(Cases, AjustaRule,
                         ::testing::Values(AjustaCase{"1", 2, "01"}, AjustaCase{"01", 2, "01"},
                                           AjustaCase{"", 2, ""}, AjustaCase{"   ", 4, ""},
                                           AjustaCase{" 7 ", 4, "0007"}, AjustaCase{"12", 5, "00012"},
                                           AjustaCase{"123", 2, "123"}, AjustaCase{"A1", 4, "A1"},
                                           AjustaCase{" x ", 4, "x"}, AjustaCase{"0", 4, "0000"}));

struct EmptyCase {
    const char* text;
    bool empty;
};
class EmptyStringRule : public ::testing::TestWithParam<EmptyCase> {};
TEST_P(EmptyStringRule, BlankAndMaskOnlyTextHoldNoValue) {
    EXPECT_EQ(EmptyString(QString::fromUtf8(GetParam().text)), GetParam().empty) << GetParam().text;
}
INSTANTIATE_TEST_SUITE_P(Cases, EmptyStringRule,
                         ::testing::Values(EmptyCase{"", true}, EmptyCase{"   ", true},
                                           EmptyCase{"  /  /    ", true}, EmptyCase{"._.__", true},
                                           EmptyCase{" . .  .   ", true}, EmptyCase{"0", false},
                                           EmptyCase{"a", false}, EmptyCase{"1.1", false},
                                           EmptyCase{"  /  /2026", false}, EmptyCase{"\t\n", true}));

struct AccountCase {
    const char* code;
    const char* expected;  // nullptr: does not fit
};
class AccountRule : public ::testing::TestWithParam<AccountCase> {};
TEST_P(AccountRule, NormalisedAgainstTheDefaultPicture) {
    const auto got = normaliseAccount(QString::fromUtf8(GetParam().code), QStringLiteral("9.9.99.999"));
    if (GetParam().expected == nullptr)
        EXPECT_FALSE(got.has_value()) << GetParam().code;
    else
        EXPECT_EQ(got.value_or(QStringLiteral("<none>")), QString::fromUtf8(GetParam().expected));
}
INSTANTIATE_TEST_SUITE_P(Cases, AccountRule,
                         ::testing::Values(AccountCase{"1.1.01.001", "1.1.01.001"},
                                           AccountCase{"1.1.1.1", "1.1.01.001"}, AccountCase{"1.1", "1.1"},
                                           AccountCase{"1", "1"}, AccountCase{"1.1.01.", "1.1.01"},
                                           AccountCase{"1101001", "1.1.01.001"}, AccountCase{"", ""},
                                           AccountCase{"1.1.01.001.1", nullptr}, AccountCase{"1.12", nullptr},
                                           AccountCase{"12.1", nullptr}, AccountCase{"1.a", nullptr},
                                           AccountCase{"1..1", nullptr}, AccountCase{"11010011", nullptr},
                                           AccountCase{"1.1.0001", nullptr}));

TEST(AccountRule, OtherPictures) {
    EXPECT_EQ(normaliseAccount(QStringLiteral("1.2.3"), QStringLiteral("99.999.9999")),
              QStringLiteral("01.002.0003"));
    EXPECT_EQ(DBPictFor(QStringLiteral("9.9.99.999"), ptContCtbl), QStringLiteral("9.9.99.999;1; "));
    EXPECT_EQ(DBPictFor({}, ptContCtbl), QStringLiteral("9.9.99.999;1; "));
    EXPECT_EQ(DBPictFor(QStringLiteral("9.9"), 7), QString());
}

TEST(PictPessRule, MasksByRegistrationKind) {
    EXPECT_EQ(PictPess(QStringLiteral("F")), QStringLiteral("999.999.999-99;0;_"));
    EXPECT_EQ(PictPess(QStringLiteral("J")), QStringLiteral("99.999.999/9999-99;0;_"));
    EXPECT_EQ(PictPess(QStringLiteral(" j ")), QStringLiteral("99.999.999/9999-99;0;_"));
    EXPECT_EQ(PictPess(QStringLiteral("X")), QString());
    EXPECT_EQ(PictPess(QString()), QString());
}

TEST(ReplicateRule, RepeatsOrEmpty) {
    EXPECT_EQ(Replicate(QStringLiteral("ab"), 3), QStringLiteral("ababab"));
    EXPECT_EQ(Replicate(QStringLiteral("ab"), 0), QString());
    EXPECT_EQ(Replicate(QStringLiteral("ab"), -2), QString());
}

}  // namespace
