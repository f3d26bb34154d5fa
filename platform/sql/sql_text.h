#pragma once

#include "platform/export.h"

#include <QString>
#include <QStringList>

namespace ctb::sql {

// A query text with its named `:NAME` placeholders replaced by positional `?` markers.
// String literals, quoted identifiers, comments and PostgreSQL `::` casts are left alone, so the
// same text can be bound the same way on every backend, each occurrence of a name on its own.
struct CTB_PLATFORM_EXPORT PositionalSql {
    QString text;             // the text with `?` markers
    QStringList occurrences;  // upper-case parameter name of each marker, in text order
    QStringList names;        // distinct upper-case names, in order of first appearance
};

[[nodiscard]] CTB_PLATFORM_EXPORT PositionalSql toPositional(const QString& sql);

}  // namespace ctb::sql
