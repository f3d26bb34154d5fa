// The debit and credit grids: leaving a column, the account lookup, the keys they take, and entering
// a grid. One body for both grids; what differs is in the Side.
#include "entry_screen/cli_ctb10000.h"

#include <cmath>

namespace ctb::ctb10000 {
namespace {

const QString kTodos = QStringLiteral("T");

// The account found by the last query, into the line.
void copyAccount(ClientDataSet& line, const TADOIBQuery& account, bool withFullCode, bool withReducedCode) {
    fieldOf(line, "IDLANCCOME").setAsString(account.fieldByName(u"IDLANCCOME").asString());
    if (withFullCode)
        fieldOf(line, "CDCONTCTBL").setAsString(account.fieldByName(u"CDCONTCTBL").asString());
    if (withReducedCode)
        fieldOf(line, "CDCONTREDU").setAsString(account.fieldByName(u"CDCONTREDU").asString());
    fieldOf(line, "NMCONTCTBL").setAsString(account.fieldByName(u"NMCONTCTBL").asString());
}

}  // namespace

void TfrmLancamento::refreshCommercialForAccount(Side& side) {
    if (FIdContCome != u"S")
        return;
    abreQryTipoCome(fieldOf(side.table, "CDCONTCTBL").asString());
    const bool takesCode = !qryTipoCome.IsEmpty();
    dbeCdContCome.setEnabled(takesCode);
    btnComercial.setEnabled(takesCode);
    lblCodComercial.setEnabled(takesCode);
    AtualizaContaComercial(QString::fromLatin1(side.letter), QString());
    if (!dbeCdContCome.enabled())
        fieldOf(side.table, "CDCONTCOME").clear();
}

void TfrmLancamento::reducedCodeEntered(Side& side) {
    ClientDataSet& t = side.table;
    abreQryContCtbl(QString(), kTodos, fieldOf(t, "CDCONTREDU").asString(), QString());
    if (qryContCtbl.IsEmpty()) {
        fieldOf(t, "CDCONTREDU").focusControl();
        MensErro(services(), msgPadrao.Msg(QStringLiteral("CODREDU_N")));
    }
    copyAccount(t, qryContCtbl, true, false);
    refreshCommercialForAccount(side);
}

void TfrmLancamento::accountCodeEntered(Side& side) {
    ClientDataSet& t = side.table;
    abreQryContCtbl(fieldOf(t, "CDCONTCTBL").asString(), QString(), QString(), kTodos);
    if (side.copiesAccountAfterPictureCheck) {
        checkAccountPicture(side);
        copyAccount(t, qryContCtbl, false, true);
    } else {
        if (qryContCtbl.IsEmpty()) {
            fieldOf(t, "CDCONTCTBL").focusControl();
            MensErro(services(), msgPadrao.Msg(QStringLiteral("CONTA_N")));
        }
        copyAccount(t, qryContCtbl, false, true);
        checkAccountPicture(side);
    }
    refreshCommercialForAccount(side);
}

void TfrmLancamento::gridColExit(Side& side) {
    ClientDataSet& t = side.table;
    if (!editing(t))
        return;
    const QString column = selectedFieldName(side.grid);
    if (column == u"CDCONTREDU" && !EmptyString(fieldOf(t, "CDCONTREDU").asString())) {
        reducedCodeEntered(side);
    } else if (column == u"CDCONTCTBL") {
        if (!EmptyString(fieldOf(t, "CDCONTCTBL").asString())) {
            accountCodeEntered(side);
        } else if (side.refreshesCommercialOnEmptyAccount) {
            refreshCommercialForAccount(side);
        }
    } else if (side.valueExitGoesToHistory && column == QLatin1String(side.valueField) &&
               !fieldOf(t, side.valueField).isNull()) {
        dbeCdHistPadr.setFocus();
    }
    if (!dbeCdContCome.enabled() && editing(t))
        fieldOf(t, "CDCONTCOME").clear();
}

void TfrmLancamento::gridEditButtonClick(Side& side) {
    ClientDataSet& t = side.table;
    if (!editing(t))
        side.source.edit();  // the edit guard runs; an empty table begins a new line
    const QString column = selectedFieldName(side.grid);
    if (!editing(t) || (column != u"CDCONTCTBL" && column != u"CDCONTREDU"))
        return;
    abreQryContCtbl(QString(), kTodos, QString(), kTodos);
    const QString notFound = msgPadrao.contains(QStringLiteral("CONTCTBL_N"))
                                 ? msgPadrao.Msg(QStringLiteral("CONTCTBL_N"))
                                 : QStringLiteral("Nenhuma conta contábil analítica cadastrada.");
    // Only a picked account goes into the line: a lookup closed without a pick changes nothing.
    if (!hostlib::Pesquisar(services(), &dtsContCtbl,
                            msgPadrao.Msg(QStringLiteral("Conta")) + u'|' + notFound, false, true))
        return;
    copyAccount(t, qryContCtbl, true, true);
    AtualizaContaComercial(QString::fromLatin1(side.letter), QString());
    if (!dbeCdContCome.enabled())
        fieldOf(t, "CDCONTCOME").clear();
}

void TfrmLancamento::gridKeyDown(Side& side, int& key, ui::ShiftState shift) {
    ClientDataSet& t = side.table;
    if (key == ui::vk::F1 + 7 && !shift.ctrl && !shift.shift &&
        selectedFieldName(side.grid) == QLatin1String(side.valueField)) {
        key = 0;
        fillBalancingValue(side);
        return;
    }
    if (shift.ctrl) {
        if (key != ui::vk::Delete)
            return;
        // The grid's own Ctrl+Delete must not ask and delete a second time.
        key = 0;
        excluiLinhaAtual();
        return;
    }
    if (key == ui::vk::Add || key == ui::vk::Subtract) {
        key = 0;  // the keypad's signs never reach a cell
        throw ui::AbortAction();
    }
    if (selectedFieldName(side.grid) != u"CDCONTCTBL")
        return;
    const bool moves =
        key == ui::vk::Tab || key == ui::vk::Return || (key >= ui::vk::Left && key <= ui::vk::Down);
    if (moves) {
        if (key == ui::vk::Up && t.state() != DataSetState::Browse)
            t.cancel();
        return;
    }
    if (t.state() == DataSetState::Browse)
        t.edit();
    if (editing(t))
        fieldOf(t, "NMCONTCTBL").clear();
}

void TfrmLancamento::fillBalancingValue(Side& side) {
    ClientDataSet& t = side.table;
    if (!editing(t))
        side.source.edit();  // the edit guard runs; an empty table begins a new line
    if (!editing(t))
        return;
    // Both sides' stored lines in whole cents, this line's stored value left out: its value is the
    // one being filled.
    const QString current = fieldOf(t, "NRSEQLANC").asString().trimmed();
    auto total = [&current](const ClientDataSet& table, const char* valueField) {
        const DataPacket copy = table.data();
        const int value = copy.fieldIndex(QString::fromLatin1(valueField)),
                  seq = copy.fieldIndex(u"NRSEQLANC");
        qint64 cents = 0;
        for (const Row& row : copy.rows)
            if (row.text(seq).trimmed() != current)
                cents += std::llround(RoundDec(row.number(value), 2) * 100.0);
        return cents;
    };
    const qint64 missing =
        total(side.otherTable, (&side == &debit_ ? credit_ : debit_).valueField) - total(t, side.valueField);
    if (missing <= 0)
        return;  // this side is not the one short of the balance
    fieldOf(t, side.valueField).setAsFloat(static_cast<double>(missing) / 100.0);
}

void TfrmLancamento::gridEnter(Side& side) {
    storePendingLine(side.otherTable);
    AlteraCoresGridPosicionado();
}

}  // namespace ctb::ctb10000
