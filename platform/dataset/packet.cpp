#include "platform/dataset/packet.h"

namespace ctb {

QString fieldTypeName(FieldType type) {
    switch (type) {
        case FieldType::String:
            return QStringLiteral("string");
        case FieldType::Float:
            return QStringLiteral("float");
        case FieldType::DateTime:
            return QStringLiteral("date");
        case FieldType::Integer:
            return QStringLiteral("integer");
    }
    return {};
}

std::optional<FieldType> fieldTypeFromName(std::string_view name) {
    if (name == "string")
        return FieldType::String;
    if (name == "float")
        return FieldType::Float;
    if (name == "date")
        return FieldType::DateTime;
    if (name == "integer")
        return FieldType::Integer;
    return std::nullopt;
}

QString Row::text(int i) const {
    const auto v = utf8(i);
    return QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()));
}

std::string_view Row::utf8(int i) const {
    const Cell& c = cells_[idx(i)];
    if (c.kind != CellKind::Text)
        return {};
    return std::string_view(text_).substr(c.s.off, c.s.len);
}

double Row::number(int i) const {
    const Cell& c = cells_[idx(i)];
    if (c.kind == CellKind::Number)
        return c.d;
    if (c.kind == CellKind::Integer)
        return static_cast<double>(c.i);
    return 0.0;
}

std::int64_t Row::integer(int i) const {
    const Cell& c = cells_[idx(i)];
    if (c.kind == CellKind::Integer || c.kind == CellKind::DateTime)
        return c.i;
    if (c.kind == CellKind::Number)
        return static_cast<std::int64_t>(c.d);
    return 0;
}

std::int64_t Row::msecs(int i) const {
    const Cell& c = cells_[idx(i)];
    return c.kind == CellKind::DateTime ? c.i : 0;
}

void Row::setNull(int i) {
    cells_[idx(i)] = Cell{};
}

void Row::setText(int i, QStringView text) {
    const QByteArray bytes = text.toUtf8();
    setUtf8(i, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void Row::setUtf8(int i, std::string_view utf8) {
    Cell& c = cells_[idx(i)];
    // Same text: nothing to store (keeps repeated sets from growing the buffer).
    if (c.kind == CellKind::Text && std::string_view(text_).substr(c.s.off, c.s.len) == utf8)
        return;
    Cell n;
    n.kind = CellKind::Text;
    n.s.off = static_cast<std::uint32_t>(text_.size());
    n.s.len = static_cast<std::uint32_t>(utf8.size());
    text_.append(utf8);
    c = n;
    compactIfWasteful();
}

void Row::setNumber(int i, double value) {
    Cell n;
    n.kind = CellKind::Number;
    n.d = value;
    cells_[idx(i)] = n;
}

void Row::setInteger(int i, std::int64_t value) {
    Cell n;
    n.kind = CellKind::Integer;
    n.i = value;
    cells_[idx(i)] = n;
}

void Row::setMsecs(int i, std::int64_t msecs) {
    Cell n;
    n.kind = CellKind::DateTime;
    n.i = msecs;
    cells_[idx(i)] = n;
}

void Row::compactIfWasteful() {
    std::size_t live = 0;
    for (const Cell& c : cells_)
        if (c.kind == CellKind::Text)
            live += c.s.len;
    if (text_.size() < 256 || text_.size() <= 2 * live)
        return;
    std::string packed;
    packed.reserve(live);
    for (Cell& c : cells_) {
        if (c.kind != CellKind::Text)
            continue;
        const auto off = static_cast<std::uint32_t>(packed.size());
        packed.append(text_, c.s.off, c.s.len);
        c.s.off = off;
    }
    text_ = std::move(packed);
}

void Row::copyCell(int i, const Row& from, int fromIndex) {
    switch (from.kind(fromIndex)) {
        case CellKind::Null:
            setNull(i);
            break;
        case CellKind::Text:
            setUtf8(i, from.utf8(fromIndex));
            break;
        case CellKind::Number:
            setNumber(i, from.number(fromIndex));
            break;
        case CellKind::Integer:
            setInteger(i, from.integer(fromIndex));
            break;
        case CellKind::DateTime:
            setMsecs(i, from.msecs(fromIndex));
            break;
    }
}

bool Row::operator==(const Row& other) const {
    if (size() != other.size())
        return false;
    for (int i = 0; i < size(); ++i) {
        if (kind(i) != other.kind(i))
            return false;
        switch (kind(i)) {
            case CellKind::Null:
                break;
            case CellKind::Text:
                if (utf8(i) != other.utf8(i))
                    return false;
                break;
            case CellKind::Number:
                if (number(i) != other.number(i))
                    return false;
                break;
            case CellKind::Integer:
            case CellKind::DateTime:
                if (integer(i) != other.integer(i))
                    return false;
                break;
        }
    }
    return true;
}

int DataPacket::fieldIndex(QStringView name) const {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (QStringView(fields[i].name).compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

}  // namespace ctb
