// Every malformed input is refused with a message naming the fault; none crashes.

#include "platform/net/wire.h"

#include <gtest/gtest.h>

#include <string>

using namespace ctb::wire;

namespace {

const std::string kFields =
    R"({"fields": [{"name": "CD", "type": "string", "size": 2}, {"name": "VR", "type": "float"}, )"
    R"({"name": "DT", "type": "date"}, {"name": "N", "type": "integer"}], )";

std::string rows(const std::string& body) {
    return kFields + "\"rows\": [" + body + "]}";
}

struct Bad {
    const char* name;
    std::string json;
    const char* messagePart;  // the error must mention this
};

std::ostream& operator<<(std::ostream& os, const Bad& b) {
    return os << b.name;
}

std::vector<Bad> badPackets() {
    return {
        {"TooFewCells", rows(R"(["01", 1, null])"), "tem 3 células, esperadas 4"},
        {"TooManyCells", rows(R"(["01", 1, null, 2, 3])"), "mais células que os 4 campos"},
        {"SecondRowWrong", rows(R"(["01", 1, null, 2], ["01"])"), "linha 2 tem 1 células"},
        {"TextInFloat", rows(R"(["01", "1,5", null, null])"), "campo VR: esperado número, recebido texto"},
        {"NumberInString", rows(R"([1, 1, null, null])"), "campo CD: esperado texto, recebido número"},
        {"NumberInDate", rows(R"(["01", 1, 45000, null])"), "campo DT: esperado data"},
        {"FractionInInteger", rows(R"(["01", 1, null, 1.5])"), "campo N: número não é inteiro"},
        {"TextInInteger", rows(R"(["01", 1, null, "1"])"), "campo N: esperado inteiro"},
        {"BoolCell", rows(R"(["01", true, null, null])"), "booleano"},
        {"ObjectCell", rows(R"(["01", {}, null, null])"), "objeto não é aceito"},
        {"ArrayCell", rows(R"(["01", [1], null, null])"), "lista não é aceita"},
        {"RowNotArray", rows(R"({"CD": "01"})"), "cada linha do pacote deve ser uma lista"},
        {"RowScalar", rows(R"(5)"), "cada linha do pacote deve ser uma lista"},
        {"StringTooLong", rows(R"(["011", 1, null, null])"), "texto de 3 caracteres excede o tamanho 2"},
        {"AccentedTooLong", rows(R"(["ção", 1, null, null])"), "excede o tamanho 2"},
        {"BadDate", rows(R"(["01", 1, "2026-02-30", null])"), "data inválida \"2026-02-30\""},
        {"BrazilianDate", rows(R"(["01", 1, "08/12/2026", null])"), "data inválida"},
        {"IntegerOverflow", rows(R"(["01", 1, null, 9223372036854775808])"), "campo N: número não é inteiro"},
        {"HugeNumber", rows(R"(["01", 1e400, null, null])"), "número grande demais"},
        {"NaN", rows(R"(["01", NaN, null, null])"), "valor JSON inválido"},
        {"Infinity", rows(R"(["01", Infinity, null, null])"), "valor JSON inválido"},
        {"InvalidUtf8", rows("[\"\xc3\x28\", 1, null, null]"), "UTF-8 inválido"},
        {"OverlongUtf8", rows("[\"\xc0\xaf\", 1, null, null]"), "UTF-8 inválido"},
        {"LoneLowSurrogate", rows(R"(["\udc00", 1, null, null])"), "UTF-8 inválido"},
        {"LoneHighSurrogate", rows(R"(["\ud800", 1, null, null])"), "escape inválida"},
        {"UnknownType", R"({"fields": [{"name": "X", "type": "money"}], "rows": []})",
         "tipo de campo desconhecido \"money\""},
        {"MissingType", R"({"fields": [{"name": "X"}], "rows": []})", "o campo X não tem tipo"},
        {"MissingName", R"({"fields": [{"type": "float"}], "rows": []})", "o campo 1 do pacote não tem nome"},
        {"EmptyName", R"({"fields": [{"name": "", "type": "float"}], "rows": []})", "não tem nome"},
        {"DuplicateName",
         R"({"fields": [{"name": "CD", "type": "float"}, {"name": "cd", "type": "float"}], "rows": []})",
         "campo repetido cd"},
        {"UnknownFieldKey", R"({"fields": [{"name": "X", "type": "float", "nullable": true}], "rows": []})",
         "chave desconhecida \"nullable\""},
        {"NegativeSize", R"({"fields": [{"name": "X", "type": "string", "size": -1}], "rows": []})",
         "\"size\""},
        {"FractionSize", R"({"fields": [{"name": "X", "type": "string", "size": 2.5}], "rows": []})",
         "\"size\""},
        {"TextSize", R"({"fields": [{"name": "X", "type": "string", "size": "2"}], "rows": []})", "\"size\""},
        {"NumberName", R"({"fields": [{"name": 5, "type": "float"}], "rows": []})", "devem ser textos"},
        {"FieldNotObject", R"({"fields": ["CD"], "rows": []})", "cada campo do pacote deve ser um objeto"},
        {"RowsFirst", R"({"rows": [], "fields": []})", "\"fields\" deve vir antes de \"rows\""},
        {"MissingRows", R"({"fields": []})", "sem \"fields\" ou sem \"rows\""},
        {"UnknownPacketKey", R"({"fields": [], "rows": [], "extra": 1})", "chave desconhecida \"extra\""},
        {"DuplicateFieldsKey", R"({"fields": [], "fields": [], "rows": []})", "chave repetida \"fields\""},
        {"FieldsNotArray", R"({"fields": {}, "rows": []})", "objeto inesperado"},
        {"Truncated", rows(R"(["01", 1, null, null)"), "lista JSON malformada"},
        {"TruncatedInString", rows(R"(["01)"), "texto sem aspas"},
        {"Empty", "", "JSON vazio"},
        {"Garbage", "garbage", "valor JSON inválido"},
        {"TrailingContent", R"({"fields": [], "rows": []} {})", "conteúdo após o fim"},
        {"TopLevelArray", R"([1, 2])", "lista inesperada"},
        {"TopLevelString", R"("x")", "o corpo deve ser um objeto"},
        {"NestedRows", rows(std::string(100000, '[')), "lista não é aceita"},
    };
}

}  // namespace

class MalformedPacket : public testing::TestWithParam<Bad> {};

TEST_P(MalformedPacket, IsRefusedWithAClearMessage) {
    const Bad& b = GetParam();
    try {
        (void)decodePacket(b.json);
        FAIL() << "accepted: " << b.json.substr(0, 200);
    } catch (const WireError& e) {
        EXPECT_NE(std::string(e.what()).find(b.messagePart), std::string::npos) << e.what();
        EXPECT_EQ(std::string(e.what()).rfind("Pacote de dados inválido: ", 0), 0u) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, MalformedPacket, testing::ValuesIn(badPackets()),
                         [](const testing::TestParamInfo<Bad>& i) { return std::string(i.param.name); });

TEST(MalformedPacket, EveryTruncationOfAValidPacketIsRefused) {
    const std::string good = rows(R"(["01", -1.5e3, "2026-12-08T10:00:00", 7], [null, 0, null, -1])");
    ASSERT_NO_THROW((void)decodePacket(good));
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_THROW((void)decodePacket(std::string_view(good).substr(0, n)), WireError) << n;
}

TEST(MalformedPacket, EveryByteFlipIsHandledWithoutCrash) {
    const std::string good = rows(R"(["0ç", -1.5e3, "2026-12-08T10:00:00", 7], [null, 0, null, -1])");
    for (std::size_t i = 0; i < good.size(); ++i) {
        for (const char c : {'\0', '"', '\\', '[', '}', '\xff', '9', ','}) {
            std::string bad = good;
            bad[i] = c;
            try {
                (void)decodePacket(bad);
            } catch (const WireError&) {
            }
        }
    }
}

TEST(MalformedValue, DeepArraysAreRefusedNotRecursedInto) {
    const std::string deep = std::string(1'000'000, '[') + std::string(1'000'000, ']');
    EXPECT_THROW((void)decodeValue(deep), WireError);
    EXPECT_THROW((void)decodeRequest("{\"args\": " + deep + "}"), WireError);
    const std::string ok = std::string(60, '[') + std::string(60, ']');
    EXPECT_NO_THROW((void)decodeValue(ok));
}

TEST(MalformedValue, EncoderRefusesNonFiniteNumbersAndBadText) {
    EXPECT_THROW((void)encodeValue(Value::fromNumber(std::numeric_limits<double>::quiet_NaN())), WireError);
    EXPECT_THROW((void)encodeRequest({Value::fromNumber(-std::numeric_limits<double>::infinity())}),
                 WireError);
    EXPECT_THROW((void)encodeOk(Value::fromUtf8("\xed\xa0\x80")), WireError);
}

TEST(MalformedValue, WrongAccessorThrowsInsteadOfCrashing) {
    Value v = Value::fromNumber(1);
    EXPECT_THROW((void)v.packet(), WireError);
    EXPECT_THROW((void)v.array(), WireError);
    EXPECT_THROW((void)v.takePacket(), WireError);
    EXPECT_EQ(v.utf8(), "");
    EXPECT_FALSE(v.toBool());
}

// Number texts convert exactly, whatever their form (a zero with a large exponent once came out as 7.9e28).
TEST(WireNumbers, EveryFormConvertsExactly) {
    const std::vector<std::pair<const char*, double>> cases = {
        {"0e55", 0.0},
        {"-0e55", -0.0},
        {"0.0e300", 0.0},
        {"1e-400", 0.0},
        {"-1e-400", -0.0},
        {"0.000e-999999", 0.0},
        {"12345678901.23", 12345678901.23},
        {"0.1", 0.1},
        {"1E2", 100.0},
        {"-5", -5.0},
        {"2.5e-3", 0.0025},
        {"9223372036854775807", 9223372036854775807.0},
        {"18446744073709551616", 18446744073709551616.0},
        {"1.7976931348623157e308", 1.7976931348623157e308}};
    for (const auto& [text, expected] : cases) {
        const Value v = decodeValue(text);
        ASSERT_TRUE(v.isNumber()) << text;
        EXPECT_EQ(v.toNumber(), expected) << text;
        EXPECT_EQ(std::signbit(v.toNumber()), std::signbit(expected)) << text;
    }
    for (const char* tooBig : {"1e400", "-1e309", "123456789e301", "0.001e312"})
        EXPECT_THROW((void)decodeValue(tooBig), WireError) << tooBig;
}
