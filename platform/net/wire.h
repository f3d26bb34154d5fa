#pragma once

// The application server's wire format, shared by the client and the server.
//
//   request  {"args": [ ... ]}
//   answer   {"ok": true, "result": <value>}  |  {"ok": false, "error": "<message>"}
//   packet   {"fields": [{"name": "CDEMPRESA", "type": "string", "size": 2}, ...], "rows": [[...], ...]}
//
// Error policy: decoders throw WireError (message in Portuguese, safe to show or to send back in a
// 400 answer); they never crash on any input. Encoders throw WireError only for values that cannot
// travel (a non-finite number, invalid UTF-8, a cell that does not fit its field).
//
// Text sizes are counted in Unicode characters (code points), not bytes.
// Output uses ", " and ": " as separators, so it reads like the examples of the protocol.

#include "platform/dataset/packet.h"
#include "platform/export.h"

#include <QDate>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ctb::wire {

class CTB_PLATFORM_EXPORT WireError : public std::runtime_error {
  public:
    explicit WireError(const std::string& utf8Message) : std::runtime_error(utf8Message) {}
    ~WireError() override;  // out of line: the type information lives in the platform library
    [[nodiscard]] QString message() const { return QString::fromUtf8(what()); }
};

// One value as it travels: null, boolean, number, text, data packet or array of values.
class CTB_PLATFORM_EXPORT Value {
  public:
    enum class Kind : std::uint8_t { Null, Bool, Number, String, Packet, Array };

    Value() = default;
    [[nodiscard]] static Value fromBool(bool b);
    [[nodiscard]] static Value fromNumber(double d);
    [[nodiscard]] static Value fromString(QStringView s);
    [[nodiscard]] static Value fromUtf8(std::string s);
    [[nodiscard]] static Value fromDate(QDate d);  // "YYYY-MM-DD"; null when the date is invalid
    [[nodiscard]] static Value fromPacket(DataPacket p);
    [[nodiscard]] static Value fromArray(std::vector<Value> items);

    [[nodiscard]] Kind kind() const;
    [[nodiscard]] bool isNull() const { return kind() == Kind::Null; }
    [[nodiscard]] bool isBool() const { return kind() == Kind::Bool; }
    [[nodiscard]] bool isNumber() const { return kind() == Kind::Number; }
    [[nodiscard]] bool isString() const { return kind() == Kind::String; }
    [[nodiscard]] bool isPacket() const { return kind() == Kind::Packet; }
    [[nodiscard]] bool isArray() const { return kind() == Kind::Array; }

    // Readers give the zero value of their kind when the value is of another kind.
    [[nodiscard]] bool toBool() const;
    [[nodiscard]] double toNumber() const;
    [[nodiscard]] std::string_view utf8() const;  // only for String
    // Converted to text: a string as is, a number in shortest form ("202612000001", "1.5"),
    // a boolean as "true"/"false"; empty for null, packet and array.
    [[nodiscard]] QString toString() const;
    // A String "YYYY-MM-DD" (or "YYYY-MM-DDTHH:MM:SS", time ignored) as a date.
    [[nodiscard]] std::optional<QDate> toDate() const;

    // Packet and array access; calling them on another kind throws WireError.
    [[nodiscard]] const DataPacket& packet() const;
    [[nodiscard]] DataPacket& packet();
    [[nodiscard]] DataPacket takePacket();  // moves the packet out; the value becomes null
    [[nodiscard]] const std::vector<Value>& array() const;
    [[nodiscard]] std::vector<Value>& array();

    // Deep equality (numbers compared with ==, packets field by field and row by row).
    [[nodiscard]] bool operator==(const Value& other) const;

  private:
    std::variant<std::monostate, bool, double, std::string, DataPacket, std::vector<Value>> v_;
};

[[nodiscard]] CTB_PLATFORM_EXPORT const char* kindName(Value::Kind kind);

// A decoded answer. When ok is false, error holds the server's message and result is null.
struct CTB_PLATFORM_EXPORT Answer {
    bool ok = false;
    Value result;
    QString error;
};

// --- requests: {"args": [ ... ]} ---
[[nodiscard]] CTB_PLATFORM_EXPORT std::string encodeRequest(const std::vector<Value>& args);
[[nodiscard]] CTB_PLATFORM_EXPORT std::vector<Value> decodeRequest(
    std::string_view body);  // throws WireError

// --- answers ---
[[nodiscard]] CTB_PLATFORM_EXPORT std::string encodeAnswer(const Answer& answer);
[[nodiscard]] CTB_PLATFORM_EXPORT std::string encodeOk(const Value& result);  // {"ok": true, "result": ...}
[[nodiscard]] CTB_PLATFORM_EXPORT std::string encodeError(
    QStringView message);  // {"ok": false, "error": "..."}
[[nodiscard]] CTB_PLATFORM_EXPORT Answer decodeAnswer(std::string_view body);  // throws WireError

// --- single values and packets ---
[[nodiscard]] CTB_PLATFORM_EXPORT std::string encodeValue(const Value& value);
[[nodiscard]] CTB_PLATFORM_EXPORT Value decodeValue(std::string_view json);  // throws WireError
[[nodiscard]] CTB_PLATFORM_EXPORT std::string encodePacket(const DataPacket& packet);
[[nodiscard]] CTB_PLATFORM_EXPORT DataPacket decodePacket(std::string_view json);  // throws WireError
// Appends to out (lets a caller reuse one buffer).
CTB_PLATFORM_EXPORT void appendPacket(std::string& out, const DataPacket& packet);

// --- dates: milliseconds since 1970-01-01T00:00:00, naive wall time, as in ctb::Row ---
// "YYYY-MM-DD" at midnight, else "YYYY-MM-DDTHH:MM:SS" (".zzz" added only when milliseconds are set).
[[nodiscard]] CTB_PLATFORM_EXPORT std::string formatDateTime(std::int64_t msecs);
// Accepts "YYYY-MM-DD", "YYYY-MM-DDTHH:MM:SS" and "YYYY-MM-DDTHH:MM:SS.zzz"; years 0001 to 9999.
[[nodiscard]] CTB_PLATFORM_EXPORT std::optional<std::int64_t> parseDateTime(std::string_view text);
[[nodiscard]] CTB_PLATFORM_EXPORT std::int64_t msecsFromDate(QDate date);  // midnight of that day
[[nodiscard]] CTB_PLATFORM_EXPORT QDate dateFromMsecs(std::int64_t msecs);
[[nodiscard]] CTB_PLATFORM_EXPORT QString isoDate(QDate date);  // "YYYY-MM-DD"
[[nodiscard]] CTB_PLATFORM_EXPORT std::optional<QDate> parseIsoDate(std::string_view text);

}  // namespace ctb::wire
