#include "platform/dataset/row_filter.h"

#include "platform/dataset/client_dataset.h"
#include "platform/dataset/field_format.h"

#include <algorithm>

namespace ctb {

namespace {

[[noreturn]] void fail(const QString& what, qsizetype position) {
    throw FilterError(QStringLiteral("Filtro inválido: %1 (posição %2).").arg(what).arg(position + 1),
                      static_cast<int>(position));
}

bool isNameStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

class Lexer {
  public:
    explicit Lexer(QStringView text) : t_(text) {}

    void skipBlanks() {
        while (p_ < t_.size() && t_[p_].isSpace())
            ++p_;
    }
    [[nodiscard]] bool atEnd() {
        skipBlanks();
        return p_ >= t_.size();
    }
    [[nodiscard]] qsizetype pos() const { return p_; }

    // A field name, bare or in brackets; empty when none starts here.
    QString name() {
        skipBlanks();
        if (p_ < t_.size() && t_[p_] == u'[') {
            const qsizetype close = t_.indexOf(u']', p_ + 1);
            if (close < 0)
                fail(QStringLiteral("colchete sem fechamento"), p_);
            QString n = t_.mid(p_ + 1, close - p_ - 1).trimmed().toString();
            if (n.isEmpty())
                fail(QStringLiteral("nome de campo vazio"), p_);
            p_ = close + 1;
            return n;
        }
        if (p_ >= t_.size() || !isNameStart(t_[p_]))
            return {};
        const qsizetype start = p_;
        while (p_ < t_.size() && isNameChar(t_[p_]))
            ++p_;
        return t_.mid(start, p_ - start).toString();
    }

    bool accept(QChar c) {
        skipBlanks();
        if (p_ < t_.size() && t_[p_] == c) {
            ++p_;
            return true;
        }
        return false;
    }

    // 'text' with '' standing for one quote.
    bool quoted(QString& out) {
        skipBlanks();
        if (p_ >= t_.size() || t_[p_] != u'\'')
            return false;
        const qsizetype open = p_++;
        out.clear();
        while (true) {
            if (p_ >= t_.size())
                fail(QStringLiteral("texto sem aspas de fechamento"), open);
            const QChar c = t_[p_++];
            if (c == u'\'') {
                if (p_ < t_.size() && t_[p_] == u'\'') {
                    out += c;
                    ++p_;
                    continue;
                }
                return true;
            }
            out += c;
        }
    }

  private:
    QStringView t_;
    qsizetype p_ = 0;
};

}  // namespace

ParsedFilter ParsedFilter::parse(QStringView text) {
    ParsedFilter f;
    Lexer lx(text);
    if (lx.atEnd())
        return f;
    while (true) {
        lx.skipBlanks();
        const qsizetype namePos = lx.pos();
        const QString name = lx.name();
        if (name.isEmpty())
            fail(QStringLiteral("esperado nome de campo"), namePos);
        if (!lx.accept(u'='))
            fail(QStringLiteral("esperado '=' após o campo %1").arg(name), lx.pos());
        QString value;
        if (!lx.quoted(value))
            fail(QStringLiteral("esperado texto entre aspas simples após '='"), lx.pos());
        f.terms_.push_back(Term{name, static_cast<int>(namePos), value});
        if (lx.atEnd())
            break;
        const qsizetype kwPos = lx.pos();
        const QString kw = lx.name();
        if (kw.compare(QLatin1String("AND"), Qt::CaseInsensitive) != 0)
            fail(QStringLiteral("esperado AND entre as comparações"), kwPos);
        if (lx.atEnd())
            fail(QStringLiteral("comparação ausente após AND"), lx.pos());
    }
    return f;
}

RowFilter::RowFilter(const ParsedFilter& parsed, const std::vector<FieldDef>& fields,
                     const QString& tableName, bool caseInsensitive)
    : caseInsensitive_(caseInsensitive) {
    for (const ParsedFilter::Term& t : parsed.terms()) {
        int index = -1;
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].name.compare(t.fieldName, Qt::CaseInsensitive) == 0)
                index = static_cast<int>(i);
        if (index < 0)
            throw FilterError(QStringLiteral("Filtro inválido: o campo %1 não existe na tabela %2.")
                                  .arg(t.fieldName, tableName),
                              t.namePosition);
        Clause c;
        c.field = index;
        c.type = fields[static_cast<std::size_t>(index)].type;
        c.text = t.value;
        c.utf8 = caseInsensitive ? textmatch::foldUtf8(t.value) : t.value.toStdString();
        c.asciiOnly = textmatch::isAscii(c.utf8);
        clauses_.push_back(std::move(c));
    }
}

bool RowFilter::clauseMatches(const Clause& c, const Row& row, const QLocale& locale) const {
    if (c.type == FieldType::String || row.kind(c.field) == CellKind::Text) {
        const std::string_view cell = row.utf8(c.field);
        if (!caseInsensitive_)
            return cell == c.utf8;
        return textmatch::equalsIgnoreCase(cell, c.utf8, c.asciiOnly, c.text, false);
    }
    const QString text = format::cellText(row, c.field, c.type, locale);
    return caseInsensitive_ ? text.compare(c.text, Qt::CaseInsensitive) == 0 : text == c.text;
}

bool RowFilter::matches(const Row& row, const QLocale& locale) const {
    for (const Clause& c : clauses_)
        if (!clauseMatches(c, row, locale))
            return false;
    return true;
}

namespace textmatch {

bool isAscii(std::string_view text) {
    for (const char ch : text)
        if (static_cast<unsigned char>(ch) >= 0x80)
            return false;
    return true;
}

std::string foldUtf8(const QString& text) {
    return text.toCaseFolded().toStdString();
}

namespace {
inline unsigned char lowerAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}
}  // namespace

bool equalsIgnoreCase(std::string_view cell, std::string_view foldedKey, bool keyAscii, const QString& key,
                      bool prefix) {
    // Compare the leading ASCII part byte by byte; only a cell that agrees there (or holds other
    // characters there) needs the full Unicode comparison.
    std::size_t asciiLen = foldedKey.size();
    if (!keyAscii)
        for (std::size_t i = 0; i < foldedKey.size(); ++i)
            if (static_cast<unsigned char>(foldedKey[i]) >= 0x80) {
                asciiLen = i;
                break;
            }
    bool cellAscii = true;
    const std::size_t n = std::min(asciiLen, cell.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(cell[i]);
        if (a >= 0x80) {
            cellAscii = false;
            break;
        }
        if (lowerAscii(a) != static_cast<unsigned char>(foldedKey[i]))
            return false;
    }
    if (cellAscii && keyAscii) {
        if (cell.size() == foldedKey.size() || (prefix && cell.size() > foldedKey.size()))
            return true;
        // Longer or shorter: equal only if the rest folds away or the cell's other characters fold to ASCII.
        if (cell.size() < foldedKey.size() && isAscii(cell))
            return false;
        if (isAscii(cell.substr(std::min(n, cell.size()))))
            return false;
    } else if (cellAscii && cell.size() < asciiLen) {
        return false;
    }
    const QString c = QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size()));
    return prefix ? c.startsWith(key, Qt::CaseInsensitive) : c.compare(key, Qt::CaseInsensitive) == 0;
}

}  // namespace textmatch

}  // namespace ctb
