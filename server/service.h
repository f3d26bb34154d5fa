#pragma once

#include "platform/dataset/packet.h"
#include "platform/net/wire.h"
#include "server/storage.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace ctb::server {

// What travels beside the arguments: the row version of the entry and who calls (docs/http-api.md).
struct CallContext {
    std::optional<std::int64_t> expectedVersion;  // in: the version the client's copy was loaded at
    std::optional<std::int64_t> version;          // out: the entry's version after the call
    QString user;                                 // in: operator for calls whose arguments lack one
    // in: the user of the request's token; empty when the server runs without credentials.
    QString authenticatedUser;
};

class HistoryIndexSchedule;
class WriteQueue;
struct Entry;

struct ServiceOptions {
    int rowLimit = 100000;  // getLancamentos refuses larger answers
    // When set, write transactions run there (group commit) instead of on this service's connection.
    WriteQueue* writer = nullptr;
    // Without a writer: how this service's commits hand new lines to the history search index.
    HistoryIndexSchedule* historyIndex = nullptr;
};

// The nineteen criteria of getLancamentos, as they travel.
struct LancamentosQuery {
    QString company;
    QDate dateFrom, dateTo;
    QString accountFrom, accountBound, accountBound2;
    double valueFrom = 0, valueTo = 0;
    QString valueFlag, historyText, document, costCentreList, branchList, bankList, supplierList, clientList,
        commercialKinds, historyList, entryNumber;
};

// The rules of the entry module's remote data modules. Routes parse and render; everything that
// protects the books lives here. Refusals throw Refusal (Portuguese text for the user).
class LancamentoService {
  public:
    LancamentoService(Storage& storage, ServiceOptions options);

    // Element 0: matching lines or a refusal text; element 1: the branches' cost centres.
    [[nodiscard]] wire::Value getLancamentos(const LancamentosQuery& q);
    [[nodiscard]] DataPacket getLancFiltrado(const QString& company, const QString& entry, CallContext& ctx);
    [[nodiscard]] DataPacket getDebitos(const QString& company, const QString& entry, CallContext& ctx);
    [[nodiscard]] DataPacket getCreditos(const QString& company, const QString& entry, CallContext& ctx);
    [[nodiscard]] DataPacket getLancCCusto(const QString& company, const QString& entry, CallContext& ctx);
    [[nodiscard]] QString getProximoNRLANCCONT(const QString& company, const QString& yearMonth);
    void setLancamento(const DataPacket& lines, const DataPacket& allocations, const QString& user,
                       CallContext& ctx);
    void deletaLancamento(const QString& company, const QString& entry, CallContext& ctx);
    [[nodiscard]] bool getEmprRelac(const QString& company, const QString& branch);
    [[nodiscard]] bool validaPeriodoContabil(const QString& company, QDate date);
    [[nodiscard]] QString buscaCodigoLote(const QString& company, const QString& entry);
    [[nodiscard]] wire::Value validaMapa(const QString& company, const QString& entry);

  private:
    enum class Side { All, Debit, Credit };
    DataPacket entryLines(const QString& company, const QString& entry, Side side, CallContext& ctx);
    // The version a client compares with: 0 when no line stands, 1 for lines without a version row
    // (written by other modules), else the row's.
    std::int64_t entryVersion(const QString& company, const QString& entry);
    // The operator a write acts as: the token's user when there are credentials (another name is
    // refused with Forbidden), else the one the client gave.
    [[nodiscard]] static QString actingUser(const QString& given, const CallContext& ctx);
    // After bumpVersion (which locks the entry's version row, so concurrent writers of one entry queue
    // there): which version the stored entry had, as entryVersion says, and the one it gets now.
    struct VersionStep {
        std::int64_t stored = 0;  // what the client must have loaded
        std::int64_t next = 0;    // the version after this write
    };
    [[nodiscard]] VersionStep settleVersion(const QString& company, const QString& entry, std::int64_t bumped,
                                            bool linesStand);
    // A new entry's number must be one this server handed out for its company and month.
    void guardHandedOut(const QString& company, const QString& number);
    void guardEntry(const QString& company, const QString& entry);  // lot and assessment-map guards
    void guardPeriod(const QString& company, QDate date);
    // The company's open period, read once for the several dates of a confirm.
    struct OpenPeriod {
        bool bounded = false;  // a company without accounting options has no closed period
        std::optional<QDate> from, to;
    };
    static void guardPeriod(QDate date, const OpenPeriod& period);
    [[nodiscard]] static QString lotMessage(const QString& lot);
    void storeEntry(const DataPacket& lines, const DataPacket& allocations, const QString& user,
                    CallContext& ctx);
    // The bodies of the write calls, inside a transaction that the caller commits.
    void writeEntry(const Entry& e, bool packetHasSystem, const QString& user, CallContext& ctx);
    void removeEntry(const QString& company, const QString& entry, CallContext& ctx);
    [[nodiscard]] std::int64_t takeNumber(const QString& company, const QString& yearMonth);
    // Runs body in a committed write transaction: through the writer, or here with retries.
    void inWriteTransaction(const std::function<void(LancamentoService&)>& body);

    Storage& storage_;
    ServiceOptions options_;
};

}  // namespace ctb::server
