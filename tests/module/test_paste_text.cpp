// Lines pasted from a spreadsheet: the texts spreadsheets put on the clipboard or save as CSV in a
// Brazilian locale, read into rows (separators, quotes, header, blank rows and cells, line ends,
// accents), and the amounts as people write them.

#include "paste_dialog/paste_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace ctb::ctb10000 {
namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

// ---- amounts ----

struct ValueCase {
    const char* name;
    const char* text;
    std::optional<double> value;
};

class PastedValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(PastedValue, ReadsTheAmount) {
    const std::optional<double> got = parsePastedValue(s(GetParam().text));
    ASSERT_EQ(got.has_value(), GetParam().value.has_value()) << GetParam().text;
    if (got) {
        EXPECT_DOUBLE_EQ(*got, *GetParam().value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Amounts, PastedValue,
    ::testing::Values(ValueCase{"BrazilianThousands", "1.234,56", 1234.56},
                      ValueCase{"DecimalComma", "1234,56", 1234.56},
                      ValueCase{"PlainDecimalPoint", "1234.56", 1234.56},
                      ValueCase{"EnglishThousands", "1,234.56", 1234.56},
                      ValueCase{"SeveralThousandsDots", "1.234.567,89", 1234567.89},
                      ValueCase{"ThousandsDotsOnly", "1.234.567", 1234567.0},
                      ValueCase{"OneDotThreeDigitsIsThousands", "1.234", 1234.0},
                      ValueCase{"OneDotTwoDigitsIsDecimal", "250.5", 250.5},
                      ValueCase{"LeadingZeroDotIsDecimal", "0.500", 0.5},
                      ValueCase{"LongIntegerDotIsDecimal", "1234.567", 1234.567},
                      ValueCase{"Integer", "75", 75.0}, ValueCase{"Currency", "R$ 1.234,56", 1234.56},
                      ValueCase{"CurrencyNoBreakSpace",
                                "R$\xC2\xA0"
                                "10,00",
                                10.0},
                      ValueCase{"SpacesAround", "  12,5 ", 12.5}, ValueCase{"Negative", "-10,00", -10.0},
                      ValueCase{"NegativeCurrency", "-R$ 10,00", -10.0},
                      ValueCase{"Parentheses", "(10,00)", -10.0}, ValueCase{"TrailingMinus", "10,00-", -10.0},
                      ValueCase{"Zero", "0,00", 0.0}, ValueCase{"BareDecimal", ",5", 0.5},
                      ValueCase{"ThirteenDigits", "9.999.999.999.999,99", 9999999999999.99},
                      ValueCase{"Empty", "", std::nullopt}, ValueCase{"Word", "abc", std::nullopt},
                      ValueCase{"DigitsAndLetters", "12a", std::nullopt},
                      ValueCase{"TwoCommas", "1,2,3", std::nullopt},
                      ValueCase{"BadGroups", "1.23,45", std::nullopt},
                      ValueCase{"MarkOnly", ",", std::nullopt}, ValueCase{"Exponent", "1E+03", std::nullopt},
                      ValueCase{"FourteenDigits", "99999999999999", std::nullopt},
                      ValueCase{"SignOnly", "-", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- rows ----

struct Expected {
    int line;
    const char* account;
    const char* valueText;
    const char* history;
    const char* historyText;
    const char* commercial;
    const char* source;
};

struct TextCase {
    const char* name;
    const char* text;
    bool header;
    char separator;
    std::vector<Expected> rows;
};

class PastedRows : public ::testing::TestWithParam<TextCase> {};

TEST_P(PastedRows, ReadsEveryRow) {
    const TextCase& c = GetParam();
    const PastedText got = parsePastedText(s(c.text));
    EXPECT_EQ(got.headerSkipped, c.header);
    EXPECT_EQ(got.separator, QChar::fromLatin1(c.separator));
    ASSERT_EQ(got.rows.size(), c.rows.size());
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
        const Expected& e = c.rows[i];
        const PastedRow& r = got.rows[i];
        EXPECT_EQ(r.line, e.line) << i;
        EXPECT_EQ(r.account, s(e.account)) << i;
        EXPECT_EQ(r.valueText, s(e.valueText)) << i;
        EXPECT_EQ(r.history, s(e.history)) << i;
        EXPECT_EQ(r.historyText, s(e.historyText)) << i;
        EXPECT_EQ(r.commercial, s(e.commercial)) << i;
        EXPECT_EQ(r.source, s(e.source)) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PastedRows,
    ::testing::Values(
        TextCase{"Empty", "", false, '\t', {}}, TextCase{"OnlyLineEnds", "\r\n\r\n", false, '\t', {}},
        TextCase{"OneCopiedRowWithLf",
                 "10\t150,00\t1\n",
                 false,
                 '\t',
                 {{1, "10", "150,00", "1", "", "", "10\t150,00\t1"}}},
        // A spreadsheet's copy on Windows: CRLF after every row, the header, blank cells at the end.
        TextCase{"HeaderCrLfBlankTrailingCells",
                 "Conta\tValor\tHist.\tHistórico\tCód. "
                 "comercial\r\n10\t1.234,56\t1\t\t\r\n11\t250.5\t2\tDepósito\tB01\r\n",
                 true,
                 '\t',
                 {{2, "10", "1.234,56", "1", "", "", "10\t1.234,56\t1"},
                  {3, "11", "250.5", "2", "Depósito", "B01", "11\t250.5\t2\tDepósito\tB01"}}},
        TextCase{"QuotedSemicolonsAndQuotes",
                 "10\t5,00\t1\t\"Pagamento; aluguel \"\"sala 2\"\"\"\r\n",
                 false,
                 '\t',
                 {{1, "10", "5,00", "1", "Pagamento; aluguel \"sala 2\"", "",
                   "10\t5,00\t1\t\"Pagamento; aluguel \"\"sala 2\"\"\""}}},
        TextCase{"SemicolonsAreTextWithTabs",
                 "10\t5,00\t1\tA;B;C\r\n",
                 false,
                 '\t',
                 {{1, "10", "5,00", "1", "A;B;C", "", "10\t5,00\t1\tA;B;C"}}},
        TextCase{"CellWithLineBreak",
                 "20\t1.000,00\t2\t\"Recebimento\nparcela 1\"\tC001\r\n51\t75,25\t1\r\n",
                 false,
                 '\t',
                 {{1, "20", "1.000,00", "2", "Recebimento\nparcela 1", "C001",
                   "20\t1.000,00\t2\t\"Recebimento\nparcela 1\"\tC001"},
                  {3, "51", "75,25", "1", "", "", "51\t75,25\t1"}}},
        TextCase{
            "BlankRowsSkipped",
            "10\t1,00\t1\r\n\t\t\r\n   \r\n\r\n11\t2,00\t1",
            false,
            '\t',
            {{1, "10", "1,00", "1", "", "", "10\t1,00\t1"}, {5, "11", "2,00", "1", "", "", "11\t2,00\t1"}}},
        TextCase{"CellsTrimmed",
                 " 10 \t 1,00 \t 1 \t texto \r\n",
                 false,
                 '\t',
                 {{1, "10", "1,00", "1", "texto", "", "10\t1,00\t1\ttexto"}}},
        TextCase{"ExtraColumnsIgnored",
                 "10\t1,00\t1\tt\tC001\tsobra\r\n",
                 false,
                 '\t',
                 {{1, "10", "1,00", "1", "t", "C001", "10\t1,00\t1\tt\tC001"}}},
        TextCase{"AccentsKept",
                 "1.1.01.001\t1,00\t1\tAção — João nº 7\r\n",
                 false,
                 '\t',
                 {{1, "1.1.01.001", "1,00", "1", "Ação — João nº 7", "",
                   "1.1.01.001\t1,00\t1\tAção — João nº 7"}}},
        // A CSV file as a Brazilian spreadsheet saves it: byte-order mark, semicolons, quotes where needed.
        TextCase{"BrazilianCsv",
                 "\xEF\xBB\xBF"
                 "Conta;Valor;Hist.;Histórico;Cód. comercial\r\n1.1.01.002;2.560,31;2;\"Transf; "
                 "\"\"final\"\"\";B01\r\n;;;;\r\n",
                 true,
                 ';',
                 {{2, "1.1.01.002", "2.560,31", "2", "Transf; \"final\"", "B01",
                   "1.1.01.002\t2.560,31\t2\t\"Transf; \"\"final\"\"\"\tB01"}}},
        TextCase{"FirstRowWithDigitsIsNoHeader",
                 "10\tabc\t1\r\n",
                 false,
                 '\t',
                 {{1, "10", "abc", "1", "", "", "10\tabc\t1"}}},
        TextCase{"FirstRowWithAmountIsNoHeader",
                 "Caixa\t10,00\t1\r\n",
                 false,
                 '\t',
                 {{1, "Caixa", "10,00", "1", "", "", "Caixa\t10,00\t1"}}},
        TextCase{"OnlyAHeader", "Conta\tValor\r\n", true, '\t', {}},
        TextCase{"OneColumn",
                 "10\r\n11\r\n",
                 false,
                 '\t',
                 {{1, "10", "", "", "", "", "10"}, {2, "11", "", "", "", "", "11"}}},
        // An unclosed quote takes the rest of the text into its cell (trimmed like any cell).
        TextCase{"JunkIsARowLikeAnyOther",
                 "10\t1,00\t1\r\n\x01\x02\t\"\t;;",
                 false,
                 '\t',
                 {{1, "10", "1,00", "1", "", "", "10\t1,00\t1"},
                  {2, "\x01\x02", ";;", "", "", "", "\x01\x02\t;;"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PastedRows, AValueIsReadFromItsCell) {
    const PastedText got = parsePastedText(s("10\t1.234,56\t1\r\n10\tabc\t1\r\n"));
    ASSERT_EQ(got.rows.size(), 2U);
    ASSERT_TRUE(got.rows[0].value.has_value());
    EXPECT_DOUBLE_EQ(*got.rows[0].value, 1234.56);
    EXPECT_FALSE(got.rows[1].value.has_value());
}

TEST(PastedRows, WhatIsCopiedBackReadsTheSame) {
    const PastedText first =
        parsePastedText(s("20\t1.000,00\t2\t\"Recebimento\nparcela \"\"1\"\"\"\tC001\r\n40\t5,00\t1\r\n"));
    QString copied;
    for (const PastedRow& r : first.rows)
        copied += r.source + QStringLiteral("\r\n");
    const PastedText again = parsePastedText(copied);
    ASSERT_EQ(again.rows.size(), first.rows.size());
    for (std::size_t i = 0; i < first.rows.size(); ++i) {
        EXPECT_EQ(again.rows[i].account, first.rows[i].account);
        EXPECT_EQ(again.rows[i].valueText, first.rows[i].valueText);
        EXPECT_EQ(again.rows[i].historyText, first.rows[i].historyText);
        EXPECT_EQ(again.rows[i].commercial, first.rows[i].commercial);
    }
}

}  // namespace
}  // namespace ctb::ctb10000
