#include "server/entry_checks.h"

#include "server/errors.h"
#include "server/json_params.h"

#include <QSet>
#include <QStringList>

#include <vector>

namespace ctb::server {

namespace {

// Distinct values in first-seen order.
class Distinct {
  public:
    void add(const QString& key) {
        if (!seen_.contains(key)) {
            seen_.insert(key);
            list_ << key;
        }
    }
    [[nodiscard]] const QStringList& list() const { return list_; }

  private:
    QSet<QString> seen_;
    QStringList list_;
};

const QChar kSep = u'\x1f';

struct KindInfo {
    const char* table;   // where a code of the kind is looked for
    const char* column;  // its code column
    QString notFound;    // the screen's text
    QString what;        // the code's name in a sentence
    QString fix;         // what the user does
};

KindInfo kindInfo(const QString& kind, const QString& company) {
    if (kind == QLatin1String("C"))
        return {"CLIENTE", "CDCLIENTE", QStringLiteral("Cliente não cadastrado."), QStringLiteral("cliente"),
                QStringLiteral("Informe um cliente cadastrado.")};
    if (kind == QLatin1String("F"))
        return {"FORNECEDOR", "CDFORNECED", QStringLiteral("Fornecedor não cadastrado."),
                QStringLiteral("fornecedor"), QStringLiteral("Informe um fornecedor cadastrado.")};
    return {"CONTCORR", "CDREDUCONT", QStringLiteral("Código da Conta Corrente não cadastrado."),
            QStringLiteral("conta corrente"),
            QStringLiteral("Informe uma conta corrente da empresa %1.").arg(company)};
}

}  // namespace

EntryChecks::EntryChecks(Storage& storage, const Entry& entry, CompanyOptions options)
    : storage_(storage), e_(entry), options_(std::move(options)) {}

QSet<QString> EntryChecks::found(const QString& sql, const QStringList& keys, bool withCompany) {
    QSet<QString> out;
    if (keys.isEmpty())
        return out;
    QSqlQuery& q = storage_.prepare(sql.arg(jsonKeyTable(storage_, QStringLiteral(":J"))));
    q.bindValue(QStringLiteral(":J"), jsonTexts(keys));
    if (withCompany)
        q.bindValue(QStringLiteral(":E"), e_.company);
    storage_.exec(q);
    while (q.next())
        out.insert(textOf(q.value(0)));
    q.finish();
    return out;
}

void EntryChecks::accounts() {
    Distinct wanted;
    for (const EntryLine& l : e_.lines)
        wanted.add(l.account);
    QSqlQuery& q = storage_.prepare(
        QStringLiteral("SELECT C.CDCONTCTBL, C.IDTIPOCONT, C.IDCONTCCUS, C.IDTIPOCOME FROM CONTCTBL C "
                       "WHERE C.CDCONTCTBL IN (SELECT X.K FROM %1 X)")
            .arg(jsonKeyTable(storage_, QStringLiteral(":J"))));
    q.bindValue(QStringLiteral(":J"), jsonTexts(wanted.list()));
    storage_.exec(q);
    while (q.next()) {
        AccountInfo info;
        info.analytic = textOf(q.value(1)).trimmed() == QLatin1String("A");
        info.allocationFlag = textOf(q.value(2)).trimmed().left(1).toUpper();
        info.commercialKind = textOf(q.value(3)).trimmed().left(1).toUpper();
        accounts_.insert(textOf(q.value(0)), info);
    }
    q.finish();
    for (const EntryLine& l : e_.lines)
        if (!accounts_.value(l.account).analytic)
            throw Refusal(
                QStringLiteral("Conta Contábil não cadastrada. %1 Informe uma conta analítica do "
                               "plano de contas.")
                    .arg(lineReference(e_, l.seq, QStringLiteral("conta %1").arg(l.account.left(20)))));
}

void EntryChecks::histories() {
    Distinct wanted;
    for (const EntryLine& l : e_.lines)
        if (!l.historyCode.isEmpty())
            wanted.add(l.historyCode);
    const QSet<QString> known =
        found(QStringLiteral(
                  "SELECT X.K FROM %1 X WHERE EXISTS (SELECT 1 FROM HISTPADR H WHERE H.CDHISTPADR = X.K)"),
              wanted.list(), false);
    for (const EntryLine& l : e_.lines)
        if (!l.historyCode.isEmpty() && !known.contains(l.historyCode))
            throw Refusal(QStringLiteral("Histórico Padrão não cadastrado. %1 Informe um histórico padrão "
                                         "cadastrado ou deixe o código vazio.")
                              .arg(lineReference(
                                  e_, l.seq, QStringLiteral("histórico %1").arg(l.historyCode.left(20)))));
}

void EntryChecks::sameAccount() {
    if (!options_.forbidsSameAccount())
        return;
    QHash<QString, const EntryLine*> debits;
    for (const EntryLine& l : e_.lines)
        if (l.side == QLatin1String("D") && !debits.contains(l.account.toUpper()))
            debits.insert(l.account.toUpper(), &l);
    for (const EntryLine& l : e_.lines) {
        if (l.side != QLatin1String("C"))
            continue;
        if (const EntryLine* d = debits.value(l.account.toUpper()))
            throw Refusal(
                QStringLiteral(
                    "Não é possível, no mesmo lançamento, terem partidas de débito e crédito para a "
                    "mesma conta. (lançamento contábil %1: conta %2 na partida de débito %3 e na "
                    "partida de crédito %4) Use outra conta em uma das partidas.")
                    .arg(e_.number, l.account.left(20), d->seq, l.seq));
    }
}

void EntryChecks::commercial() {
    if (!options_.keepsCommercial())
        return;
    Distinct codes[3];  // clients, suppliers, bank accounts
    auto slot = [](const QString& kind) {
        return kind == QLatin1String("C")   ? 0
               : kind == QLatin1String("F") ? 1
               : kind == QLatin1String("B") ? 2
                                            : -1;
    };
    for (const EntryLine& l : e_.lines) {
        const QString kind = accounts_.value(l.account).commercialKind;
        if (kind.isEmpty())
            continue;
        if (l.commercialCode.trimmed().isEmpty()) {
            const QString what =
                slot(kind) < 0 ? QStringLiteral("código comercial") : kindInfo(kind, e_.company).what;
            throw Refusal(
                QStringLiteral("Código Comercial deve ser informado para a partida de %1. %2 A conta "
                               "pede o %3 da partida: informe-o.")
                    .arg(sideName(l.side),
                         lineReference(e_, l.seq, QStringLiteral("conta %1").arg(l.account.left(20))), what));
        }
        if (slot(kind) >= 0)
            codes[slot(kind)].add(l.commercialCode);
    }
    QSet<QString> known[3];
    for (const QString& kind : {QStringLiteral("C"), QStringLiteral("F"), QStringLiteral("B")}) {
        const KindInfo k = kindInfo(kind, e_.company);
        const bool bank = kind == QLatin1String("B");
        // A bank account only of the entry's company.
        known[slot(kind)] =
            found(QStringLiteral("SELECT X.K FROM %1 X WHERE EXISTS (SELECT 1 FROM %2 T WHERE T.%3 = X.K%4)")
                      .arg(QStringLiteral("%1"), QLatin1String(k.table), QLatin1String(k.column),
                           bank ? QStringLiteral(" AND T.CDEMPRESA = :E") : QString()),
                  codes[slot(kind)].list(), bank);
    }
    for (const EntryLine& l : e_.lines) {
        const QString kind = accounts_.value(l.account).commercialKind;
        const int s = slot(kind);
        if (s < 0 || known[s].contains(l.commercialCode))
            continue;
        const KindInfo k = kindInfo(kind, e_.company);
        throw Refusal(
            QStringLiteral("%1 %2 %3")
                .arg(k.notFound,
                     lineReference(e_, l.seq, QStringLiteral("%1 %2").arg(k.what, l.commercialCode.left(21))),
                     k.fix));
    }
}

void EntryChecks::allocations() {
    if (!e_.allocations.empty()) {
        for (const EntryAllocation& a : e_.allocations) {
            const EntryLine& l = e_.lines[a.line];
            if (!options_.keepsAllocations())
                throw Refusal(
                    QStringLiteral("A empresa %1 não mantém lançamentos gerenciais: a partida não pode "
                                   "ter rateios. %2 Exclua os rateios da partida.")
                        .arg(e_.company, lineReference(e_, l.seq)));
            if (!accounts_.value(l.account).takesAllocations())
                throw Refusal(
                    QStringLiteral("A conta contábil %1 não aceita rateio por centro de custo. %2 "
                                   "Exclua os rateios da partida ou use uma conta que aceite rateio.")
                        .arg(l.account.left(20), lineReference(e_, l.seq)));
        }
        Distinct branches, pairs;
        for (const EntryAllocation& a : e_.allocations) {
            branches.add(a.branch);
            pairs.add(a.branch + kSep + a.costCentre);
        }
        const QSet<QString> related =
            found(QStringLiteral(
                      "SELECT X.K FROM %1 X WHERE EXISTS (SELECT 1 FROM EMPRFILIAL F WHERE F.CDEMPRESA = "
                      ":E AND F.CDFILIAL = X.K)"),
                  branches.list(), true);
        // Pairs travel as "branch<US>centre" texts: split in C++, compared in SQL as two columns.
        QSet<QString> valid;
        {
            JsonRows rows;
            for (const QString& p : pairs.list()) {
                rows.beginRow();
                rows.text(QStringView(p).left(p.indexOf(kSep)));
                rows.text(QStringView(p).mid(p.indexOf(kSep) + 1));
                rows.endRow();
            }
            QSqlQuery& q = storage_.prepare(
                QStringLiteral("SELECT X.C0, X.C1 FROM %1 X WHERE EXISTS (SELECT 1 FROM CENTCUSTFIL F WHERE "
                               "F.CDFILIAL = X.C0 AND F.CDCENTCUST = X.C1)")
                    .arg(jsonRowTable(storage_, QStringLiteral(":J"), 2)));
            q.bindValue(QStringLiteral(":J"), rows.take());
            storage_.exec(q);
            while (q.next())
                valid.insert(textOf(q.value(0)) + kSep + textOf(q.value(1)));
            q.finish();
        }
        for (const EntryAllocation& a : e_.allocations) {
            const EntryLine& l = e_.lines[a.line];
            if (!related.contains(a.branch))
                throw Refusal(
                    QStringLiteral("Filial não relacionada à empresa do lançamento contábil. %1 Informe "
                                   "uma filial da empresa %2.")
                        .arg(lineReference(e_, l.seq, QStringLiteral("filial %1").arg(a.branch.left(20))),
                             e_.company));
            if (!valid.contains(a.branch + kSep + a.costCentre))
                throw Refusal(
                    QStringLiteral("Centro de Custo não cadastrado para filial informada. %1 Informe um "
                                   "centro de custo da filial %2.")
                        .arg(lineReference(e_, l.seq,
                                           QStringLiteral("filial %1, centro de custo %2")
                                               .arg(a.branch.left(20), a.costCentre.left(20))),
                             a.branch.left(20)));
        }
    }
    if (!options_.keepsAllocations())
        return;
    std::vector<std::int64_t> allocated(e_.lines.size(), 0);
    std::vector<int> count(e_.lines.size(), 0);
    for (const EntryAllocation& a : e_.allocations) {
        allocated[a.line] += a.cents;
        ++count[a.line];
    }
    for (std::size_t i = 0; i < e_.lines.size(); ++i) {
        const EntryLine& l = e_.lines[i];
        const QString flag = accounts_.value(l.account).allocationFlag;
        if (count[i] == 0) {
            if (flag == QLatin1String("G") || flag == QLatin1String("R"))
                throw Refusal(
                    QStringLiteral("Lançamento gerencial deve ser informado para as contas do tipo "
                                   "Gerencial e/ou Oficial/Gerencial para a partida de %1. %2 Informe os "
                                   "rateios da partida por filial e centro de custo.")
                        .arg(sideName(l.side),
                             lineReference(e_, l.seq, QStringLiteral("conta %1").arg(l.account.left(20)))));
            continue;
        }
        if (allocated[i] != l.cents)
            throw Refusal(
                QStringLiteral("A soma dos rateios deve ser igual ao valor da partida de %1. %2 Ajuste os "
                               "rateios para que somem exatamente o valor da partida.")
                    .arg(sideName(l.side),
                         lineReference(e_, l.seq,
                                       QStringLiteral("rateios %1, partida %2")
                                           .arg(formatCents(allocated[i] < 0 ? -allocated[i] : allocated[i]),
                                                formatCents(l.cents < 0 ? -l.cents : l.cents)))));
    }
}

QString EntryChecks::kindToStore(const EntryLine& line) const {
    if (options_.keepsCommercial()) {
        const QString kind = accounts_.value(line.account).commercialKind;
        if (!kind.isEmpty())
            return kind;
    }
    return line.commercialKind;
}

}  // namespace ctb::server
