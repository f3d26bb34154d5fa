#include "server/entry_rules.h"

#include "platform/net/wire.h"
#include "server/errors.h"
#include "server/money.h"
#include "server/schema_names.h"

#include <QDateTime>
#include <QHash>
#include <QSet>

#include <optional>

namespace ctb::server {

namespace {

class Columns {
  public:
    Columns(const DataPacket& p, const char* what) : p_(p), what_(what) {}
    [[nodiscard]] int required(const char* name) const {
        const int i = p_.fieldIndex(QString::fromLatin1(name));
        if (i < 0)
            throw BadRequest(QStringLiteral("O pacote de %1 não tem o campo %2.")
                                 .arg(QLatin1String(what_), QLatin1String(name)));
        return i;
    }
    [[nodiscard]] int optional(const char* name) const { return p_.fieldIndex(QString::fromLatin1(name)); }

  private:
    const DataPacket& p_;
    const char* what_;
};

QString text(const Row& r, int i) {
    if (i < 0 || r.isNull(i))
        return {};
    switch (r.kind(i)) {
        case CellKind::Text:
            return r.text(i);
        case CellKind::Integer:
            return QString::number(r.integer(i));
        case CellKind::Number:
            return QString::number(r.number(i), 'g', 15);
        default:
            return {};
    }
}

std::optional<double> number(const Row& r, int i) {
    if (i < 0)
        return std::nullopt;
    switch (r.kind(i)) {
        case CellKind::Number:
            return r.number(i);
        case CellKind::Integer:
            return static_cast<double>(r.integer(i));
        case CellKind::Text: {
            bool ok = false;
            const double d = r.text(i).trimmed().toDouble(&ok);
            if (ok)
                return d;
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

QDate date(const Row& r, int i) {
    if (i < 0)
        return {};
    if (r.kind(i) == CellKind::DateTime)
        return wire::dateFromMsecs(r.msecs(i));
    if (r.kind(i) == CellKind::Text) {
        if (const auto d = wire::parseIsoDate(r.utf8(i).substr(0, 10)))
            return *d;
    }
    return {};
}

std::int64_t centsOf(std::optional<double> v, const QString& what) {
    if (!v)
        return 0;
    const auto c = toCents(*v);
    if (!c)
        throw Refusal(QStringLiteral("Valor inválido %1.").arg(what));
    return *c;
}

// The earliest competence date the books take: an older one is a typing slip (a year "0026").
constexpr int kFirstYear = 1900;

}  // namespace

QString sideName(const QString& side) {
    return side == QLatin1String("D") ? QStringLiteral("Débito") : QStringLiteral("Crédito");
}

QString formatCents(std::int64_t cents) {
    const bool negative = cents < 0;
    std::uint64_t a = negative ? 0 - static_cast<std::uint64_t>(cents) : static_cast<std::uint64_t>(cents);
    const int fraction = static_cast<int>(a % 100);
    a /= 100;
    QString units = QString::number(a);
    for (qsizetype i = units.size() - 3; i > 0; i -= 3)
        units.insert(i, u'.');
    return QStringLiteral("%1%2,%3")
        .arg(negative ? QStringLiteral("-") : QString(), units)
        .arg(fraction, 2, 10, QLatin1Char('0'));
}

QString lineReference(const Entry& e, const QString& seq, const QString& details) {
    QString ref = QStringLiteral("(lançamento contábil %1, partida %2").arg(e.number, seq.left(20));
    if (!details.isEmpty())
        ref += QStringLiteral(", ") + details;
    return ref + u')';
}

Entry readEntry(const DataPacket& lines, const DataPacket& allocations) {
    Entry e;
    if (lines.rows.empty())
        throw Refusal(QStringLiteral("Partida de débito deve ser realizada."));
    const Columns lc(lines, "partidas");
    const int iEmp = lc.required("CDEMPRESA"), iNr = lc.required("NRLANCCONT"),
              iSeq = lc.required("NRSEQLANC"), iAcc = lc.required("CDCONTCTBL"),
              iDate = lc.required("DTLANCCONT"), iSide = lc.required("IDTIPOLANC");
    const int iVal = lc.optional("VRLANCAMENT"), iDeb = lc.optional("DEBITO"), iCred = lc.optional("CREDITO"),
              iDoc = lc.optional("CDDOCUCONT"), iHist = lc.optional("DSHISTLANC"),
              iCome = lc.optional("CDCONTCOME"), iInte = lc.optional("IDLANCINTE"),
              iHp = lc.optional("CDHISTPADR"), iKind = lc.optional("IDLANCCOME"),
              iSys = lc.optional("IDSISTEMA");
    if (iVal < 0 && iDeb < 0 && iCred < 0)
        (void)lc.required("VRLANCAMENT");

    e.company = text(lines.rows.front(), iEmp).trimmed();
    e.number = text(lines.rows.front(), iNr).trimmed();
    if (e.company.isEmpty())
        throw Refusal(QStringLiteral("Empresa deve ser informada."));
    if (e.number.isEmpty() || e.number.size() > 12)
        throw Refusal(
            QStringLiteral("Número do lançamento contábil inválido: \"%1\".").arg(e.number.left(20)));

    QHash<QString, std::size_t> lineOf;  // NRSEQLANC -> index
    lineOf.reserve(static_cast<qsizetype>(lines.rows.size()));
    e.lines.reserve(lines.rows.size());
    std::int64_t debits = 0, credits = 0;
    for (const Row& r : lines.rows) {
        EntryLine l;
        if (text(r, iEmp).trimmed() != e.company || text(r, iNr).trimmed() != e.number)
            throw Refusal(QStringLiteral(
                "Todas as partidas devem ser da mesma empresa e do mesmo lançamento contábil."));
        l.seq = text(r, iSeq).trimmed();
        if (l.seq.isEmpty() || l.seq.size() > 5 || lineOf.contains(l.seq))
            throw Refusal(QStringLiteral("Sequência de partida não informada ou repetida: \"%1\".")
                              .arg(l.seq.left(20)));
        lineOf.insert(l.seq, e.lines.size());
        l.side = text(r, iSide).trimmed().toUpper();
        if (l.side != QLatin1String("D") && l.side != QLatin1String("C"))
            throw Refusal(
                QStringLiteral("A partida %1 deve ser de débito (D) ou de crédito (C).").arg(l.seq));
        const bool debit = l.side == QLatin1String("D");
        l.account = text(r, iAcc).trimmed();
        if (l.account.isEmpty())
            throw Refusal(debit ? QStringLiteral("Conta Contábil de débito deve ser informada.")
                                : QStringLiteral("Conta Contábil de crédito deve ser informada."));
        l.date = date(r, iDate);
        if (!l.date.isValid())
            throw Refusal(QStringLiteral("Data do lançamento contábil deve ser informada."));
        const QString what = QStringLiteral("na partida %1").arg(l.seq);
        if (iVal >= 0 && !r.isNull(iVal)) {
            l.cents = centsOf(number(r, iVal), what);
        } else {
            l.cents = debit ? -centsOf(number(r, iDeb), what) : centsOf(number(r, iCred), what);
        }
        if (l.cents == 0)
            throw Refusal(debit ? QStringLiteral("Valor de débito deve ser maior que zero.")
                                : QStringLiteral("Valor de crédito deve ser maior que zero."));
        if ((l.cents < 0) != debit)
            throw Refusal(QStringLiteral("O sinal do valor da partida %1 não corresponde ao lado (%2).")
                              .arg(l.seq, sideName(l.side)));
        (debit ? debits : credits) += debit ? -l.cents : l.cents;
        l.document = text(r, iDoc);
        l.history = text(r, iHist);
        l.commercialCode = text(r, iCome);
        l.origin = text(r, iInte);
        l.historyCode = text(r, iHp).trimmed();
        l.commercialKind = text(r, iKind);
        l.system = text(r, iSys);
        e.lines.push_back(std::move(l));
    }
    if (debits == 0)
        throw Refusal(QStringLiteral("Partida de débito deve ser realizada."));
    if (debits != credits)
        throw Refusal(QStringLiteral("Valor total de crédito difere do total de débito."));

    if (allocations.rows.empty())
        return e;
    const Columns ac(allocations, "rateios");
    const int aEmp = ac.required("CDEMPRESA"), aNr = ac.required("NRLANCCONT"),
              aSeq = ac.required("NRSEQLANC"), aFil = ac.required("CDFILIAL"),
              aCc = ac.required("CDCENTCUST");
    const int aVal = ac.optional("VRLANCCUST"), aDeb = ac.optional("DEBITO"), aCred = ac.optional("CREDITO"),
              aDate = ac.optional("DTCOMPCUSTO");
    if (aVal < 0 && aDeb < 0 && aCred < 0)
        (void)ac.required("VRLANCCUST");
    QSet<QString> seen;
    seen.reserve(static_cast<qsizetype>(allocations.rows.size()));
    e.allocations.reserve(allocations.rows.size());
    for (const Row& r : allocations.rows) {
        EntryAllocation a;
        a.seq = text(r, aSeq).trimmed();
        const auto owner = lineOf.constFind(a.seq);
        if (text(r, aEmp).trimmed() != e.company || text(r, aNr).trimmed() != e.number ||
            owner == lineOf.constEnd())
            throw Refusal(
                QStringLiteral(
                    "Rateio não pertence a nenhuma partida do lançamento contábil (partida \"%1\").")
                    .arg(a.seq.left(20)));
        a.line = *owner;
        const EntryLine& l = e.lines[a.line];
        a.branch = text(r, aFil).trimmed();
        a.costCentre = text(r, aCc).trimmed();
        if (a.branch.isEmpty())
            throw Refusal(QStringLiteral("Filial deve ser informada. %1 Informe a filial do rateio.")
                              .arg(lineReference(e, a.seq)));
        if (a.costCentre.isEmpty())
            throw Refusal(
                QStringLiteral("Centro de Custo deve ser informado. %1 Informe o centro de custo do rateio.")
                    .arg(lineReference(e, a.seq, QStringLiteral("filial %1").arg(a.branch.left(20)))));
        const QString where = lineReference(
            e, a.seq,
            QStringLiteral("filial %1, centro de custo %2").arg(a.branch.left(20), a.costCentre.left(20)));
        const QString what = QStringLiteral("no rateio %1").arg(where);
        if (aVal >= 0 && !r.isNull(aVal))
            a.cents = centsOf(number(r, aVal), what);
        else
            a.cents = centsOf(number(r, aCred), what) - centsOf(number(r, aDeb), what);
        if (a.cents == 0)
            throw Refusal(
                QStringLiteral("Valor do rateio deve informado. %1 Informe o valor do rateio.").arg(where));
        // The shares of a line add up to its signed value: a debit line's shares are debits.
        if ((a.cents < 0) != (l.cents < 0))
            throw Refusal(QStringLiteral("Os rateios de uma partida de %1 devem ser de %2. %3 Informe o "
                                         "valor do rateio na coluna %1.")
                              .arg(sideName(l.side), sideName(l.side).toLower(), where));
        if (aDate >= 0 && !r.isNull(aDate)) {
            a.date = date(r, aDate);
            if (!a.date.isValid() || a.date.year() < kFirstYear)
                throw Refusal(
                    QStringLiteral("Data do rateio inválida. %1 Informe uma data válida (dd/mm/aaaa).")
                        .arg(where));
        }
        const QString key = a.seq + u'\x1f' + a.branch.toUpper() + u'\x1f' + a.costCentre.toUpper();
        if (seen.contains(key))
            throw Refusal(QStringLiteral("Rateio já informado para a filial e centro de custo informados. %1 "
                                         "Deixe um só rateio por filial e centro de custo na partida.")
                              .arg(where));
        seen.insert(key);
        e.allocations.push_back(std::move(a));
    }
    return e;
}

bool isValidYearMonth(const QString& ym) {
    if (ym.size() != 6)
        return false;
    for (const QChar c : ym)
        if (c < u'0' || c > u'9')
            return false;
    const int year = ym.left(4).toInt();
    const int month = ym.mid(4).toInt();
    return year >= 1900 && month >= 1 && month <= 12;
}

QString monthText(const QVariant& v) {
    bool ok = false;
    const int n = v.toString().trimmed().toInt(&ok);
    if (ok && n >= 1 && n <= 12)
        return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    return textOf(v).trimmed();
}

QString yearText(const QVariant& v) {
    return textOf(v).trimmed();
}

QString staleVersionMessage(const QString& entry) {
    return QStringLiteral(
               "O lançamento contábil %1 foi alterado por outro usuário depois de carregado. "
               "Cancele e abra o lançamento novamente para ver a versão atual.")
        .arg(entry);
}

std::int64_t bumpVersion(Storage& storage, const QString& company, const QString& entry) {
    // One statement whether or not the entry had a version row yet.
    QSqlQuery& q =
        storage.prepare(QStringLiteral(
            "INSERT INTO " CTB_VERSION_TABLE " (CDEMPRESA, NRLANCCONT, VERSAO) VALUES (:E, :N, 1) "
            "ON CONFLICT (CDEMPRESA, NRLANCCONT) DO UPDATE SET VERSAO = " CTB_VERSION_TABLE ".VERSAO + 1 "
            "RETURNING VERSAO"));
    q.bindValue(QStringLiteral(":E"), company);
    q.bindValue(QStringLiteral(":N"), entry);
    storage.exec(q);
    const std::int64_t v = q.next() ? q.value(0).toLongLong() : 1;
    q.finish();
    return v;
}

}  // namespace ctb::server
