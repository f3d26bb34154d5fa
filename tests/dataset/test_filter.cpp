// Filter text: parsing (valid, hostile, malformed), rows hidden from every reader, locate under a filter.

#include "platform/dataset/row_filter.h"
#include "tests/dataset/dataset_fixtures.h"

#include <gtest/gtest.h>

using namespace ctb;

namespace {

struct ParseCase {
    const char* name;
    QString text;
    int terms;  // -1: must be refused
    QString lastValue = {};
};

std::vector<ParseCase> parseCases() {
    return {
        {"empty", QString(), 0},
        {"blank", QStringLiteral("  \t "), 0},
        {"one comparison", QStringLiteral("CODE = 'A'"), 1, QStringLiteral("A")},
        {"no blanks, lower-case name", QStringLiteral("code='A'"), 1, QStringLiteral("A")},
        {"line filter of the screens",
         QStringLiteral("NRLANCCONT = '202612000001' AND CDEMPRESA  = '01' AND NRSEQLANC  = '00001'"), 3,
         QStringLiteral("00001")},
        {"lower-case and", QStringLiteral("CODE = 'A' and NAME = 'x'"), 2, QStringLiteral("x")},
        {"doubled quote", QStringLiteral("NAME = 'D''Ávila'"), 1, QStringLiteral("D'Ávila")},
        {"empty text", QStringLiteral("NAME = ''"), 1, QString()},
        {"only a quote", QStringLiteral("NAME = ''''"), 1, QStringLiteral("'")},
        {"bracketed name", QStringLiteral("[NAME] = 'x'"), 1, QStringLiteral("x")},
        {"line breaks and tabs", QStringLiteral("\tCODE\n=\r\n'A'  "), 1, QStringLiteral("A")},
        {"AND inside the text", QStringLiteral("NAME = 'a AND b'"), 1, QStringLiteral("a AND b")},
        {"accented text", QStringLiteral("NAME = 'Ação Contábil'"), 1, QStringLiteral("Ação Contábil")},
        {"missing operator", QStringLiteral("CODE"), -1},
        {"missing operator before text", QStringLiteral("CODE 'A'"), -1},
        {"unquoted text", QStringLiteral("CODE = A"), -1},
        {"unterminated quote", QStringLiteral("CODE = 'A"), -1},
        {"unterminated after doubled quote", QStringLiteral("CODE = 'A''"), -1},
        {"trailing AND", QStringLiteral("CODE = 'A' AND"), -1},
        {"trailing AND and blanks", QStringLiteral("CODE = 'A' AND   "), -1},
        {"OR is not supported", QStringLiteral("CODE = 'A' OR NAME = 'B'"), -1},
        {"missing field", QStringLiteral("= 'A'"), -1},
        {"double equals", QStringLiteral("CODE == 'A'"), -1},
        {"two texts", QStringLiteral("CODE = 'A' 'B'"), -1},
        {"leading AND", QStringLiteral("AND CODE = 'A'"), -1},
        {"AND AND", QStringLiteral("CODE = 'A' AND AND NAME = 'b'"), -1},
        {"AND glued to a name", QStringLiteral("CODE = 'A' ANDNAME = 'B'"), -1},
        {"unterminated bracket", QStringLiteral("[CODE = 'A'"), -1},
        {"unsupported operator", QStringLiteral("CODE <> 'A'"), -1},
        {"statement injection", QStringLiteral("CODE = 'A'; DROP TABLE X"), -1},
        {"control character", QString(QChar(0)) + QStringLiteral("CODE = 'A'"), -1},
        {"parenthesis", QStringLiteral("(CODE = 'A')"), -1},
        {"number without quotes", QStringLiteral("VALUE = 1"), -1},
    };
}

class FilterParsing : public ::testing::TestWithParam<ParseCase> {};

TEST_P(FilterParsing, AcceptsOrRefusesClearly) {
    const ParseCase& c = GetParam();
    if (c.terms < 0) {
        try {
            (void)ParsedFilter::parse(c.text);
            FAIL() << "accepted: " << c.text.toStdString();
        } catch (const FilterError& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Filtro inválido")))
                << e.message().toStdString();
            EXPECT_GE(e.position(), 0);
            EXPECT_LE(e.position(), c.text.size());
        }
        return;
    }
    const ParsedFilter f = ParsedFilter::parse(c.text);
    ASSERT_EQ(static_cast<int>(f.terms().size()), c.terms);
    if (c.terms > 0) {
        EXPECT_EQ(f.terms().back().value, c.lastValue);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, FilterParsing, ::testing::ValuesIn(parseCases()), [](const auto& info) {
    std::string n = info.param.name;
    for (char& ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return n;
});

TEST(FilterParsingLimits, VeryLongTextsParseWithoutRecursion) {
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += QStringLiteral("CODE = 'A' AND ");
    EXPECT_THROW((void)ParsedFilter::parse(text), FilterError);
    text += QStringLiteral("CODE = 'A'");
    EXPECT_EQ(ParsedFilter::parse(text).terms().size(), 20001U);
    EXPECT_THROW((void)ParsedFilter::parse(QString(100000, QLatin1Char('\''))), FilterError);
}

// ---- behaviour on a table ----

class Filtered : public ::testing::Test {
  protected:
    void SetUp() override {
        test::declareSimple(t);
        t.createDataSet();
        test::addSimple(t, QStringLiteral("0001"), QStringLiteral("Caixa"), 1.5);
        test::addSimple(t, QStringLiteral("0002"), QStringLiteral("Banco"), 2);
        test::addSimple(t, QStringLiteral("0001"), QStringLiteral("Ação"), 3);
        test::addSimple(t, QStringLiteral("0003"), QStringLiteral("D'Ávila"), 4);
        t.append();
        t.fieldByName(u"CODE").setAsString(QStringLiteral("0001"));
        t.post();  // NAME and VALUE null
    }
    ClientDataSet t{QStringLiteral("cdsFiltro")};
};

TEST_F(Filtered, HiddenRowsAreInvisibleToEveryReader) {
    t.setFilter(QStringLiteral("CODE = '0001'"));
    EXPECT_EQ(t.recordCount(), 5);  // not on yet
    t.setFiltered(true);
    EXPECT_EQ(t.recordCount(), 3);
    EXPECT_FALSE(t.isEmpty());
    QString names;
    for (t.first(); !t.eof(); t.next())
        names += t.fieldByName(u"NAME").asString() + QLatin1Char('|');
    EXPECT_EQ(names, QStringLiteral("Caixa|Ação||"));
    EXPECT_FALSE(t.locate(u"NAME", QStringLiteral("Banco")));
    t.setRecNo(99);
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_EQ(t.data().rows.size(), 5U);  // the packet keeps every row

    t.setFilter(QStringLiteral("CODE = '9999'"));
    EXPECT_TRUE(t.isEmpty());
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.recNo(), 0);

    t.setFiltered(false);
    EXPECT_EQ(t.recordCount(), 5);
}

TEST_F(Filtered, ComparesAsTheFieldsText) {
    const struct {
        QString filter;
        int rows;
    } cases[] = {
        {QStringLiteral("VALUE = '1,5'"), 1},  // float as pt_BR text
        {QStringLiteral("VALUE = '1.5'"), 0},
        {QStringLiteral("NAME = ''"), 1},       // null reads as empty
        {QStringLiteral("NAME = 'caixa'"), 0},  // case counts by default
        {QStringLiteral("NAME = 'D''Ávila'"), 1},
        {QStringLiteral("name = 'Ação' and code = '0001'"), 1},
        {QStringLiteral("CODE = '0001'   AND  NAME = 'Banco'"), 0},
    };
    t.setFiltered(true);
    for (const auto& c : cases) {
        t.setFilter(c.filter);
        EXPECT_EQ(t.recordCount(), c.rows) << c.filter.toStdString();
    }
    t.setFilterCaseInsensitive(true);
    t.setFilter(QStringLiteral("NAME = 'AÇÃO'"));
    EXPECT_EQ(t.recordCount(), 1);
}

TEST_F(Filtered, InvalidTextIsRefusedAndTheOldFilterStays) {
    t.setFilter(QStringLiteral("CODE = '0002'"));
    t.setFiltered(true);
    EXPECT_THROW(t.setFilter(QStringLiteral("NOPE = 'x'")), FilterError);
    EXPECT_THROW(t.setFilter(QStringLiteral("CODE = 'x")), FilterError);
    EXPECT_EQ(t.filter(), QStringLiteral("CODE = '0002'"));
    EXPECT_EQ(t.recordCount(), 1);
}

TEST_F(Filtered, UnknownFieldIsRefusedWhenSwitchedOnForATableWithoutDeclaredFields) {
    ClientDataSet dyn;
    dyn.setFilter(QStringLiteral("NOPE = 'x'"));  // no fields yet: only the syntax can be checked
    dyn.setData(t.data());
    EXPECT_THROW(dyn.setFiltered(true), FilterError);
    EXPECT_FALSE(dyn.filtered());
    EXPECT_EQ(dyn.recordCount(), 5);
    try {
        dyn.setFilter(QStringLiteral("CODE = '0001' AND  nope = 'x'"));
        FAIL();
    } catch (const FilterError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("nope")));
        EXPECT_EQ(e.position(), 19);
    }
}

TEST_F(Filtered, PostedRowThatNoLongerPassesLeavesTheView) {
    t.setFilter(QStringLiteral("CODE = '0001'"));
    t.setFiltered(true);
    t.setRecNo(2);  // "Ação"
    std::vector<QString> scrolledTo;
    t.afterScroll = [&](ClientDataSet& d) { scrolledTo.push_back(d.fieldByName(u"NAME").asString()); };
    t.edit();
    t.fieldByName(u"CODE").setAsString(QStringLiteral("0009"));
    t.post();
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.recNo(), 2);
    EXPECT_TRUE(t.fieldByName(u"NAME").isNull());  // the row that followed
    EXPECT_EQ(scrolledTo, std::vector<QString>{QString()});

    t.last();
    t.edit();
    t.fieldByName(u"CODE").setAsString(QStringLiteral("0009"));
    t.post();  // the last one goes: the cursor steps back
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.fieldByName(u"NAME").asString(), QStringLiteral("Caixa"));

    t.append();
    t.fieldByName(u"CODE").setAsString(QStringLiteral("0001"));
    t.fieldByName(u"NAME").setAsString(QStringLiteral("Novo"));
    t.post();  // passes: stays in view
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.fieldByName(u"NAME").asString(), QStringLiteral("Novo"));

    t.append();
    t.fieldByName(u"CODE").setAsString(QStringLiteral("0002"));
    t.post();  // hidden as soon as posted
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.data().rows.size(), 7U);
}

TEST_F(Filtered, LocateSeesOnlyFilteredRowsAndMatchesSeveralKeys) {
    t.setFilter(QStringLiteral("CODE = '0001'"));
    t.setFiltered(true);
    const LocateOptions ci{.caseInsensitive = true};
    EXPECT_TRUE(t.locate(u"code;NAME", QVariantList{QStringLiteral("0001"), QStringLiteral("AÇÃO")}, ci));
    EXPECT_EQ(t.recNo(), 2);
    EXPECT_FALSE(t.locate(u"CODE;NAME", QVariantList{QStringLiteral("0001"), QStringLiteral("AÇÃO")}));
    EXPECT_EQ(t.recNo(), 2);  // not found: stays
    EXPECT_FALSE(t.locate(u"NAME", QStringLiteral("Banco"), ci));
    EXPECT_TRUE(t.locate(u"NAME", QStringLiteral("cai"), {.caseInsensitive = true, .partialKey = true}));
    EXPECT_EQ(t.recNo(), 1);
    EXPECT_TRUE(t.locate(u"VALUE", 3.0));
    EXPECT_TRUE(t.locate(u"VALUE", QStringLiteral("1,5")));
    EXPECT_EQ(t.recNo(), 1);
    EXPECT_TRUE(t.locate(u"NAME", QVariant()));  // null key finds the null row
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_THROW((void)t.locate(u"CODE;NAME", QStringLiteral("0001")), DataSetError);
    EXPECT_THROW((void)t.locate(u"NOPE", QStringLiteral("0001")), DataSetError);
}

TEST_F(Filtered, LocateWhileEditingPostsFirst) {
    t.first();
    t.edit();
    t.fieldByName(u"NAME").setAsString(QStringLiteral("Caixa Geral"));
    EXPECT_TRUE(t.locate(u"NAME", QStringLiteral("Banco")));
    EXPECT_EQ(t.state(), DataSetState::Browse);
    EXPECT_TRUE(t.locate(u"NAME", QStringLiteral("Caixa Geral")));
}

TEST_F(Filtered, NewCopyOfTheDataKeepsTheFilter) {
    ClientDataSet mirror(QStringLiteral("cdsEspelho"));
    test::declareSimple(mirror);
    mirror.setFilter(QStringLiteral("CODE = '0003'"));
    mirror.setFiltered(true);
    mirror.setData(t.data());
    EXPECT_EQ(mirror.recordCount(), 1);
    EXPECT_EQ(mirror.fieldByName(u"NAME").asString(), QStringLiteral("D'Ávila"));
}

TEST_F(Filtered, AllocationLineFilterAsTheScreensBuildIt) {
    ClientDataSet c(QStringLiteral("cdsLancCCusto"));
    c.addStringField(QStringLiteral("CDEMPRESA"), 2);
    c.addStringField(QStringLiteral("NRLANCCONT"), 12);
    c.addStringField(QStringLiteral("NRSEQLANC"), 5);
    c.addStringField(QStringLiteral("CDFILIAL"), 4);
    c.createDataSet();
    for (const char* seq : {"00001", "00002", "00001"}) {
        c.append();
        c.fieldByName(u"CDEMPRESA").setAsString(QStringLiteral("01"));
        c.fieldByName(u"NRLANCCONT").setAsString(QStringLiteral("202612000001"));
        c.fieldByName(u"NRSEQLANC").setAsString(QString::fromLatin1(seq));
        c.post();
    }
    const QString text = QStringLiteral("NRLANCCONT = '") + QStringLiteral("202612000001") +
                         QStringLiteral("'") + QStringLiteral(" AND CDEMPRESA  = ") + QStringLiteral("'01'") +
                         QStringLiteral(" AND NRSEQLANC  = ") + QStringLiteral("'00001'");
    c.setFiltered(false);
    c.setFilter(text);
    c.setFiltered(true);
    EXPECT_EQ(c.recordCount(), 2);
}

}  // namespace
