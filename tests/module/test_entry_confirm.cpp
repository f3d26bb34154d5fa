// Beginning and confirming an entry through a recording proxy: the order of the server calls, what
// SetLancamento receives, and server failures that must end the action without losing what was typed.
#include "tests/module/screen_fixture.h"

#include <algorithm>

namespace ctb::ctb10000 {
namespace {

using namespace screentest;
using ui::vk::Down;

class ConfirmFixture : public ScreenFixture {
  protected:
    [[nodiscard]] QStringList databaseRows() const override {
        QStringList rows = ScreenFixture::databaseRows();
        rows << QStringLiteral("INSERT INTO HISTPADR VALUES ('0001', 'PAGAMENTO')")
             << QStringLiteral("INSERT INTO NUMLANC VALUES ('03', '202612', 1)");
        return rows;
    }
    // Company 03's list (plain company), ready to begin an entry.
    TfrmLancamento& listOf03() {
        TfrmLancamento& f = screen();
        EXPECT_TRUE(user::type(f.edtCdEmpresa, QStringLiteral("03")));
        nextDialogConfirms();
        EXPECT_TRUE(toList());
        EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
        return f;
    }
    // Types one line on a side's grid and stores it.
    void typeLine(TfrmLancamento& f, ui::DBGrid& grid, const char* reduced, const char* valueField,
                  const char* value) {
        ASSERT_TRUE(user::focus(grid));
        ASSERT_TRUE(user::editCell(grid, QStringLiteral("CDCONTREDU"), QString::fromLatin1(reduced)));
        ASSERT_TRUE(user::editCell(grid, QString::fromLatin1(valueField), QString::fromLatin1(value)));
        ASSERT_TRUE(user::type(f.dbeCdHistPadr, QStringLiteral("1")));
        ASSERT_TRUE(user::focus(grid));
        ASSERT_TRUE(user::key(grid, Down));
        ASSERT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    }
    // A new entry of company 03 with a debit and a credit line of 150,00.
    TfrmLancamento& balancedNewEntry() {
        TfrmLancamento& f = listOf03();
        EXPECT_TRUE(user::click(f.sbtIncluir));
        EXPECT_TRUE(user::type(f.edtDocumento, QStringLiteral("D9")));
        typeLine(f, f.dbgDebito, "10", "DEBITO", "150,00");
        typeLine(f, f.dbgCredito, "40", "CREDITO", "150,00");
        return f;
    }
};

std::ptrdiff_t indexOf(const std::vector<std::string>& methods, const char* m) {
    const auto it = std::find(methods.begin(), methods.end(), m);
    return it == methods.end() ? -1 : it - methods.begin();
}

TEST_F(ConfirmFixture, ConfirmChecksBeforeItStoresAndSendsEveryLineAndTheUser) {
    TfrmLancamento& f = balancedNewEntry();
    EXPECT_EQ(f.FNrLancCont, QStringLiteral("202612000002"));
    proxy_->clear();
    ASSERT_TRUE(user::click(f.sbtConfirmar));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_TRUE(f.FConfirmado);
    EXPECT_FALSE(f.FAlterado);
    const std::vector<std::string> m = methods();
    const auto store = indexOf(m, "SetLancamento");
    ASSERT_GE(store, 0);
    EXPECT_EQ(std::count(m.begin(), m.end(), std::string("SetLancamento")), 1);
    for (const char* guard : {"ValidaPeriodoContabil", "ValidaMapa"}) {
        if (const auto g = indexOf(m, guard); g >= 0) {
            EXPECT_LT(g, store) << guard;
        }
    }
    const auto stores = proxy_->argsOf("SetLancamento");
    ASSERT_EQ(stores.size(), 1u);
    const std::vector<Value>& args = stores.front();
    ASSERT_EQ(args.size(), 3u);
    ASSERT_TRUE(args[0].isPacket());
    const DataPacket& lines = args[0].packet();
    ASSERT_EQ(lines.rows.size(), 2u);
    const int value = lines.fieldIndex(u"VRLANCAMENT"), side = lines.fieldIndex(u"IDTIPOLANC"),
              seq = lines.fieldIndex(u"NRSEQLANC"), doc = lines.fieldIndex(u"CDDOCUCONT");
    EXPECT_EQ(lines.rows[0].number(value), -150.0);
    EXPECT_EQ(lines.rows[0].text(side), QStringLiteral("D"));
    EXPECT_EQ(lines.rows[1].number(value), 150.0);
    EXPECT_EQ(lines.rows[1].text(side), QStringLiteral("C"));
    EXPECT_EQ(lines.rows[0].text(seq), QStringLiteral("00001"));
    // The row the debit grid began after its line (left untouched and dropped) used number 2.
    EXPECT_EQ(lines.rows[1].text(seq), QStringLiteral("00003"));
    EXPECT_EQ(lines.rows[1].text(doc), QStringLiteral("D9"));
    ASSERT_TRUE(args[1].isPacket());
    EXPECT_TRUE(args[1].packet().rows.empty());
    EXPECT_EQ(args[2].toString(), QStringLiteral("OPER"));
}

TEST_F(ConfirmFixture, AFailedNumberEndsTheIncludeWithoutAnEntry) {
    TfrmLancamento& f = listOf03();
    proxy_->failNext("getProximoNRLANCCONT");
    EXPECT_FALSE(user::click(f.sbtIncluir));
    EXPECT_EQ(nextMessage(), QStringLiteral("Falha simulada no servidor."));
    EXPECT_TRUE(f.FNrLancCont.isEmpty());
    EXPECT_FALSE(f.FIncluindo);
    EXPECT_EQ(f.pgcPadrao.activePage(), &f.tshFolhaDados);
}

TEST_F(ConfirmFixture, AFailedStoreKeepsTheEntryOpenChangedAndEditable) {
    TfrmLancamento& f = balancedNewEntry();
    proxy_->failNext("SetLancamento");
    EXPECT_FALSE(user::click(f.sbtConfirmar));
    EXPECT_EQ(nextMessage(), QStringLiteral("Falha simulada no servidor."));
    EXPECT_EQ(f.pgcPadrao.activePage(), &f.tshFormulario);
    EXPECT_TRUE(f.FAlterado);
    EXPECT_FALSE(f.FConfirmado);
    EXPECT_EQ(f.cdsDebito.recordCount(), 1);
    EXPECT_EQ(f.cdsCredito.recordCount(), 1);
    EXPECT_TRUE(f.sbtConfirmar.enabled());
    // The same confirm again stores it.
    EXPECT_TRUE(user::click(f.sbtConfirmar));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_TRUE(f.FConfirmado);
}

TEST_F(ConfirmFixture, AnUnbalancedEntryIsRefusedBeforeAnythingIsStored) {
    TfrmLancamento& f = listOf03();
    ASSERT_TRUE(user::click(f.sbtIncluir));
    ASSERT_TRUE(user::type(f.edtDocumento, QStringLiteral("D9")));
    typeLine(f, f.dbgDebito, "10", "DEBITO", "100,004");
    typeLine(f, f.dbgCredito, "40", "CREDITO", "100,01");
    proxy_->clear();
    EXPECT_FALSE(user::click(f.sbtConfirmar));
    EXPECT_EQ(nextMessage(), QStringLiteral("Valor total de crédito difere do total de débito."));
    EXPECT_LT(indexOf(methods(), "SetLancamento"), 0);
    EXPECT_EQ(f.lblValorDiferenca.text(), QStringLiteral("0,01"));
}

}  // namespace
}  // namespace ctb::ctb10000
