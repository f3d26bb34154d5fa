// The whole table as one data packet: round trips, validation and sizes.

#include "platform/dataset/field_format.h"
#include "tests/dataset/dataset_fixtures.h"

#include <gtest/gtest.h>

using namespace ctb;

namespace {

QString repeat(const QString& s, int n) {
    QString out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

void declareAllTypes(ClientDataSet& t) {
    t.addStringField(QStringLiteral("TEXTO"), 600);
    t.addFloatField(QStringLiteral("VALOR"));
    t.addDateTimeField(QStringLiteral("DATA"));
    t.addIntegerField(QStringLiteral("QTDE"));
}

TEST(PacketRoundTrip, EveryTypeNullsLongTextsAndFilteredRows) {
    ClientDataSet t(QStringLiteral("cdsOrigem"));
    declareAllTypes(t);
    t.createDataSet();
    const QString longText = repeat(QStringLiteral("Ação contábil "), 50).left(600);
    const QDateTime when(QDate(2026, 12, 31), QTime(23, 59, 58));
    t.append();
    t.fieldByName(u"TEXTO").setAsString(longText);
    t.fieldByName(u"VALOR").setAsFloat(-1234.56);
    t.fieldByName(u"DATA").setAsDateTime(when);
    t.fieldByName(u"QTDE").setAsInteger(-7);
    t.post();
    t.append();  // every cell null
    t.fieldByName(u"TEXTO").setAsString(QStringLiteral("x"));
    t.fieldByName(u"TEXTO").clear();
    t.post();
    t.append();
    t.fieldByName(u"TEXTO").setAsString(QStringLiteral("oculta"));
    t.fieldByName(u"DATA").setAsDate(QDate(1899, 12, 30));
    t.fieldByName(u"QTDE").setAsInteger(std::numeric_limits<qint64>::max());
    t.post();
    t.setFilter(QStringLiteral("TEXTO = 'oculta'"));
    t.setFiltered(true);
    ASSERT_EQ(t.recordCount(), 1);

    const DataPacket p = t.data();
    ASSERT_EQ(p.rows.size(), 3U);
    EXPECT_EQ(p.fields, t.fieldDefs());
    EXPECT_EQ(p.fields[0], (FieldDef{QStringLiteral("TEXTO"), FieldType::String, 600}));

    ClientDataSet u(QStringLiteral("cdsDestino"));
    declareAllTypes(u);
    u.setData(p);
    EXPECT_EQ(u.data().rows, p.rows);
    EXPECT_EQ(u.recordCount(), 3);
    u.first();
    EXPECT_EQ(u.fieldByName(u"TEXTO").asString(), longText);
    EXPECT_DOUBLE_EQ(u.fieldByName(u"VALOR").asFloat(), -1234.56);
    EXPECT_EQ(u.fieldByName(u"DATA").asDateTime(), when);
    EXPECT_EQ(u.fieldByName(u"QTDE").asInteger(), -7);
    u.next();
    for (int i = 0; i < u.fieldCount(); ++i)
        EXPECT_TRUE(u.field(i).isNull()) << i;
    u.next();
    EXPECT_EQ(u.fieldByName(u"DATA").asDate(), QDate(1899, 12, 30));
    EXPECT_EQ(u.fieldByName(u"QTDE").asInteger(), std::numeric_limits<qint64>::max());

    // Back again by move, into a table that learns its fields from the packet.
    ClientDataSet dyn;
    DataPacket copy = u.data();
    dyn.setData(std::move(copy));
    EXPECT_EQ(dyn.fieldDefs(), p.fields);
    EXPECT_EQ(dyn.data().rows, p.rows);
}

TEST(PacketLoad, CutsTextsToTheDeclaredSizes) {
    DataPacket p;
    p.fields = {{QStringLiteral("CDEMPRESA"), FieldType::String, 10},
                {QStringLiteral("DSHISTLANC"), FieldType::String, 1000}};
    Row r(2);
    r.setText(0, QStringLiteral("Ação"));
    r.setText(1, repeat(QStringLiteral("é"), 601));
    p.rows.push_back(r);
    Row ok(2);
    ok.setText(0, QStringLiteral("01"));
    p.rows.push_back(ok);

    ClientDataSet t;
    t.addStringField(QStringLiteral("CDEMPRESA"), 2);
    t.addStringField(QStringLiteral("DSHISTLANC"), 600);
    t.setData(std::move(p));
    t.first();
    EXPECT_EQ(t.fieldByName(u"CDEMPRESA").asString(), QStringLiteral("Aç"));
    EXPECT_EQ(t.fieldByName(u"DSHISTLANC").asString(), repeat(QStringLiteral("é"), 600));
    t.next();
    EXPECT_EQ(t.fieldByName(u"CDEMPRESA").asString(), QStringLiteral("01"));
    EXPECT_EQ(t.data().fields[0].size, 2);
}

TEST(PacketLoad, MatchesColumnsByNameInAnyOrderAndConvertsNumbers) {
    DataPacket p;
    p.fields = {{QStringLiteral("extra"), FieldType::String, 5},
                {QStringLiteral("valor"), FieldType::Integer, 0},
                {QStringLiteral("codigo"), FieldType::String, 4}};
    Row r(3);
    r.setText(0, QStringLiteral("zz"));
    r.setInteger(1, 12);
    r.setText(2, QStringLiteral("0001"));
    p.rows.push_back(r);
    ClientDataSet t;
    t.addStringField(QStringLiteral("CODIGO"), 4);
    t.addFloatField(QStringLiteral("VALOR"));
    t.setData(p);
    EXPECT_EQ(t.fieldByName(u"CODIGO").asString(), QStringLiteral("0001"));
    EXPECT_EQ(t.fieldByName(u"VALOR").value(), QVariant(12.0));
    const DataPacket back = t.data();
    ASSERT_EQ(back.fields.size(), 2U);
    EXPECT_EQ(back.rows[0].kind(1), CellKind::Number);
}

struct BadPacket {
    const char* name;
    std::function<void(DataPacket&)> spoil;
};

class PacketRefused : public ::testing::TestWithParam<BadPacket> {};

TEST_P(PacketRefused, WithAClearErrorAndTheTableUnchanged) {
    ClientDataSet t(QStringLiteral("cdsDebito"));
    declareAllTypes(t);
    t.createDataSet();
    t.append();
    t.fieldByName(u"TEXTO").setAsString(QStringLiteral("antes"));
    t.post();
    t.setFilter(QStringLiteral("TEXTO = 'antes'"));
    t.setFiltered(true);
    DataPacket p = t.data();
    GetParam().spoil(p);
    try {
        t.setData(std::move(p));
        FAIL() << "accepted";
    } catch (const DataSetError& e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.fieldByName(u"TEXTO").asString(), QStringLiteral("antes"));
    EXPECT_EQ(t.changeCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Packets, PacketRefused,
    ::testing::Values(
        BadPacket{"missing field", [](DataPacket& p) { p.fields[3].name = QStringLiteral("OUTRO"); }},
        BadPacket{"wrong type", [](DataPacket& p) { p.fields[2].type = FieldType::String; }},
        BadPacket{"text in a number", [](DataPacket& p) { p.rows[0].setText(1, QStringLiteral("1,5")); }},
        BadPacket{"number in a date", [](DataPacket& p) { p.rows[0].setNumber(2, 1.0); }},
        BadPacket{"short row", [](DataPacket& p) { p.rows[0].resize(2); }},
        BadPacket{"long row", [](DataPacket& p) { p.rows[0].resize(6); }}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& c : n)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

TEST(PacketLoad, AdoptedFieldsRefuseDuplicatesAndEmptyPackets) {
    ClientDataSet t;
    EXPECT_THROW(t.setData(DataPacket{}), DataSetError);
    DataPacket dup;
    dup.fields = {{QStringLiteral("A"), FieldType::String, 1}, {QStringLiteral("a"), FieldType::String, 1}};
    EXPECT_THROW(t.setData(dup), DataSetError);
    EXPECT_FALSE(t.active());
    DataPacket noSize;
    noSize.fields = {{QStringLiteral("A"), FieldType::String, 0}};
    t.setData(noSize);
    EXPECT_EQ(t.fieldByName(u"a").size(), 20);
}

TEST(PacketLoad, DropsAPendingEditResetsTheChangeCountAndKeepsTheIndex) {
    ClientDataSet t;
    test::declareSimple(t);
    t.setIndexFieldNames(QStringLiteral("CODE"));
    t.createDataSet();
    test::addSimple(t, QStringLiteral("B"), QStringLiteral("b"), 2);
    test::addSimple(t, QStringLiteral("A"), QStringLiteral("a"), 1);
    EXPECT_EQ(t.changeCount(), 2);
    DataPacket p = t.data();
    std::reverse(p.rows.begin(), p.rows.end());
    t.edit();
    t.fieldByName(u"NAME").setAsString(QStringLiteral("perdido"));
    int cancels = 0;
    t.afterCancel = [&](ClientDataSet&) { ++cancels; };
    t.setData(std::move(p));
    EXPECT_EQ(cancels, 0);
    EXPECT_EQ(t.state(), DataSetState::Browse);
    EXPECT_EQ(t.changeCount(), 0);
    EXPECT_EQ(test::column(t, QStringLiteral("CODE")),
              (std::vector<QString>{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(t.recNo(), 1);
}

TEST(PacketLoad, EmptyDataSetAndCreateDataSet) {
    ClientDataSet t;
    EXPECT_THROW(t.createDataSet(), DataSetError);  // no fields
    test::declareSimple(t);
    t.createDataSet();
    test::addSimple(t, QStringLiteral("A"), QStringLiteral("a"), 1);
    t.setFilter(QStringLiteral("CODE = 'Z'"));
    t.setFiltered(true);
    t.emptyDataSet();  // also the hidden rows
    t.setFiltered(false);
    EXPECT_TRUE(t.isEmpty());
    EXPECT_TRUE(t.data().rows.empty());
    EXPECT_EQ(t.changeCount(), 0);
    EXPECT_THROW(t.addStringField(QStringLiteral("MAIS"), 1), DataSetError);  // open
}

}  // namespace
