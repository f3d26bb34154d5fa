// Reversing a saved entry: a new entry of today, numbered by the server, with the original's lines on
// the other side. The lines are typed in for the user through the same checks as typed lines; nothing
// is stored before the usual confirm, which tells the server which entry is reversed.
#include "entry_screen/cli_ctb10000.h"
#include "history_dialog/hist_lanc_decl.h"

#include <cmath>
#include <utility>

namespace ctb::ctb10000 {
namespace {

const QString kPrefix = QStringLiteral("ESTORNO DO LANÇAMENTO %1 - ");

bool hasLines(const ClientDataSet& t) {
    return t.active() && t.viewRowCount() > 0;
}

// Whether any line of the copy came from a lot.
bool fromLot(const DataPacket& lines) {
    const int origin = lines.fieldIndex(u"IDLANCINTE");
    for (const Row& row : lines.rows)
        if (origin >= 0 && row.text(origin).trimmed() == u"L")
            return true;
    return false;
}

QString textOf(const DataPacket& p, const Row& row, const char* field) {
    const int i = p.fieldIndex(QString::fromLatin1(field));
    return i >= 0 ? row.text(i) : QString();
}

double numberOf(const DataPacket& p, const Row& row, const char* field) {
    const int i = p.fieldIndex(QString::fromLatin1(field));
    return i >= 0 ? row.number(i) : 0.0;
}

}  // namespace

void TfrmLancamento::mnuEstornarClick() {
    if (abaDadosAtiva() || FIncluindo || FNrLancCont.isEmpty() ||
        (!hasLines(cdsDebito) && !hasLines(cdsCredito)))
        MensErro(services(),
                 QStringLiteral("Abra um lançamento gravado, na aba Formulário, para estorná-lo."));
    // A line no one typed into is no change.
    for (ClientDataSet* t : {&cdsLancCCusto, &cdsDebito, &cdsCredito})
        if (t->state() == DataSetState::Insert && !t->touched())
            t->cancel();
    if (FAlterado || editing(cdsDebito) || editing(cdsCredito) || editing(cdsLancCCusto))
        MensErro(services(),
                 QStringLiteral("O lançamento %1 tem alterações não confirmadas. Confirme ou cancele as "
                                "alterações antes de estorná-lo.")
                     .arg(FNrLancCont));
    const QString empresa = edtCdEmpresa.text();
    const QString original = FNrLancCont;
    const DataPacket debits = cdsDebito.data();
    const DataPacket credits = cdsCredito.data();
    // Every allocation of the entry, whatever line the table is filtered to.
    const DataPacket allocations = cdsLancCCusto.active() ? cdsLancCCusto.data() : DataPacket{};
    // A lot's entry changes only by reverting the lot; its reversal too.
    if (fromLot(debits) || fromLot(credits)) {
        const QString lote = rdmLancamento.BuscaCodigoLote(empresa, original);
        MensErro(services(),
                 msgPadrao.Msg(QStringLiteral("REVERTER_LOTE")).replace(QStringLiteral("%s"), lote));
    }
    // The reversal is dated today, which must lie in the open period; the original's date does not count.
    if (!rdmLancamento.ValidaPeriodoContabil(empresa, session.currentDate()))
        MensErro(services(), msgPadrao.Msg(QStringLiteral("FORA_PERIODO")));

    // The same document; an original without one is referred to by its number.
    const QString documento = FDocumento.trimmed().isEmpty() ? original : FDocumento;
    const bool documentEnabled = edtDocumento.enabled(), dateEnabled = depData.enabled();
    beginNewEntry();
    reversalOf = original;
    FDocumento = documento;
    edtDocumento.setText(documento);
    const QString prefix = kPrefix.arg(original);
    const Row* failing = nullptr;
    const DataPacket* failingSide = nullptr;
    try {
        // The original's credits become the debits, its debits the credits; the entry is recounted
        // once they are all in, as after a paste.
        withOneRecount([&] {
            for (const auto& [lines, side] : {std::pair{&credits, &debit_}, std::pair{&debits, &credit_}}) {
                failingSide = lines;
                for (const Row& line : lines->rows) {
                    failing = &line;
                    addReversedLine(*side, *lines, line, allocations, prefix);
                }
            }
        });
    } catch (const ui::AbortAction&) {
        // A line that does not pass its checks today (an account made synthetic since, a history code
        // the other system left empty) was shown; the half reversal goes and the original comes back
        // as it was.
        dropPendingEdits();
        FAlterado = false;
        carregaLancamento();
        edtDocumento.setEnabled(documentEnabled);
        depData.setEnabled(dateEnabled);
        if (failing == nullptr || failingSide == nullptr)
            throw;
        MensErro(services(),
                 QStringLiteral("O estorno do lançamento %1 não foi montado: a partida %2 (conta %3) do "
                                "original não passa na verificação da mensagem anterior. Nada foi alterado.")
                     .arg(original, textOf(*failingSide, *failing, "NRSEQLANC").trimmed(),
                          textOf(*failingSide, *failing, "CDCONTCTBL").trimmed()));
    }
    cdsCredito.first();
    cdsDebito.first();
    FLadoDebito = true;
    FLadoCredito = false;
    FAreaGerencial = false;
    bindLineDetails(debit_);
    dbgDebito.setSelectedField(QStringLiteral("CDCONTREDU"));
    dbgDebito.setFocus();
    ControlaBotoesFormulario(cdsDebito);
}

void TfrmLancamento::addReversedLine(Side& side, const DataPacket& lines, const Row& line,
                                     const DataPacket& allocations, const QString& prefix) {
    ClientDataSet& t = side.table;
    const Side& from = &side == &debit_ ? credit_ : debit_;
    FLadoDebito = &side == &debit_;
    FLadoCredito = !FLadoDebito;
    FAreaGerencial = false;
    bindLineDetails(side);
    t.append();
    const QString account = textOf(lines, line, "CDCONTCTBL");
    fieldOf(t, "CDCONTREDU").setAsString(textOf(lines, line, "CDCONTREDU"));
    fieldOf(t, "CDCONTCTBL").setAsString(account);
    fieldOf(t, "NMCONTCTBL").setAsString(textOf(lines, line, "NMCONTCTBL"));
    fieldOf(t, "IDLANCCOME").setAsString(textOf(lines, line, "IDLANCCOME"));
    // The code box follows the account, as when the account is typed; then the line's code goes in.
    refreshCommercialForAccount(side);
    if (dbeCdContCome.enabled())
        fieldOf(t, "CDCONTCOME").setAsString(textOf(lines, line, "CDCONTCOME"));
    double value = numberOf(lines, line, from.valueField);
    if (RoundDec(value, 2) == 0)
        value = std::fabs(numberOf(lines, line, "VRLANCAMENT"));
    fieldOf(t, side.valueField).setAsFloat(RoundDec(value, 2));
    fieldOf(t, "CDHISTPADR").setAsString(textOf(lines, line, "CDHISTPADR"));
    fieldOf(t, "DSHISTLANC").setAsString((prefix + textOf(lines, line, "DSHISTLANC")).left(kHistoryLength));

    // The line's allocations, each share on the other side, through the allocation checks.
    if (!allocations.rows.empty() && cdsLancCCusto.active()) {
        const QString seq = textOf(lines, line, "NRSEQLANC").trimmed();
        const QString company = textOf(lines, line, "CDEMPRESA").trimmed();
        const QString entry = textOf(lines, line, "NRLANCCONT").trimmed();
        enableAllocationAreaFor(account);
        filtraRateiosDaLinha(t);
        for (const Row& a : allocations.rows) {
            if (textOf(allocations, a, "NRSEQLANC").trimmed() != seq ||
                textOf(allocations, a, "NRLANCCONT").trimmed() != entry ||
                textOf(allocations, a, "CDEMPRESA").trimmed() != company)
                continue;
            const double share = -RoundDec(numberOf(allocations, a, "VRLANCCUST"), 2);
            cdsLancCCusto.append();
            fieldOf(cdsLancCCusto, "CDFILIAL").setAsString(textOf(allocations, a, "CDFILIAL"));
            fieldOf(cdsLancCCusto, "CDCENTCUST").setAsString(textOf(allocations, a, "CDCENTCUST"));
            // A debit share is stored negative.
            fieldOf(cdsLancCCusto, share < 0 ? "DEBITO" : "CREDITO").setAsFloat(std::fabs(share));
            cdsLancCCusto.post();
        }
    }
    t.post();
}

}  // namespace ctb::ctb10000
