// Lines pasted into a line grid: what the preview leaves of the screen (nothing), and a row that
// passes the preview but fails when stored (it joins the refused rows; no line is left behind).
#include "tests/module/screen_fixture.h"

#include "paste_dialog/paste_preview.h"

#include <QSqlQuery>

namespace ctb::ctb10000 {
namespace {

using namespace screentest;

class PasteFixture : public ScreenFixture {
  protected:
    [[nodiscard]] QStringList databaseRows() const override {
        return ScreenFixture::databaseRows()
               << QStringLiteral("INSERT INTO HISTPADR VALUES ('0001', 'PAGAMENTO')");
    }
    // A new entry of company 01 with its document, the focus in the debit grid.
    TfrmLancamento& newEntry() {
        TfrmLancamento& f = listed();
        EXPECT_TRUE(user::click(f.sbtIncluir));
        EXPECT_TRUE(user::type(f.edtDocumento, QStringLiteral("NF1")));
        EXPECT_TRUE(user::focus(f.dbgDebito));
        EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
        return f;
    }
    void nextPreview(std::function<void(PastePreviewDialog&)> act) {
        ui_.queueModalHandler(
            [act = std::move(act)](ui::Form& d) { act(static_cast<PastePreviewDialog&>(d)); });
    }
    bool pasteInto(ui::DBGrid& grid, const char* text) {
        ui_.setClipboardText(QString::fromUtf8(text));
        return user::key(grid, ui::vk::KeyA + ('V' - 'A'), ui::ShiftState{true, false});
    }
    static QString status(PastePreviewDialog& d, int row1) {
        d.cdsPastePreview.setRecNo(row1);
        return d.cdsPastePreview.fieldByName(u"STATUS").asString();
    }
};

TEST_F(PasteFixture, APreviewCancelledLeavesTheScreenAsItWas) {
    TfrmLancamento& f = newEntry();
    const int sequence = f.FUltimaSequencia;
    const bool altered = f.FAlterado;
    const QString column = selectedFieldName(f.dbgDebito);
    int shown = 0;
    nextPreview([&shown](PastePreviewDialog& d) {
        shown = d.cdsPastePreview.recordCount();
        EXPECT_EQ(status(d, 1), QStringLiteral("OK"));
        EXPECT_EQ(status(d, 2),
                  QStringLiteral("Lançamento gerencial deve ser informado para as contas do tipo "
                                 "Gerencial e/ou Oficial/Gerencial para a partida de Débito"));
        EXPECT_EQ(status(d, 3), QStringLiteral("Código Reduzido não cadastrado."));
        user::click(d.sbtCancel);
    });
    ASSERT_TRUE(pasteInto(f.dbgDebito, "10\t5,00\t1\r\n50\t7,00\t1\r\n99\t1,00\t1\r\n"));
    EXPECT_EQ(shown, 3);
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_EQ(f.cdsDebito.recordCount(), 0);
    EXPECT_FALSE(editing(f.cdsDebito));
    EXPECT_EQ(f.cdsCredito.recordCount(), 0);
    EXPECT_EQ(f.FUltimaSequencia, sequence);
    EXPECT_EQ(f.FAlterado, altered);
    EXPECT_FALSE(f.panLancamentoGerencial.visible());
    EXPECT_TRUE(f.dbgDebito.focused());
    EXPECT_EQ(selectedFieldName(f.dbgDebito), column);
    EXPECT_EQ(f.nedDebito.text(), QStringLiteral("0,00"));
}

TEST_F(PasteFixture, ARowRefusedWhenStoredJoinsTheRefusedAndLeavesNoLine) {
    TfrmLancamento& f = newEntry();
    const int sequence = f.FUltimaSequencia;
    nextPreview([this](PastePreviewDialog& d) {
        EXPECT_EQ(d.cdsPastePreview.recordCount(), 2);
        EXPECT_EQ(status(d, 1), QStringLiteral("OK"));
        EXPECT_EQ(status(d, 2), QStringLiteral("OK"));
        // Between the preview and the store the company's period is closed.
        QSqlQuery q(QSqlDatabase::database(connection_));
        EXPECT_TRUE(q.exec(
            QStringLiteral("UPDATE CONTOPECTBL SET DTFINALANC = '2026-11-30' WHERE CDEMPRESA = '01'")));
        user::click(d.sbtConfirma);
    });
    QStringList refused;
    nextPreview([&refused](PastePreviewDialog& d) {
        EXPECT_EQ(d.mode(), PastePreviewDialog::Mode::Refused);
        EXPECT_FALSE(d.sbtConfirma.visible());
        for (int r = 1; r <= d.cdsPastePreview.recordCount(); ++r)
            refused << status(d, r);
        user::click(d.sbtCopiar);
        user::click(d.sbtCancel);
    });
    ASSERT_TRUE(pasteInto(f.dbgDebito, "10\t5,00\t1\r\n40\t7,00\t1\tvenda\r\n"));
    const QString closed = QStringLiteral("Operação bloqueada! Data do lançamento fora do período contábil.");
    EXPECT_EQ(refused, (QStringList{closed, closed}));
    EXPECT_EQ(ui_.clipboardText(), QStringLiteral("10\t5,00\t1\r\n40\t7,00\t1\tvenda\r\n"));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_EQ(f.cdsDebito.recordCount(), 0);
    EXPECT_FALSE(editing(f.cdsDebito));
    EXPECT_EQ(f.FUltimaSequencia, sequence);
    EXPECT_EQ(f.nedDebito.text(), QStringLiteral("0,00"));
}

TEST_F(PasteFixture, TheRowsThatPassAreStoredInOrderAndTotalledOnce) {
    TfrmLancamento& f = newEntry();
    nextPreview([](PastePreviewDialog& d) { user::click(d.sbtConfirma); });
    ASSERT_TRUE(pasteInto(f.dbgDebito, "Conta\tValor\tHist.\r\n40\t7,00\t1\r\n10\t1.005,25\t1\r\n"));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    ASSERT_EQ(f.cdsDebito.recordCount(), 2);
    f.cdsDebito.first();
    EXPECT_EQ(f.cdsDebito.fieldByName(u"CDCONTCTBL").asString(), QStringLiteral("3.1.01.001"));
    EXPECT_DOUBLE_EQ(f.cdsDebito.fieldByName(u"VRLANCAMENT").asFloat(), -7.0);
    f.cdsDebito.next();
    EXPECT_EQ(f.cdsDebito.fieldByName(u"CDCONTCTBL").asString(), QStringLiteral("1.1.01.001"));
    EXPECT_EQ(f.cdsDebito.fieldByName(u"IDLANCINTE").asString(), QStringLiteral("M"));
    EXPECT_EQ(f.nedDebito.text(), QStringLiteral("1.012,25"));
    EXPECT_TRUE(f.FAlterado);
    EXPECT_TRUE(f.FLadoDebito);
    EXPECT_FALSE(f.FLadoCredito);
    // The mirror the confirm sends holds both lines.
    EXPECT_EQ(f.cdsLancContEspelho.recordCount(), 2);
}

}  // namespace
}  // namespace ctb::ctb10000
