#include "platform/sql/database.h"

#include "platform/sql/error.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <atomic>

namespace ctb::sql {

SqlError::SqlError(const QString& message, const QString& driverText)
    : std::runtime_error((driverText.isEmpty() ? message : message + QStringLiteral(" (") + driverText + u')')
                             .toStdString()),
      message_(message),
      driverText_(driverText) {}

SqlError::~SqlError() = default;

namespace {

QString driverMessage(const QSqlError& e) {
    QString text = e.databaseText().trimmed();
    const QString driver = e.driverText().trimmed();
    if (text.isEmpty())
        return driver;
    if (!driver.isEmpty() && !text.contains(driver))
        text = driver + QStringLiteral(": ") + text;
    return text;
}

QString uniqueConnectionName() {
    static std::atomic<int> next{0};
    return QStringLiteral("ctb_sql_%1").arg(++next);
}

}  // namespace

DatabaseUrl DatabaseUrl::parse(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        throw SqlError(QStringLiteral("Banco de dados não informado."));
    DatabaseUrl u;
    if (trimmed.startsWith(QStringLiteral("postgresql://")) ||
        trimmed.startsWith(QStringLiteral("postgres://"))) {
        const QUrl url(trimmed, QUrl::StrictMode);
        const QString name = url.path().mid(1);
        if (!url.isValid() || url.host().isEmpty() || name.isEmpty() || name.contains(u'/'))
            throw SqlError(QStringLiteral("Endereço de banco de dados inválido: \"%1\". Use "
                                          "postgresql://usuário@servidor:porta/banco.")
                               .arg(trimmed));
        u.backend = Backend::PostgreSQL;
        u.host = url.host();
        u.port = url.port(5432);
        u.user = url.userName();
        u.password = url.password();
        u.name = name;
        return u;
    }
    QString path = trimmed;
    if (path.startsWith(QStringLiteral("sqlite:"))) {
        path = path.mid(7);
        if (path.startsWith(QStringLiteral("//")))
            path = path.mid(2);
    }
    if (path.isEmpty() || path.contains(QStringLiteral("://")))
        throw SqlError(QStringLiteral("Endereço de banco de dados inválido: \"%1\".").arg(trimmed));
    u.path = path;
    return u;
}

QString DatabaseUrl::display() const {
    if (backend == Backend::SQLite)
        return path;
    QString who = user.isEmpty() ? QString() : user + u'@';
    return QStringLiteral("postgresql://%1%2:%3/%4").arg(who, host).arg(port).arg(name);
}

Database::Database(QString connectionName, DatabaseUrl url)
    : connectionName_(std::move(connectionName)), url_(std::move(url)) {}

Database::~Database() {
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

std::unique_ptr<Database> Database::open(const QString& urlText, const QString& connectionName,
                                         OpenMode mode) {
    const DatabaseUrl url = DatabaseUrl::parse(urlText);
    const QString name = connectionName.isEmpty() ? uniqueConnectionName() : connectionName;
    if (QSqlDatabase::contains(name))
        throw SqlError(QStringLiteral("Conexão \"%1\" com o banco de dados já está aberta.").arg(name));
    const QString cannotOpen =
        QStringLiteral("Não foi possível abrir o banco de dados \"%1\".").arg(url.display());

    if (url.backend == Backend::SQLite && mode == OpenMode::MustExist && !QFileInfo::exists(url.path))
        throw SqlError(cannotOpen, QStringLiteral("arquivo não encontrado"));

    const QString driver =
        url.backend == Backend::SQLite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
    if (!QSqlDatabase::isDriverAvailable(driver))
        throw SqlError(cannotOpen, QStringLiteral("driver %1 não instalado").arg(driver));

    // Owns the registration from here on, so every failure below removes it again.
    std::unique_ptr<Database> owner(new Database(name, url));
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
    if (url.backend == Backend::SQLite) {
        db.setDatabaseName(url.path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    } else {
        db.setHostName(url.host);
        db.setPort(url.port);
        db.setUserName(url.user);
        db.setPassword(url.password);
        db.setDatabaseName(url.name);
        db.setConnectOptions(QStringLiteral("connect_timeout=5"));
    }
    if (!db.open())
        throw SqlError(cannotOpen, driverMessage(db.lastError()));

    if (url.backend == Backend::SQLite) {
        QSqlQuery q(db);
        for (const QString& pragma :
             {QStringLiteral("PRAGMA journal_mode=WAL"), QStringLiteral("PRAGMA foreign_keys=ON"),
              QStringLiteral("PRAGMA synchronous=NORMAL")}) {
            // The first statement is also the first real read of the file: a file that is not a
            // database fails here.
            if (!q.exec(pragma))
                throw SqlError(cannotOpen, driverMessage(q.lastError()));
        }
    }
    return owner;
}

QSqlDatabase Database::handle() const {
    return QSqlDatabase::database(connectionName_, false);
}

Backend backendOf(const QSqlDatabase& db) {
    return db.driverName() == QStringLiteral("QPSQL") ? Backend::PostgreSQL : Backend::SQLite;
}

}  // namespace ctb::sql
