// Allocations of an opened entry: the duplicate test over every allocation of the line, and the sum
// check of the recount (first failing line, the mirror left on it, cents compared).
#include "tests/module/screen_fixture.h"

namespace ctb::ctb10000 {
namespace {

using namespace screentest;
using ui::vk::Down;

// Begins an allocation on the current line of the area and types branch, cost centre and a share.
void typeAllocation(TfrmLancamento& f, const char* branch, const char* centre, const char* column,
                    const char* value) {
    ASSERT_TRUE(user::focus(f.dbgLancCCusto));
    if (!f.cdsLancCCusto.isEmpty()) {
        ASSERT_TRUE(user::selectRow(f.dbgLancCCusto, f.cdsLancCCusto.recordCount()));
        ASSERT_TRUE(user::key(f.dbgLancCCusto, Down));
    }
    ASSERT_TRUE(user::editCell(f.dbgLancCCusto, QStringLiteral("CDFILIAL"), QString::fromLatin1(branch)));
    ASSERT_TRUE(user::editCell(f.dbgLancCCusto, QStringLiteral("CDCENTCUST"), QString::fromLatin1(centre)));
    ASSERT_TRUE(user::editCell(f.dbgLancCCusto, QString::fromLatin1(column), QString::fromLatin1(value)));
}

// Company 07's entry, on debit line 00003 (an "L" account of 100,00 with one allocation, 0002 / 0020),
// with the allocation area shown.
TfrmLancamento& onAllocatingLine(TfrmLancamento& f) {
    EXPECT_TRUE(user::click(f.btnGerencial));
    EXPECT_TRUE(user::focus(f.dbgDebito));
    EXPECT_TRUE(user::selectRow(f.dbgDebito, 2));
    EXPECT_EQ(f.cdsDebito.fieldByName(u"NRSEQLANC").asString(), QStringLiteral("00003"));
    EXPECT_TRUE(f.panLancamentoGerencial.effectivelyEnabled());
    EXPECT_EQ(f.cdsLancCCusto.recordCount(), 1);
    return f;
}

TEST_F(ScreenFixture, ANewAllocationIsTestedForADuplicateWhateverLineTheMirrorLastShowed) {
    TfrmLancamento& f = onAllocatingLine(openedOf("07", 1));
    // A sum check of another line left the mirror filtered to it.
    f.cdsLancCCustoEspelho.setFilter(
        filtroLinha(QStringLiteral("202612000001"), QStringLiteral("07"), QStringLiteral("00001")));
    f.cdsLancCCustoEspelho.setFiltered(true);
    typeAllocation(f, "2", "20", "DEBITO", "5,00");
    ASSERT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_FALSE(user::key(f.dbgLancCCusto, Down));
    EXPECT_EQ(nextMessage(),
              QStringLiteral("Rateio já informado para a filial e centro de custo informados."));
    EXPECT_EQ(f.cdsLancCCusto.state(), DataSetState::Insert);
    EXPECT_EQ(f.dbgLancCCusto.selectedField()->fieldName(), QStringLiteral("CDCENTCUST"));
    // Another branch is no duplicate.
    ASSERT_TRUE(user::editCell(f.dbgLancCCusto, QStringLiteral("CDFILIAL"), QStringLiteral("1")));
    ASSERT_TRUE(user::editCell(f.dbgLancCCusto, QStringLiteral("CDCENTCUST"), QStringLiteral("20")));
    EXPECT_TRUE(user::key(f.dbgLancCCusto, Down));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_EQ(f.cdsLancCCustoEspelho.data().rows.size(), 5u);
    EXPECT_TRUE(f.FAlterado);
}

TEST_F(ScreenFixture, EditingAnAllocationsValueKeepsItsPairWithoutADuplicateTest) {
    TfrmLancamento& f = onAllocatingLine(openedOf("07", 1));
    ASSERT_TRUE(user::focus(f.dbgLancCCusto));
    ASSERT_TRUE(user::editCell(f.dbgLancCCusto, QStringLiteral("DEBITO"), QStringLiteral("100,00")))
        << nextMessage().toStdString();
    EXPECT_EQ(f.FFilialAnterior, QStringLiteral("0002"));
    EXPECT_EQ(f.FCentCustAnterior, QStringLiteral("0020"));
    ASSERT_TRUE(user::focus(f.dbgDebito)) << nextMessage().toStdString();  // stores it
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_EQ(f.cdsLancCCusto.state(), DataSetState::Browse);
}

TEST_F(ScreenFixture, TheRecountStopsAtTheFirstLineWhoseAllocationsDoNotAddUpAndShowsIt) {
    // Debit line 00003 of 100,00 has one allocation of 100,00; now 100,01.
    TfrmLancamento& f = onAllocatingLine(openedOf("07", 1));
    ASSERT_TRUE(user::focus(f.dbgLancCCusto));
    ASSERT_TRUE(user::editCell(f.dbgLancCCusto, QStringLiteral("DEBITO"), QStringLiteral("100,01")));
    ASSERT_TRUE(user::focus(f.dbgDebito));  // stores the allocation
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_FALSE(ui::runUserAction(&ui_, [&] { f.CalculaDebitoCredito(); }));
    EXPECT_EQ(nextMessage(),
              QStringLiteral("A soma dos rateios deve ser igual ao valor da partida de Débito."));
    EXPECT_TRUE(f.panLancamentoGerencial.visible());
    // The mirror is left on the failing line.
    EXPECT_EQ(f.cdsLancCCustoEspelho.filter(),
              filtroLinha(QStringLiteral("202612000001"), QStringLiteral("07"), QStringLiteral("00003")));
    EXPECT_EQ(f.cdsLancCCustoEspelho.recordCount(), 1);
    // Back to 100,00 the recount passes and leaves the mirror on the last allocating line it checked.
    ASSERT_TRUE(user::focus(f.dbgLancCCusto));
    ASSERT_TRUE(user::editCell(f.dbgLancCCusto, QStringLiteral("DEBITO"), QStringLiteral("100,00")));
    ASSERT_TRUE(user::focus(f.dbgDebito));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_TRUE(ui::runUserAction(&ui_, [&] { f.CalculaDebitoCredito(); }));
    EXPECT_EQ(f.nedDebito.text(), QStringLiteral("300,00"));
}

}  // namespace
}  // namespace ctb::ctb10000
