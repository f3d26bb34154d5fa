// The balance of the entry and the navigation between its lines: the recount (totals, difference,
// mirror, highest line number), a line becoming current, entering a line panel, and what follows a
// stored, deleted or cancelled line. One body for both sides; what differs is in the Side.
#include "entry_screen/cli_ctb10000.h"

#include "platform/dataset/field_format.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ctb::ctb10000 {
namespace {

const QString kMoneyFormat = QStringLiteral("#,##0.00");

// A value in whole cents, as the line is stored.
qint64 cents(double value) {
    return static_cast<qint64>(std::llround(RoundDec(value, 2) * 100.0));
}

// The fields of a line that the mirror takes from it.
constexpr const char* kMirroredFields[] = {"CDCONTCOME", "IDLANCCOME", "IDLANCINTE", "DSHISTLANC",
                                           "CDHISTPADR", "NRLANCCONT", "CDEMPRESA",  "CDCONTCTBL",
                                           "NRSEQLANC",  "VRLANCAMENT"};

}  // namespace

void TfrmLancamento::bindLineDetails(Side& side) {
    dbeCdHistPadr.setDataBinding(&side.source, QStringLiteral("CDHISTPADR"));
    dbeDsHistLanc.setDataBinding(&side.source, QStringLiteral("DSHISTLANC"));
    dbeCdContCome.setDataBinding(&side.source, QStringLiteral("CDCONTCOME"));
}

void TfrmLancamento::enableAllocationAreaFor(const QString& cdContCtbl) {
    if (EmptyString(cdContCtbl)) {
        // No account: no allocation kind, without asking the database.
        qryContCtbl.Close();
        panLancamentoGerencial.setEnabled(false);
        return;
    }
    abreQryContCtbl(cdContCtbl, QString(), QString(), QStringLiteral("T"));
    const QString kind =
        qryContCtbl.IsEmpty() ? QString() : qryContCtbl.fieldByName(u"IDCONTCCUS").asString().left(1);
    panLancamentoGerencial.setEnabled(kind == u"G" || kind == u"L" || kind == u"R");
}

void TfrmLancamento::withOneRecount(const std::function<void()>& append) {
    {
        struct Suspended {
            TfrmLancamento& f;
            ~Suspended() { f.recountSuspended_ = false; }
        } suspended{*this};
        recountSuspended_ = true;
        recountPending_ = false;
        append();
    }
    if (recountPending_) {
        recountPending_ = false;
        CalculaDebitoCredito();
    }
}

void TfrmLancamento::CalculaDebitoCredito() {
    if (recountSuspended_) {
        recountPending_ = true;  // lines being pasted: one recount once they are all in
        return;
    }
    FUltimaSequencia = -1;
    // Every line's allocation sums come from one reading of the mirror; the mirror's filter is set to
    // the last checked line once, at the end.
    struct RecountScope {
        TfrmLancamento& f;
        ~RecountScope() {
            f.recount_.reset();
            if (!f.pendingMirrorFilter_.isEmpty() && f.cdsLancCCustoEspelho.active())
                f.applyMirrorFilter(f.pendingMirrorFilter_);
            f.pendingMirrorFilter_.clear();
        }
    } scope{*this};
    recount_.emplace();
    if (FIdContGere == u"S" && cdsLancCCustoEspelho.active())
        recount_->allocations = allocationTotals(cdsLancCCustoEspelho.data());
    // The sums read a copy of the committed lines, so the visible current line does not move. They add
    // the values as they are stored (each rounded to the cent), so the totals are those of the entry
    // the server receives.
    const DataPacket debitLines = cdsDebito.data();
    const DataPacket creditLines = cdsCredito.data();
    auto sum = [this](const DataPacket& copy, const Side& side, bool debitSide) {
        const int value = copy.fieldIndex(QString::fromLatin1(side.valueField));
        const int account = copy.fieldIndex(u"CDCONTCTBL"), come = copy.fieldIndex(u"CDCONTCOME"),
                  company = copy.fieldIndex(u"CDEMPRESA"), entry = copy.fieldIndex(u"NRLANCCONT"),
                  sequence = copy.fieldIndex(u"NRSEQLANC"), signedValue = copy.fieldIndex(u"VRLANCAMENT");
        qint64 total = 0;
        for (const Row& row : copy.rows) {
            FLadoDebito = debitSide;
            FLadoCredito = !debitSide;
            total += cents(row.number(value));
            ValidaContaComercial(row.text(account), row.text(come), row.text(company), row.text(entry),
                                 row.text(sequence), QString::fromLatin1(side.code));
            ValidaValoresRateio(row.text(account), row.text(company), row.text(entry), row.text(sequence),
                                QString::fromLatin1(side.code), RoundDec(row.number(signedValue), 2));
        }
        return total;
    };
    const qint64 debit = sum(debitLines, debit_, true);
    const qint64 credit = sum(creditLines, credit_, false);
    showTotals(debit, credit);

    // The mirror: debit lines, then credit lines, built from the same copies in one packet.
    DataPacket mirror;
    mirror.fields = cdsLancContEspelho.data().fields;
    const int mirrorWidth = static_cast<int>(mirror.fields.size());
    const int docField = mirror.fieldIndex(u"CDDOCUCONT"), dateField = mirror.fieldIndex(u"DTLANCCONT"),
              sideField = mirror.fieldIndex(u"IDTIPOLANC");
    const qint64 dateMsecs =
        FDtLancCont.isValid() ? QDateTime(FDtLancCont, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch() : 0;
    auto addMirrorRows = [&](const DataPacket& copy, const char* sideLetter) {
        std::vector<std::pair<int, int>> columns;  // line column -> mirror column
        for (const char* name : kMirroredFields)
            columns.emplace_back(copy.fieldIndex(QString::fromLatin1(name)),
                                 mirror.fieldIndex(QString::fromLatin1(name)));
        const int sequence = copy.fieldIndex(u"NRSEQLANC");
        for (const Row& line : copy.rows) {
            Row& row = mirror.rows.emplace_back(mirrorWidth);
            for (const auto& [from, to] : columns)
                if (from >= 0 && to >= 0)
                    row.copyCell(to, line, from);
            row.setText(docField, FDocumento);
            if (FDtLancCont.isValid())
                row.setMsecs(dateField, dateMsecs);
            row.setText(sideField, QString::fromLatin1(sideLetter));
            const QString seqText = line.text(sequence);
            bool isNumber = false;
            const int seq = seqText.trimmed().toInt(&isNumber);
            if (!isNumber)
                MensErro(services(),
                         QStringLiteral("Número de sequência da partida inválido: \"%1\".").arg(seqText));
            FUltimaSequencia = std::max(FUltimaSequencia, seq);
        }
    };
    addMirrorRows(debitLines, "D");
    addMirrorRows(creditLines, "C");
    cdsLancContEspelho.setData(std::move(mirror));
    if (FUltimaSequencia == -1)
        FUltimaSequencia = 0;

    // Each table ends on its last line, as a walk through it leaves it, with that line's panels and
    // allocation filter; the credit side last.
    auto endOnLastLine = [this](Side& side, bool debitSide) {
        ClientDataSet& t = side.table;
        if (!t.active() || t.isEmpty() || editing(t))
            return;
        FLadoDebito = debitSide;
        FLadoCredito = !debitSide;
        const int before = t.recNo();
        t.last();
        if (t.recNo() == before)
            lineAfterScroll(side);  // already there: no scroll, but a walk would have shown it again
    };
    endOnLastLine(debit_, true);
    endOnLastLine(credit_, false);
}

void TfrmLancamento::showTotals(qint64 debitCents, qint64 creditCents) {
    nedDebito.SetNumber(static_cast<double>(debitCents) / 100.0);
    nedCredito.SetNumber(static_cast<double>(creditCents) / 100.0);
    const qint64 difference = std::llabs(debitCents - creditCents);
    lblValorDiferenca.setText(
        format::formatNumber(static_cast<double>(difference) / 100.0, kMoneyFormat, session.locale));
    // Red when unbalanced; in the panel's own colour, so the zero does not show, when balanced.
    lblValorDiferenca.setFontColor(difference != 0 ? QString::fromLatin1(ui::kColorRed)
                                                   : QString::fromLatin1(ui::kColorButtonFace));
}

void TfrmLancamento::showTotalsOfLoadedLines() {
    qint64 debit = 0, credit = 0;
    int highest = 0;
    auto walk = [&highest](const ClientDataSet& table, const char* valueField, qint64& total) {
        const DataPacket copy = table.data();
        const int value = copy.fieldIndex(QString::fromLatin1(valueField)),
                  seq = copy.fieldIndex(u"NRSEQLANC");
        for (const Row& row : copy.rows) {
            total += cents(row.number(value));
            highest = std::max(highest, row.text(seq).trimmed().toInt());
        }
    };
    walk(cdsDebito, debit_.valueField, debit);
    walk(cdsCredito, credit_.valueField, credit);
    showTotals(debit, credit);
    // New lines of an opened entry continue after its highest number.
    FUltimaSequencia = highest;
}

void TfrmLancamento::lineAfterScroll(Side& side) {
    ClientDataSet& t = side.table;
    bindLineDetails(side);
    AtualizaContaComercial(QString::fromLatin1(side.letter), fieldOf(t, "CDCONTCOME").asString());
    enableAllocationAreaFor(fieldOf(t, "CDCONTCTBL").asString());
    if (cdsLancCCusto.active())
        filtraRateiosDaLinha(t);
    if (side.scrollCopiesAllocationMirror && cdsLancCCusto.active())
        copiaEspelhoRateios();
    if (edtDocumento.text().isEmpty())
        edtDocumento.setText(FDocumento);
}

void TfrmLancamento::storePendingLine(ClientDataSet& table) {
    if (!editing(table))
        return;
    // A new line no one has typed into is dropped, as a grid drops it when left.
    if (table.state() == DataSetState::Insert && !table.touched())
        table.cancel();
    else
        table.post();
}

void TfrmLancamento::panelEnter(Side& side) {
    ClientDataSet& t = side.table;
    storePendingLine(side.otherTable);
    bindLineDetails(side);
    AtualizaContaComercial(QString::fromLatin1(side.letter), fieldOf(t, "CDCONTCOME").asString());
    if (panLancamentoGerencial.visible())
        enableAllocationAreaFor(fieldOf(t, "CDCONTCTBL").asString());
    if (cdsLancCCusto.active())
        filtraRateiosDaLinha(t);
    FLadoDebito = &side == &debit_;
    FLadoCredito = &side == &credit_;
    FAreaGerencial = false;
    FNavegacao = false;
}

void TfrmLancamento::lineAfterPost(Side& side) {
    ClientDataSet& t = side.table;
    if (t.changeCount() > 0) {
        t.mergeChangeLog();
        if (!FCarregando)
            FAlterado = true;
        if (FDocumento.isEmpty()) {
            FDocumento = fieldOf(t, "CDDOCUCONT").asString();
            edtDocumento.setText(FDocumento);
        }
        if (side.disablesDateBeforeButtonRule) {
            if (depData.enabled())
                depData.setEnabled(false);
            ControlaBotoesFormulario(t);
        } else {
            ControlaBotoesFormulario(t);
            if (depData.enabled())
                depData.setEnabled(false);
        }
    }
    CalculaDebitoCredito();
}

void TfrmLancamento::lineAfterDelete(Side& side) {
    ClientDataSet& t = side.table;
    if (t.changeCount() > 0) {
        t.mergeChangeLog();
        FAlterado = true;
        ControlaBotoesFormulario(t);
    }
    FConfirmado = false;
    CalculaDebitoCredito();
}

void TfrmLancamento::lineAfterCancel(Side& side) {
    ClientDataSet& t = side.table;
    if (t.recordCount() == 0) {
        if (EmptyString(depData.text()) && cdsLancFiltrado.active() && !cdsLancFiltrado.isEmpty())
            depData.SetDate(cdsLancFiltrado.fieldByName(u"DTLANCCONT").asDate());
        FConfirmado = false;
    }
    ControlaBotoesFormulario(t);
}

}  // namespace ctb::ctb10000
