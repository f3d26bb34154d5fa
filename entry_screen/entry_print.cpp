// "Imprimir": the list as filtered (the fifth button, on the browse tab) and the opened entry as a
// voucher ("Imprimir lançamento", Ctrl+P, on the form tab), as report documents that the UI services
// preview and print.
#include "entry_screen/cli_ctb10000.h"

#include "hostlib/utils.h"
#include "platform/report/grid_export.h"

#include <QDateTime>
#include <QLocale>

namespace ctb::ctb10000 {

namespace {

const QLocale& brazil() {
    static const QLocale locale(QLocale::Portuguese, QLocale::Brazil);
    return locale;
}

QString money(double value) {
    return brazil().toString(RoundDec(value, 2), 'f', 2);
}

QString date(const QDate& d) {
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

// The sum of a money field over the rows the table shows (its filter applied), without moving it.
double total(const ClientDataSet& table, const char* fieldName) {
    if (!table.active())
        return 0;
    const Field* field = table.findField(QString::fromLatin1(fieldName));
    if (field == nullptr)
        return 0;
    double sum = 0;
    for (int row = 0; row < table.viewRowCount(); ++row)
        if (!table.isPendingRow(row))
            sum = RoundDec(sum + table.valueAt(row, field->index()).toDouble(), 2);
    return sum;
}

// A table's committed rows, every one (the screen's filter left alone), as a copy to read.
void copyRows(const ClientDataSet& from, ClientDataSet& to) {
    if (from.active())
        to.setData(from.data());
}

struct VoucherColumn {
    const char* field;
    const char* title;
    report::Align align;
    int chars;
};

report::Table linesTable(const ClientDataSet& lines, const char* valueField) {
    const VoucherColumn columns[] = {
        {"CDCONTCTBL", "Conta", report::Align::Left, 12},
        {"NMCONTCTBL", "Nome", report::Align::Left, 22},
        {"DSHISTLANC", "Histórico", report::Align::Left, 34},
        {"CDCONTCOME", "Cód. Comercial", report::Align::Left, 14},
        {valueField, "Valor", report::Align::Right, 14},
    };
    report::Table out;
    for (const VoucherColumn& c : columns)
        out.columns.push_back(report::Column{QString::fromUtf8(c.title), c.align, c.chars});
    ClientDataSet copy(QStringLiteral("voucherLines"));
    copyRows(lines, copy);
    double sum = 0;
    if (copy.active())
        for (copy.first(); !copy.eof(); copy.next()) {
            std::vector<QString> cells;
            for (const VoucherColumn& c : columns) {
                const Field& f = copy.fieldByName(QString::fromLatin1(c.field));
                cells.push_back(f.dataType() == FieldType::Float ? money(f.asFloat()) : f.asString());
            }
            sum = RoundDec(sum + copy.fieldByName(QString::fromLatin1(valueField)).asFloat(), 2);
            out.rows.push_back(std::move(cells));
        }
    out.totals = {QStringLiteral("Total"), QString(), QString(), QString(), money(sum)};
    return out;
}

report::Table allocationsTable(const ClientDataSet& allocations) {
    const VoucherColumn columns[] = {
        {"NRSEQLANC", "Seq.", report::Align::Left, 6},    {"CDFILIAL", "Filial", report::Align::Left, 6},
        {"NMFILIAL", "Nome", report::Align::Left, 20},    {"CDCENTCUST", "C.Custo", report::Align::Left, 7},
        {"NMCENTCUST", "Nome", report::Align::Left, 24},  {"DEBITO", "Débito", report::Align::Right, 14},
        {"CREDITO", "Crédito", report::Align::Right, 14},
    };
    report::Table out;
    for (const VoucherColumn& c : columns)
        out.columns.push_back(report::Column{QString::fromUtf8(c.title), c.align, c.chars});
    ClientDataSet copy(QStringLiteral("voucherAllocations"));
    copyRows(allocations, copy);
    if (copy.active())
        for (copy.first(); !copy.eof(); copy.next()) {
            std::vector<QString> cells;
            for (const VoucherColumn& c : columns) {
                const Field& f = copy.fieldByName(QString::fromLatin1(c.field));
                cells.push_back(f.dataType() == FieldType::Float
                                    ? (f.isNull() ? QString() : money(f.asFloat()))
                                    : f.asString());
            }
            out.rows.push_back(std::move(cells));
        }
    return out;
}

}  // namespace

QString TfrmLancamento::printFooter() const {
    const QDateTime now(session.currentDate(), QTime::currentTime());
    return QStringLiteral("Emitido por %1 em %2")
        .arg(session.Operador, now.toString(QStringLiteral("dd/MM/yyyy HH:mm")));
}

QString TfrmLancamento::printCompany() const {
    return QStringLiteral("Empresa %1 - %2").arg(edtCdEmpresa.text(), edtNmEmpresa.text());
}

report::Document TfrmLancamento::listReport() const {
    report::Document doc;
    doc.title = QStringLiteral("Lançamentos Contábeis");
    doc.subtitle = printCompany();
    doc.footer = printFooter();
    doc.landscape = true;
    if (const LancFilterArgs* c = dialogs_.criterios ? dialogs_.criterios() : nullptr) {
        auto add = [&doc](const char* label, const QString& value) {
            if (!value.isEmpty() && value != u"T")
                doc.criteria.emplace_back(QString::fromUtf8(label), value);
        };
        add("Período", QStringLiteral("%1 a %2").arg(date(c->dtIni), date(c->dtFim)));
        if (!c->contIni.isEmpty() || c->contFimBound != u"T")
            add("Contas", QStringLiteral("%1 a %2").arg(c->contIni, QString(c->contFimBound).remove(u'Z')));
        if (c->flagValor != u"T")
            add("Valores", QStringLiteral("%1 a %2").arg(money(c->vrIni), money(c->vrFim)));
        add("Histórico", c->histText);
        add("Documento", c->documento);
        add("Lançamento", c->nrLanc);
        add("Centro de custo", c->centCust);
        add("Filial", c->filial);
        add("Bancos", c->banco);
        add("Fornecedores", c->fornecedor);
        add("Clientes", c->cliente);
        add("Históricos padrão", c->histLista);
    }
    report::Section lines;
    lines.table = report::gridTable(dbgPadrao);
    const int rows = static_cast<int>(lines.table.rows.size());
    lines.table.totals.assign(lines.table.columns.size(), QString());
    if (!lines.table.totals.empty())
        lines.table.totals[0] = rows == 1 ? QStringLiteral("1 linha") : QStringLiteral("%1 linhas").arg(rows);
    // The totals stand under the grid's debit and credit columns (those gridTable shows).
    std::size_t column = 0;
    for (const ui::GridColumn& col : dbgPadrao.effectiveColumns()) {
        if (!col.visible || cdsLancCont.findField(col.fieldName) == nullptr)
            continue;
        if (col.fieldName.compare(u"DEBITO", Qt::CaseInsensitive) == 0)
            lines.table.totals[column] = money(total(cdsLancCont, "DEBITO"));
        else if (col.fieldName.compare(u"CREDITO", Qt::CaseInsensitive) == 0)
            lines.table.totals[column] = money(total(cdsLancCont, "CREDITO"));
        ++column;
    }
    doc.sections.push_back(std::move(lines));
    return doc;
}

report::Document TfrmLancamento::entryVoucher() const {
    report::Document doc;
    doc.title = QStringLiteral("Lançamento Contábil %1").arg(FNrLancCont);
    doc.subtitle = printCompany();
    doc.footer = printFooter();
    report::Section header;
    header.fields = {
        {QStringLiteral("Lançamento"), FNrLancCont.isEmpty() ? QStringLiteral("(novo)") : FNrLancCont},
        {QStringLiteral("Data"), depData.text()},
        {QStringLiteral("Documento"), edtDocumento.text()},
    };
    doc.sections.push_back(std::move(header));
    report::Section debits;
    debits.heading = QStringLiteral("Débitos");
    debits.table = linesTable(cdsDebito, "DEBITO");
    doc.sections.push_back(std::move(debits));
    report::Section credits;
    credits.heading = QStringLiteral("Créditos");
    credits.table = linesTable(cdsCredito, "CREDITO");
    doc.sections.push_back(std::move(credits));
    report::Section allocations;
    allocations.heading = QStringLiteral("Rateio por centro de custo");
    allocations.table = allocationsTable(cdsLancCCusto);
    if (!allocations.table.rows.empty())
        doc.sections.push_back(std::move(allocations));
    report::Section totals;
    totals.heading = QStringLiteral("Totais");
    ClientDataSet debitCopy(QStringLiteral("voucherDebits"));
    ClientDataSet creditCopy(QStringLiteral("voucherCredits"));
    copyRows(cdsDebito, debitCopy);
    copyRows(cdsCredito, creditCopy);
    const double debit = total(debitCopy, "DEBITO");
    const double credit = total(creditCopy, "CREDITO");
    totals.fields = {
        {QStringLiteral("Total a débito"), money(debit)},
        {QStringLiteral("Total a crédito"), money(credit)},
        {QStringLiteral("Diferença"), money(RoundDec(debit - credit, 2))},
    };
    doc.sections.push_back(std::move(totals));
    return doc;
}

void TfrmLancamento::sbtImprimirClick() {
    if (abaDadosAtiva()) {
        if (!cdsLancCont.active() || cdsLancCont.isEmpty())
            MensErro(services(), QStringLiteral("Não há lançamentos na lista para imprimir. Informe o filtro "
                                                "dos lançamentos."));
        services()->printDocument(listReport());
        return;
    }
    services()->printDocument(entryVoucher());
}

void TfrmLancamento::mnuImprimirLancamentoClick() {
    if (abaDadosAtiva()) {
        if (sbtImprimir.effectivelyEnabled())
            sbtImprimirClick();
        else
            MensErro(services(), QStringLiteral("Não há lançamentos na lista para imprimir. Informe o filtro "
                                                "dos lançamentos."));
        return;
    }
    services()->printDocument(entryVoucher());
}

}  // namespace ctb::ctb10000
