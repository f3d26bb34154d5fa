#include "server/json_params.h"

namespace ctb::server {

namespace {

void appendEscaped(std::string& out, QStringView s) {
    static const char hex[] = "0123456789abcdef";
    const QByteArray utf8 = s.toUtf8();
    out.push_back('"');
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(ch);
        } else if (c < 0x20) {
            const char escape[] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 0xf]};
            out.append(escape, sizeof escape);
        } else {
            out.push_back(ch);
        }
    }
    out.push_back('"');
}

}  // namespace

void JsonRows::separate() {
    if (!firstInRow_)
        out_.push_back(',');
    firstInRow_ = false;
}

void JsonRows::beginRow() {
    if (rows_ > 0)
        out_.push_back(',');
    out_.push_back('[');
    firstInRow_ = true;
}

void JsonRows::endRow() {
    out_.push_back(']');
    ++rows_;
}

void JsonRows::text(QStringView s) {
    separate();
    if (s.isNull())
        out_.append("null");
    else
        appendEscaped(out_, s);
}

void JsonRows::textOrNull(const QString& s, int maxChars) {
    if (s.isEmpty()) {
        null();
        return;
    }
    text(QStringView(s).left(maxChars));
}

void JsonRows::integer(std::int64_t n) {
    separate();
    out_.append(std::to_string(n));
}

void JsonRows::null() {
    separate();
    out_.append("null");
}

QString JsonRows::take() {
    out_.push_back(']');
    QString doc = QString::fromUtf8(out_.data(), static_cast<qsizetype>(out_.size()));
    out_.clear();
    out_.push_back('[');
    rows_ = 0;
    return doc;
}

QString jsonTexts(const QStringList& keys) {
    std::string out = "[";
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (i)
            out.push_back(',');
        appendEscaped(out, keys[i]);
    }
    out.push_back(']');
    return QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
}

QString jsonKeyTable(const Storage& storage, const QString& param) {
    if (storage.isPostgres())
        return QStringLiteral("(SELECT jsonb_array_elements_text(CAST(%1 AS jsonb)) AS K)").arg(param);
    return QStringLiteral("(SELECT value AS K FROM json_each(%1))").arg(param);
}

QString jsonRowTable(const Storage& storage, const QString& param, int columns) {
    QStringList cells;
    for (int i = 0; i < columns; ++i) {
        if (storage.isPostgres())
            cells << QStringLiteral("J.E ->> %1 AS C%1").arg(i);
        else
            cells << QStringLiteral("json_extract(J.value, '$[%1]') AS C%1").arg(i);
    }
    if (storage.isPostgres())
        return QStringLiteral("(SELECT %1 FROM jsonb_array_elements(CAST(%2 AS jsonb)) AS J(E))")
            .arg(cells.join(QStringLiteral(", ")), param);
    return QStringLiteral("(SELECT %1 FROM json_each(%2) AS J)").arg(cells.join(QStringLiteral(", ")), param);
}

}  // namespace ctb::server
