#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace ctb::db {

// A transaction scope: rolled back when left without commit().
class Transaction {
  public:
    explicit Transaction(QSqlDatabase db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

  private:
    QSqlDatabase db_;
    bool done_ = false;
};

// Inserts rows many at a time through one prepared multi-row INSERT (the driver round trip, not the
// database, is what costs on both backends). Values are texts (numbers as exact decimal texts), ints
// or null QVariants. Throws sql::SqlError on failure.
class BatchInsert {
  public:
    BatchInsert(const QSqlDatabase& db, const QString& table, const QStringList& columns,
                int rowsPerStatement = 200);
    ~BatchInsert() = default;
    BatchInsert(const BatchInsert&) = delete;
    BatchInsert& operator=(const BatchInsert&) = delete;

    // Rows of `parent` (the rows this table's foreign keys point at) are stored before any of ours.
    void storeAfter(BatchInsert* parent) { parent_ = parent; }
    void add(const std::vector<QVariant>& row);
    void flush();
    [[nodiscard]] qint64 count() const { return count_; }

  private:
    [[nodiscard]] QString statement(int rows) const;
    void run(QSqlQuery& q, int rows);

    QSqlDatabase db_;
    QString table_;
    QStringList columns_;
    int rowsPerStatement_;
    QSqlQuery full_;
    bool prepared_ = false;
    std::vector<QVariant> pending_;
    qint64 count_ = 0;
    BatchInsert* parent_ = nullptr;
    bool literal_ = false;
};

// A null text for an optional column.
[[nodiscard]] inline QVariant nullText() {
    return QVariant(QMetaType::fromType<QString>());
}
[[nodiscard]] inline QVariant textOrNull(const QString& s) {
    return s.isEmpty() ? nullText() : QVariant(s);
}
// Cents as an exact decimal text, "-1234.05".
[[nodiscard]] QString centsText(qint64 cents);

}  // namespace ctb::db
