// Encoding: written by hand straight from DataPacket rows (no DOM), with ", " and ": " separators.

#include "platform/net/wire.h"
#include "platform/net/wire_internal.h"

#include <cmath>

namespace ctb::wire {

namespace {

using detail::appendDouble;
using detail::appendInteger;
using detail::appendJsonString;

[[noreturn]] void fail(const std::string& message) {
    throw WireError(message);
}

std::string fieldLabel(const FieldDef& f) {
    return f.name.toStdString();
}

void appendQString(std::string& out, QStringView s) {
    const QByteArray b = s.toUtf8();
    if (!appendJsonString(out, std::string_view(b.constData(), static_cast<std::size_t>(b.size()))))
        fail("Texto com UTF-8 inválido.");
}

void appendNumber(std::string& out, double d) {
    if (!std::isfinite(d))
        fail("Número não finito não pode ser enviado.");
    appendDouble(out, d);
}

void appendFields(std::string& out, const std::vector<FieldDef>& fields) {
    out.append("{\"fields\": [");
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldDef& f = fields[i];
        if (i)
            out.append(", ");
        if (f.name.isEmpty())
            fail("Pacote de dados: campo " + std::to_string(i + 1) + " sem nome.");
        out.append("{\"name\": ");
        appendQString(out, f.name);
        out.append(", \"type\": \"");
        switch (f.type) {
            case FieldType::String:
                out.append("string\", \"size\": ");
                appendInteger(out, f.size);
                break;
            case FieldType::Float:
                out.append("float\"");
                break;
            case FieldType::DateTime:
                out.append("date\"");
                break;
            case FieldType::Integer:
                out.append("integer\"");
                break;
        }
        out.push_back('}');
    }
    out.append("], \"rows\": [");
}

[[noreturn]] void cellFails(std::size_t row, const FieldDef& f, const std::string& what) {
    fail("Pacote de dados: linha " + std::to_string(row + 1) + ", campo " + fieldLabel(f) + ": " + what +
         ".");
}

void appendCell(std::string& out, const Row& r, int i, const FieldDef& f, std::size_t rowIndex) {
    const CellKind k = r.kind(i);
    if (k == CellKind::Null) {
        out.append("null");
        return;
    }
    switch (f.type) {
        case FieldType::String: {
            if (k != CellKind::Text)
                cellFails(rowIndex, f, "valor não é texto");
            std::int64_t chars = 0;
            if (!appendJsonString(out, r.utf8(i), &chars))
                cellFails(rowIndex, f, "texto com UTF-8 inválido");
            if (f.size > 0 && chars > f.size)
                cellFails(rowIndex, f,
                          "texto de " + std::to_string(chars) + " caracteres excede o tamanho " +
                              std::to_string(f.size));
            return;
        }
        case FieldType::Float:
            if (k == CellKind::Number) {
                if (!std::isfinite(r.number(i)))
                    cellFails(rowIndex, f, "número não finito");
                appendDouble(out, r.number(i));
            } else if (k == CellKind::Integer) {
                appendInteger(out, r.integer(i));
            } else {
                cellFails(rowIndex, f, "valor não é número");
            }
            return;
        case FieldType::Integer:
            if (k == CellKind::Integer) {
                appendInteger(out, r.integer(i));
            } else if (k == CellKind::Number && std::nearbyint(r.number(i)) == r.number(i) &&
                       std::fabs(r.number(i)) < 9.2e18) {
                appendInteger(out, static_cast<std::int64_t>(r.number(i)));
            } else {
                cellFails(rowIndex, f, "valor não é inteiro");
            }
            return;
        case FieldType::DateTime:
            if (k != CellKind::DateTime)
                cellFails(rowIndex, f, "valor não é data");
            out.push_back('"');
            if (!detail::appendDateTime(out, r.msecs(i)))
                cellFails(rowIndex, f, "data fora do intervalo 0001 a 9999");
            out.push_back('"');
            return;
    }
}

// A guess of the encoded size from the first rows, so the buffer grows once or twice at most.
std::size_t estimateSize(const DataPacket& p) {
    const std::size_t sample = std::min<std::size_t>(p.rows.size(), 64);
    std::size_t bytes = 0;
    for (std::size_t r = 0; r < sample; ++r) {
        const Row& row = p.rows[r];
        for (int i = 0; i < row.size(); ++i)
            bytes += row.utf8(i).size() + 8;
    }
    const std::size_t perRow = sample ? bytes / sample + 8 : 0;
    return 64 + p.fields.size() * 64 + perRow * p.rows.size() + perRow * p.rows.size() / 16;
}

void appendValue(std::string& out, const Value& v, int depth);

void appendArray(std::string& out, const std::vector<Value>& items, int depth) {
    out.push_back('[');
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i)
            out.append(", ");
        appendValue(out, items[i], depth + 1);
    }
    out.push_back(']');
}

void appendValue(std::string& out, const Value& v, int depth) {
    if (depth > 64)
        fail("Valor aninhado demais para enviar.");
    switch (v.kind()) {
        case Value::Kind::Null:
            out.append("null");
            return;
        case Value::Kind::Bool:
            out.append(v.toBool() ? "true" : "false");
            return;
        case Value::Kind::Number:
            appendNumber(out, v.toNumber());
            return;
        case Value::Kind::String:
            if (!appendJsonString(out, v.utf8()))
                fail("Texto com UTF-8 inválido.");
            return;
        case Value::Kind::Packet:
            appendPacket(out, v.packet());
            return;
        case Value::Kind::Array:
            appendArray(out, v.array(), depth);
            return;
    }
}

}  // namespace

void appendPacket(std::string& out, const DataPacket& packet) {
    const int n = static_cast<int>(packet.fields.size());
    out.reserve(out.size() + estimateSize(packet));
    appendFields(out, packet.fields);
    for (std::size_t r = 0; r < packet.rows.size(); ++r) {
        const Row& row = packet.rows[r];
        if (row.size() != n)
            fail("Pacote de dados: linha " + std::to_string(r + 1) + " tem " + std::to_string(row.size()) +
                 " células, esperadas " + std::to_string(n) + ".");
        out.append(r ? ", [" : "[");
        for (int i = 0; i < n; ++i) {
            if (i)
                out.append(", ");
            appendCell(out, row, i, packet.fields[static_cast<std::size_t>(i)], r);
        }
        out.push_back(']');
    }
    out.append("]}");
}

std::string encodePacket(const DataPacket& packet) {
    std::string out;
    appendPacket(out, packet);
    return out;
}

std::string encodeValue(const Value& value) {
    std::string out;
    appendValue(out, value, 0);
    return out;
}

std::string encodeRequest(const std::vector<Value>& args) {
    std::string out = "{\"args\": ";
    appendArray(out, args, 0);
    out.push_back('}');
    return out;
}

std::string encodeOk(const Value& result) {
    std::string out = "{\"ok\": true, \"result\": ";
    appendValue(out, result, 0);
    out.push_back('}');
    return out;
}

std::string encodeError(QStringView message) {
    std::string out = "{\"ok\": false, \"error\": ";
    appendQString(out, message);
    out.push_back('}');
    return out;
}

std::string encodeAnswer(const Answer& answer) {
    return answer.ok ? encodeOk(answer.result) : encodeError(answer.error);
}

}  // namespace ctb::wire
