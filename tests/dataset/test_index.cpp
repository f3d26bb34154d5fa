// Index order: rows kept ordered by one or more fields through loads, appends and posts.

#include "tests/dataset/dataset_fixtures.h"

#include <gtest/gtest.h>

using namespace ctb;

namespace {

std::vector<QString> codes(ClientDataSet& t) {
    return test::column(t, QStringLiteral("CODE"));
}
std::vector<QString> L(std::initializer_list<const char*> items) {
    std::vector<QString> out;
    for (const char* i : items)
        out.push_back(QString::fromUtf8(i));
    return out;
}

TEST(IndexOrder, CostCentresStayOrderedByCode) {
    ClientDataSet t(QStringLiteral("cdsCentCustFil"));
    t.addStringField(QStringLiteral("CDFILIAL"), 4);
    t.addStringField(QStringLiteral("CODE"), 4);
    t.addStringField(QStringLiteral("NMCENTCUST"), 40);
    t.setIndexFieldNames(QStringLiteral("CODE"));
    DataPacket p;
    p.fields = t.fieldDefs();
    for (const char* c : {"0300", "0100", "0200", "0100"}) {
        Row r(3);
        r.setText(0, QStringLiteral("0001"));
        r.setText(1, QString::fromLatin1(c));
        r.setText(2, QStringLiteral("n") + QString::fromLatin1(c));
        p.rows.push_back(r);
    }
    p.rows[3].setText(2, QStringLiteral("segundo 0100"));
    t.setData(std::move(p));
    EXPECT_EQ(codes(t), L({"0100", "0100", "0200", "0300"}));
    t.setRecNo(2);
    EXPECT_EQ(t.fieldByName(u"NMCENTCUST").asString(),
              QStringLiteral("segundo 0100"));  // equal keys keep arrival

    t.append();
    t.fieldByName(u"CODE").setAsString(QStringLiteral("0150"));
    t.post();
    EXPECT_EQ(codes(t), L({"0100", "0100", "0150", "0200", "0300"}));
    EXPECT_EQ(t.recNo(), 3);  // the cursor follows the posted row

    t.first();
    t.edit();
    t.fieldByName(u"CODE").setAsString(QStringLiteral("0999"));
    t.post();
    EXPECT_EQ(codes(t), L({"0100", "0150", "0200", "0300", "0999"}));
    EXPECT_EQ(t.recNo(), 5);

    t.setFilter(QStringLiteral("CDFILIAL = '0001'"));
    t.setFiltered(true);
    EXPECT_TRUE(t.locate(u"CDFILIAL;CODE", QVariantList{QStringLiteral("0001"), QStringLiteral("0200")}));
    EXPECT_EQ(t.recNo(), 2);  // the appended 0150 has no branch: hidden
}

TEST(IndexOrder, SeveralFieldsNumbersNullsAndDescendingChanges) {
    ClientDataSet t;
    test::declareSimple(t);
    t.createDataSet();
    test::addSimple(t, QStringLiteral("B"), QStringLiteral("x"), 2);
    test::addSimple(t, QStringLiteral("A"), QStringLiteral("y"), 10);
    test::addSimple(t, QStringLiteral("A"), QStringLiteral("z"), 9);
    t.append();
    t.fieldByName(u"NAME").setAsString(QStringLiteral("sem código"));
    t.post();
    t.setRecNo(2);  // A/10
    t.setIndexFieldNames(QStringLiteral("code;value"));
    EXPECT_EQ(codes(t), L({"", "A", "A", "B"}));
    EXPECT_EQ(test::column(t, QStringLiteral("VALUE")), L({"", "9", "10", "2"}));
    EXPECT_EQ(t.fieldByName(u"VALUE").asFloat(), 10);  // still on the same record
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_THROW(t.setIndexFieldNames(QStringLiteral("NOPE")), DataSetError);
    EXPECT_EQ(t.indexFieldNames(), QStringLiteral("code;value"));
    t.setIndexFieldNames(QString());
    test::addSimple(t, QStringLiteral("0"), QStringLiteral("last"), 0);
    EXPECT_EQ(codes(t).back(), QStringLiteral("0"));
}

TEST(IndexOrder, InsertUnderAFilterKeepsTheHiddenRowsInPlace) {
    ClientDataSet t;
    test::declareSimple(t);
    t.setIndexFieldNames(QStringLiteral("CODE"));
    t.createDataSet();
    for (const char* c : {"A", "C", "E", "G"})
        test::addSimple(t, QString::fromLatin1(c), QStringLiteral("n"), 1);
    t.first();
    t.edit();
    t.fieldByName(u"NAME").setAsString(QStringLiteral("oculto"));
    t.post();
    t.setFilter(QStringLiteral("NAME = 'n'"));
    t.setFiltered(true);
    EXPECT_EQ(codes(t), L({"C", "E", "G"}));
    t.append();
    t.fieldByName(u"CODE").setAsString(QStringLiteral("D"));
    t.fieldByName(u"NAME").setAsString(QStringLiteral("n"));
    t.post();
    EXPECT_EQ(codes(t), L({"C", "D", "E", "G"}));
    EXPECT_EQ(t.recNo(), 2);
    t.edit();
    t.fieldByName(u"CODE").setAsString(QStringLiteral("Z"));
    t.post();
    EXPECT_EQ(codes(t), L({"C", "E", "G", "Z"}));
    EXPECT_EQ(t.recNo(), 4);
    t.setFiltered(false);
    EXPECT_EQ(codes(t), L({"A", "C", "E", "G", "Z"}));
}

}  // namespace
