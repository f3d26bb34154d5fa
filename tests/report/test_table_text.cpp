// CSV and tab-separated text, byte for byte: separators, quoting as RFC 4180 says, decimal comma,
// dates, the byte-order mark, line ends; a device that refuses to be written is reported.

#include "platform/report/table_text.h"

#include <QBuffer>
#include <QDate>

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

}  // namespace
}  // namespace ctb::report
