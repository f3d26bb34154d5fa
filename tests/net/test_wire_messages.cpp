// Requests and answers in the exact form of the protocol, and their decoding.

#include "platform/net/wire.h"

#include <gtest/gtest.h>

using namespace ctb;
using namespace ctb::wire;

namespace {

DataPacket smallPacket() {
    DataPacket p;
    p.fields = {FieldDef{QStringLiteral("CDEMPRESA"), FieldType::String, 2}};
    Row r(1);
    r.setText(0, u"01");
    p.rows = {r};
    return p;
}

}  // namespace

TEST(RequestEncoding, MatchesTheProtocolByteForByte) {
    EXPECT_EQ(encodeRequest({}), R"({"args": []})");
    EXPECT_EQ(encodeRequest({Value::fromString(u"01"), Value::fromDate(QDate(2026, 1, 31)),
                             Value::fromNumber(1500.5), Value::fromString(u"T")}),
              R"({"args": ["01", "2026-01-31", 1500.5, "T"]})");
    EXPECT_EQ(
        encodeRequest({Value::fromPacket(smallPacket()), Value::fromString(u"OPER")}),
        R"({"args": [{"fields": [{"name": "CDEMPRESA", "type": "string", "size": 2}], "rows": [["01"]]}, "OPER"]})");
}

TEST(RequestEncoding, ListsOfKeysTravelAsOneText) {
    EXPECT_EQ(encodeRequest({Value::fromString(u"'0001','0002','D''Ávila'")}),
              R"({"args": ["'0001','0002','D''Ávila'"]})");
}

TEST(AnswerEncoding, MatchesTheProtocolByteForByte) {
    EXPECT_EQ(encodeOk(Value::fromBool(true)), R"({"ok": true, "result": true})");
    EXPECT_EQ(encodeOk(Value()), R"({"ok": true, "result": null})");
    EXPECT_EQ(encodeOk(Value::fromUtf8("202612000001")), R"({"ok": true, "result": "202612000001"})");
    EXPECT_EQ(encodeError(u"Lançamento não encontrado."),
              R"({"ok": false, "error": "Lançamento não encontrado."})");
    EXPECT_EQ(
        encodeOk(Value::fromArray({Value::fromUtf8("ERRO"), Value::fromPacket(smallPacket())})),
        R"({"ok": true, "result": ["ERRO", {"fields": [{"name": "CDEMPRESA", "type": "string", "size": 2}], )"
        R"("rows": [["01"]]}]})");
    Answer a;
    a.ok = false;
    a.error = QStringLiteral("Período \"fechado\".");
    EXPECT_EQ(encodeAnswer(a), R"({"ok": false, "error": "Período \"fechado\"."})");
}

TEST(RequestDecoding, GivesEveryKindOfArgument) {
    const auto args = decodeRequest(
        R"({"args": ["01", "2026-01-31", -12.5, null, true, [1, "x"], )"
        R"({"fields": [{"name": "CDEMPRESA", "type": "string", "size": 2}], "rows": [["01"]]}]})");
    ASSERT_EQ(args.size(), 7u);
    EXPECT_EQ(args[0].toString(), QStringLiteral("01"));
    EXPECT_EQ(args[1].toDate(), QDate(2026, 1, 31));
    EXPECT_EQ(args[2].toNumber(), -12.5);
    EXPECT_TRUE(args[3].isNull());
    EXPECT_TRUE(args[4].toBool());
    ASSERT_TRUE(args[5].isArray());
    EXPECT_EQ(args[5].array().size(), 2u);
    ASSERT_TRUE(args[6].isPacket());
    EXPECT_EQ(args[6].packet().rows[0].utf8(0), "01");
}

TEST(RequestDecoding, RoundTripsWhatTheClientSends) {
    const std::vector<Value> args = {Value::fromPacket(smallPacket()), Value::fromPacket(DataPacket{}),
                                     Value::fromString(QStringLiteral("João")), Value::fromNumber(1e-300),
                                     Value::fromArray({})};
    EXPECT_EQ(decodeRequest(encodeRequest(args)), args);
}

TEST(RequestDecoding, PacketsCanBeMovedOut) {
    auto args = decodeRequest(R"({"args": [{"fields": [], "rows": []}, {"fields": [], "rows": [[], []]}]})");
    const DataPacket second = args[1].takePacket();
    EXPECT_EQ(second.rows.size(), 2u);
    EXPECT_TRUE(args[1].isNull());
    EXPECT_TRUE(args[0].packet().rows.empty());
}

struct BadRequest {
    const char* name;
    const char* json;
};

class MalformedRequest : public testing::TestWithParam<BadRequest> {};

TEST_P(MalformedRequest, IsRefused) {
    try {
        (void)decodeRequest(GetParam().json);
        FAIL() << "accepted";
    } catch (const WireError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Pedido inválido: ", 0), 0u) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, MalformedRequest,
                         testing::Values(BadRequest{"NotJson", "args=1"}, BadRequest{"Empty", ""},
                                         BadRequest{"Array", "[1]"}, BadRequest{"NoArgs", "{}"},
                                         BadRequest{"ArgsNotArray", R"({"args": "01"})"},
                                         BadRequest{"ArgsObject", R"({"args": {"fields": [], "rows": []}})"},
                                         BadRequest{"ExtraKey", R"({"args": [], "user": "x"})"},
                                         BadRequest{"TwiceArgs", R"({"args": [], "args": []})"},
                                         BadRequest{"PlainObjectArgument", R"({"args": [{"a": 1}]})"},
                                         BadRequest{"PacketWithoutRows", R"({"args": [{"fields": []}]})"},
                                         BadRequest{"Truncated", R"({"args": ["01", )"},
                                         BadRequest{"Trailing", R"({"args": []}x)"},
                                         BadRequest{"HugeNumber", R"({"args": [1e999]})"},
                                         BadRequest{"BadUtf8", "{\"args\": [\"\xff\"]}"},
                                         BadRequest{"BadSurrogateEscape", R"({"args": ["\udfff"]})"}),
                         [](const testing::TestParamInfo<BadRequest>& i) {
                             return std::string(i.param.name);
                         });

TEST(AnswerDecoding, ReadsSuccessFailureAndPairs) {
    const Answer ok = decodeAnswer(R"({"ok": true, "result": ["T", {"fields": [], "rows": []}]})");
    EXPECT_TRUE(ok.ok);
    ASSERT_TRUE(ok.result.isArray());
    EXPECT_TRUE(ok.result.array()[1].isPacket());
    EXPECT_TRUE(ok.error.isEmpty());

    const Answer bad = decodeAnswer(R"({"ok": false, "error": "Data fora do período contábil."})");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.error, QStringLiteral("Data fora do período contábil."));
    EXPECT_TRUE(bad.result.isNull());

    EXPECT_TRUE(decodeAnswer(R"({"ok": true})").ok);  // the health probe's answer
    EXPECT_TRUE(decodeAnswer(R"({"result": 5, "ok": true})").result == Value::fromNumber(5));
}

TEST(AnswerDecoding, RefusesIncompleteAnswers) {
    for (const char* json :
         {R"({"result": 1})", R"({"ok": false})", R"({"ok": "true"})", R"({"ok": true, "x": 1})",
          R"({"ok": false, "error": 5})", R"(true)", R"({"ok": true, "result": {"a": 1}})"})
        EXPECT_THROW((void)decodeAnswer(json), WireError) << json;
}

TEST(Values, TextConversionOfResults) {
    EXPECT_EQ(Value::fromNumber(202612000001.0).toString(), QStringLiteral("202612000001"));
    EXPECT_EQ(Value::fromNumber(1.5).toString(), QStringLiteral("1.5"));
    EXPECT_EQ(Value::fromNumber(-0.0).toString(), QStringLiteral("0"));
    EXPECT_EQ(Value::fromBool(false).toString(), QStringLiteral("false"));
    EXPECT_EQ(Value().toString(), QString());
    EXPECT_EQ(Value::fromString(u"Ação").utf8(), "Ação");
}

TEST(Values, NumbersKeepFullPrecisionThroughJson) {
    for (const double d : {0.1, 1e-300, -1e300, 123456789.123456789, 5e-324, 2.2250738585072014e-308,
                           9007199254740993.0, -0.0, 1234.56, 0.3})
        EXPECT_EQ(decodeValue(encodeValue(Value::fromNumber(d))).toNumber(), d)
            << encodeValue(Value::fromNumber(d));
    EXPECT_TRUE(std::signbit(decodeValue(encodeValue(Value::fromNumber(-0.0))).toNumber()));
}
