// Packets travel unchanged: every type, nulls, long Portuguese texts, dates with and without time,
// extreme numbers.

#include "platform/net/wire.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace ctb;
using namespace ctb::wire;

namespace {

FieldDef field(const char* name, FieldType type, int size = 0) {
    return FieldDef{QString::fromUtf8(name), type, size};
}

std::int64_t ms(const char* iso) {
    return parseDateTime(iso).value();
}

QString portugueseText(int chars) {
    const QString unit =
        QStringLiteral("Lançamento de ajuste referente à provisão de férias e 13º salário — ");
    QString s;
    while (s.size() < chars)
        s += unit;
    return s.left(chars);
}

DataPacket allTypes() {
    DataPacket p;
    p.fields = {field("CDEMPRESA", FieldType::String, 2), field("DSHISTLANC", FieldType::String, 600),
                field("VRLANCAMENT", FieldType::Float), field("DTLANCCONT", FieldType::DateTime),
                field("NRITEM", FieldType::Integer)};
    Row a(5);
    a.setText(0, u"01");
    a.setText(1, portugueseText(600));
    a.setNumber(2, -1234567.89);
    a.setMsecs(3, ms("2026-12-08"));
    a.setInteger(4, 42);
    Row nulls(5);  // every cell null
    Row b(5);
    b.setText(0, u"");
    b.setText(1, QStringLiteral("aspas \" barra \\ nova\nlinha\ttab \x01 controle / 😀 çãõé"));
    b.setNumber(2, 1e-300);
    b.setMsecs(3, ms("2026-02-28T23:59:59"));
    b.setInteger(4, std::numeric_limits<std::int64_t>::min());
    Row c(5);
    c.setText(0, u"ÇÃ");
    c.setNumber(2, -0.0);
    c.setMsecs(3, ms("1899-12-30T00:00:01.500"));
    c.setInteger(4, std::numeric_limits<std::int64_t>::max());
    Row d(5);
    d.setNumber(2, 1.7976931348623157e308);
    d.setMsecs(3, ms("0001-01-01"));
    d.setInteger(4, -7);
    Row e(5);
    e.setNumber(2, 0.1 + 0.2);
    e.setMsecs(3, ms("9999-12-31T12:00:00"));
    e.setNumber(4, 3.0);  // an integral double in an integer field travels as an integer
    p.rows = {a, nulls, b, c, d, e};
    return p;
}

}  // namespace

TEST(PacketRoundTrip, EveryTypeAndNullComesBackEqual) {
    const DataPacket p = allTypes();
    const DataPacket back = decodePacket(encodePacket(p));
    ASSERT_EQ(back.fields, p.fields);
    ASSERT_EQ(back.rows.size(), p.rows.size());
    for (std::size_t r = 0; r < 4; ++r)
        EXPECT_EQ(back.rows[r], p.rows[r]) << "row " << r;
    EXPECT_EQ(back.rows[4], p.rows[4]);
    EXPECT_EQ(back.rows[5].integer(4), 3);
    EXPECT_EQ(back.rows[5].kind(4), CellKind::Integer);
    EXPECT_EQ(back.rows[5].number(2), 0.1 + 0.2);
}

TEST(PacketRoundTrip, NegativeZeroKeepsItsSign) {
    const DataPacket back = decodePacket(encodePacket(allTypes()));
    EXPECT_EQ(back.rows[3].number(2), 0.0);
    EXPECT_TRUE(std::signbit(back.rows[3].number(2)));
}

TEST(PacketRoundTrip, SixHundredPortugueseCharactersFitSizeSixHundred) {
    const DataPacket back = decodePacket(encodePacket(allTypes()));
    EXPECT_EQ(back.rows[0].text(1), portugueseText(600));
    EXPECT_EQ(back.rows[0].text(1).size(), 600);
    EXPECT_GT(back.rows[0].utf8(1).size(), 600u);  // bytes are not what the size counts
}

TEST(PacketRoundTrip, EmptyStringIsNotNull) {
    const DataPacket back = decodePacket(encodePacket(allTypes()));
    EXPECT_EQ(back.rows[2].kind(0), CellKind::Text);
    EXPECT_EQ(back.rows[2].utf8(0), "");
    EXPECT_TRUE(back.rows[1].isNull(0));
}

TEST(PacketRoundTrip, EmptyPacketKeepsItsFields) {
    DataPacket p;
    p.fields = {field("CDEMPRESA", FieldType::String, 2), field("VRLANCAMENT", FieldType::Float)};
    const std::string json = encodePacket(p);
    EXPECT_EQ(json, R"({"fields": [{"name": "CDEMPRESA", "type": "string", "size": 2}, )"
                    R"({"name": "VRLANCAMENT", "type": "float"}], "rows": []})");
    const DataPacket back = decodePacket(json);
    EXPECT_EQ(back.fields, p.fields);
    EXPECT_TRUE(back.rows.empty());
}

TEST(PacketEncoding, MatchesTheProtocolForm) {
    DataPacket p;
    p.fields = {field("CDEMPRESA", FieldType::String, 2), field("DTLANCCONT", FieldType::DateTime),
                field("VRLANCAMENT", FieldType::Float), field("QT", FieldType::Integer)};
    Row r(4);
    r.setText(0, u"01");
    r.setMsecs(1, ms("2026-12-08"));
    r.setNumber(2, -150.25);
    Row t(4);
    t.setMsecs(1, ms("2026-12-08T14:30:05"));
    t.setNumber(2, 100.0);
    t.setInteger(3, 3);
    p.rows = {r, t};
    EXPECT_EQ(
        encodePacket(p),
        R"({"fields": [{"name": "CDEMPRESA", "type": "string", "size": 2}, {"name": "DTLANCCONT", "type": "date"}, )"
        R"({"name": "VRLANCAMENT", "type": "float"}, {"name": "QT", "type": "integer"}], )"
        R"("rows": [["01", "2026-12-08", -150.25, null], [null, "2026-12-08T14:30:05", 100, 3]]})");
}

TEST(PacketEncoding, ControlCharactersAreEscaped) {
    DataPacket p;
    p.fields = {field("T", FieldType::String, 0)};
    Row r(1);
    r.setUtf8(0, std::string_view("a\"b\\c\n\x1f", 7));
    p.rows = {r};
    EXPECT_EQ(encodePacket(p),
              R"({"fields": [{"name": "T", "type": "string", "size": 0}], "rows": [["a\"b\\c\n\u001f"]]})");
}

TEST(PacketDecoding, AcceptsKeysInAnyOrderInsideFieldsAndSpacingOfAnyKind) {
    const DataPacket p = decodePacket(
        "{\"fields\":[{\"size\":2,\"type\":\"string\",\"name\":\"CDEMPRESA\"},{\"type\":\"integer\",\"name\":"
        "\"N\"}],"
        "\n\"rows\":[ [\"01\" , 5.0 ] ,[null,-3]]}");
    ASSERT_EQ(p.rows.size(), 2u);
    EXPECT_EQ(p.rows[0].integer(1), 5);
    EXPECT_EQ(p.rows[1].integer(1), -3);
    EXPECT_EQ(p.fields[0].size, 2);
}

TEST(PacketDecoding, IntegersInFloatFieldsBecomeNumbers) {
    const DataPacket p = decodePacket(
        R"({"fields": [{"name": "V", "type": "float"}], "rows": [[12], [-9007199254740993], [18446744073709551615]]})");
    EXPECT_EQ(p.rows[0].kind(0), CellKind::Number);
    EXPECT_EQ(p.rows[0].number(0), 12.0);
    EXPECT_EQ(p.rows[1].number(0), -9007199254740992.0);
    EXPECT_EQ(p.rows[2].number(0), 18446744073709551616.0);
}

TEST(PacketDecoding, SizeCountsCharactersNotBytes) {
    const DataPacket p = decodePacket(
        R"({"fields": [{"name": "S", "type": "string", "size": 3}], "rows": [["ção"], ["😀😀😀"]]})");
    EXPECT_EQ(p.rows[0].text(0), QStringLiteral("ção"));
    EXPECT_EQ(p.rows[1].utf8(0), "😀😀😀");
}

TEST(PacketDecoding, EscapedUnicodeIsDecoded) {
    const DataPacket p = decodePacket(
        R"({"fields": [{"name": "S", "type": "string", "size": 4}], "rows": [["\u00e7\u00e3o\ud83d\ude00"]]})");
    EXPECT_EQ(p.rows[0].text(0), QStringLiteral("ção😀"));
}

// --- dates ---

struct DateCase {
    const char* text;
    bool valid;
};

class DateText : public testing::TestWithParam<DateCase> {};

TEST_P(DateText, ParsesOnlyRealCalendarDates) {
    const auto [text, valid] = GetParam();
    const auto parsed = parseDateTime(text);
    EXPECT_EQ(parsed.has_value(), valid) << text;
    if (valid) {
        EXPECT_EQ(formatDateTime(*parsed), text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Calendar, DateText,
    testing::Values(DateCase{"2026-12-08", true}, DateCase{"2024-02-29", true}, DateCase{"2000-02-29", true},
                    DateCase{"1900-02-28", true}, DateCase{"0001-01-01", true}, DateCase{"9999-12-31", true},
                    DateCase{"1969-12-31T23:59:59", true}, DateCase{"2026-01-01T00:00:00.001", true},
                    DateCase{"2023-02-29", false}, DateCase{"1900-02-29", false},
                    DateCase{"2026-13-01", false}, DateCase{"2026-00-10", false},
                    DateCase{"2026-04-31", false}, DateCase{"0000-01-01", false},
                    DateCase{"2026-1-01", false}, DateCase{"2026/01/01", false},
                    DateCase{"2026-01-01 10:00:00", false}, DateCase{"2026-01-01T24:00:00", false},
                    DateCase{"2026-01-01T10:60:00", false}, DateCase{"2026-01-01T10:00:60", false},
                    DateCase{"2026-01-01T10:00", false}, DateCase{"", false}, DateCase{"08/12/2026", false},
                    DateCase{"2026-12-08Z", false}, DateCase{"２０２６-12-08", false}));

TEST(Dates, MidnightIsWrittenAsADateAndTimeOnlyWhenThere) {
    EXPECT_EQ(formatDateTime(0), "1970-01-01");
    EXPECT_EQ(formatDateTime(-1000), "1969-12-31T23:59:59");
    EXPECT_EQ(formatDateTime(ms("2026-12-08") + 1), "2026-12-08T00:00:00.001");
    EXPECT_EQ(formatDateTime(ms("0001-01-01") - 1), "");  // year 0 cannot travel
}

TEST(Dates, QDateHelpersAgreeWithQt) {
    const QDate d(2026, 12, 8);
    EXPECT_EQ(isoDate(d), QStringLiteral("2026-12-08"));
    EXPECT_EQ(parseIsoDate("2026-12-08"), d);
    EXPECT_EQ(dateFromMsecs(msecsFromDate(d)), d);
    EXPECT_EQ(msecsFromDate(d), QDateTime(d, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch());
    EXPECT_EQ(dateFromMsecs(msecsFromDate(QDate(1899, 12, 30)) + 5000), QDate(1899, 12, 30));
    EXPECT_EQ(Value::fromDate(d).utf8(), "2026-12-08");
    EXPECT_TRUE(Value::fromDate(QDate()).isNull());
    EXPECT_EQ(Value::fromUtf8("2026-12-08T10:00:00").toDate(), d);
    EXPECT_FALSE(Value::fromUtf8("2026-02-30").toDate());
}

// --- the encoder refuses what the decoder would refuse ---

TEST(PacketEncoding, RefusesCellsThatCannotTravel) {
    auto oneField = [](FieldType type, int size, auto fill) {
        DataPacket p;
        p.fields = {field("F", type, size)};
        Row r(1);
        fill(r);
        p.rows = {r};
        return p;
    };
    EXPECT_THROW(
        (void)encodePacket(oneField(FieldType::Float, 0, [](Row& r) { r.setNumber(0, std::nan("")); })),
        WireError);
    EXPECT_THROW(
        (void)encodePacket(oneField(FieldType::Float, 0,
                                    [](Row& r) { r.setNumber(0, std::numeric_limits<double>::infinity()); })),
        WireError);
    EXPECT_THROW((void)encodePacket(oneField(FieldType::String, 2, [](Row& r) { r.setText(0, u"abc"); })),
                 WireError);
    EXPECT_THROW((void)encodePacket(oneField(FieldType::String, 0, [](Row& r) { r.setUtf8(0, "\xff"); })),
                 WireError);
    EXPECT_THROW((void)encodePacket(oneField(FieldType::String, 0, [](Row& r) { r.setNumber(0, 1); })),
                 WireError);
    EXPECT_THROW((void)encodePacket(oneField(FieldType::Integer, 0, [](Row& r) { r.setNumber(0, 1.5); })),
                 WireError);
    EXPECT_THROW(
        (void)encodePacket(oneField(FieldType::DateTime, 0, [](Row& r) { r.setText(0, u"2026-01-01"); })),
        WireError);
    DataPacket shortRow;
    shortRow.fields = {field("A", FieldType::String, 1), field("B", FieldType::String, 1)};
    shortRow.rows = {Row(1)};
    try {
        (void)encodePacket(shortRow);
        FAIL() << "a row with a missing cell was encoded";
    } catch (const WireError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Pacote de dados: linha 1 tem 1 células, esperadas 2."));
    }
}
