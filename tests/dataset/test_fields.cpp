// Fields: sizes, conversions, locale-aware display, display handlers, edit masks.

#include "platform/dataset/edit_mask.h"
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

struct CutCase {
    const char* name;
    int size;
    QString typed;
    QString stored;
};

class TextCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(TextCut, KeepsTheDeclaredNumberOfCharacters) {
    const CutCase& c = GetParam();
    ClientDataSet t;
    t.addStringField(QStringLiteral("TEXTO"), c.size);
    t.createDataSet();
    t.append();
    t.fieldByName(u"texto").setAsString(c.typed);
    EXPECT_EQ(t.fieldByName(u"TEXTO").asString(), c.stored);
    t.post();
    EXPECT_EQ(t.fieldByName(u"TEXTO").asString(), c.stored);
    EXPECT_EQ(t.data().rows[0].text(0), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, TextCut,
    ::testing::Values(CutCase{"accented_in_two", 2, QStringLiteral("Ação"), QStringLiteral("Aç")},
                      CutCase{"history_601_to_600", 600, repeat(QStringLiteral("a"), 601),
                              repeat(QStringLiteral("a"), 600)},
                      CutCase{"accented_history", 600, repeat(QStringLiteral("ção"), 201),
                              repeat(QStringLiteral("ção"), 200)},
                      CutCase{"exact_size", 4, QStringLiteral("Júri"), QStringLiteral("Júri")},
                      CutCase{"company_code", 2, QStringLiteral("001"), QStringLiteral("00")},
                      CutCase{"undeclared_size_is_20", 0, repeat(QStringLiteral("é"), 25),
                              repeat(QStringLiteral("é"), 20)},
                      CutCase{"surrogate_pair_counts_once", 2, QStringLiteral("a\U0001F600b"),
                              QStringLiteral("a\U0001F600")},
                      CutCase{"empty_is_null", 5, QString(), QString()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Fields, LookupIgnoresCaseAndUnknownNamesAreErrors) {
    ClientDataSet t(QStringLiteral("cdsDebito"));
    test::declareEntryLine(t);
    EXPECT_EQ(t.fieldCount(), 18);
    EXPECT_EQ(&t.fieldByName(u"dshistlanc"), &t.field(10));
    EXPECT_EQ(t.findField(u"NOPE"), nullptr);
    try {
        (void)t.fieldByName(u"NOPE");
        FAIL();
    } catch (const DataSetError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("NOPE")));
        EXPECT_TRUE(e.message().contains(QStringLiteral("cdsDebito")));
    }
    EXPECT_THROW(t.addStringField(QStringLiteral("cdempresa"), 2), DataSetError);
    EXPECT_EQ(t.fieldByName(u"CDEMPRESA").displayLabel(), QStringLiteral("CDEMPRESA"));
    t.fieldByName(u"NRLANCCONT").setDisplayLabel(QStringLiteral("Lançamento"));
    EXPECT_EQ(t.fieldByName(u"NRLANCCONT").displayLabel(), QStringLiteral("Lançamento"));
}

class Display : public ::testing::Test {
  protected:
    void SetUp() override {
        test::declareEntryLine(t);
        t.fieldByName(u"DEBITO").setDisplayFormat(QStringLiteral("#,##0.00"));
        t.createDataSet();
        t.append();
    }
    Field& f(const char16_t* name) { return t.fieldByName(name); }
    ClientDataSet t{QStringLiteral("cdsDebito")};
};

TEST_F(Display, NumbersFollowTheLocale) {
    f(u"DEBITO").setAsFloat(1234.56);
    EXPECT_EQ(f(u"DEBITO").displayText(), QStringLiteral("1.234,56"));
    EXPECT_EQ(f(u"DEBITO").asString(), QStringLiteral("1234,56"));
    EXPECT_EQ(f(u"DEBITO").text(), QStringLiteral("1234,56"));
    f(u"CREDITO").setAsFloat(0.1 + 0.2);
    EXPECT_EQ(f(u"CREDITO").asString(), QStringLiteral("0,3"));
    f(u"DEBITO").setAsString(QStringLiteral("1.234.567,8"));
    EXPECT_DOUBLE_EQ(f(u"DEBITO").asFloat(), 1234567.8);
    EXPECT_EQ(f(u"DEBITO").displayText(), QStringLiteral("1.234.567,80"));
    f(u"DEBITO").setText(QStringLiteral("150"));
    EXPECT_DOUBLE_EQ(f(u"DEBITO").asFloat(), 150);
    EXPECT_THROW(f(u"DEBITO").setAsString(QStringLiteral("abc")), DataSetError);
    EXPECT_DOUBLE_EQ(f(u"DEBITO").asFloat(), 150);
    f(u"DEBITO").setAsString(QString());
    EXPECT_TRUE(f(u"DEBITO").isNull());
    EXPECT_EQ(f(u"DEBITO").displayText(), QString());
    EXPECT_DOUBLE_EQ(f(u"DEBITO").asFloat(), 0.0);

    t.setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    f(u"DEBITO").setAsFloat(-1234.5);
    EXPECT_EQ(f(u"DEBITO").displayText(), QStringLiteral("-1,234.50"));
}

TEST_F(Display, DatesShowAsDayMonthYear) {
    f(u"DTLANCCONT").setAsDate(QDate(2026, 3, 5));
    EXPECT_EQ(f(u"DTLANCCONT").displayText(), QStringLiteral("05/03/2026"));
    EXPECT_EQ(f(u"DTLANCCONT").asString(), QStringLiteral("05/03/2026"));
    f(u"DTLANCCONT").setAsString(QStringLiteral("31/12/2026"));
    EXPECT_EQ(f(u"DTLANCCONT").asDate(), QDate(2026, 12, 31));
    f(u"DTLANCCONT").setAsString(QStringLiteral("2026-01-02"));
    EXPECT_EQ(f(u"DTLANCCONT").asDate(), QDate(2026, 1, 2));
    f(u"DTLANCCONT").setAsDateTime(QDateTime(QDate(2026, 1, 2), QTime(8, 30)));
    EXPECT_EQ(f(u"DTLANCCONT").displayText(), QStringLiteral("02/01/2026 08:30:00"));
    EXPECT_THROW(f(u"DTLANCCONT").setAsString(QStringLiteral("31/02/2026")), DataSetError);
    EXPECT_THROW(f(u"DTLANCCONT").setAsFloat(1.0), DataSetError);
    f(u"DTLANCCONT").setDisplayFormat(QStringLiteral("MM/yyyy"));
    EXPECT_EQ(f(u"DTLANCCONT").displayText(), QStringLiteral("01/2026"));
    f(u"DTLANCCONT").clear();
    EXPECT_EQ(f(u"DTLANCCONT").displayText(), QString());
    EXPECT_FALSE(f(u"DTLANCCONT").asDateTime().isValid());
}

TEST_F(Display, TextsConvertForReadingAsNumbers) {
    f(u"NRSEQLANC").setAsString(QStringLiteral("00007"));
    EXPECT_EQ(f(u"NRSEQLANC").asInteger(), 7);
    f(u"NRSEQLANC").setAsInteger(12);
    EXPECT_EQ(f(u"NRSEQLANC").asString(), QStringLiteral("12"));
    f(u"NRSEQLANC").setAsString(QStringLiteral("7a"));
    EXPECT_THROW((void)f(u"NRSEQLANC").asInteger(), DataSetError);
    f(u"NRSEQLANC").setValue(QVariant());
    EXPECT_TRUE(f(u"NRSEQLANC").isNull());
    EXPECT_EQ(f(u"NRSEQLANC").asInteger(), 0);
}

TEST_F(Display, GetTextHandlerStartsFromAnEmptyText) {
    f(u"IDSISTEMA").onGetText = [](Field& field, QString& text, bool display) {
        if (field.asString() == QLatin1String("DFS"))
            text = QStringLiteral("Documentos Fiscais de Saída");
        if (!display)
            text = field.asString();
    };
    f(u"IDSISTEMA").setAsString(QStringLiteral("DFS"));
    EXPECT_EQ(f(u"IDSISTEMA").displayText(), QStringLiteral("Documentos Fiscais de Saída"));
    f(u"IDSISTEMA").setAsString(QStringLiteral("dfs"));
    EXPECT_EQ(f(u"IDSISTEMA").displayText(), QString());
    EXPECT_EQ(f(u"IDSISTEMA").text(), QStringLiteral("dfs"));
}

TEST_F(Display, GridReadsAnyRowThroughTheHandlers) {
    t.cancel();
    // The handler reads the table's current record, which the grid sets to the painted row.
    f(u"IDLANCINTE").onGetText = [this](Field&, QString& text, bool) {
        text = t.fieldByName(u"IDLANCINTE").asString() == QLatin1String("M") ? QStringLiteral("Manual")
                                                                             : QStringLiteral("Lote");
    };
    for (const char* code : {"M", "L", "M"}) {
        t.append();
        f(u"IDLANCINTE").setAsString(QString::fromLatin1(code));
        t.post();
    }
    t.first();
    const int col = f(u"IDLANCINTE").index();
    EXPECT_EQ(t.displayTextAt(1, col), QStringLiteral("Lote"));
    EXPECT_EQ(t.displayTextAt(2, col), QStringLiteral("Manual"));
    EXPECT_EQ(t.valueAt(1, col), QVariant(QStringLiteral("L")));
    EXPECT_EQ(t.displayTextAt(7, col), QString());
    EXPECT_EQ(t.recNo(), 1);  // reading rows does not move the cursor
    EXPECT_EQ(f(u"IDLANCINTE").asString(), QStringLiteral("M"));
}

TEST_F(Display, EditMaskLaysOutTextsStoredWithoutLiterals) {
    f(u"CDCONTCTBL").setEditMask(QStringLiteral("9.9.99.999;0;_"));
    f(u"CDCONTCTBL").setAsString(QStringLiteral("1101001"));
    EXPECT_EQ(f(u"CDCONTCTBL").displayText(), QStringLiteral("1.1.01.001"));
    EXPECT_EQ(f(u"CDCONTCTBL").text(), QStringLiteral("1101001"));
    f(u"CDCONTCTBL").setEditMask(QStringLiteral("9.9.99.999;1;_"));
    f(u"CDCONTCTBL").setAsString(QStringLiteral("1.1.01"));
    EXPECT_EQ(f(u"CDCONTCTBL").displayText(), QStringLiteral("1.1.01"));
}

struct NumberCase {
    double value;
    const char* pattern;
    const char* ptBR;
};

class NumberPictures : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberPictures, FormatWithBrazilianSeparators) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(format::formatNumber(c.value, QString::fromUtf8(c.pattern),
                                   QLocale(QLocale::Portuguese, QLocale::Brazil)),
              QString::fromUtf8(c.ptBR));
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, NumberPictures,
    ::testing::Values(NumberCase{1234.56, "#,##0.00", "1.234,56"}, NumberCase{0, "#,##0.00", "0,00"},
                      NumberCase{0.004, "#,##0.00", "0,00"}, NumberCase{-0.004, "#,##0.00", "0,00"},
                      NumberCase{-1234567.891, "#,##0.00", "-1.234.567,89"},
                      NumberCase{0.01, "#,##0.00", "0,01"}, NumberCase{999.995, "#,##0.00", "1.000,00"},
                      NumberCase{150, "#,##0.##", "150"}, NumberCase{150.5, "#,##0.##", "150,5"},
                      NumberCase{7, "0000", "0007"}, NumberCase{1234, "#", "1234"},
                      NumberCase{-5, "#,##0.00;(#,##0.00)", "(5,00)"},
                      NumberCase{0, "#,##0.00;-#,##0.00;'zero'", "zero"},
                      NumberCase{12.5, "R$ #,##0.00", "R$ 12,50"},
                      NumberCase{1e15, "#,##0.00", "1.000.000.000.000.000,00"}));

struct MaskCase {
    const char* mask;
    const char* value;
    const char* shown;
};

class MaskLayout : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskLayout, FillsThePicture) {
    const MaskCase& c = GetParam();
    EXPECT_EQ(formatMaskText(QString::fromUtf8(c.mask), QString::fromUtf8(c.value)),
              QString::fromUtf8(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Masks, MaskLayout,
    ::testing::Values(MaskCase{"9999;0; ", "0001", "0001"},
                      MaskCase{"!99/99/0000;1; ", "15/03/2026", "15/03/2026"},
                      MaskCase{"!99/99/0000;0; ", "15032026", "15/03/2026"},
                      MaskCase{"9.9.99.999;0;_", "1101001", "1.1.01.001"},
                      MaskCase{"9.9.99.999;1;_", "1.1.01.001", "1.1.01.001"},
                      MaskCase{"9.9.99.999;1;_", "1.1.01", "1.1.01"},
                      MaskCase{"99.999.999/9999-99;0;_", "12345678000195", "12.345.678/0001-95"},
                      MaskCase{">LL;0;_", "sp", "SP"}, MaskCase{"\\(99\\) 9999;0;_", "112345", "(11) 2345"},
                      MaskCase{"", "abc", "abc"}, MaskCase{"9999;0; ", "", ""}));

TEST(EditMaskSections, ParseSaveFlagAndBlank) {
    const EditMask a = EditMask::parse(u"9999;0; ");
    EXPECT_EQ(a.picture, QStringLiteral("9999"));
    EXPECT_FALSE(a.saveLiterals);
    EXPECT_EQ(a.blank, QLatin1Char(' '));
    const EditMask b = EditMask::parse(u"!99/99/0000;1;_");
    EXPECT_TRUE(b.saveLiterals);
    EXPECT_EQ(b.picture, QStringLiteral("!99/99/0000"));
    const EditMask c = EditMask::parse(u"9.9.99.999");
    EXPECT_TRUE(c.saveLiterals);
    EXPECT_EQ(c.blank, QLatin1Char('_'));
}

}  // namespace
