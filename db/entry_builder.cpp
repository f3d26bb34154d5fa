#include "db/entry_builder.h"

#include "platform/sql/database.h"
#include "platform/sql/error.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace ctb::db::detail {
namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

std::vector<BankAccount> banksOf(const Company& c) {
    std::vector<BankAccount> out;
    for (const BankAccount& b : bankAccounts())
        if (b.company == c.code)
            out.push_back(b);
    return out;
}

LineDraft debit(const char* account, qint64 cents) {
    return {s(account), true, cents, {}};
}
LineDraft credit(const char* account, qint64 cents) {
    return {s(account), false, cents, {}};
}

// cents * percent / 100, rounded half up.
qint64 percentOf(qint64 cents, int basisPoints) {
    return (cents * basisPoints + 5000) / 10000;
}

const char* const kMonths[] = {"JANEIRO", "FEVEREIRO", "MARCO",    "ABRIL",   "MAIO",     "JUNHO",
                               "JULHO",   "AGOSTO",    "SETEMBRO", "OUTUBRO", "NOVEMBRO", "DEZEMBRO"};

QString monthYear(QDate d) {
    return QStringLiteral("%1/%2").arg(s(kMonths[d.month() - 1])).arg(d.year());
}

}  // namespace

Template EntryFactory::pick(const Company& company, bool benchmark) {
    if (benchmark) {
        // Heavier entries on average (about four lines), as a real journal of a trading company.
        const int r = static_cast<int>(rng_.between(1, 100));
        if (r <= 35)
            return Template::CreditSale;
        if (r <= 55)
            return Template::Payroll;
        if (r <= 70)
            return Template::Purchase;
        if (r <= 90)
            return Template::SundryExpenses;
    }
    for (;;) {
        const auto t = static_cast<Template>(rng_.between(0, static_cast<int>(Template::Count) - 1));
        if (allows(t, company))
            return t;
    }
}

bool EntryFactory::allows(Template kind, const Company& company) {
    if (kind != Template::Transfer)
        return true;
    return company.sameAccount == QStringLiteral("S") && banksOf(company).size() >= 2;
}

EntryDraft EntryFactory::make(Template kind, const Company& company, QDate date) {
    EntryDraft e;
    e.company = company.code;
    e.date = date;
    e.document = nextDocument();
    e.origin = QStringLiteral("I");
    const Party& client = rng_.pick(clients());
    const Party& supplier = rng_.pick(suppliers());
    const std::vector<BankAccount> banks = banksOf(company);
    const QString bank = banks.empty() ? QString() : rng_.pick(banks).reduced;
    auto money = [&](qint64 lo, qint64 hi) { return rng_.between(lo * 100, hi * 100) + rng_.between(0, 99); };
    auto upper = [](const QString& t) { return t.toUpper(); };

    switch (kind) {
        case Template::CreditSale: {
            const qint64 total = money(300, 25000);
            const qint64 icms = percentOf(total, 1800);
            e.system = QStringLiteral("DFS");
            e.history = QStringLiteral("0003");
            e.text = upper(
                QStringLiteral("Venda de mercadorias conforme NF %1 - %2").arg(e.document, client.name));
            e.lines = {debit("1.1.02.001", total), credit("3.1.01.001", total), debit("3.1.02.001", icms),
                       credit("2.1.03.001", icms)};
            e.lines[0].commercial = client.code;
            break;
        }
        case Template::CashSale: {
            const qint64 total = money(20, 3000);
            e.system = QStringLiteral("FAI");
            e.history = QStringLiteral("0015");
            e.text = upper(QStringLiteral("Venda à vista cupom %1").arg(e.document));
            e.lines = {debit("1.1.01.001", total), credit("3.1.01.001", total)};
            break;
        }
        case Template::ServiceSale: {
            const qint64 total = money(500, 12000);
            const qint64 commission = percentOf(total, 500);
            e.system = QStringLiteral("VND");
            e.history = QStringLiteral("0016");
            e.text = upper(
                QStringLiteral("Serviços prestados NF %1 - %2 com comissão").arg(e.document, client.name));
            e.lines = {debit("1.1.02.001", total), credit("3.1.01.002", total),
                       debit("4.2.03.001", commission), credit("2.1.02.001", commission)};
            e.lines[0].commercial = client.code;
            break;
        }
        case Template::Purchase: {
            const qint64 total = money(200, 20000);
            const qint64 icms = percentOf(total, 1200);
            e.system = QStringLiteral("DFE");
            e.history = QStringLiteral("0004");
            e.text = upper(
                QStringLiteral("Compra de mercadorias conforme NF %1 - %2").arg(e.document, supplier.name));
            e.lines = {debit("1.1.03.001", total - icms), debit("1.1.04.001", icms),
                       credit("2.1.01.001", total)};
            e.lines[2].commercial = supplier.code;
            break;
        }
        case Template::SupplierPayment: {
            const qint64 value = money(100, 15000);
            const qint64 interest = rng_.chance(30) ? money(1, 80) : 0;
            e.system = QStringLiteral("PAG");
            e.history = QStringLiteral("0001");
            e.text = upper(QStringLiteral("Pagamento NF %1 - %2").arg(e.document, supplier.name));
            e.lines = {debit("2.1.01.001", value)};
            e.lines[0].commercial = supplier.code;
            if (interest) {
                e.lines.push_back(debit("4.2.02.001", interest));
                e.lines.back().commercial = bank;
            }
            e.lines.push_back(credit("1.1.01.002", value + interest));
            e.lines.back().commercial = bank;
            break;
        }
        case Template::CustomerReceipt: {
            const qint64 value = money(100, 15000);
            const qint64 interest = rng_.chance(25) ? money(1, 60) : 0;
            e.system = QStringLiteral("REC");
            e.history = QStringLiteral("0002");
            e.text = upper(QStringLiteral("Recebimento duplicata %1 - %2").arg(e.document, client.name));
            e.lines = {debit("1.1.01.002", value + interest), credit("1.1.02.001", value)};
            e.lines[0].commercial = bank;
            e.lines[1].commercial = client.code;
            if (interest) {
                e.lines.push_back(credit("3.1.03.001", interest));
                e.lines.back().commercial = bank;
            }
            break;
        }
        case Template::BankFee: {
            const qint64 fee = money(5, 120);
            e.system = QStringLiteral("BCO");
            e.history = QStringLiteral("0006");
            e.text = upper(QStringLiteral("Tarifa bancária ref. %1").arg(monthYear(date)));
            e.lines = {debit("4.2.02.002", fee), credit("1.1.01.002", fee)};
            e.lines[0].commercial = bank;
            e.lines[1].commercial = bank;
            break;
        }
        case Template::TaxAssessment: {
            const qint64 value = money(500, 9000);
            e.system = QStringLiteral("FIS");
            e.history = QStringLiteral("0009");
            e.text = upper(QStringLiteral("Apuração do ICMS ref. %1").arg(monthYear(date)));
            e.lines = {debit("2.1.03.001", value), credit("1.1.04.001", value)};
            e.maps.push_back({QString::number(date.year()),
                              QStringLiteral("%1").arg(date.month(), 2, 10, QLatin1Char('0')),
                              QStringLiteral("ICMS")});
            if (rng_.chance(40))
                e.maps.push_back({QString::number(date.year()),
                                  QStringLiteral("%1").arg(date.month(), 2, 10, QLatin1Char('0')),
                                  QStringLiteral("PIS")});
            break;
        }
        case Template::Depreciation: {
            const qint64 value = money(200, 4000);
            e.origin = QStringLiteral("L");
            e.system = QStringLiteral("LTO");
            e.history = QStringLiteral("0008");
            e.text = upper(QStringLiteral("Depreciação de máquinas e veículos ref. %1").arg(monthYear(date)));
            e.lines = {debit("4.2.01.006", value), credit("1.2.01.003", value)};
            e.lot = QStringLiteral("LT%1%2").arg(date.toString(QStringLiteral("yyyyMM")), company.code);
            break;
        }
        case Template::Freight: {
            const qint64 value = money(50, 2500);
            e.system = QStringLiteral("EXP");
            e.history = QStringLiteral("0014");
            e.text = upper(QStringLiteral("Frete sobre vendas CT-e %1 - %2").arg(e.document, supplier.name));
            e.lines = {debit("4.2.03.002", value), credit("2.1.01.001", value)};
            e.lines[0].commercial = supplier.code;
            e.lines[1].commercial = supplier.code;
            break;
        }
        case Template::Payroll: {
            const qint64 gross = money(8000, 90000);
            const qint64 inss = percentOf(gross, 1100);
            const qint64 fgts = percentOf(gross, 800);
            e.origin = QStringLiteral("M");
            e.history = QStringLiteral("0005");
            e.text = upper(QStringLiteral("Folha de pagamento ref. %1").arg(monthYear(date)));
            e.lines = {debit("4.2.01.001", gross), credit("2.1.02.001", gross - inss - fgts),
                       credit("2.1.02.002", inss), credit("2.1.02.003", fgts)};
            break;
        }
        case Template::Rent: {
            const qint64 value = money(1500, 12000);
            e.origin = QStringLiteral("M");
            e.history = QStringLiteral("0011");
            e.text = upper(QStringLiteral("Aluguel do imóvel ref. %1").arg(monthYear(date)));
            e.lines = {debit("4.2.01.002", value), credit("1.1.01.002", value)};
            e.lines[1].commercial = bank;
            break;
        }
        case Template::Utilities: {
            const qint64 value = money(150, 6000);
            e.origin = QStringLiteral("M");
            e.history = QStringLiteral("0012");
            e.text = upper(QStringLiteral("Energia elétrica e telefone ref. %1").arg(monthYear(date)));
            e.lines = {debit("4.2.01.003", value), debit("4.2.01.004", money(80, 900))};
            e.lines.push_back(credit("1.1.01.002", e.lines[0].cents + e.lines[1].cents));
            e.lines.back().commercial = bank;
            break;
        }
        case Template::SundryExpenses: {
            e.origin = QStringLiteral("M");
            e.history = QStringLiteral("0012");
            e.text = upper(QStringLiteral("Despesas diversas conforme relatório %1").arg(e.document));
            const char* const expenses[] = {"4.2.01.003", "4.2.01.004", "4.2.01.005", "4.2.01.002",
                                            "4.2.03.001"};
            const int count = static_cast<int>(rng_.between(3, 5));
            qint64 total = 0;
            for (int i = 0; i < count; ++i) {
                e.lines.push_back(debit(expenses[i], money(30, 2500)));
                total += e.lines.back().cents;
            }
            e.lines.push_back(credit("1.1.01.002", total));
            e.lines.back().commercial = bank;
            break;
        }
        case Template::Transfer: {
            const std::vector<BankAccount> own = banksOf(company);
            const qint64 value = money(1000, 50000);
            e.origin = QStringLiteral("M");
            e.history = QStringLiteral("0007");
            e.text = upper(
                QStringLiteral("Transferência entre contas %1 para %2").arg(own[1].reduced, own[0].reduced));
            e.lines = {debit("1.1.01.002", value), credit("1.1.01.002", value)};
            e.lines[0].commercial = own[0].reduced;
            e.lines[1].commercial = own[1].reduced;
            break;
        }
        case Template::OfficeSupplies:
        case Template::Count: {
            const qint64 value = money(15, 800);
            e.origin = QStringLiteral("M");
            e.history = QStringLiteral("0010");  // the standard history with no description
            e.text = upper(QStringLiteral("Material de escritório - %1").arg(supplier.name));
            e.lines = {debit("4.2.01.005", value), credit("1.1.01.001", value)};
            break;
        }
    }
    return e;
}

EntryDraft EntryFactory::closing(const Company& company, QDate date) {
    EntryDraft e;
    e.company = company.code;
    e.date = date;
    e.document = nextDocument();
    e.origin = QStringLiteral("E");
    e.history = QStringLiteral("0013");
    e.text = QStringLiteral("ENCERRAMENTO DO EXERCÍCIO DE %1").arg(date.year());
    const qint64 value = rng_.between(5000000, 90000000);
    e.lines = {debit("3.1.01.001", value), credit("2.2.02.001", value)};
    return e;
}

// ---- writer ------------------------------------------------------------------------------------

EntryWriter::EntryWriter(const QSqlDatabase& db, Rng& rng, bool audit)
    : db_(db), rng_(rng), audit_(audit), postgres_(sql::backendOf(db) == sql::Backend::PostgreSQL) {
    lines_ = std::make_unique<BatchInsert>(
        db, QStringLiteral("LANCCONT"),
        QStringList{QStringLiteral("CDEMPRESA"), QStringLiteral("NRLANCCONT"), QStringLiteral("NRSEQLANC"),
                    QStringLiteral("CDCONTCTBL"), QStringLiteral("DTLANCCONT"), QStringLiteral("VRLANCAMENT"),
                    QStringLiteral("CDDOCUCONT"), QStringLiteral("DSHISTLANC"), QStringLiteral("CDCONTCOME"),
                    QStringLiteral("IDLANCINTE"), QStringLiteral("IDTIPOLANC"), QStringLiteral("CDHISTPADR"),
                    QStringLiteral("IDLANCCOME"), QStringLiteral("IDSISTEMA"), QStringLiteral("CDOPERADOR")});
    allocations_ = std::make_unique<BatchInsert>(
        db, QStringLiteral("LANCCCUSTO"),
        QStringList{QStringLiteral("CDEMPRESA"), QStringLiteral("NRLANCCONT"), QStringLiteral("NRSEQLANC"),
                    QStringLiteral("CDFILIAL"), QStringLiteral("CDCENTCUST"), QStringLiteral("DTCOMPCUSTO"),
                    QStringLiteral("VRLANCCUST")});
    allocations_->storeAfter(lines_.get());
    lots_ = std::make_unique<BatchInsert>(
        db, QStringLiteral("LOTELANC"),
        QStringList{QStringLiteral("CDEMPRESA"), QStringLiteral("NRLANCCONT"), QStringLiteral("CDLOTE")});
    maps_ = std::make_unique<BatchInsert>(
        db, QStringLiteral("MAPAAPURLANC"),
        QStringList{QStringLiteral("CDEMPRESA"), QStringLiteral("NRLANCCONT"), QStringLiteral("ANO"),
                    QStringLiteral("MES"), QStringLiteral("IMPOSTO")});
    versions_ = std::make_unique<BatchInsert>(
        db, QStringLiteral("LANCVERSAO"),
        QStringList{QStringLiteral("CDEMPRESA"), QStringLiteral("NRLANCCONT"), QStringLiteral("VERSAO")},
        500);
    audits_ = std::make_unique<BatchInsert>(
        db, QStringLiteral("LANCAUDIT"),
        QStringList{QStringLiteral("CDEMPRESA"), QStringLiteral("NRLANCCONT"), QStringLiteral("ACAO"),
                    QStringLiteral("CDOPERADOR"), QStringLiteral("NRLINHAS"), QStringLiteral("VRTOTAL"),
                    QStringLiteral("NRSEQAUDIT"), QStringLiteral("NRVERSAO")});
}

void EntryWriter::write(const EntryDraft& e) {
    const Company* company = nullptr;
    for (const Company& c : companies())
        if (c.code == e.company)
            company = &c;
    const QString month = e.date.toString(QStringLiteral("yyyyMM"));
    const QString key = e.company + month;
    if (!last_.contains(key)) {
        QSqlQuery q(db_);
        q.prepare(QStringLiteral("SELECT ULTIMO FROM NUMLANC WHERE CDEMPRESA = ? AND ANOMES = ?"));
        q.addBindValue(e.company);
        q.addBindValue(month);
        if (!q.exec())
            throw sql::SqlError(QStringLiteral("Erro ao ler a numeração dos lançamentos."),
                                q.lastError().text());
        if (q.next()) {
            stored_.insert(key, q.value(0).toInt());
            last_.insert(key, q.value(0).toInt());
        } else {
            last_.insert(key, 0);
        }
    }
    const int seq = ++last_[key];
    const QString number = month + QStringLiteral("%1").arg(seq, 6, 10, QLatin1Char('0'));
    const QString date = e.date.toString(Qt::ISODate);
    const bool commercial = company && company->commercial == QStringLiteral("S");
    qint64 debits = 0;
    int n = 0;
    for (const LineDraft& line : e.lines) {
        const Account* account = findAccount(line.account);
        const QString nrSeq = QStringLiteral("%1").arg(++n, 5, 10, QLatin1Char('0'));
        const QString kind = commercial && account ? account->commercial : QString();
        const qint64 signedCents = line.debit ? -line.cents : line.cents;
        if (line.debit)
            debits += line.cents;
        lines_->add({e.company, number, nrSeq, line.account, date, centsText(signedCents), e.document, e.text,
                     kind.isEmpty() ? nullText() : textOrNull(line.commercial), e.origin,
                     line.debit ? QStringLiteral("D") : QStringLiteral("C"), textOrNull(e.history),
                     textOrNull(kind), textOrNull(e.system), QStringLiteral("DEMO")});
        ++stats_.lines;
        refreshStatistics();
        if (company && company->managerial == QStringLiteral("S") && account)
            allocate(e, number, nrSeq, line, *company);
    }
    if (!e.lot.isEmpty())
        lots_->add({e.company, number, e.lot});
    for (const MapDraft& m : e.maps)
        maps_->add({e.company, number, m.year, m.month, m.tax});
    versions_->add({e.company, number, 1});
    if (audit_)
        audits_->add({e.company, number, QStringLiteral("INCLUSAO"), QStringLiteral("DEMO"),
                      static_cast<int>(e.lines.size()), centsText(debits), 1, 1});
    ++stats_.entries;
}

void EntryWriter::allocate(const EntryDraft& e, const QString& number, const QString& seq,
                           const LineDraft& line, const Company& company) {
    const Account* account = findAccount(line.account);
    const QString flag = account->allocation;
    const bool takes = flag == QStringLiteral("G") || flag == QStringLiteral("R") ||
                       (flag == QStringLiteral("L") && rng_.chance(50));
    if (!takes)
        return;
    std::vector<std::pair<QString, QString>> pairs;
    for (const QString& b : company.branches)
        for (const Branch& branch : branches())
            if (branch.code == b)
                for (const QString& cc : branch.costCentres)
                    pairs.emplace_back(b, cc);
    if (pairs.empty())
        return;
    // A partial shuffle picks distinct branch and cost-centre pairs.
    int parts = static_cast<int>(rng_.between(1, std::min<qint64>(3, static_cast<qint64>(pairs.size()))));
    if (line.cents < parts)
        parts = 1;
    for (int i = 0; i < parts; ++i)
        std::swap(pairs[static_cast<std::size_t>(i)],
                  pairs[static_cast<std::size_t>(rng_.between(i, static_cast<qint64>(pairs.size()) - 1))]);
    qint64 left = line.cents;
    for (int i = 0; i < parts; ++i) {
        const qint64 share = i == parts - 1 ? left : std::max<qint64>(1, left * rng_.between(20, 60) / 100);
        left -= share;
        allocations_->add({e.company, number, seq, pairs[static_cast<std::size_t>(i)].first,
                           pairs[static_cast<std::size_t>(i)].second, e.date.toString(Qt::ISODate),
                           centsText(line.debit ? -share : share)});
        ++stats_.allocations;
    }
}

void EntryWriter::refreshStatistics() {
    // PostgreSQL plans the foreign-key checks of the allocations once, from the statistics of a then
    // nearly empty LANCCONT; as the transaction grows that plan degrades to scanning, so it is made to
    // plan again on fresh statistics (ANALYZE counts this transaction's own rows).
    if (!postgres_ || stats_.lines < nextAnalyze_)
        return;
    nextAnalyze_ = stats_.lines * 2;
    lines_->flush();
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("ANALYZE LANCCONT")))
        throw sql::SqlError(QStringLiteral("Erro ao atualizar as estatísticas de LANCCONT."),
                            q.lastError().text());
}

void EntryWriter::finish() {
    lines_->flush();
    allocations_->flush();
    lots_->flush();
    maps_->flush();
    versions_->flush();
    audits_->flush();
    BatchInsert inserts(db_, QStringLiteral("NUMLANC"),
                        {QStringLiteral("CDEMPRESA"), QStringLiteral("ANOMES"), QStringLiteral("ULTIMO")});
    QSqlQuery update(db_);
    update.prepare(QStringLiteral("UPDATE NUMLANC SET ULTIMO = ? WHERE CDEMPRESA = ? AND ANOMES = ?"));
    for (auto it = last_.cbegin(); it != last_.cend(); ++it) {
        const QString company = it.key().left(2);
        const QString month = it.key().mid(2);
        if (stored_.contains(it.key())) {
            update.addBindValue(it.value());
            update.addBindValue(company);
            update.addBindValue(month);
            if (!update.exec())
                throw sql::SqlError(QStringLiteral("Erro ao gravar a numeração dos lançamentos."),
                                    update.lastError().text());
        } else {
            inserts.add({company, month, it.value()});
        }
    }
    inserts.flush();
}

}  // namespace ctb::db::detail
