// A lookup repeated within one user action is answered from that action's memory, never from another's.

#include "hostlib/host.h"
#include "platform/sql/query.h"
#include "tests/support/core_app.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace ctb;
using namespace ctb::hostlib;

namespace {

class QueryCache : public ::testing::Test {
  protected:
    void SetUp() override {
        test::ensureCoreApplication();
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("query_cache"));
        db.setDatabaseName(QStringLiteral(":memory:"));
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE CONTA (CODIGO VARCHAR(4), NOME VARCHAR(20))")));
        ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO CONTA VALUES ('0001', 'CAIXA')")));
        query_ =
            std::make_unique<TADOIBQuery>(QStringLiteral("qryConta"), db,
                                          QStringLiteral("SELECT NOME FROM CONTA WHERE CODIGO = :P_CODIGO"));
    }
    void TearDown() override {
        query_.reset();
        QSqlDatabase::database(QStringLiteral("query_cache"), false).close();
        QSqlDatabase::removeDatabase(QStringLiteral("query_cache"));
    }
    void rename(const char* name) {
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("query_cache")));
        ASSERT_TRUE(q.exec(QStringLiteral("UPDATE CONTA SET NOME = '%1'").arg(QString::fromLatin1(name))));
    }
    QString lookUp(const char* code) {
        query_->ParamByName(QStringLiteral("P_CODIGO")).setValue(QString::fromLatin1(code));
        query_->Open();
        return query_->IsEmpty() ? QStringLiteral("-") : query_->fieldByName(u"NOME").asString();
    }
    std::unique_ptr<TADOIBQuery> query_;
};

TEST_F(QueryCache, TheSameLookupInOneActionIsReadOnceAndANewActionReadsAgain) {
    ui::HeadlessUi services;
    QStringList seen;
    ASSERT_TRUE(ui::runUserAction(&services, [&] {
        seen << lookUp("0001");
        rename("BANCO");
        seen << lookUp("0001");  // the action's own memory
        seen << lookUp("0002");  // other parameters: asked
    }));
    ASSERT_TRUE(ui::runUserAction(&services, [&] { seen << lookUp("0001"); }));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("CAIXA"), QStringLiteral("CAIXA"), QStringLiteral("-"),
                                 QStringLiteral("BANCO")}));
}

TEST_F(QueryCache, ANestedActionAndWhatFollowsItReadAgainAndOutsideActionsNothingIsKept) {
    ui::HeadlessUi services;
    QStringList seen;
    ASSERT_TRUE(ui::runUserAction(&services, [&] {
        seen << lookUp("0001");
        rename("NESTED");
        ASSERT_TRUE(ui::runUserAction(&services, [&] { seen << lookUp("0001"); }));
        rename("AFTER");
        seen << lookUp("0001");
    }));
    seen << lookUp("0001");
    rename("OUTSIDE");
    seen << lookUp("0001");
    EXPECT_EQ(seen, (QStringList{QStringLiteral("CAIXA"), QStringLiteral("NESTED"), QStringLiteral("AFTER"),
                                 QStringLiteral("AFTER"), QStringLiteral("OUTSIDE")}));
}

}  // namespace
