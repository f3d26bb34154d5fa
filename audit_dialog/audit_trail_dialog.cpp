#include "audit_dialog/audit_trail_dialog.h"

namespace ctb::ctb10000 {

TfrmHistAlteracoes::TfrmHistAlteracoes(Session& s, const QString& nrLancCont, DataPacket trail)
    : TfrmRotiGeral(u8(auditTrailForm().name), u8(auditTrailForm().caption), u8(auditTrailForm().screenCode),
                    s),
      controlsBuilt_((buildControls(*this, auditTrailControls()), true)),
      panLancamento(control<ui::Panel>(*this, "panLancamento")),
      dbgHistAlteracoes(control<ui::DBGrid>(*this, "dbgHistAlteracoes")),
      nrLancCont_(nrLancCont),
      trail_(std::move(trail)) {
    declareTable(cdsHistAlteracoes, auditTrailTable());
    setUpGrids(*this, auditTrailGrids());
    dbgHistAlteracoes.setDataSource(&dtsHistAlteracoes);
    applyLayout(*this, auditTrailLayout());
    applyFormDecl(*this, auditTrailForm());
    panLancamento.setAlign(ui::Align::Top);
    dbgHistAlteracoes.setAlign(ui::Align::Client);
    // Nothing to confirm: the list is read only, and Cancel (Escape) closes it.
    sbtConfirma.setVisible(false);
    sbtCancel.setText(QStringLiteral("Fechar"));
}

void TfrmHistAlteracoes::FormCreate() {
    TfrmRotiGeral::FormCreate();
    panLancamento.setText(QStringLiteral("Lançamento %1").arg(nrLancCont_));
    cdsHistAlteracoes.setData(trail_);
    cdsHistAlteracoes.first();
}

}  // namespace ctb::ctb10000
