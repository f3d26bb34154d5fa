// The allocations (managerial lines) of the entry's lines: the allocation area, its filter to the
// current line, the allocation mirror, the checks of an allocation, the sum check of a line and the
// highlight of the current side.
#include "entry_screen/cli_ctb10000.h"

#include <cmath>

namespace ctb::ctb10000 {
namespace {

// The colour that marks the current side's title and panel (the system's inactive caption).
constexpr const char* kCurrentSideColor = "#bfcddb";

const QString kTodos = QStringLiteral("T");

// Shares and line values are compared as whole cents.
qint64 cents(double value) {
    return static_cast<qint64>(std::llround(RoundDec(value, 2) * 100.0));
}

// A line among the allocations, by the three fields of the line filter (compared as the filter does).
QString allocationKey(const QString& empresa, const QString& nrLancCont, const QString& nrSeqLanc) {
    return empresa + u'\x1f' + nrLancCont + u'\x1f' + nrSeqLanc;
}

struct PacketColumns {
    int company, entry, sequence, branch, costCentre, share;
    explicit PacketColumns(const DataPacket& p)
        : company(p.fieldIndex(u"CDEMPRESA")),
          entry(p.fieldIndex(u"NRLANCCONT")),
          sequence(p.fieldIndex(u"NRSEQLANC")),
          branch(p.fieldIndex(u"CDFILIAL")),
          costCentre(p.fieldIndex(u"CDCENTCUST")),
          share(p.fieldIndex(u"VRLANCCUST")) {}
};

AllocationTotal allocationTotalOf(const DataPacket& packet, const QString& empresa, const QString& nrLancCont,
                                  const QString& nrSeqLanc) {
    const PacketColumns c(packet);
    AllocationTotal total;
    for (const Row& row : packet.rows)
        if (row.text(c.sequence) == nrSeqLanc && row.text(c.entry) == nrLancCont &&
            row.text(c.company) == empresa) {
            total.cents += cents(row.number(c.share));
            ++total.count;
        }
    return total;
}

bool sameText(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

QHash<QString, AllocationTotal> allocationTotals(const DataPacket& packet) {
    const PacketColumns c(packet);
    QHash<QString, AllocationTotal> totals;
    totals.reserve(static_cast<qsizetype>(packet.rows.size()));
    for (const Row& row : packet.rows) {
        AllocationTotal& t =
            totals[allocationKey(row.text(c.company), row.text(c.entry), row.text(c.sequence))];
        t.cents += cents(row.number(c.share));
        ++t.count;
    }
    return totals;
}

QString filtroLinha(const QString& nrLancCont, const QString& empresa, const QString& nrSeqLanc) {
    return QStringLiteral("NRLANCCONT = '") + nrLancCont + QStringLiteral("'") +
           QStringLiteral(" AND CDEMPRESA  = ") + QStringLiteral("'") + empresa + QStringLiteral("'") +
           QStringLiteral(" AND NRSEQLANC  = ") + QStringLiteral("'") + nrSeqLanc + QStringLiteral("'");
}

void TfrmLancamento::filtraRateiosDaLinha(const ClientDataSet& line) {
    auto text = [&line](const char* name) {
        return line.active() ? line.fieldByName(QString::fromLatin1(name)).asString() : QString();
    };
    cdsLancCCusto.setFiltered(false);
    cdsLancCCusto.setFilter(filtroLinha(text("NRLANCCONT"), text("CDEMPRESA"), text("NRSEQLANC")));
    cdsLancCCusto.setFiltered(true);
}

void TfrmLancamento::copiaEspelhoRateios() {
    cdsLancCCustoEspelho.setData(cdsLancCCusto.data());
}

void TfrmLancamento::applyMirrorFilter(const QString& filter) {
    cdsLancCCustoEspelho.setFiltered(false);
    cdsLancCCustoEspelho.setFilter(filter);
    cdsLancCCustoEspelho.setFiltered(true);
}

// ---- the area ----

void TfrmLancamento::btnGerencialClick() {
    panLancamentoGerencial.setVisible(!panLancamentoGerencial.visible());
}

void TfrmLancamento::panLancamentoGerencialEnter() {
    FAreaGerencial = true;
    FNavegacao = false;
}

void TfrmLancamento::dbgLancCCustoExit() {
    storePendingLine(cdsLancCCusto);
}

void TfrmLancamento::AlteraCoresGridPosicionado() {
    const bool credit = FLadoCredito;
    for (ui::Control* c :
         {static_cast<ui::Control*>(&panTituloCredito), static_cast<ui::Control*>(&panCredito)})
        c->setColor(credit ? QString::fromLatin1(kCurrentSideColor) : QString());
    for (ui::Control* c :
         {static_cast<ui::Control*>(&panTituloDebito), static_cast<ui::Control*>(&panDebito)})
        c->setColor(credit ? QString() : QString::fromLatin1(kCurrentSideColor));
    // While the allocation area has the focus, the line its allocations belong to stays marked whole.
    dbgCredito.setRowSelect(credit && FAreaGerencial);
    dbgDebito.setRowSelect(!credit && FAreaGerencial);
}

// ---- one allocation ----

void TfrmLancamento::AbreQryFilial(const QString& CdFilial, const QString& TCdFilial) {
    qryFilial.Close();
    qryFilial.ParamByName(QStringLiteral("P_CDFILIAL")).setValue(CdFilial);
    qryFilial.ParamByName(QStringLiteral("P_TCDFILIAL")).setValue(TCdFilial);
    qryFilial.Open();
}

void TfrmLancamento::FiltraCentroDeCusto() {
    QString branch = fieldOf(cdsLancCCusto, "CDFILIAL").asString();
    branch.replace(u'\'', QStringLiteral("''"));
    cdsCentCustFil.setFiltered(false);
    cdsCentCustFil.setFilter(QStringLiteral("CDFILIAL = '") + branch + u'\'');
    cdsCentCustFil.setFiltered(true);
}

void TfrmLancamento::cdsLancCCustoNewRecord() {
    ClientDataSet* line = FLadoDebito ? &cdsDebito : FLadoCredito ? &cdsCredito : nullptr;
    if (line != nullptr && line->active())
        for (const char* name : {"CDEMPRESA", "NRLANCCONT", "NRSEQLANC"})
            fieldOf(cdsLancCCusto, name).setAsString(fieldOf(*line, name).asString());
    fieldOf(cdsLancCCusto, "DTCOMPCUSTO").setAsDate(depData.GetDate());
}

void TfrmLancamento::cdsLancCCustoAfterEdit() {
    FFilialAnterior = fieldOf(cdsLancCCusto, "CDFILIAL").asString();
    FCentCustAnterior = fieldOf(cdsLancCCusto, "CDCENTCUST").asString();
}

void TfrmLancamento::cdsLancCCustoCDFILIALChange() {
    if (cdsLancCCusto.state() == DataSetState::Browse)
        cdsLancCCusto.edit();
    for (const char* name : {"NMFILIAL", "CDCENTCUST", "NMCENTCUST"})
        fieldOf(cdsLancCCusto, name).clear();
}

void TfrmLancamento::cdsLancCCustoCDCENTCUSTChange() {
    if (cdsLancCCusto.state() == DataSetState::Browse)
        cdsLancCCusto.edit();
    fieldOf(cdsLancCCusto, "NMCENTCUST").clear();
}

bool TfrmLancamento::rateioJaInformado(const QString& empresa, const QString& nrLancCont,
                                       const QString& nrSeqLanc, const QString& filial,
                                       const QString& centCust) const {
    if (!cdsLancCCustoEspelho.active())
        return false;
    const DataPacket& all = cdsLancCCustoEspelho.data();
    const PacketColumns c(all);
    for (const Row& row : all.rows)
        if (sameText(row.text(c.sequence), nrSeqLanc) && sameText(row.text(c.costCentre), centCust) &&
            sameText(row.text(c.branch), filial) && sameText(row.text(c.entry), nrLancCont) &&
            sameText(row.text(c.company), empresa))
            return true;
    return false;
}

void TfrmLancamento::cdsLancCCustoBeforePost() {
    if (FCarregando)
        return;
    ClientDataSet& t = cdsLancCCusto;
    auto fail = [this](Field& field, const char* key) {
        field.focusControl();
        MensErro(services(), msgPadrao.Msg(QString::fromLatin1(key)));
    };
    Field& branch = fieldOf(t, "CDFILIAL");
    Field& costCentre = fieldOf(t, "CDCENTCUST");
    // 1, 2. The branch.
    if (selectedFieldName(dbgLancCCusto) == u"CDFILIAL")
        branch.setAsString(Ajusta(branch.asString(), 4));
    if (EmptyString(branch.asString()))
        fail(branch, "FILIAL_DEV");
    // 3. Related to the entry's company.
    if (!rdmLancamento.getEmprRelac(edtCdEmpresa.text(), branch.asString())) {
        dbgLancCCusto.setFocus();
        fail(branch, "FIL_NRELAC");
    }
    // 4. A branch of that code.
    AbreQryFilial(branch.asString(), QString());
    if (qryFilial.IsEmpty())
        fail(branch, "FILIAL_N");
    fieldOf(t, "NMFILIAL").setAsString(qryFilial.fieldByName(u"NMFILIAL").asString());
    // 5, 6. The cost centre.
    costCentre.setAsString(Ajusta(costCentre.asString(), 4));
    if (EmptyString(costCentre.asString()))
        fail(costCentre, "CENTCUST_DEV");
    // 7. A cost centre of that branch.
    FiltraCentroDeCusto();
    if (!cdsCentCustFil.locate(u"CDFILIAL;CDCENTCUST", QVariantList{branch.asString(), costCentre.asString()},
                               LocateOptions{true, false}))
        fail(costCentre, "CENTCUST_NFIL");
    fieldOf(t, "NMCENTCUST").setAsString(cdsCentCustFil.fieldByName(u"NMCENTCUST").asString());
    // 8-10. One value, of one side.
    Field& debit = fieldOf(t, "DEBITO");
    Field& credit = fieldOf(t, "CREDITO");
    if (debit.isNull() && credit.isNull())
        fail(debit, "RAT_DEV");
    const double debitValue = RoundDec(debit.asFloat(), 2), creditValue = RoundDec(credit.asFloat(), 2);
    if (debitValue == 0 && creditValue == 0)
        fail(debit, "RAT_DEV");
    if (debitValue != 0 && creditValue != 0)
        fail(debit, "PART_NAOCRDB");
    // 11. Not twice on the line. A new allocation is always tested; an edited one when its pair changed.
    const bool samePair = t.state() == DataSetState::Edit && branch.asString() == FFilialAnterior &&
                          costCentre.asString() == FCentCustAnterior;
    if (!samePair &&
        rateioJaInformado(fieldOf(t, "CDEMPRESA").asString(), fieldOf(t, "NRLANCCONT").asString(),
                          fieldOf(t, "NRSEQLANC").asString(), branch.asString(), costCentre.asString()))
        fail(costCentre, "RATJAINFORMADO");
    // 12. The signed share: a debit negative, a credit positive.
    fieldOf(t, "VRLANCCUST")
        .setAsFloat(debit.asFloat() != 0 ? RoundDec(debit.asFloat() * -1, 2) : RoundDec(credit.asFloat(), 2));
}

void TfrmLancamento::cdsLancCCustoAfterPost() {
    copiaEspelhoRateios();
    if (cdsLancCCusto.changeCount() > 0) {
        cdsLancCCusto.mergeChangeLog();
        if (!FCarregando)
            FAlterado = true;
        ControlaBotoesFormulario(cdsLancCCusto);
    }
}

void TfrmLancamento::cdsLancCCustoAfterDelete() {
    copiaEspelhoRateios();
    if (cdsLancCCusto.changeCount() > 0) {
        cdsLancCCusto.mergeChangeLog();
        FAlterado = true;
        ControlaBotoesFormulario(cdsLancCCusto);
    }
    FConfirmado = false;
}

void TfrmLancamento::dbgLancCCustoColExit() {
    ClientDataSet& t = cdsLancCCusto;
    if (!editing(t))
        return;
    auto fail = [this](Field& field, const char* key) {
        field.focusControl();
        MensErro(services(), msgPadrao.Msg(QString::fromLatin1(key)));
    };
    Field& branch = fieldOf(t, "CDFILIAL");
    Field& costCentre = fieldOf(t, "CDCENTCUST");
    const QString column = selectedFieldName(dbgLancCCusto);
    if (column == u"CDFILIAL") {
        if (EmptyString(branch.asString()))
            return;  // the post asks for it
        branch.setAsString(Ajusta(branch.asString(), 4));
        AbreQryFilial(branch.asString(), QString());
        if (qryFilial.IsEmpty())
            fail(branch, "FILIAL_N");
        fieldOf(t, "NMFILIAL").setAsString(qryFilial.fieldByName(u"NMFILIAL").asString());
    } else if (column == u"CDCENTCUST") {
        if (EmptyString(branch.asString())) {
            costCentre.clear();
            fieldOf(t, "NMCENTCUST").clear();
            fail(branch, "FILIAL_DEV");
        }
        if (EmptyString(costCentre.asString()))
            return;
        costCentre.setAsString(Ajusta(costCentre.asString(), 4));
        FiltraCentroDeCusto();
        if (!cdsCentCustFil.locate(u"CDFILIAL;CDCENTCUST",
                                   QVariantList{branch.asString(), costCentre.asString()},
                                   LocateOptions{true, false}))
            fail(costCentre, "CENTCUST_NFIL");
        fieldOf(t, "NMCENTCUST").setAsString(cdsCentCustFil.fieldByName(u"NMCENTCUST").asString());
    }
}

void TfrmLancamento::dbgLancCCustoEditButtonClick() {
    ClientDataSet& t = cdsLancCCusto;
    if (t.state() == DataSetState::Browse)
        t.edit();  // on an empty table this begins a new allocation
    if (!editing(t))
        return;
    Field& branch = fieldOf(t, "CDFILIAL");
    const QString column = selectedFieldName(dbgLancCCusto);
    if (column == u"CDCENTCUST") {
        if (EmptyString(branch.asString())) {
            branch.focusControl();
            MensErro(services(), msgPadrao.Msg(QStringLiteral("FILIAL_DEV")));
        }
        FiltraCentroDeCusto();
        Field& costCentre = fieldOf(t, "CDCENTCUST");
        costCentre.setAsString(Ajusta(costCentre.asString(), 4));
        if (!hostlib::Pesquisar(services(), &dtsCentCustFil,
                                msgPadrao.Msg(QStringLiteral("CENTROCUSTO")) + u'|' +
                                    msgPadrao.Msg(QStringLiteral("NEXISTE_CCUSTFIL")),
                                false, true))
            return;
        costCentre.setAsString(cdsCentCustFil.fieldByName(u"CDCENTCUST").asString());
        fieldOf(t, "NMCENTCUST").setAsString(cdsCentCustFil.fieldByName(u"NMCENTCUST").asString());
    } else if (column == u"CDFILIAL") {
        qryFilial.Close();
        qryFilial.ParamByName(QStringLiteral("P_TCDFILIAL")).setValue(kTodos);
        qryFilial.Open();
        if (!hostlib::Pesquisar(
                services(), &dtsFilial,
                msgPadrao.Msg(QStringLiteral("FILIAL")) + u'|' + msgPadrao.Msg(QStringLiteral("Filial_Cad")),
                false, true))
            return;
        const QString code = qryFilial.fieldByName(u"CDFILIAL").asString();
        const QString name = qryFilial.fieldByName(u"NMFILIAL").asString();
        fieldOf(t, "NMFILIAL").clear();
        branch.setAsString(code);
        fieldOf(t, "NMFILIAL").setAsString(name);
    }
}

// ---- the sum check of a line ----

void TfrmLancamento::ValidaValoresRateio(const QString& CdContCtbl, const QString& CdEmpresa,
                                         const QString& NrLancCont, const QString& NrSeqLanc,
                                         const QString& lado, double valor) {
    if (FIdContGere != u"S")
        return;
    // A recount reads each account once.
    QString kind;
    if (recount_ && recount_->allocationKinds.contains(CdContCtbl)) {
        kind = recount_->allocationKinds.value(CdContCtbl);
    } else {
        abreQryContCtbl(CdContCtbl, QString(), QString(), kTodos);
        kind = qryContCtbl.IsEmpty() ? QString() : qryContCtbl.fieldByName(u"IDCONTCCUS").asString();
        if (recount_)
            recount_->allocationKinds.insert(CdContCtbl, kind);
    }
    if (EmptyString(kind))
        return;
    const QChar letter = kind.at(0);
    const bool creditSide = lado.startsWith(u'C');
    if (letter == u'G' || letter == u'L' || letter == u'R') {
        const QString filter = filtroLinha(NrLancCont, CdEmpresa, NrSeqLanc);
        // The mirror is left filtered to the checked line; a recount sets that filter once, at its end.
        AllocationTotal total;
        if (recount_) {
            total = recount_->allocations.value(allocationKey(CdEmpresa, NrLancCont, NrSeqLanc));
            pendingMirrorFilter_ = filter;
        } else if (cdsLancCCustoEspelho.active()) {
            applyMirrorFilter(filter);
            total = allocationTotalOf(cdsLancCCustoEspelho.data(), CdEmpresa, NrLancCont, NrSeqLanc);
        }
        auto showArea = [this, &filter] {
            if (recount_ && cdsLancCCustoEspelho.active())
                applyMirrorFilter(filter);
            if (!panLancamentoGerencial.visible())
                panLancamentoGerencial.setVisible(true);
            panLancamentoGerencial.setEnabled(true);
            dbgLancCCusto.setFocus();
            fieldOf(cdsLancCCusto, "CDFILIAL").focusControl();
        };
        const QString sideText = msgPadrao.Msg(creditSide ? QStringLiteral("CR") : QStringLiteral("DB"));
        if (total.count > 0) {
            if (total.cents != cents(valor)) {
                showArea();
                MensErro(services(),
                         msgPadrao.Msg(QStringLiteral("SOMA_RAT")).replace(QStringLiteral("%s"), sideText));
            }
            return;
        }
        if (letter == u'L')
            return;
        ClientDataSet& lines = creditSide ? cdsCredito : cdsDebito;
        const bool onLine = lines.active() && !lines.isEmpty() &&
                            fieldOf(lines, "CDEMPRESA").asString() == CdEmpresa &&
                            fieldOf(lines, "NRLANCCONT").asString() == NrLancCont &&
                            fieldOf(lines, "NRSEQLANC").asString() == NrSeqLanc;
        if (!onLine && lines.active() && !editing(lines))
            lines.locate(u"CDEMPRESA;NRLANCCONT;NRSEQLANC", QVariantList{CdEmpresa, NrLancCont, NrSeqLanc},
                         LocateOptions{true, false});
        showArea();
        fieldOf(lines, creditSide ? "CREDITO" : "DEBITO").focusControl();
        MensErro(services(), msgPadrao.Msg(QStringLiteral("LANCGER_DEV")) +
                                 msgPadrao.Msg(QStringLiteral("PARA")) + sideText);
    }
    // An account that takes no allocation loses those the line has.
    if (!cdsLancCCusto.active())
        return;
    cdsLancCCusto.setFiltered(false);
    cdsLancCCusto.setFilter(filtroLinha(NrLancCont, CdEmpresa, NrSeqLanc));
    cdsLancCCusto.setFiltered(true);
    while (!cdsLancCCusto.isEmpty()) {
        cdsLancCCusto.first();
        cdsLancCCusto.remove();
    }
    if (recount_)
        recount_->allocations.remove(allocationKey(CdEmpresa, NrLancCont, NrSeqLanc));
}

}  // namespace ctb::ctb10000
