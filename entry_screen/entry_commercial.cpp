// The commercial account of a line (client, supplier or bank account): the panel that follows the
// current line, the code box and its lookup, the required-code check, and the display of kinds and
// registration numbers.
#include "entry_screen/cli_ctb10000.h"

#include "platform/dataset/edit_mask.h"
#include "platform/sql/error.h"

namespace ctb::ctb10000 {
namespace {

ClientDataSet* boundTable(const ui::DBEdit& edit) {
    return edit.dataSource() != nullptr ? edit.dataSource()->dataSet() : nullptr;
}

QString kindOf(const ClientDataSet* line) {
    return line != nullptr && line->active() ? line->fieldByName(u"IDLANCCOME").asString().left(1)
                                             : QString();
}

void openOne(TADOIBQuery& q, const char* key, const char* all, const QString& codigo, const QString& todos) {
    q.Close();
    q.ParamByName(QString::fromLatin1(key)).setValue(codigo);
    q.ParamByName(QString::fromLatin1(all)).setValue(todos);
    q.Open();
}

}  // namespace

void TfrmLancamento::abreQryTipoCome(const QString& cdContCtbl) {
    // No account named: no type, without asking the database (no account has an empty code); the
    // query stands on nothing, as after an empty result.
    qryTipoCome.Close();
    if (EmptyString(cdContCtbl))
        return;
    qryTipoCome.ParamByName(QStringLiteral("P_CDCONTCTBL")).setValue(cdContCtbl);
    qryTipoCome.Open();
}

void TfrmLancamento::AbreQryCliente(const QString& codigo, const QString& todos) {
    openOne(qryCliente, "P_CDCLIENTE", "P_TCDCLIENTE", codigo, todos);
}

void TfrmLancamento::AbreQryFornecedor(const QString& codigo, const QString& todos) {
    openOne(qryFornecedor, "P_CDFORNECED", "P_TCDFORNECED", codigo, todos);
}

void TfrmLancamento::AbreQryBanco(const QString& codigo, const QString& todos) {
    // Always the bank accounts of the screen's company.
    qryBanco.Close();
    qryBanco.ParamByName(QStringLiteral("P_CDREDUCONT")).setValue(codigo);
    qryBanco.ParamByName(QStringLiteral("P_TCDREDUCONT")).setValue(todos);
    qryBanco.ParamByName(QStringLiteral("P_CDEMPRESA")).setValue(edtCdEmpresa.text());
    try {
        qryBanco.Open();
    } catch (const sql::SqlError&) {
        MensErro(services(), msgPadrao.Msg(QStringLiteral("BANCO_NCAD")));
    }
}

void TfrmLancamento::AtualizaContaComercial(const QString& lado, const QString& codigo) {
    if (EmptyString(codigo))
        edtNmComercial.setText(QString());
    ClientDataSet& line = lado == u"D" ? cdsDebito : cdsCredito;
    abreQryTipoCome(line.active() ? line.fieldByName(u"CDCONTCTBL").asString() : QString());
    const bool takesCode = !qryTipoCome.IsEmpty();
    dbeCdContCome.setEnabled(takesCode);
    btnComercial.setEnabled(takesCode);
    lblCodComercial.setEnabled(takesCode);
    if (!takesCode) {
        // The panel only: the line's code is cleared by the line handlers.
        dbeCdContCome.showText(QString());
        edtNmComercial.setText(QString());
        lblIdentificador.setText(QString());
        return;
    }
    const QString kind = qryTipoCome.fieldByName(u"IDTIPOCOME").asString().left(1);
    if (!EmptyString(codigo) && (kind == u"B" || kind == u"C" || kind == u"F")) {
        lblIdentificador.setText(msgPadrao.Msg(kind));
        if (kind == u"F") {
            btnComercial.SetDataSource(&dtsFornecedor);
            AbreQryFornecedor(codigo, QString());
            edtNmComercial.setText(qryFornecedor.fieldByName(u"NMRAZSOCFORN").asString());
        } else if (kind == u"C") {
            btnComercial.SetDataSource(&dtsCliente);
            AbreQryCliente(codigo, QString());
            edtNmComercial.setText(qryCliente.fieldByName(u"NMRAZSOCCLIE").asString());
        } else {
            btnComercial.SetDataSource(&dtsBanco);
            AbreQryBanco(codigo, QString());
            edtNmComercial.setText(qryBanco.fieldByName(u"DSCONTCORR").asString());
        }
        return;
    }
    if (kind == u"F") {
        btnComercial.SetDataSource(&dtsFornecedor);
        lblIdentificador.setText(msgPadrao.Msg(QStringLiteral("F")));
    } else if (kind == u"C") {
        btnComercial.SetDataSource(&dtsCliente);
        AbreQryCliente(QString(), QStringLiteral("T"));
        lblIdentificador.setText(msgPadrao.Msg(QStringLiteral("C")));
    } else {
        btnComercial.SetDataSource(&dtsBanco);
        lblIdentificador.setText(msgPadrao.Msg(QStringLiteral("B")));
    }
}

void TfrmLancamento::ValidaContaComercial(const QString& CdContCtbl, const QString& CdContCome,
                                          const QString& /*CdEmpresa*/, const QString& /*NrLancCont*/,
                                          const QString& /*NrSeqLanc*/, const QString& lado) {
    if (FIdContCome != u"S")
        return;
    if (!recount_) {
        abreQryTipoCome(CdContCtbl);
        if (qryTipoCome.IsEmpty() || !EmptyString(CdContCome))
            return;
    } else {
        // A recount asks once per account whether it takes a code.
        if (!EmptyString(CdContCome))
            return;
        auto known = recount_->takesCommercial.constFind(CdContCtbl);
        if (known == recount_->takesCommercial.constEnd()) {
            abreQryTipoCome(CdContCtbl);
            known = recount_->takesCommercial.insert(CdContCtbl, !qryTipoCome.IsEmpty());
        }
        if (!*known)
            return;
    }
    const QString text = msgPadrao.Msg(QStringLiteral("CODCOME_DEV")) +
                         msgPadrao.Msg(QStringLiteral("PARA")) + msgPadrao.Msg(lado);
    if (lado.startsWith(u'C')) {
        dbgCredito.setFocus();
        AtualizaContaComercial(QStringLiteral("C"), cdsCredito.fieldByName(u"CDCONTCOME").asString());
        MensErro(services(), text);
    }
    if (lado.startsWith(u'D')) {
        dbgDebito.setFocus();
        AtualizaContaComercial(QStringLiteral("D"), cdsDebito.fieldByName(u"CDCONTCOME").asString());
        dbeCdContCome.setFocus();
        MensErro(services(), text);
    }
}

void TfrmLancamento::dbeCdContComeEnter() {
    bindLineDetails(FLadoCredito ? credit_ : debit_);
}

void TfrmLancamento::dbeCdContComeKeyDown(int& key, ui::ShiftState /*shift*/) {
    const bool moves =
        key == ui::vk::Tab || key == ui::vk::Return || (key >= ui::vk::Left && key <= ui::vk::Down);
    if (!moves)
        edtNmComercial.setText(QString());
}

void TfrmLancamento::dbeCdContComeExit() {
    if (EmptyString(dbeCdContCome.text()))
        return;
    checaCodigoComercial();
}

void TfrmLancamento::checaCodigoComercial() {
    ClientDataSet* line = boundTable(dbeCdContCome);
    const QString kind = kindOf(line);
    const QString code = line != nullptr ? line->fieldByName(u"CDCONTCOME").asString() : QString();
    auto mustExist = [this](const TADOIBQuery& q, const char* key) {
        if (q.IsEmpty()) {
            dbeCdContCome.setFocus();
            MensErro(services(), msgPadrao.Msg(QString::fromLatin1(key)));
        }
    };
    if (kind == u"B") {
        AbreQryBanco(code, QString());
        mustExist(qryBanco, "BANCO_N");
    } else if (kind == u"C") {
        AbreQryCliente(code, QString());
        mustExist(qryCliente, "CLI_N");
    } else if (kind == u"F") {
        AbreQryFornecedor(code, QString());
        mustExist(qryFornecedor, "FORN_N");
    }
}

void TfrmLancamento::btnComercialBeforePesq(bool& /*allow*/) {
    const QString kind = kindOf(boundTable(dbeCdContCome));
    if (kind == u"B")
        AbreQryBanco(QString(), QStringLiteral("T"));
    else if (kind == u"C")
        AbreQryCliente(QString(), QStringLiteral("T"));
    else if (kind == u"F")
        AbreQryFornecedor(QString(), QStringLiteral("T"));
}

void TfrmLancamento::btnComercialAfterPesq() {
    DataSource* source = dbeCdContCome.dataSource();
    ClientDataSet* line = boundTable(dbeCdContCome);
    const QString kind = kindOf(line);
    QString picked;
    if (kind == u"C")
        picked = qryCliente.fieldByName(u"CDCLIENTE").asString();
    else if (kind == u"F")
        picked = qryFornecedor.fieldByName(u"CDFORNECED").asString();
    else if (kind == u"B")
        picked = qryBanco.fieldByName(u"CDREDUCONT").asString();
    else
        return;
    if (!editing(*line))
        source->edit();
    line->fieldByName(u"IDLANCCOME").setAsString(kind);
    line->fieldByName(u"CDCONTCOME").setAsString(picked);
    if (source == &dtsCredito)
        AtualizaContaComercial(QStringLiteral("C"), cdsCredito.fieldByName(u"CDCONTCOME").asString());
    else if (source == &dtsDebito)
        AtualizaContaComercial(QStringLiteral("D"), cdsDebito.fieldByName(u"CDCONTCOME").asString());
}

void TfrmLancamento::cdsLancContIDLANCCOMEGetText(QString& text) {
    const QString code = cdsLancCont.fieldByName(u"IDLANCCOME").asString();
    text = EmptyString(code) ? QString() : msgPadrao.Msg(code);
}

void TfrmLancamento::qryClienteNRINSJURCLIEGetText(QString& text) {
    text = formatMaskText(PictPess(qryCliente.fieldByName(u"IDTPIJURCLIE").asString()),
                          qryCliente.fieldByName(u"NRINSJURCLIE").asString());
}

void TfrmLancamento::qryFornecedorNRINSJURFORNGetText(QString& text) {
    text = formatMaskText(PictPess(qryFornecedor.fieldByName(u"IDTPIJURFORN").asString()),
                          qryFornecedor.fieldByName(u"NRINSJURFORN").asString());
}

}  // namespace ctb::ctb10000
