#pragma once

#include "db/schema.h"
#include "platform/sql/database.h"
#include "tests/sql/sql_fixture.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <gtest/gtest.h>

#include <vector>

namespace ctb::db::test {

using sql::test::backendName;

// A fresh database per test on the backend named by the parameter.
class DbTest : public sql::test::BackendTest {
  protected:
    QSqlDatabase db() const { return handle(); }

    // Every row of a query as variants (test helper: a failure stops the test).
    std::vector<std::vector<QVariant>> rows(const QString& sql) const {
        QSqlQuery q(handle());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        std::vector<std::vector<QVariant>> out;
        while (q.next()) {
            std::vector<QVariant> row;
            for (int i = 0; i < q.record().count(); ++i)
                row.push_back(q.value(i));
            out.push_back(std::move(row));
        }
        return out;
    }
    qint64 scalar(const QString& sql) const {
        const auto r = rows(sql);
        return r.empty() || r[0].empty() ? -1 : r[0][0].toLongLong();
    }
    static qint64 cents(const QVariant& v) { return qRound64(v.toDouble() * 100.0); }
};

}  // namespace ctb::db::test
