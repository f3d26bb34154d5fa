#include "db/batch_insert.h"

#include "platform/sql/database.h"
#include "platform/sql/error.h"

#include <QSqlDriver>
#include <QSqlField>

#include <algorithm>

#include <QSqlError>

namespace ctb::db {

namespace {
QString errorText(const QSqlError& e) {
    return e.databaseText().isEmpty() ? e.text() : e.databaseText();
}
}  // namespace

Transaction::Transaction(QSqlDatabase db) : db_(std::move(db)) {
    if (!db_.transaction())
        throw sql::SqlError(QStringLiteral("Não foi possível iniciar a transação."),
                            errorText(db_.lastError()));
}

Transaction::~Transaction() {
    if (!done_)
        db_.rollback();
}

void Transaction::commit() {
    if (!db_.commit())
        throw sql::SqlError(QStringLiteral("Não foi possível confirmar a transação."),
                            errorText(db_.lastError()));
    done_ = true;
}

QString centsText(qint64 cents) {
    const bool negative = cents < 0;
    const qint64 a = negative ? -cents : cents;
    return QStringLiteral("%1%2.%3")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(a / 100)
        .arg(a % 100, 2, 10, QLatin1Char('0'));
}

BatchInsert::BatchInsert(const QSqlDatabase& db, const QString& table, const QStringList& columns,
                         int rowsPerStatement)
    : db_(db),
      table_(table),
      columns_(columns),
      // Qt's SQLite driver looks every parameter up by position in a linear list when binding, so a
      // statement's cost grows with the square of its parameters: keep SQLite statements small.
      rowsPerStatement_(sql::backendOf(db) == sql::Backend::SQLite ? std::min(rowsPerStatement, 8)
                                                                   : rowsPerStatement),
      full_(db),
      literal_(sql::backendOf(db) == sql::Backend::PostgreSQL) {
    pending_.reserve(static_cast<std::size_t>(rowsPerStatement_ * columns_.size()));
}

QString BatchInsert::statement(int rows) const {
    QString one = QStringLiteral("(?");
    for (qsizetype c = 1; c < columns_.size(); ++c)
        one += QStringLiteral(",?");
    one += u')';
    QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(table_, columns_.join(u','));
    for (int r = 0; r < rows; ++r) {
        if (r)
            sql += u',';
        sql += one;
    }
    return sql;
}

void BatchInsert::run(QSqlQuery& q, int rows) {
    if (parent_)
        parent_->flush();
    if (literal_) {
        // PostgreSQL through QtSql: a prepared statement runs as EXECUTE with every value as a literal
        // anyway, and planning thousands of parameters costs more than parsing the text; the driver
        // quotes each value.
        QSqlDriver* driver = db_.driver();
        QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(table_, columns_.join(u','));
        const qsizetype cols = columns_.size();
        QSqlField field;
        for (int r = 0; r < rows; ++r) {
            sql += r ? QStringLiteral(",(") : QStringLiteral("(");
            for (qsizetype c = 0; c < cols; ++c) {
                const QVariant& v = pending_[static_cast<std::size_t>(r * cols + c)];
                if (c)
                    sql += u',';
                field.setMetaType(v.metaType());
                field.setValue(v);
                sql += driver->formatValue(field);
            }
            sql += u')';
        }
        QSqlQuery plain(db_);
        if (!plain.exec(sql))
            throw sql::SqlError(QStringLiteral("Erro ao gravar na tabela %1.").arg(table_),
                                errorText(plain.lastError()));
        return;
    }
    const int n = rows * static_cast<int>(columns_.size());
    for (int i = 0; i < n; ++i)
        q.bindValue(i, pending_[static_cast<std::size_t>(i)]);
    if (!q.exec())
        throw sql::SqlError(QStringLiteral("Erro ao gravar na tabela %1.").arg(table_),
                            errorText(q.lastError()));
}

void BatchInsert::add(const std::vector<QVariant>& row) {
    pending_.insert(pending_.end(), row.begin(), row.end());
    ++count_;
    if (pending_.size() >= static_cast<std::size_t>(rowsPerStatement_ * columns_.size())) {
        if (!prepared_ && !literal_) {
            if (!full_.prepare(statement(rowsPerStatement_)))
                throw sql::SqlError(QStringLiteral("Erro ao preparar a gravação na tabela %1.").arg(table_),
                                    errorText(full_.lastError()));
            prepared_ = true;
        }
        run(full_, rowsPerStatement_);
        pending_.clear();
    }
}

void BatchInsert::flush() {
    if (pending_.empty())
        return;
    const int rows = static_cast<int>(pending_.size() / static_cast<std::size_t>(columns_.size()));
    QSqlQuery q(db_);
    if (!literal_ && !q.prepare(statement(rows)))
        throw sql::SqlError(QStringLiteral("Erro ao preparar a gravação na tabela %1.").arg(table_),
                            errorText(q.lastError()));
    run(q, rows);
    pending_.clear();
}

}  // namespace ctb::db
