// CSV and tab-separated text, byte for byte: separators, quoting as RFC 4180 says, decimal comma,
// dates, the byte-order mark, line ends; a device that refuses to be written is reported.

#include "platform/report/table_text.h"

#include <QBuffer>
#include <QDate>

#include <vector>

#include <gtest/gtest.h>

namespace ctb::report {
namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

struct FieldCase {
    const char* name;
    const char* value;
    const char* csv;
};

class CsvFieldQuoting : public ::testing::TestWithParam<FieldCase> {};

TEST_P(CsvFieldQuoting, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(csvField(s(GetParam().value)), s(GetParam().csv));
}

INSTANTIATE_TEST_SUITE_P(Fields, CsvFieldQuoting,
                         ::testing::Values(FieldCase{"Plain", "ALUGUEL", "ALUGUEL"},
                                           FieldCase{"Empty", "", ""},
                                           FieldCase{"Accents", "Aluguel março – ção", "Aluguel março – ção"},
                                           FieldCase{"Semicolon", "a;b", "\"a;b\""},
                                           FieldCase{"Quote", "NF \"100\"", "\"NF \"\"100\"\"\""},
                                           FieldCase{"LineFeed", "linha 1\nlinha 2", "\"linha 1\nlinha 2\""},
                                           FieldCase{"CarriageReturn", "a\r\nb", "\"a\r\nb\""},
                                           FieldCase{"CommaNeedsNothing", "1,5", "1,5"},
                                           FieldCase{"LeadingSpaceKept", " x ", " x "}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CsvWriter, WritesBomSemicolonsDecimalCommaDatesAndCrlf) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    {
        CsvWriter csv(buffer);
        csv.text(s("Data"));
        csv.text(s("Valor"));
        csv.text(s("Histórico"));
        csv.endRow();
        csv.date(QDate(2026, 12, 1));
        csv.number(-1234.5);
        csv.text(s("Pago; \"à vista\""));
        csv.endRow();
        csv.date(QDate());
        csv.number(-0.001);
        csv.empty();
        csv.endRow();
        csv.integer(42);
        csv.number(999999999.99);
        csv.endRow();
        ASSERT_TRUE(csv.finish());
    }
    EXPECT_EQ(bytes, QByteArray("\xEF\xBB\xBF"
                                "Data;Valor;Hist\xC3\xB3rico\r\n"
                                "01/12/2026;-1234,50;\"Pago; \"\"\xC3\xA0 vista\"\"\"\r\n"
                                ";0,00;\r\n"
                                "42;999999999,99\r\n"));
}

TEST(CsvWriter, ReportsADeviceThatRefusesToBeWritten) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    CsvWriter csv(buffer);
    csv.text(s("x"));
    csv.endRow();
    EXPECT_FALSE(csv.finish());
}

TEST(TabSeparated, JoinsRowsAndQuotesCellsWithTabsOrBreaks) {
    EXPECT_EQ(
        tabSeparated({{s("Caixa"), s("1.234,50")}, {s("a\tb"), s("linha\noutra")}, {s("\"x\""), QString()}}),
        s("Caixa\t1.234,50\n\"a\tb\"\t\"linha\noutra\"\n\"\"\"x\"\"\"\t\n"));
    EXPECT_EQ(tabSeparated({}), QString());
}

// ---- reading delimited text ----

struct ReadCase {
    const char* name;
    const char* text;
    char separator;
    std::vector<std::vector<const char*>> cells;
    std::vector<int> lines;
};

class ReadDelimited : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadDelimited, GivesTheCellsAsWritten) {
    const ReadCase& c = GetParam();
    const std::vector<DelimitedRecord> records = readDelimited(s(c.text), QChar::fromLatin1(c.separator));
    ASSERT_EQ(records.size(), c.cells.size());
    for (std::size_t r = 0; r < records.size(); ++r) {
        std::vector<QString> expected;
        for (const char* cell : c.cells[r])
            expected.push_back(s(cell));
        EXPECT_EQ(records[r].cells, expected) << "record " << r;
        EXPECT_EQ(records[r].line, c.lines[r]) << "record " << r;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadDelimited,
    ::testing::Values(
        ReadCase{"Empty", "", '\t', {}, {}}, ReadCase{"OneCell", "x", '\t', {{"x"}}, {1}},
        ReadCase{"TrailingLineEndMakesNoRecord", "a\tb\n", '\t', {{"a", "b"}}, {1}},
        ReadCase{"CrLf", "a\tb\r\nc\td\r\n", '\t', {{"a", "b"}, {"c", "d"}}, {1, 2}},
        ReadCase{"LoneCr", "a\rb", '\t', {{"a"}, {"b"}}, {1, 2}},
        ReadCase{"BlankLineIsOneEmptyCell", "a\n\nb", '\t', {{"a"}, {""}, {"b"}}, {1, 2, 3}},
        ReadCase{"EmptyTrailingCells", "a\t\t\n", '\t', {{"a", "", ""}}, {1}},
        ReadCase{"QuotedTabAndBreak", "\"a\tb\"\t\"x\r\ny\"\nz", '\t', {{"a\tb", "x\r\ny"}, {"z"}}, {1, 3}},
        ReadCase{"DoubledQuotes", "\"NF \"\"100\"\"\"\tz", '\t', {{"NF \"100\"", "z"}}, {1}},
        ReadCase{"QuoteInsideUnquotedCell", "NF \"1\"\tz", '\t', {{"NF \"1\"", "z"}}, {1}},
        ReadCase{"TextAfterClosingQuoteKept", "\"a\"b\tc", '\t', {{"ab", "c"}}, {1}},
        ReadCase{"UnclosedQuoteRunsToTheEnd", "\"a\tb\nc", '\t', {{"a\tb\nc"}}, {1}},
        ReadCase{"SemicolonIsTextWhenTabSeparates", "a;b\tc", '\t', {{"a;b", "c"}}, {1}},
        ReadCase{"Semicolons", "a;\"b;c\";;\r\n", ';', {{"a", "b;c", "", ""}}, {1}},
        ReadCase{"Accents", "Ação\tJoão — nº", '\t', {{"Ação", "João — nº"}}, {1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadDelimited, ReadsBackWhatTabSeparatedWrites) {
    const std::vector<std::vector<QString>> rows = {{s("Caixa"), s("1.234,50"), s("a\tb")},
                                                    {s("linha\noutra"), s("\"x\""), QString()}};
    const std::vector<DelimitedRecord> back = readDelimited(tabSeparated(rows), u'\t');
    ASSERT_EQ(back.size(), rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r)
        EXPECT_EQ(back[r].cells, rows[r]);
}

}  // namespace
}  // namespace ctb::report
