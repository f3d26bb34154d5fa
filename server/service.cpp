#include "server/service.h"

#include "server/entry_rules.h"
#include "server/errors.h"
#include "server/key_list.h"
#include "server/money.h"
#include "server/packets.h"
#include "server/schema_names.h"
#include "server/write_queue.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace ctb::server {

namespace {

const QString kDataDev = QStringLiteral("Data do lançamento contábil deve ser informada.");
const QString kEmpresaN = QStringLiteral("Empresa não cadastrada.");
const QString kEmpresaDev = QStringLiteral("Empresa deve ser informada.");

// A text cell cut to its field's size, as the in-memory table would.
void setText(Row& row, int i, const QString& text, const FieldDef& f) {
    if (text.isNull()) {
        row.setNull(i);
        return;
    }
    row.setText(i, f.size > 0 && text.size() > f.size ? QStringView(text).left(f.size) : QStringView(text));
}

void setDate(Row& row, int i, const QVariant& v) {
    if (const auto d = dateOf(v))
        row.setMsecs(i, wire::msecsFromDate(*d));
    else
        row.setNull(i);
}

void setNumber(Row& row, int i, const QVariant& v) {
    if (v.isNull())
        row.setNull(i);
    else
        row.setNumber(i, v.toDouble());
}

// Dates travel to the database as ISO text on SQLite (where they are stored as text) and as dates on
// PostgreSQL.
QVariant dateParam(const Storage& s, QDate d) {
    if (s.isPostgres())
        return QVariant(d);
    return QVariant(d.toString(Qt::ISODate));
}

// Selected in the order readLine expects.
const QString kLineColumns = QStringLiteral(
    "L.CDEMPRESA, L.NRLANCCONT, L.NRSEQLANC, L.CDCONTCTBL, C.NMCONTCTBL, L.DTLANCCONT, L.VRLANCAMENT, "
    "L.CDDOCUCONT, L.DSHISTLANC, L.CDCONTCOME, L.IDLANCINTE, C.CDCONTREDU, L.IDTIPOLANC, L.CDHISTPADR, "
    "L.IDLANCCOME, L.IDSISTEMA");
const QString kLineFrom =
    QStringLiteral(" FROM LANCCONT L LEFT JOIN CONTCTBL C ON C.CDCONTCTBL = L.CDCONTCTBL");
// Sequence numbers are digit texts: shorter first sorts "2" before "10".
const QString kLineOrder = QStringLiteral(" ORDER BY L.NRLANCCONT, LENGTH(L.NRSEQLANC), L.NRSEQLANC");

Row readLine(const QSqlQuery& q, const std::vector<FieldDef>& fields) {
    Row row(static_cast<int>(fields.size()));
    auto txt = [&](int col, int field) { setText(row, field, textOf(q.value(col)), fields[field]); };
    txt(0, 0);
    txt(1, 1);
    txt(2, 2);
    txt(3, 3);
    txt(4, 4);
    setDate(row, 5, q.value(5));
    const QVariant v = q.value(6);
    setNumber(row, 8, v);
    if (!v.isNull()) {
        const double d = v.toDouble();
        if (d < 0)
            row.setNumber(7, -d);
        else
            row.setNumber(6, d);
    }
    txt(7, 9);
    txt(8, 10);
    txt(9, 11);
    txt(10, 12);
    txt(11, 13);
    txt(12, 14);
    txt(13, 15);
    txt(14, 16);
    if (fields.size() > 17)
        txt(15, 17);
    return row;
}

QString likePattern(const QString& text) {
    QString escaped;
    escaped.reserve(text.size() + 2);
    escaped += u'%';
    for (const QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            escaped += u'\\';
        escaped += c;
    }
    escaped += u'%';
    return escaped;
}

// Builds a parameterised condition; every client text becomes a bound value.
class Conditions {
  public:
    QString param(const QVariant& v) {
        const QString name = QStringLiteral(":p%1").arg(values_.size());
        values_.push_back(v);
        return name;
    }
    QString inList(const QStringList& keys) {
        QStringList names;
        names.reserve(keys.size());
        for (const QString& k : keys)
            names << param(k);
        return QStringLiteral("(") + names.join(QStringLiteral(", ")) + QStringLiteral(")");
    }
    void add(const QString& c) { where_ << c; }
    [[nodiscard]] QString where() const { return where_.join(QStringLiteral(" AND ")); }
    void bind(QSqlQuery& q) const {
        for (std::size_t i = 0; i < values_.size(); ++i)
            q.bindValue(QStringLiteral(":p%1").arg(i), values_[i]);
    }

  private:
    QStringList where_;
    std::vector<QVariant> values_;
};

bool isAll(const QString& s) {
    return s == QLatin1String("T");
}

constexpr int kMaxListKeys = 5000;
constexpr int kHistoryChars = 600;  // DSHISTLANC

}  // namespace

LancamentoService::LancamentoService(Storage& storage, ServiceOptions options)
    : storage_(storage), options_(options) {}

wire::Value LancamentoService::getLancamentos(const LancamentosQuery& q) {
    auto refuse = [](const QString& text) {
        return wire::Value::fromArray({wire::Value::fromString(text), wire::Value()});
    };
    if (q.company.trimmed().isEmpty())
        throw Refusal(kEmpresaDev);
    if (q.dateFrom > q.dateTo)
        return refuse(QStringLiteral("Data inicial maior que a data final."));

    // No stored history is longer than its field; a longer search text would only burden the database.
    if (q.historyText.size() > kHistoryChars)
        return refuse(QStringLiteral("Texto do histórico com mais de %1 caracteres.").arg(kHistoryChars));
    Conditions c;
    const bool hasText = !isAll(q.historyText) && !q.historyText.isEmpty();
    const QString pattern = likePattern(q.historyText);
    const bool plainText = pattern.size() == q.historyText.size() + 2;  // nothing to escape
    const bool useTextIndex = hasText && !storage_.isPostgres() && plainText && q.historyText.size() >= 3 &&
                              storage_.hasHistoryIndex();
    // With the SQLite text index, "+" keeps the planner from scanning the company's date range instead.
    const QString noIndex = useTextIndex ? QStringLiteral("+") : QString();
    c.add(noIndex + QStringLiteral("L.CDEMPRESA = ") + c.param(q.company));
    c.add(noIndex + QStringLiteral("L.DTLANCCONT >= ") + c.param(dateParam(storage_, q.dateFrom)));
    c.add(noIndex + QStringLiteral("L.DTLANCCONT < ") + c.param(dateParam(storage_, q.dateTo.addDays(1))));
    if (!q.accountFrom.isEmpty())
        c.add(QStringLiteral("L.CDCONTCTBL >= ") + c.param(q.accountFrom));
    if (!isAll(q.accountBound) && !q.accountBound.isEmpty())
        c.add(QStringLiteral("L.CDCONTCTBL <= ") + c.param(q.accountBound));
    if (!isAll(q.valueFlag)) {
        const auto from = toCents(q.valueFrom), to = toCents(q.valueTo);
        if (!from || !to)
            return refuse(QStringLiteral("Valor inválido no filtro."));
        if (*to < *from)
            return refuse(QStringLiteral("Valor final menor que o valor inicial."));
        // Half a cent of slack: stored amounts are exact to the cent, the bound is a double.
        c.add(QStringLiteral("ABS(L.VRLANCAMENT) >= ") + c.param(fromCents(*from) - 0.005));
        c.add(QStringLiteral("ABS(L.VRLANCAMENT) <= ") + c.param(fromCents(*to) + 0.005));
    }
    if (hasText) {
        if (storage_.isPostgres()) {
            // The trigram index serves ILIKE directly.
            c.add(QStringLiteral("L.DSHISTLANC ILIKE ") + c.param(pattern) + QStringLiteral(" ESCAPE '\\'"));
        } else if (useTextIndex) {
            // The FTS5 trigram table answers LIKE '%text%' (case-insensitive, as LIKE) from its index;
            // the few lines still waiting for it are read directly.
            c.add(QStringLiteral("L.rowid IN (SELECT rowid FROM LANCCONT_FTS WHERE DSHISTLANC LIKE ") +
                  c.param(pattern) +
                  QStringLiteral(
                      " UNION ALL SELECT P.ROWIDLANC FROM LANCCONT_FTS_PEND P CROSS JOIN LANCCONT W ON "
                      "W.rowid = P.ROWIDLANC WHERE W.DSHISTLANC LIKE ") +
                  c.param(pattern) + u')');
        } else {
            c.add(QStringLiteral("L.DSHISTLANC LIKE ") + c.param(pattern) + QStringLiteral(" ESCAPE '\\'"));
        }
    }
    if (!isAll(q.document))
        c.add(QStringLiteral("L.CDDOCUCONT = ") + c.param(q.document));
    if (!q.entryNumber.trimmed().isEmpty())
        c.add(QStringLiteral("L.NRLANCCONT = ") + c.param(q.entryNumber.trimmed()));

    auto list = [&](const QString& text, const QString& what) -> std::optional<QStringList> {
        if (isAll(text))
            return std::nullopt;
        auto keys = parseKeyList(text);
        if (!keys)
            throw Refusal(QStringLiteral("Lista de %1 inválida.").arg(what));
        if (keys->size() > kMaxListKeys)
            throw Refusal(QStringLiteral("Lista de %1 com mais de %2 códigos.").arg(what).arg(kMaxListKeys));
        return keys;
    };
    try {
        if (const auto hist = list(q.historyList, QStringLiteral("históricos padrão")))
            c.add(QStringLiteral("L.CDHISTPADR IN ") + c.inList(*hist));

        QStringList commercial;
        const struct {
            const QString& list;
            const char* kind;
            QString what;
        } kinds[] = {{q.clientList, "C", QStringLiteral("clientes")},
                     {q.supplierList, "F", QStringLiteral("fornecedores")},
                     {q.bankList, "B", QStringLiteral("bancos")}};
        for (const auto& k : kinds) {
            if (const auto keys = list(k.list, k.what))
                commercial << QStringLiteral("(L.IDLANCCOME = '%1' AND L.CDCONTCOME IN %2)")
                                  .arg(QLatin1String(k.kind), c.inList(*keys));
        }
        if (!commercial.isEmpty())
            c.add(QStringLiteral("(") + commercial.join(QStringLiteral(" OR ")) + u')');

        const auto branches = list(q.branchList, QStringLiteral("filiais"));
        const auto centres = list(q.costCentreList, QStringLiteral("centros de custo"));
        if (branches || centres) {
            QString sub = QStringLiteral(
                "EXISTS (SELECT 1 FROM LANCCCUSTO A WHERE A.CDEMPRESA = L.CDEMPRESA AND A.NRLANCCONT = "
                "L.NRLANCCONT "
                "AND A.NRSEQLANC = L.NRSEQLANC");
            if (branches)
                sub += QStringLiteral(" AND A.CDFILIAL IN ") + c.inList(*branches);
            if (centres)
                sub += QStringLiteral(" AND A.CDCENTCUST IN ") + c.inList(*centres);
            c.add(sub + u')');
        }
    } catch (const Refusal& r) {
        return refuse(r.message());
    }

    const QString sql = QStringLiteral("SELECT ") + kLineColumns + kLineFrom + QStringLiteral(" WHERE ") +
                        c.where() + kLineOrder + QStringLiteral(" LIMIT %1").arg(options_.rowLimit + 1);
    // Repeated filters (the screen's refresh) reuse the prepared statement.
    QSqlQuery& query = storage_.prepare(sql);
    c.bind(query);
    storage_.exec(query);

    DataPacket lines;
    lines.fields = lancContFields();
    while (query.next()) {
        if (static_cast<int>(lines.rows.size()) >= options_.rowLimit) {
            query.finish();
            return refuse(
                QStringLiteral("A consulta retornou mais de %L1 linhas. Informe um filtro mais restrito.")
                    .arg(options_.rowLimit));
        }
        lines.rows.push_back(readLine(query, lines.fields));
    }
    query.finish();

    DataPacket centres;
    centres.fields = centCustFilFields();
    QSqlQuery& cq = storage_.prepare(
        QStringLiteral("SELECT CF.CDFILIAL, CF.CDCENTCUST, CC.NMCENTCUST FROM CENTCUSTFIL CF "
                       "JOIN EMPRFILIAL EF ON EF.CDFILIAL = CF.CDFILIAL "
                       "LEFT JOIN CENTCUST CC ON CC.CDCENTCUST = CF.CDCENTCUST "
                       "WHERE EF.CDEMPRESA = :E ORDER BY CF.CDCENTCUST, CF.CDFILIAL"));
    cq.bindValue(QStringLiteral(":E"), q.company);
    storage_.exec(cq);
    while (cq.next()) {
        Row row(3);
        for (int i = 0; i < 3; ++i)
            setText(row, i, textOf(cq.value(i)), centres.fields[i]);
        centres.rows.push_back(std::move(row));
    }
    cq.finish();

    std::vector<wire::Value> result;
    result.push_back(wire::Value::fromPacket(std::move(lines)));
    result.push_back(wire::Value::fromPacket(std::move(centres)));
    return wire::Value::fromArray(std::move(result));
}

std::int64_t LancamentoService::entryVersion(const QString& company, const QString& entry) {
    QSqlQuery& q = storage_.prepare(QStringLiteral("SELECT (SELECT VERSAO FROM " CTB_VERSION_TABLE
                                                   " WHERE CDEMPRESA = :E AND NRLANCCONT = :N), "
                                                   "(SELECT COUNT(*) FROM (SELECT 1 FROM LANCCONT WHERE "
                                                   "CDEMPRESA = :E2 AND NRLANCCONT = :N2 LIMIT 1) X)"));
    q.bindValue(QStringLiteral(":E"), company);
    q.bindValue(QStringLiteral(":N"), entry);
    q.bindValue(QStringLiteral(":E2"), company);
    q.bindValue(QStringLiteral(":N2"), entry);
    storage_.exec(q);
    std::int64_t v = 0;
    if (q.next() && q.value(1).toLongLong() > 0)
        v = q.value(0).isNull() ? 1 : q.value(0).toLongLong();
    q.finish();
    return v;
}

LancamentoService::VersionStep LancamentoService::settleVersion(const QString& company, const QString& entry,
                                                                std::int64_t bumped, bool linesStand) {
    if (!linesStand)
        return {0, bumped};
    if (bumped > 1)
        return {bumped - 1, bumped};
    // Lines without a version row (written by other modules) stand at version 1.
    QSqlQuery& q = storage_.prepare(QStringLiteral(
        "UPDATE " CTB_VERSION_TABLE " SET VERSAO = 2 WHERE CDEMPRESA = :E AND NRLANCCONT = :N"));
    q.bindValue(QStringLiteral(":E"), company);
    q.bindValue(QStringLiteral(":N"), entry);
    storage_.exec(q);
    q.finish();
    return {1, 2};
}

QString LancamentoService::actingUser(const QString& given, const CallContext& ctx) {
    if (ctx.authenticatedUser.isEmpty())
        return given;
    if (!given.trimmed().isEmpty() &&
        given.trimmed().compare(ctx.authenticatedUser, Qt::CaseInsensitive) != 0)
        throw Forbidden(
            QStringLiteral("O usuário %1 não pode gravar em nome de %2: o operador informado deve ser "
                           "o dono do token. Nada foi gravado.")
                .arg(ctx.authenticatedUser, given.trimmed().left(20)));
    return ctx.authenticatedUser;
}

void LancamentoService::guardHandedOut(const QString& company, const QString& number) {
    const QString refused =
        QStringLiteral(
            "O número de lançamento contábil %1 não foi fornecido pelo servidor para a empresa %2: "
            "um lançamento novo usa o número recebido ao ser incluído. Nada foi gravado.")
            .arg(number.left(20), company.left(10));
    bool digits = number.size() == 12;
    for (const QChar c : number)
        digits = digits && c >= u'0' && c <= u'9';
    if (!digits || !isValidYearMonth(number.left(6)) || number.mid(6).toLongLong() < 1)
        throw Refusal(refused);
    QSqlQuery& q =
        storage_.prepare(QStringLiteral("SELECT ULTIMO FROM NUMLANC WHERE CDEMPRESA = :E AND ANOMES = :M"));
    q.bindValue(QStringLiteral(":E"), company);
    q.bindValue(QStringLiteral(":M"), number.left(6));
    storage_.exec(q);
    const std::int64_t last = q.next() ? q.value(0).toLongLong() : 0;
    q.finish();
    if (number.mid(6).toLongLong() > last)
        throw Refusal(refused);
}

DataPacket LancamentoService::entryLines(const QString& company, const QString& entry, Side side,
                                         CallContext& ctx) {
    QString sql = QStringLiteral("SELECT ") + kLineColumns + kLineFrom +
                  QStringLiteral(" WHERE L.CDEMPRESA = :E AND L.NRLANCCONT = :N");
    if (side == Side::Debit)
        sql += QStringLiteral(" AND L.IDTIPOLANC = 'D'");
    if (side == Side::Credit)
        sql += QStringLiteral(" AND L.IDTIPOLANC = 'C'");
    sql += kLineOrder;
    DataPacket p;
    p.fields = entryLineFields();
    // One read transaction so the lines and the version agree.
    if (storage_.isPostgres())
        storage_.execText(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ"));
    else
        storage_.execText(QStringLiteral("BEGIN"));
    try {
        QSqlQuery& q = storage_.prepare(sql);
        q.bindValue(QStringLiteral(":E"), company);
        q.bindValue(QStringLiteral(":N"), entry);
        storage_.exec(q);
        while (q.next())
            p.rows.push_back(readLine(q, p.fields));
        q.finish();
        ctx.version = entryVersion(company, entry);
        storage_.execText(QStringLiteral("COMMIT"));
    } catch (...) {
        QSqlQuery(storage_.db()).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
    return p;
}

DataPacket LancamentoService::getLancFiltrado(const QString& company, const QString& entry,
                                              CallContext& ctx) {
    return entryLines(company, entry, Side::All, ctx);
}
DataPacket LancamentoService::getDebitos(const QString& company, const QString& entry, CallContext& ctx) {
    return entryLines(company, entry, Side::Debit, ctx);
}
DataPacket LancamentoService::getCreditos(const QString& company, const QString& entry, CallContext& ctx) {
    return entryLines(company, entry, Side::Credit, ctx);
}

DataPacket LancamentoService::getLancCCusto(const QString& company, const QString& entry, CallContext& ctx) {
    DataPacket p;
    p.fields = allocationFields();
    QSqlQuery& q = storage_.prepare(QStringLiteral(
        "SELECT A.CDEMPRESA, A.NRLANCCONT, A.NRSEQLANC, A.CDFILIAL, F.NMFILIAL, A.CDCENTCUST, CC.NMCENTCUST, "
        "A.DTCOMPCUSTO, A.VRLANCCUST FROM LANCCCUSTO A "
        "LEFT JOIN FILIAL F ON F.CDFILIAL = A.CDFILIAL LEFT JOIN CENTCUST CC ON CC.CDCENTCUST = A.CDCENTCUST "
        "WHERE A.CDEMPRESA = :E AND A.NRLANCCONT = :N ORDER BY LENGTH(A.NRSEQLANC), A.NRSEQLANC, A.CDFILIAL, "
        "A.CDCENTCUST"));
    q.bindValue(QStringLiteral(":E"), company);
    q.bindValue(QStringLiteral(":N"), entry);
    storage_.exec(q);
    while (q.next()) {
        Row row(11);
        for (int i : {0, 1, 2, 3, 4, 5, 6})
            setText(row, i, textOf(q.value(i)), p.fields[i]);
        setDate(row, 7, q.value(7));
        const QVariant v = q.value(8);
        setNumber(row, 8, v);
        if (!v.isNull()) {
            const double d = v.toDouble();
            if (d < 0)
                row.setNumber(10, -d);
            else
                row.setNumber(9, d);
        }
        p.rows.push_back(std::move(row));
    }
    q.finish();
    ctx.version = entryVersion(company, entry);
    return p;
}

QString LancamentoService::getProximoNRLANCCONT(const QString& company, const QString& yearMonth) {
    if (company.trimmed().isEmpty())
        throw Refusal(kEmpresaDev);
    if (!isValidYearMonth(yearMonth))
        throw Refusal(QStringLiteral("Mês do lançamento inválido: \"%1\". Informe o mês no formato aaaamm.")
                          .arg(yearMonth.left(20)));
    {
        QSqlQuery& q = storage_.prepare(QStringLiteral("SELECT 1 FROM EMPRESA WHERE CDEMPRESA = :E"));
        q.bindValue(QStringLiteral(":E"), company);
        storage_.exec(q);
        const bool known = q.next();
        q.finish();
        if (!known)
            throw Refusal(kEmpresaN);
    }
    std::int64_t next = 0;
    inWriteTransaction([&](LancamentoService& s) { next = s.takeNumber(company, yearMonth); });
    return yearMonth + QStringLiteral("%1").arg(next, 6, 10, QLatin1Char('0'));
}

std::int64_t LancamentoService::takeNumber(const QString& company, const QString& yearMonth) {
    // Raising the counter first locks its row (PostgreSQL; SQLite holds the write lock), so the look at
    // the stored lines below is not raced by another server handing out numbers.
    QSqlQuery& up = storage_.prepare(QStringLiteral(
        "UPDATE NUMLANC SET ULTIMO = ULTIMO + 1 WHERE CDEMPRESA = :E AND ANOMES = :M RETURNING ULTIMO"));
    up.bindValue(QStringLiteral(":E"), company);
    up.bindValue(QStringLiteral(":M"), yearMonth);
    storage_.exec(up);
    std::int64_t n = 0;
    const bool counted = up.next();
    if (counted)
        n = up.value(0).toLongLong();
    up.finish();
    // Other modules of the suite write LANCCONT directly: the number must stay above theirs.
    std::int64_t stored = 0;
    {
        QSqlQuery& mx = storage_.prepare(
            QStringLiteral("SELECT MAX(NRLANCCONT) FROM LANCCONT WHERE CDEMPRESA = :E AND NRLANCCONT >= :LO "
                           "AND NRLANCCONT <= :HI AND LENGTH(NRLANCCONT) = 12"));
        mx.bindValue(QStringLiteral(":E"), company);
        mx.bindValue(QStringLiteral(":LO"), yearMonth + QStringLiteral("000000"));
        mx.bindValue(QStringLiteral(":HI"), yearMonth + QStringLiteral("999999"));
        storage_.exec(mx);
        if (mx.next()) {
            const QString last = textOf(mx.value(0));
            bool ok = false;
            const qlonglong seq = last.mid(6).toLongLong(&ok);
            if (ok)
                stored = seq;
        }
        mx.finish();
    }
    if (!counted) {
        n = stored + 1;
        QSqlQuery& ins = storage_.prepare(
            QStringLiteral("INSERT INTO NUMLANC (CDEMPRESA, ANOMES, ULTIMO) VALUES (:E, :M, :U)"));
        ins.bindValue(QStringLiteral(":E"), company);
        ins.bindValue(QStringLiteral(":M"), yearMonth);
        ins.bindValue(QStringLiteral(":U"), static_cast<qlonglong>(n));
        storage_.exec(ins);
    } else if (n <= stored) {
        n = stored + 1;
        QSqlQuery& set = storage_.prepare(
            QStringLiteral("UPDATE NUMLANC SET ULTIMO = :U WHERE CDEMPRESA = :E AND ANOMES = :M"));
        set.bindValue(QStringLiteral(":U"), static_cast<qlonglong>(n));
        set.bindValue(QStringLiteral(":E"), company);
        set.bindValue(QStringLiteral(":M"), yearMonth);
        storage_.exec(set);
    }
    if (n > 999999)
        throw Refusal(
            QStringLiteral("Não há mais números de lançamento disponíveis para o mês %1.").arg(yearMonth));
    return n;
}

void LancamentoService::inWriteTransaction(const std::function<void(LancamentoService&)>& body) {
    if (options_.writer) {
        options_.writer->run(body);
        return;
    }
    withRetry([&] {
        Transaction tx(storage_);
        body(*this);
        tx.commit();
    });
    if (options_.historyIndex)
        options_.historyIndex->runIfDue(storage_.db());
}

bool LancamentoService::getEmprRelac(const QString& company, const QString& branch) {
    QSqlQuery& q =
        storage_.prepare(QStringLiteral("SELECT 1 FROM EMPRFILIAL WHERE CDEMPRESA = :E AND CDFILIAL = :F"));
    q.bindValue(QStringLiteral(":E"), company);
    q.bindValue(QStringLiteral(":F"), branch);
    storage_.exec(q);
    const bool related = q.next();
    q.finish();
    return related;
}

bool LancamentoService::validaPeriodoContabil(const QString& company, QDate date) {
    QSqlQuery& q = storage_.prepare(
        QStringLiteral("SELECT DTINICLANC, DTFINALANC FROM CONTOPECTBL WHERE CDEMPRESA = :E"));
    q.bindValue(QStringLiteral(":E"), company);
    storage_.exec(q);
    bool inside = true;  // a company without accounting options has no closed period
    if (q.next()) {
        const auto from = dateOf(q.value(0));
        const auto to = dateOf(q.value(1));
        if (from && date < *from)
            inside = false;
        if (to && date > *to)
            inside = false;
    }
    q.finish();
    return inside;
}

QString LancamentoService::buscaCodigoLote(const QString& company, const QString& entry) {
    QSqlQuery& q = storage_.prepare(
        QStringLiteral("SELECT CDLOTE FROM LOTELANC WHERE CDEMPRESA = :E AND NRLANCCONT = :N"));
    q.bindValue(QStringLiteral(":E"), company);
    q.bindValue(QStringLiteral(":N"), entry);
    storage_.exec(q);
    const QString lot = q.next() ? textOf(q.value(0)) : QString();
    q.finish();
    return lot;
}

wire::Value LancamentoService::validaMapa(const QString& company, const QString& entry) {
    DataPacket maps;
    maps.fields = mapaApuracFields();
    QSqlQuery& q = storage_.prepare(
        QStringLiteral("SELECT MES, ANO, IMPOSTO FROM MAPAAPURLANC WHERE CDEMPRESA = :E AND NRLANCCONT = :N "
                       "ORDER BY ANO, MES, IMPOSTO"));
    q.bindValue(QStringLiteral(":E"), company);
    q.bindValue(QStringLiteral(":N"), entry);
    storage_.exec(q);
    while (q.next()) {
        Row row(3);
        setText(row, 0, monthText(q.value(0)), maps.fields[0]);
        setText(row, 1, yearText(q.value(1)), maps.fields[1]);
        setText(row, 2, textOf(q.value(2)), maps.fields[2]);
        maps.rows.push_back(std::move(row));
    }
    q.finish();
    const bool tied = !maps.rows.empty();
    std::vector<wire::Value> result;
    result.push_back(wire::Value::fromString(tied ? QStringLiteral("ERRO") : QStringLiteral("OK")));
    result.push_back(wire::Value::fromPacket(std::move(maps)));
    return wire::Value::fromArray(std::move(result));
}

namespace {
const QString kForaPeriodo =
    QStringLiteral("Operação bloqueada! Data do lançamento fora do período contábil.");
}

void LancamentoService::guardPeriod(const QString& company, QDate date) {
    if (!date.isValid())
        throw Refusal(kDataDev);
    if (!validaPeriodoContabil(company, date))
        throw Refusal(kForaPeriodo);
}

void LancamentoService::guardPeriod(QDate date, const OpenPeriod& period) {
    if (!date.isValid())
        throw Refusal(kDataDev);
    if (period.bounded && ((period.from && date < *period.from) || (period.to && date > *period.to)))
        throw Refusal(kForaPeriodo);
}

QString LancamentoService::lotMessage(const QString& lot) {
    return QStringLiteral(
               "Operação bloqueada! Lançamento contábil referente a lote. Favor realizar a "
               "reversão do lote %1 para as devidas alterações.")
        .arg(lot);
}

void LancamentoService::guardEntry(const QString& company, const QString& entry) {
    // An entry generated by a lot, by its lot row or by its stored lines.
    QSqlQuery& q = storage_.prepare(QStringLiteral(
        "SELECT (SELECT MAX(CDLOTE) FROM LOTELANC WHERE CDEMPRESA = :E AND NRLANCCONT = :N), "
        "(SELECT COUNT(*) FROM LANCCONT WHERE CDEMPRESA = :E2 AND NRLANCCONT = :N2 AND IDLANCINTE = 'L')"));
    q.bindValue(QStringLiteral(":E"), company);
    q.bindValue(QStringLiteral(":N"), entry);
    q.bindValue(QStringLiteral(":E2"), company);
    q.bindValue(QStringLiteral(":N2"), entry);
    storage_.exec(q);
    QString lot;
    bool byLot = false;
    if (q.next()) {
        byLot = !q.value(0).isNull() || q.value(1).toLongLong() > 0;
        lot = textOf(q.value(0));
    }
    q.finish();
    if (byLot)
        throw Refusal(lotMessage(lot));
    const wire::Value maps = validaMapa(company, entry);
    const DataPacket& p = maps.array()[1].packet();
    if (!p.rows.empty()) {
        const Row& r = p.rows.front();
        throw Refusal(
            QStringLiteral("Operação não permitida ! O Lançamento está relacionado ao mapa de apuração %1.")
                .arg(r.text(0) + u'/' + r.text(1) + QStringLiteral("-Imposto: ") + r.text(2)));
    }
}

void LancamentoService::setLancamento(const DataPacket& lines, const DataPacket& allocations,
                                      const QString& user, CallContext& ctx) {
    storeEntry(lines, allocations, user, ctx);
}

void LancamentoService::deletaLancamento(const QString& company, const QString& entry, CallContext& ctx) {
    if (company.trimmed().isEmpty())
        throw Refusal(kEmpresaDev);
    ctx.user = actingUser(ctx.user, ctx);
    if (ctx.expectedVersion.value_or(0) <= 0)
        throw Refusal(
            QStringLiteral("A exclusão do lançamento contábil %1 foi recusada: o pedido não informa a "
                           "versão do lançamento carregado. Abra o lançamento novamente e repita a "
                           "exclusão. Nada foi excluído.")
                .arg(entry.left(20)));
    inWriteTransaction([&](LancamentoService& s) { s.removeEntry(company, entry, ctx); });
}

void LancamentoService::removeEntry(const QString& company, const QString& entry, CallContext& ctx) {
    QSqlQuery& q =
        storage_.prepare(QStringLiteral("SELECT MIN(DTLANCCONT), MAX(DTLANCCONT), COUNT(*) FROM LANCCONT "
                                        "WHERE CDEMPRESA = :E AND NRLANCCONT = :N"));
    q.bindValue(QStringLiteral(":E"), company);
    q.bindValue(QStringLiteral(":N"), entry);
    storage_.exec(q);
    q.next();
    const auto first = dateOf(q.value(0));
    const auto last = dateOf(q.value(1));
    const qlonglong count = q.value(2).toLongLong();
    q.finish();
    if (count == 0)
        throw Refusal(QStringLiteral("Lançamento contábil %1 não encontrado.").arg(entry.left(20)));
    // Raising the version first locks the entry's version row, so concurrent writers of one entry
    // queue here on PostgreSQL (SQLite already holds the write lock); a refusal rolls it back.
    const VersionStep version = settleVersion(company, entry, bumpVersion(storage_, company, entry), true);
    if (*ctx.expectedVersion != version.stored)
        throw Refusal(staleVersionMessage(entry));
    if (first)
        guardPeriod(company, *first);
    if (last)
        guardPeriod(company, *last);
    guardEntry(company, entry);
    for (const char* table : {"LANCCCUSTO", "LANCCONT"}) {
        QSqlQuery& d =
            storage_.prepare(QStringLiteral("DELETE FROM %1 WHERE CDEMPRESA = :E AND NRLANCCONT = :N")
                                 .arg(QLatin1String(table)));
        d.bindValue(QStringLiteral(":E"), company);
        d.bindValue(QStringLiteral(":N"), entry);
        storage_.exec(d);
    }
    ctx.version = version.next;
    writeAudit(storage_, company, entry, QStringLiteral("EXCLUSAO"), ctx.user, *ctx.version, count, 0);
}

}  // namespace ctb::server
