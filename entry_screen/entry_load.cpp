// Loading an entry into the form tab: all its lines, its debit and credit lines and its allocations.
#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {
namespace {

// Whatever happens while loading, the tables show again and the line handlers check again.
class Loading {
  public:
    explicit Loading(TfrmLancamento& f) : f_(f) {
        f_.FCarregando = true;
        for (ClientDataSet* t : {&f_.cdsDebito, &f_.cdsCredito, &f_.cdsLancCCusto})
            t->disableControls();
    }
    ~Loading() {
        for (ClientDataSet* t : {&f_.cdsDebito, &f_.cdsCredito, &f_.cdsLancCCusto})
            t->enableControls();
        f_.FCarregando = false;
    }
    Loading(const Loading&) = delete;
    Loading& operator=(const Loading&) = delete;

  private:
    TfrmLancamento& f_;
};

}  // namespace

void TfrmLancamento::carregaLancamento() {
    FIncluindo = false;
    reversalOf.clear();
    FNrLancCont = cdsLancCont.active() ? cdsLancCont.fieldByName(u"NRLANCCONT").asString() : QString();
    const QString empresa = edtCdEmpresa.text();
    EntryPacket filtrado = rdmLancamento.getLancFiltrado(empresa, FNrLancCont);
    cdsLancFiltrado.setData(std::move(filtrado.packet));
    entryVersion = filtrado.version;

    Loading loading(*this);
    cdsDebito.emptyDataSet();
    cdsCredito.emptyDataSet();
    FConfirmado = true;

    cdsLancFiltrado.first();
    FDocumento = cdsLancFiltrado.fieldByName(u"CDDOCUCONT").asString();
    // Always the opened entry's document: a previous entry's must not stay on show.
    edtDocumento.setText(FDocumento);
    depData.SetDate(cdsLancFiltrado.fieldByName(u"DTLANCCONT").asDate());
    FDtLancCont = depData.GetDate();
    const QString nrLanc = cdsLancFiltrado.fieldByName(u"NRLANCCONT").asString();
    cdsDebito.setData(rdmLancamento.getDebitos(empresa, nrLanc).packet);
    cdsCredito.setData(rdmLancamento.getCreditos(empresa, nrLanc).packet);
    dbgDebito.setSelectedField(QStringLiteral("CDCONTREDU"));
    dbgDebito.setFocus();

    if (FIdContGere == u"S") {
        EntryPacket rateios = rdmLancamento.GetLancCCusto(empresa, FNrLancCont);
        cdsLancCCustoEspelho.setData(rateios.packet);
        cdsLancCCusto.setFiltered(false);
        cdsLancCCusto.setData(std::move(rateios.packet));
        cdsLancCCusto.setFilter(filtroLinha(cdsLancFiltrado.fieldByName(u"NRLANCCONT").asString(),
                                            cdsLancFiltrado.fieldByName(u"CDEMPRESA").asString(),
                                            cdsLancFiltrado.fieldByName(u"NRSEQLANC").asString()));
        cdsLancCCusto.setFiltered(true);
    }
    ControlaBotoesFormulario(cdsDebito);
    cdsCredito.first();
    cdsDebito.first();
    FLadoDebito = true;
    FLadoCredito = false;
    FNavegacao = false;
    showTotalsOfLoadedLines();
}

}  // namespace ctb::ctb10000
