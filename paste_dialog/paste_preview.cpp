#include "paste_dialog/paste_preview.h"

#include <algorithm>

namespace ctb::ctb10000 {

PastePreviewDialog::PastePreviewDialog(Session& s, Mode mode, const QString& sideName,
                                       std::vector<PastePreviewRow> rows)
    : TfrmRotiGeral(u8(pastePreviewForm().name), u8(pastePreviewForm().caption),
                    u8(pastePreviewForm().screenCode), s),
      controlsBuilt_((buildControls(*this, pastePreviewControls()), true)),
      panResumo(control<ui::Panel>(*this, "panResumo")),
      lblResumo(control<ui::Label>(*this, "lblResumo")),
      dbgPreview(control<ui::DBGrid>(*this, "dbgPreview")),
      sbtCopiar(control<ui::SpeedButton>(*this, "sbtCopiar")),
      mode_(mode),
      sideName_(sideName),
      rows_(std::move(rows)) {
    applyFormDecl(*this, pastePreviewForm());
    applyLayout(*this, pastePreviewLayout());
    declareTable(cdsPastePreview, pastePreviewTable());
    setUpGrids(*this, {pastePreviewGrid()});
    dbgPreview.setDataSource(&dtsPastePreview);
    sbtConfirma.onClick = [this](ui::Control&) { sbtConfirmaClick(); };
    sbtCopiar.onClick = [this](ui::Control&) { sbtCopiarClick(); };
}

int PastePreviewDialog::passing() const {
    return static_cast<int>(std::count_if(rows_.begin(), rows_.end(),
                                          [](const PastePreviewRow& r) { return r.problem.isEmpty(); }));
}

void PastePreviewDialog::FormCreate() {
    TfrmRotiGeral::FormCreate();
    const int total = static_cast<int>(rows_.size());
    const int ok = passing();
    const int refused = total - ok;
    if (mode_ == Mode::Preview) {
        setCaption(QStringLiteral("Colar partidas de %1").arg(sideName_));
        const QString refusals = refused == 0 ? QStringLiteral("nenhuma recusada.")
                                 : refused == 1
                                     ? QStringLiteral("1 recusada, com o motivo em Situação.")
                                     : QStringLiteral("%1 recusadas, com o motivo em Situação.").arg(refused);
        if (total == 1)
            lblResumo.setText(
                ok == 1 ? QStringLiteral("A linha colada será incluída como partida de %1.").arg(sideName_)
                        : QStringLiteral("A linha colada foi recusada, com o motivo em Situação."));
        else
            lblResumo.setText(
                QStringLiteral("%1 de %2 linhas coladas serão incluídas como partidas de %3; %4")
                    .arg(ok)
                    .arg(total)
                    .arg(sideName_, refusals));
        sbtConfirma.setEnabled(ok > 0);
    } else {
        setCaption(QStringLiteral("Partidas de %1 não incluídas").arg(sideName_));
        lblResumo.setText(
            refused == 1 ? QStringLiteral("1 linha colada não foi incluída. Copie-a para corrigir e colar "
                                          "de novo.")
                         : QStringLiteral("%1 linhas coladas não foram incluídas. Copie-as para corrigir "
                                          "e colar de novo.")
                               .arg(refused));
        sbtConfirma.setVisible(false);
        sbtCancel.setText(QStringLiteral("Fechar"));
    }
    sbtCopiar.setEnabled(ok < total);
    cdsPastePreview.createDataSet();
    cdsPastePreview.disableControls();
    for (const PastePreviewRow& r : rows_) {
        cdsPastePreview.append();
        auto set = [this](const char* name, const QString& value) {
            cdsPastePreview.fieldByName(QString::fromLatin1(name)).setAsString(value);
        };
        cdsPastePreview.fieldByName(u"LINE").setAsInteger(r.line);
        set("ACCOUNT", r.account);
        set("ACCOUNT_NAME", r.accountName);
        if (r.value)
            cdsPastePreview.fieldByName(u"VALUE").setAsFloat(*r.value);
        set("HISTORY", r.history);
        set("HISTORY_TEXT", r.historyText);
        set("COMMERCIAL", r.commercial);
        set("STATUS", r.problem.isEmpty() ? QString::fromLatin1(kPasteRowReady) : r.problem);
        set("SOURCE", r.source);
        cdsPastePreview.post();
    }
    cdsPastePreview.enableControls();
    cdsPastePreview.first();
}

void PastePreviewDialog::sbtConfirmaClick() {
    setModalResult(ui::ModalResult::Ok);
}

void PastePreviewDialog::sbtCopiarClick() {
    QString text;
    for (const PastePreviewRow& r : rows_)
        if (!r.problem.isEmpty())
            text += r.source + QStringLiteral("\r\n");
    if (services() != nullptr)
        services()->setClipboardText(text);
}

}  // namespace ctb::ctb10000
