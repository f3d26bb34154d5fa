// "Exportar…" on the browse tab: the list as filtered to a CSV file a spreadsheet opens as it is.
#include "entry_screen/cli_ctb10000.h"

#include "platform/report/grid_export.h"

#include <QFileInfo>
#include <QSaveFile>

namespace ctb::ctb10000 {

void TfrmLancamento::mnuExportarClick() {
    if (!abaDadosAtiva() || !cdsLancCont.active() || cdsLancCont.isEmpty())
        MensErro(
            services(),
            QStringLiteral("Não há lançamentos na lista para exportar. Informe o filtro dos lançamentos."));
    QString suggested = QStringLiteral("lancamentos_%1").arg(edtCdEmpresa.text());
    if (const LancFilterArgs* c = dialogs_.criterios ? dialogs_.criterios() : nullptr;
        c != nullptr && c->hasPeriod())
        suggested += QStringLiteral("_%1_%2").arg(c->dtIni.toString(QStringLiteral("yyyyMMdd")),
                                                  c->dtFim.toString(QStringLiteral("yyyyMMdd")));
    const QString path = services()->askSaveFileName(QStringLiteral("Exportar lançamentos"),
                                                     suggested + QStringLiteral(".csv"),
                                                     QStringLiteral("Arquivos CSV (*.csv)"));
    if (path.isEmpty())
        return;
    // Written beside the target and renamed at the end: a failed export leaves no half file.
    QSaveFile file(path);
    const QString name = QFileInfo(path).fileName();
    if (!file.open(QIODevice::WriteOnly))
        MensErro(services(), QStringLiteral("Não foi possível criar o arquivo %1: %2. Escolha outra pasta ou "
                                            "outro nome.")
                                 .arg(name, file.errorString()));
    if (!report::writeGridCsv(dbgPadrao, file) || !file.commit())
        MensErro(services(), QStringLiteral("Não foi possível gravar o arquivo %1: %2. Nada foi exportado; "
                                            "verifique o espaço livre e tente de novo.")
                                 .arg(name, file.errorString()));
    const int rows = cdsLancCont.recordCount();
    services()->showInformation(rows == 1
                                    ? QStringLiteral("1 linha exportada para %1.").arg(name)
                                    : QStringLiteral("%1 linhas exportadas para %2.").arg(rows).arg(name));
}

}  // namespace ctb::ctb10000
