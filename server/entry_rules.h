#pragma once

#include "platform/dataset/packet.h"
#include "server/storage.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <vector>

namespace ctb::server {

// One line of an entry as the server checks and stores it.
struct EntryLine {
    QString seq;  // NRSEQLANC
    QString account, document, history, commercialCode, origin, side, historyCode, commercialKind, system;
    QDate date;
    std::int64_t cents = 0;  // signed: debit negative
};

struct EntryAllocation {
    QString seq, branch, costCentre;
    QDate date;  // DTCOMPCUSTO; invalid when the packet left it empty
    std::int64_t cents = 0;
    std::size_t line = 0;  // index of its line in Entry::lines
};

struct Entry {
    QString company, number;
    std::vector<EntryLine> lines;
    std::vector<EntryAllocation> allocations;
};

// Reads the two packets of a confirm and applies every rule that needs no database: one company
// and one entry number, a debit line, values more than zero with the sign of their side, debits equal
// to credits to the cent, allocations on lines of the entry with branch, cost centre, a value of the
// line's side and a valid competence date, no two allocations of a line on one branch and cost centre.
// Throws Refusal (a rule) or BadRequest (a packet without the fields it must carry).
[[nodiscard]] Entry readEntry(const DataPacket& lines, const DataPacket& allocations);

// "(lançamento contábil N, partida S" with the details given, closed: names the line in a refusal.
[[nodiscard]] QString lineReference(const Entry& e, const QString& seq, const QString& details = {});
[[nodiscard]] QString sideName(const QString& side);    // "Débito" / "Crédito"
[[nodiscard]] QString formatCents(std::int64_t cents);  // 1234567 -> "12.345,67"

[[nodiscard]] bool isValidYearMonth(const QString& yearMonth);
[[nodiscard]] QString monthText(const QVariant& v);  // "01".."12" when numeric
[[nodiscard]] QString yearText(const QVariant& v);
[[nodiscard]] QString staleVersionMessage(const QString& entry);

// Raises the entry's version row (created at 1), inside the caller's transaction, and returns it.
[[nodiscard]] std::int64_t bumpVersion(Storage& storage, const QString& company, const QString& entry);

}  // namespace ctb::server
