#pragma once

// The filter language of the tables: comparisons FIELD = 'text' joined by AND (keyword in any case),
// any blank space between tokens, a quote inside a text doubled, field names in any case (or in
// brackets, [NAME]). Each comparison holds when the field's text equals the given text.
// Parsed once into clauses; evaluation compares stored UTF-8 directly for text fields.

#include "platform/dataset/packet.h"
#include "platform/export.h"

#include <QLocale>
#include <QString>
#include <QStringView>

#include <string>
#include <vector>

namespace ctb {

class CTB_PLATFORM_EXPORT ParsedFilter {
  public:
    struct Term {
        QString fieldName;
        int namePosition = 0;
        QString value;
    };

    // Throws FilterError for a malformed text; an empty or blank text has no terms (every row passes).
    [[nodiscard]] static ParsedFilter parse(QStringView text);
    [[nodiscard]] const std::vector<Term>& terms() const { return terms_; }

  private:
    std::vector<Term> terms_;
};

class CTB_PLATFORM_EXPORT RowFilter {
  public:
    // Resolves field names; throws FilterError naming the table when a field is unknown.
    RowFilter(const ParsedFilter& parsed, const std::vector<FieldDef>& fields, const QString& tableName,
              bool caseInsensitive);

    [[nodiscard]] bool matches(const Row& row, const QLocale& locale) const;
    [[nodiscard]] bool isEmpty() const { return clauses_.empty(); }
    [[nodiscard]] int firstField() const { return clauses_.empty() ? 0 : clauses_.front().field; }

  private:
    struct Clause {
        int field = 0;
        FieldType type = FieldType::String;
        std::string utf8;  // the value, case-folded when comparing without case
        QString text;
        bool asciiOnly = true;
    };
    [[nodiscard]] bool clauseMatches(const Clause& c, const Row& row, const QLocale& locale) const;

    std::vector<Clause> clauses_;
    bool caseInsensitive_ = false;
};

// Case-insensitive comparisons of stored UTF-8 texts, fast for plain ASCII.
namespace textmatch {
[[nodiscard]] CTB_PLATFORM_EXPORT bool equalsIgnoreCase(std::string_view cell, std::string_view foldedKey,
                                                        bool keyAscii, const QString& key, bool prefix);
[[nodiscard]] CTB_PLATFORM_EXPORT std::string foldUtf8(const QString& text);
[[nodiscard]] CTB_PLATFORM_EXPORT bool isAscii(std::string_view text);
}  // namespace textmatch

}  // namespace ctb
