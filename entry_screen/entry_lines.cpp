// The lines of an entry: the defaults of a new line, the account query, and the ordered checks that run
// before a line is stored. One body for both sides; what differs is in the Side.
#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {
namespace {

const QString kTodos = QStringLiteral("T");

}  // namespace

void TfrmLancamento::abreQryContCtbl(const QString& CdContCtbl, const QString& TCdContCtbl,
                                     const QString& CdContRedu, const QString& TCdContRedu) {
    qryContCtbl.Close();
    qryContCtbl.ParamByName(QStringLiteral("P_CDCONTCTBL")).setValue(CdContCtbl);
    qryContCtbl.ParamByName(QStringLiteral("P_TCDCONTCTBL")).setValue(TCdContCtbl);
    qryContCtbl.ParamByName(QStringLiteral("P_CDCONTREDU")).setValue(CdContRedu);
    qryContCtbl.ParamByName(QStringLiteral("P_TCDCONTREDU")).setValue(TCdContRedu);
    qryContCtbl.Open();
}

void TfrmLancamento::lineAfterInsert(Side& side) {
    ClientDataSet& t = side.table;
    fieldOf(t, "CDEMPRESA").setAsString(edtCdEmpresa.text());
    fieldOf(t, "NRLANCCONT").setAsString(FNrLancCont);
    fieldOf(t, "CDDOCUCONT").setAsString(FDocumento);
    fieldOf(t, "DTLANCCONT").setAsDate(FDtLancCont);
    // One counter for both sides, so a sequence number is unique in the entry.
    ++FUltimaSequencia;
    fieldOf(t, "NRSEQLANC").setAsString(Ajusta(QString::number(FUltimaSequencia), 5));
}

void TfrmLancamento::checkAccountPicture(Side& side) {
    QString conta = fieldOf(side.table, "CDCONTCTBL").asString();
    // ValidEx reports a code that does not fit the picture itself: the focus goes to the code first.
    if (!EmptyString(conta) && !hostlib::normaliseAccount(conta, session.accountPicture))
        fieldOf(side.table, "CDCONTCTBL").focusControl();
    hostlib::ValidEx(session, &dtsContCtbl, hostlib::ptContCtbl, conta, QStringLiteral("2"), QString(), true);
    if (qryContCtbl.IsEmpty()) {
        fieldOf(side.table, "CDCONTCTBL").focusControl();
        MensErro(services(), msgPadrao.Msg(QStringLiteral("CONTA_N")));
    }
}

void TfrmLancamento::lineBeforePost(Side& side) {
    if (FCarregando)
        return;
    ClientDataSet& t = side.table;
    auto fail = [this](Field& field, const char* key) {
        field.focusControl();
        MensErro(services(), msgPadrao.Msg(QString::fromLatin1(key)));
    };
    // 1. The document.
    fieldOf(t, "CDDOCUCONT").setAsString(FDocumento);
    if (EmptyString(FDocumento)) {
        edtDocumento.setFocus();
        MensErro(services(), msgPadrao.Msg(QStringLiteral("DOCUMENTO_DEV")));
    }
    // 2. The header shows a date.
    depData.CheckValidDate();
    if (EmptyString(depData.text()) || !depData.GetDate().isValid()) {
        depData.setFocus();
        MensErro(services(), msgPadrao.Msg(QStringLiteral("Data_Dev")));
    }
    // 3, 4. Both account codes.
    if (EmptyString(fieldOf(t, "CDCONTREDU").asString()))
        fail(fieldOf(t, "CDCONTREDU"), "CODREDU_DEV");
    if (EmptyString(fieldOf(t, "CDCONTCTBL").asString()))
        fail(fieldOf(t, "CDCONTCTBL"), side.missingAccountKey);
    // 5. An analytic account of that code.
    abreQryContCtbl(fieldOf(t, "CDCONTCTBL").asString(), QString(), QString(), kTodos);
    checkAccountPicture(side);
    fieldOf(t, "NMCONTCTBL").setAsString(qryContCtbl.fieldByName(u"NMCONTCTBL").asString());
    // 6. A value above zero once rounded to the cent.
    Field& value = fieldOf(t, side.valueField);
    if (value.isNull() || RoundDec(value.asFloat(), 2) <= 0)
        fail(value, side.valueKey);
    // 7, 8. The standard history and its text.
    if (EmptyString(fieldOf(t, "CDHISTPADR").asString())) {
        dbeCdHistPadr.setFocus();
        MensErro(services(), msgPadrao.Msg(QStringLiteral("CODHIST_DEV")));
    }
    if (EmptyString(fieldOf(t, "DSHISTLANC").asString()))
        fail(fieldOf(t, "DSHISTLANC"), "DESCHIST_DEV");
    // 9. The same account on both sides, where the company forbids it.
    if (FIdMsmContaDbCr == u"N" && side.otherTable.active() &&
        side.otherTable.locate(u"CDCONTCTBL", fieldOf(t, "CDCONTCTBL").asString(),
                               LocateOptions{true, false})) {
        bindLineDetails(side);
        AtualizaContaComercial(QString::fromLatin1(side.letter), fieldOf(t, "CDCONTCOME").asString());
        fail(fieldOf(t, "CDCONTCTBL"), "DBCR_MSMCONTA");
    }
    // 10. The signed value, the side and the origin.
    fieldOf(t, "VRLANCAMENT").setAsFloat(side.sign * RoundDec(value.asFloat(), 2));
    fieldOf(t, "IDTIPOLANC").setAsString(QString::fromLatin1(side.letter));
    fieldOf(t, "IDLANCINTE").setAsString(QStringLiteral("M"));
    // 11. A commercial account where the account asks for one.
    ValidaContaComercial(fieldOf(t, "CDCONTCTBL").asString(), fieldOf(t, "CDCONTCOME").asString(),
                         fieldOf(t, "CDEMPRESA").asString(), fieldOf(t, "NRLANCCONT").asString(),
                         fieldOf(t, "NRSEQLANC").asString(), QString::fromLatin1(side.code));
    // 12. A typed commercial code must exist, by the kind of the line the code box shows.
    if (!EmptyString(dbeCdContCome.text()))
        checaCodigoComercial();
    // 13. No commercial code on an account that takes none.
    if (!dbeCdContCome.enabled())
        fieldOf(t, "CDCONTCOME").clear();
    // 14. The allocations add up to the line.
    ValidaValoresRateio(fieldOf(t, "CDCONTCTBL").asString(), fieldOf(t, "CDEMPRESA").asString(),
                        fieldOf(t, "NRLANCCONT").asString(), fieldOf(t, "NRSEQLANC").asString(),
                        QString::fromLatin1(side.code), RoundDec(fieldOf(t, "VRLANCAMENT").asFloat(), 2));
}

}  // namespace ctb::ctb10000
