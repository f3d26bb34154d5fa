// Masked, numeric and date edits typed as a person would.

#include "platform/dataset/client_dataset.h"
#include "platform/ui/controls.h"
#include "platform/ui/data_controls.h"
#include "platform/ui/user_input.h"

#include <gtest/gtest.h>

using namespace ctb::ui;

namespace {

struct MaskCase {
    const char* mask;
    const char* typed;
    const char* text;
};

class MaskTyping : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskTyping, ReadsBackWhatWasFilled) {
    HeadlessUi ui;
    Form form(QStringLiteral("f"), &ui);
    auto& e = form.add<MaskEdit>(QStringLiteral("med"));
    e.setEditMask(QString::fromUtf8(GetParam().mask));
    user::type(e, QString::fromUtf8(GetParam().typed));
    EXPECT_EQ(e.text(), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MaskTyping,
    ::testing::Values(MaskCase{"9.9.99.999;1; ", "1.1.01", "1.1.01"},
                      MaskCase{"9.9.99.999;1; ", "1101001", "1.1.01.001"},
                      MaskCase{"9.9.99.999;1; ", "1.1.01.001", "1.1.01.001"},
                      MaskCase{"9.9.99.999;1; ", "1.1.01.0019", "1.1.01.001"},  // past the end
                      MaskCase{"9.9.99.999;1; ", "a1", "1"},                    // letters do not fit
                      MaskCase{"!99/99/9999;1; ", "15032026", "15/03/2026"},
                      MaskCase{"!99/99/9999;1; ", "15/03/2026", "15/03/2026"},
                      MaskCase{"9.9.99.999;1; ", "", ""}, MaskCase{">LL-99;1;_", "ab12", "AB-12"}));

TEST(MaskEditing, EmptyingAndBackspace) {
    HeadlessUi ui;
    Form form(QStringLiteral("f"), &ui);
    auto& e = form.add<MaskEdit>(QStringLiteral("med"));
    e.setEditMask(QStringLiteral("9.9.99.999;1; "));
    user::type(e, QStringLiteral("1.1.01"));
    user::key(e, vk::Back);
    EXPECT_EQ(e.text(), QStringLiteral("1.1.0"));
    user::key(e, vk::Back);
    EXPECT_EQ(e.text(), QStringLiteral("1.1"));
    user::type(e, QString());
    EXPECT_EQ(e.text(), QString());
    EXPECT_EQ(e.displayText(), QStringLiteral(" . .  .   "));
}

TEST(NumberEditing, TypedWithDecimalCommaAndShownWithTwoDecimals) {
    HeadlessUi ui;
    Form form(QStringLiteral("f"), &ui);
    auto& n = form.add<NumberEdit>(QStringLiteral("ned"));
    user::type(n, QStringLiteral("1234,5x"));
    EXPECT_EQ(n.text(), QStringLiteral("1234,5"));
    EXPECT_DOUBLE_EQ(n.number(), 1234.5);
    n.setNumber(1234.5);
    EXPECT_EQ(n.text(), QStringLiteral("1.234,50"));
    n.setNumber(-0.1);
    EXPECT_EQ(n.text(), QStringLiteral("-0,10"));
}

TEST(DateEditing, ValidInvalidAndEmpty) {
    HeadlessUi ui;
    Form form(QStringLiteral("f"), &ui);
    auto& d = form.add<DateEdit>(QStringLiteral("dep"));
    EXPECT_FALSE(d.date().has_value());
    user::type(d, QStringLiteral("31022026"));
    ASSERT_TRUE(d.date().has_value());
    EXPECT_FALSE(d.date()->isValid());
    d.setDate(QDate(2026, 3, 15));
    EXPECT_EQ(d.text(), QStringLiteral("15/03/2026"));
    EXPECT_EQ(*d.date(), QDate(2026, 3, 15));
}

TEST(EditChange, ChangeRunsOnceForEachTypedCharacter) {
    HeadlessUi ui;
    Form form(QStringLiteral("f"), &ui);
    auto& e = form.add<Edit>(QStringLiteral("edt"));
    e.setText(QStringLiteral("old"));
    int changes = 0;
    e.onChange = [&changes](Control&) { ++changes; };
    user::type(e, QStringLiteral("ab"));
    EXPECT_EQ(changes, 3);  // emptied, then two keystrokes
    EXPECT_EQ(e.text(), QStringLiteral("ab"));
}

TEST(EditReadOnly, TypingIntoADisplayOnlyDataEditLeavesItsFieldAsItWas) {
    HeadlessUi ui;
    Form form(QStringLiteral("f"), &ui);
    ctb::ClientDataSet cds(QStringLiteral("cds"));
    cds.addStringField(QStringLiteral("TEXTO"), 20);
    cds.createDataSet();
    cds.append();
    cds.fieldByName(u"TEXTO").setAsString(QStringLiteral("ANTES"));
    cds.post();
    ctb::DataSource dts(&cds);
    auto& e = form.add<DBEdit>(QStringLiteral("dbe"));
    e.setDataBinding(&dts, QStringLiteral("TEXTO"));
    e.setReadOnly(true);
    cds.edit();
    user::type(e, QStringLiteral("DEPOIS"));
    EXPECT_EQ(cds.fieldByName(u"TEXTO").asString(), QStringLiteral("ANTES"));
    EXPECT_EQ(e.text(), QStringLiteral("ANTES"));
}

}  // namespace
