#pragma once

#include "platform/sql/database.h"
#include "tests/support/core_app.h"
#include "tests/support/pg_cluster.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <gtest/gtest.h>

#include <memory>

namespace ctb::sql::test {

inline QString freshUrl(const std::string& backend) {
    return backend == "postgres" ? ctb::test::PgCluster::instance().createDatabase()
                                 : ctb::test::tempSqlitePath();
}

// Runs statements that set up a test database; any failure stops the test.
inline void execAll(const QSqlDatabase& db, const QStringList& statements) {
    QSqlQuery q(db);
    for (const QString& s : statements)
        ASSERT_TRUE(q.exec(s)) << s.toStdString() << "\n" << q.lastError().text().toStdString();
}

// One fresh database per test, on the backend named by the test parameter.
class BackendTest : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        ctb::test::ensureCoreApplication();
        url_ = freshUrl(GetParam());
        db_ = openDatabase(url_, {}, OpenMode::CreateIfMissing);
    }
    void TearDown() override { db_.reset(); }

    [[nodiscard]] QSqlDatabase handle() const { return db_->handle(); }
    [[nodiscard]] bool isPostgres() const { return GetParam() == "postgres"; }

    QString url_;
    std::unique_ptr<Database> db_;
};

inline std::string backendName(const ::testing::TestParamInfo<std::string>& info) {
    return info.param;
}

}  // namespace ctb::sql::test
