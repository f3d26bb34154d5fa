#pragma once

#include "platform/export.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ctb {

enum class FieldType : std::uint8_t { String, Float, DateTime, Integer };

[[nodiscard]] CTB_PLATFORM_EXPORT QString fieldTypeName(FieldType type);
[[nodiscard]] CTB_PLATFORM_EXPORT std::optional<FieldType> fieldTypeFromName(std::string_view name);

// What travels for one field of a table: its name, type and (for texts) declared size.
struct CTB_PLATFORM_EXPORT FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0;  // characters, for String fields only

    bool operator==(const FieldDef&) const = default;
};

enum class CellKind : std::uint8_t { Null, Text, Number, Integer, DateTime };

// One row of a table in compact form: 16-byte cells, every text of the row in one UTF-8 buffer.
// A 400,000-line journal must fit in a few times its packet size, so no per-cell heap objects.
class CTB_PLATFORM_EXPORT Row {
  public:
    Row() = default;
    explicit Row(int cellCount) : cells_(static_cast<std::size_t>(cellCount)) {}

    [[nodiscard]] int size() const { return static_cast<int>(cells_.size()); }
    [[nodiscard]] CellKind kind(int i) const { return cells_[idx(i)].kind; }
    [[nodiscard]] bool isNull(int i) const { return kind(i) == CellKind::Null; }

    // Readers return the zero value of their kind for a null or other-kind cell.
    [[nodiscard]] QString text(int i) const;
    [[nodiscard]] std::string_view utf8(int i) const;
    [[nodiscard]] double number(int i) const;
    [[nodiscard]] std::int64_t integer(int i) const;
    // Date-times are milliseconds since 1970-01-01T00:00:00 with no time zone (local wall time).
    [[nodiscard]] std::int64_t msecs(int i) const;

    void setNull(int i);
    void setText(int i, QStringView text);
    void setUtf8(int i, std::string_view utf8);
    void setNumber(int i, double value);
    void setInteger(int i, std::int64_t value);
    void setMsecs(int i, std::int64_t msecs);

    void resize(int cellCount) { cells_.resize(static_cast<std::size_t>(cellCount)); }
    // Cell `fromIndex` of `from` into cell i, kind and value.
    void copyCell(int i, const Row& from, int fromIndex);
    // Scans over many rows: asks the CPU for cell i and the start of the texts before they are read.
    void prefetch(int i) const {
        __builtin_prefetch(cells_.data() + i);
        __builtin_prefetch(text_.data());
    }
    // Cell-by-cell equality of kind and value.
    [[nodiscard]] bool operator==(const Row& other) const;

  private:
    struct Cell {
        union {
            double d;
            std::int64_t i;
            struct {
                std::uint32_t off;
                std::uint32_t len;
            } s;
        };
        CellKind kind = CellKind::Null;
        Cell() : i(0) {}
    };
    static_assert(sizeof(Cell) == 16);

    [[nodiscard]] std::size_t idx(int i) const { return static_cast<std::size_t>(i); }
    void compactIfWasteful();

    std::vector<Cell> cells_;
    std::string text_;
};

// The whole image of a table: field definitions in declared order and every row.
struct CTB_PLATFORM_EXPORT DataPacket {
    std::vector<FieldDef> fields;
    std::vector<Row> rows;

    [[nodiscard]] int fieldIndex(QStringView name) const;  // -1 when absent; case-insensitive
};

}  // namespace ctb
