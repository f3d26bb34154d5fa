// Reversing a saved entry: what is refused before anything changes, and an original whose lines no
// longer pass the line checks, which leaves the screen as it was.
#include "tests/module/screen_fixture.h"

#include <algorithm>

namespace ctb::ctb10000 {
namespace {

using namespace screentest;

class ReversalFixture : public ScreenFixture {
  protected:
    [[nodiscard]] QStringList databaseRows() const override {
        QStringList rows = ScreenFixture::databaseRows();
        const QString longHistory = QString(590, u'H');
        rows << QStringLiteral("INSERT INTO HISTPADR VALUES ('0001', 'PAGAMENTO')")
             << QStringLiteral("INSERT INTO NUMLANC VALUES ('03', '202612', 1)")
             << QStringLiteral("INSERT INTO NUMLANC VALUES ('05', '202612', 1)")
             // Company 05: an entry whose history is close to the limit, with its standard history.
             << QStringLiteral(
                    "INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, "
                    "VRLANCAMENT, "
                    "CDDOCUCONT, DSHISTLANC, IDLANCINTE, IDTIPOLANC, CDHISTPADR) VALUES ('05', "
                    "'202612000001', "
                    "'00001', '1.1.01.001', '2026-12-02', -80, 'M1', '%1', 'M', 'D', '0001'), ('05', "
                    "'202612000001', '00002', '3.1.01.001', '2026-12-02', 80, 'M1', '%1', 'M', 'C', '0001')")
                    .arg(longHistory);
        return rows;
    }
};

TEST_F(ReversalFixture, AnOriginalLineThatFailsItsCheckLeavesTheOriginalOnShowAndStoresNothing) {
    // Company 03's entry came from another system without a standard history code.
    TfrmLancamento& f = openedOf("03", 1);
    ASSERT_EQ(f.FNrLancCont, QStringLiteral("202612000001"));
    const QStringList debitsBefore = column(f.cdsDebito, "CDCONTCTBL");
    // The action ends with the messages.
    EXPECT_FALSE(user::click(control<ui::MenuItem>(f, "mnuEstornar")));
    EXPECT_EQ(nextMessage(), QStringLiteral("Código do Histórico Padrão deve ser informado."));
    EXPECT_EQ(
        nextMessage(),
        QStringLiteral("O estorno do lançamento 202612000001 não foi montado: a partida 00002 (conta "
                       "3.1.01.001) do original não passa na verificação da mensagem anterior. Nada foi "
                       "alterado."));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_EQ(f.FNrLancCont, QStringLiteral("202612000001"));
    EXPECT_TRUE(f.reversalOf.isEmpty());
    EXPECT_FALSE(f.FIncluindo);
    EXPECT_FALSE(f.FAlterado);
    EXPECT_EQ(column(f.cdsDebito, "CDCONTCTBL"), debitsBefore);
    EXPECT_EQ(f.cdsCredito.recordCount(), 1);
    EXPECT_EQ(f.depData.GetDate(), QDate(2026, 12, 2));
    EXPECT_EQ(calls("SetLancamento").size(), 0u);
    // The screen works on: the same entry reversed again fails the same way, and nothing more.
    EXPECT_FALSE(user::click(control<ui::MenuItem>(f, "mnuEstornar")));
    EXPECT_EQ(nextMessage(), QStringLiteral("Código do Histórico Padrão deve ser informado."));
    EXPECT_FALSE(nextMessage().isEmpty());
    EXPECT_EQ(f.FNrLancCont, QStringLiteral("202612000001"));
}

TEST_F(ReversalFixture, AnEntryWithChangesNotConfirmedIsNotReversed) {
    TfrmLancamento& f = openedOf("07", 1);
    ASSERT_TRUE(user::focus(f.dbgDebito));
    ASSERT_TRUE(user::click(f.sbtAlterar));
    ASSERT_TRUE(user::editCell(f.dbgDebito, QStringLiteral("DEBITO"), QStringLiteral("250,00")));
    proxy_->clear();
    EXPECT_FALSE(user::click(control<ui::MenuItem>(f, "mnuEstornar")));
    EXPECT_EQ(nextMessage(),
              QStringLiteral("O lançamento 202612000001 tem alterações não confirmadas. Confirme "
                             "ou cancele as alterações antes de estorná-lo."));
    EXPECT_EQ(f.FNrLancCont, QStringLiteral("202612000001"));
    EXPECT_TRUE(f.reversalOf.isEmpty());
    EXPECT_EQ(f.cdsDebito.state(), DataSetState::Edit);
    EXPECT_EQ(f.cdsDebito.fieldByName(u"DEBITO").asFloat(), 250.0);
    // Nothing was asked of the server: no number was taken.
    EXPECT_TRUE(methods().empty());
}

TEST_F(ReversalFixture, TheReversedHistoryIsCutToTheLongHistoryLimit) {
    TfrmLancamento& f = openedOf("05", 1);
    ASSERT_TRUE(user::click(control<ui::MenuItem>(f, "mnuEstornar")));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    ASSERT_EQ(f.reversalOf, QStringLiteral("202612000001"));
    for (ClientDataSet* t : {&f.cdsDebito, &f.cdsCredito}) {
        const QString text = t->fieldByName(u"DSHISTLANC").asString();
        EXPECT_EQ(text.size(), 600);
        EXPECT_TRUE(text.startsWith(QStringLiteral("ESTORNO DO LANÇAMENTO 202612000001 - HHH")));
    }
    // Confirmed, the reversal is an entry like any other: a later store is not a reversal.
    ASSERT_TRUE(user::click(f.sbtConfirmar));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_TRUE(f.reversalOf.isEmpty());
    EXPECT_FALSE(f.FIncluindo);
}

TEST_F(ReversalFixture, TheFirstStoreNamesTheReversedEntryAndALaterChangeIsAnOrdinaryOne) {
    TfrmLancamento& f = openedOf("05", 1);
    ASSERT_TRUE(user::click(control<ui::MenuItem>(f, "mnuEstornar")));
    proxy_->clear();
    ASSERT_TRUE(user::click(f.sbtConfirmar));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    auto stores = calls("SetLancamento");
    ASSERT_EQ(stores.size(), 1u);
    EXPECT_EQ(stores[0].headers["X-Ctb-Estorno"], "202612000001");
    EXPECT_EQ(stores[0].headers.count("X-Ctb-Versao"), 0u) << "a new entry";
    // Stored again: at the version the server gave, with no reversal named.
    ASSERT_TRUE(user::focus(f.dbgDebito));
    ASSERT_TRUE(user::click(f.sbtAlterar));
    proxy_->clear();
    ASSERT_TRUE(user::click(f.sbtConfirmar));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    stores = calls("SetLancamento");
    ASSERT_EQ(stores.size(), 1u);
    EXPECT_EQ(stores[0].headers.count("X-Ctb-Estorno"), 0u);
    EXPECT_EQ(stores[0].headers["X-Ctb-Versao"], "1");
}

}  // namespace
}  // namespace ctb::ctb10000
