#pragma once

#include "platform/dataset/packet.h"
#include "server/storage.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace ctb::server {

// Kinds of audit rows (LANCAUDIT.ACAO).
inline const QString kAuditInclusion = QStringLiteral("INCLUSAO");
inline const QString kAuditChange = QStringLiteral("ALTERACAO");
inline const QString kAuditDeletion = QStringLiteral("EXCLUSAO");
inline const QString kAuditReversal = QStringLiteral("ESTORNO");    // the new entry reverses another
inline const QString kAuditReversed = QStringLiteral("ESTORNADO");  // the entry was reversed by another

struct AuditRow {
    QString company, entry, action, user;
    std::int64_t version = 0;     // the entry's version after the action
    qlonglong lines = 0;          // lines stored (or deleted)
    std::int64_t debitCents = 0;  // their debit total
    QString reference;            // the other entry of a reversal
};

// Inside the caller's transaction, which holds the entry's version row (so rows of one entry are
// numbered in the order they happen, NRSEQAUDIT).
void writeAudit(Storage& storage, const AuditRow& row);

// getHistAlteracoes: the entry's audit rows, newest first.
[[nodiscard]] const std::vector<FieldDef>& auditFields();
[[nodiscard]] DataPacket readAudit(Storage& storage, const QString& company, const QString& entry);

}  // namespace ctb::server
