#include "platform/net/wire.h"
#include "platform/net/wire_internal.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace ctb::wire {

WireError::~WireError() = default;

namespace {

constexpr std::int64_t kMsecsPerDay = 86'400'000;

struct Civil {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

// Proleptic Gregorian day numbers (days since 1970-01-01), exact for any year.
constexpr std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr Civil civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {y + (m <= 2 ? 1 : 0), m, d};
}

constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

constexpr unsigned daysInMonth(std::int64_t y, unsigned m) {
    constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0))
        return 29;
    return kDays[m - 1];
}

// Reads exactly n digits at p; -1 when any is not a digit.
int digits(const char* p, int n) {
    int v = 0;
    for (int i = 0; i < n; ++i) {
        const char c = p[i];
        if (c < '0' || c > '9')
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

void put2(char* p, unsigned v) {
    p[0] = static_cast<char>('0' + v / 10);
    p[1] = static_cast<char>('0' + v % 10);
}

}  // namespace

namespace detail {

std::int64_t utf8Length(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const unsigned char* const end = p + s.size();
    std::int64_t count = 0;
    while (p < end) {
        // Eight ASCII bytes at a time: most texts are plain ASCII.
        if (end - p >= 8) {
            std::uint64_t w;
            std::memcpy(&w, p, 8);
            if ((w & 0x8080808080808080ULL) == 0) {
                p += 8;
                count += 8;
                continue;
            }
        }
        const unsigned c = *p;
        if (c < 0x80) {
            ++p;
        } else if (c >= 0xC2 && c <= 0xDF) {
            if (end - p < 2 || (p[1] & 0xC0) != 0x80)
                return -1;
            p += 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            if (end - p < 3 || (p[1] & 0xC0) != 0x80 || (p[2] & 0xC0) != 0x80)
                return -1;
            if (c == 0xE0 && p[1] < 0xA0)
                return -1;  // overlong
            if (c == 0xED && p[1] >= 0xA0)
                return -1;  // surrogate
            p += 3;
        } else if (c >= 0xF0 && c <= 0xF4) {
            if (end - p < 4 || (p[1] & 0xC0) != 0x80 || (p[2] & 0xC0) != 0x80 || (p[3] & 0xC0) != 0x80)
                return -1;
            if (c == 0xF0 && p[1] < 0x90)
                return -1;  // overlong
            if (c == 0xF4 && p[1] >= 0x90)
                return -1;  // above U+10FFFF
            p += 4;
        } else {
            return -1;
        }
        ++count;
    }
    return count;
}

void appendDouble(std::string& out, double d) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, d);
    const auto n = static_cast<std::size_t>(r.ptr - buf);
    // A bare "-0" reads back as the integer 0: keep the sign with a fraction.
    if (n == 2 && buf[0] == '-' && buf[1] == '0') {
        out.append("-0.0");
        return;
    }
    out.append(buf, n);
}

void appendInteger(std::string& out, std::int64_t i) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, i);
    out.append(buf, static_cast<std::size_t>(r.ptr - buf));
}

bool appendDateTime(std::string& out, std::int64_t msecs) {
    const std::int64_t days = floorDiv(msecs, kMsecsPerDay);
    const auto inDay = static_cast<unsigned>(msecs - days * kMsecsPerDay);
    const Civil c = civilFromDays(days);
    if (c.year < 1 || c.year > 9999)
        return false;
    char buf[24];
    const auto y = static_cast<unsigned>(c.year);
    put2(buf, y / 100);
    put2(buf + 2, y % 100);
    buf[4] = '-';
    put2(buf + 5, c.month);
    buf[7] = '-';
    put2(buf + 8, c.day);
    std::size_t n = 10;
    if (inDay != 0) {
        const unsigned secs = inDay / 1000;
        buf[10] = 'T';
        put2(buf + 11, secs / 3600);
        buf[13] = ':';
        put2(buf + 14, secs / 60 % 60);
        buf[16] = ':';
        put2(buf + 17, secs % 60);
        n = 19;
        if (const unsigned ms = inDay % 1000; ms != 0) {
            buf[19] = '.';
            buf[20] = static_cast<char>('0' + ms / 100);
            put2(buf + 21, ms % 100);
            n = 23;
        }
    }
    out.append(buf, n);
    return true;
}

bool appendJsonString(std::string& out, std::string_view s, std::int64_t* charCount) {
    // 0: copy as is; 1: needs an escape; 2: first byte of a multi-byte sequence.
    static constexpr auto kClass = [] {
        std::array<std::uint8_t, 256> t{};
        for (int i = 0; i < 0x20; ++i)
            t[static_cast<std::size_t>(i)] = 1;
        t['"'] = 1;
        t['\\'] = 1;
        for (int i = 0x80; i < 0x100; ++i)
            t[static_cast<std::size_t>(i)] = 2;
        return t;
    }();
    const std::size_t start = out.size();
    out.reserve(start + s.size() + 2);
    out.push_back('"');
    std::int64_t chars = 0;
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        std::size_t j = i;
        while (j < n && kClass[static_cast<unsigned char>(s[j])] == 0)
            ++j;
        out.append(s.data() + i, j - i);
        chars += static_cast<std::int64_t>(j - i);
        if (j == n)
            break;
        const auto c = static_cast<unsigned char>(s[j]);
        if (kClass[c] == 2) {
            // Copy the run of non-ASCII bytes; validated once below.
            std::size_t k = j;
            while (k < n && static_cast<unsigned char>(s[k]) >= 0x80)
                ++k;
            const std::int64_t len = utf8Length(s.substr(j, k - j));
            if (len < 0) {
                out.resize(start);
                return false;
            }
            out.append(s.data() + j, k - j);
            chars += len;
            i = k;
            continue;
        }
        switch (c) {
            case '"':
                out.append("\\\"");
                break;
            case '\\':
                out.append("\\\\");
                break;
            case '\n':
                out.append("\\n");
                break;
            case '\r':
                out.append("\\r");
                break;
            case '\t':
                out.append("\\t");
                break;
            case '\b':
                out.append("\\b");
                break;
            case '\f':
                out.append("\\f");
                break;
            default: {
                static constexpr char kHex[] = "0123456789abcdef";
                const char esc[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
                out.append(esc, 6);
            }
        }
        ++chars;
        i = j + 1;
    }
    out.push_back('"');
    if (charCount)
        *charCount = chars;
    return true;
}

std::string quoteForMessage(std::string_view s) {
    constexpr std::size_t kMax = 40;
    std::string r = "\"";
    if (s.size() <= kMax) {
        r.append(s);
    } else {
        std::size_t cut = kMax;
        while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80)
            --cut;  // whole characters
        r.append(s.substr(0, cut));
        r.append("...");
    }
    r.push_back('"');
    if (utf8Length(r) < 0)
        return "(texto com UTF-8 inválido)";
    return r;
}

}  // namespace detail

// --- dates ---

std::string formatDateTime(std::int64_t msecs) {
    std::string out;
    if (!detail::appendDateTime(out, msecs))
        return {};
    return out;
}

std::optional<std::int64_t> parseDateTime(std::string_view t) {
    if (t.size() != 10 && t.size() != 19 && t.size() != 23)
        return std::nullopt;
    const char* p = t.data();
    const int y = digits(p, 4);
    const int m = digits(p + 5, 2);
    const int d = digits(p + 8, 2);
    if (p[4] != '-' || p[7] != '-' || y < 1 || m < 1 || m > 12 || d < 1)
        return std::nullopt;
    if (static_cast<unsigned>(d) > daysInMonth(y, static_cast<unsigned>(m)))
        return std::nullopt;
    std::int64_t ms = daysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) * kMsecsPerDay;
    if (t.size() == 10)
        return ms;
    const int hh = digits(p + 11, 2);
    const int mi = digits(p + 14, 2);
    const int ss = digits(p + 17, 2);
    if (p[10] != 'T' || p[13] != ':' || p[16] != ':' || hh < 0 || hh > 23 || mi < 0 || mi > 59 || ss < 0 ||
        ss > 59)
        return std::nullopt;
    ms += (hh * 3600 + mi * 60 + ss) * 1000LL;
    if (t.size() == 23) {
        const int frac = digits(p + 20, 3);
        if (p[19] != '.' || frac < 0)
            return std::nullopt;
        ms += frac;
    }
    return ms;
}

std::int64_t msecsFromDate(QDate date) {
    return daysFromCivil(date.year(), static_cast<unsigned>(date.month()),
                         static_cast<unsigned>(date.day())) *
           kMsecsPerDay;
}

QDate dateFromMsecs(std::int64_t msecs) {
    const Civil c = civilFromDays(floorDiv(msecs, kMsecsPerDay));
    return QDate(static_cast<int>(c.year), static_cast<int>(c.month), static_cast<int>(c.day));
}

QString isoDate(QDate date) {
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return {};
    return QString::fromStdString(formatDateTime(msecsFromDate(date)));
}

std::optional<QDate> parseIsoDate(std::string_view text) {
    const auto ms = parseDateTime(text);
    if (!ms)
        return std::nullopt;
    return dateFromMsecs(*ms);
}

// --- Value ---

Value Value::fromBool(bool b) {
    Value v;
    v.v_ = b;
    return v;
}

Value Value::fromNumber(double d) {
    Value v;
    v.v_ = d;
    return v;
}

Value Value::fromString(QStringView s) {
    return fromUtf8(s.toUtf8().toStdString());
}

Value Value::fromUtf8(std::string s) {
    Value v;
    v.v_ = std::move(s);
    return v;
}

Value Value::fromDate(QDate d) {
    const QString s = isoDate(d);
    if (s.isEmpty())
        return {};
    return fromString(s);
}

Value Value::fromPacket(DataPacket p) {
    Value v;
    v.v_ = std::move(p);
    return v;
}

Value Value::fromArray(std::vector<Value> items) {
    Value v;
    v.v_ = std::move(items);
    return v;
}

Value::Kind Value::kind() const {
    return static_cast<Kind>(v_.index());
}

bool Value::toBool() const {
    const bool* b = std::get_if<bool>(&v_);
    return b && *b;
}

double Value::toNumber() const {
    const double* d = std::get_if<double>(&v_);
    return d ? *d : 0.0;
}

std::string_view Value::utf8() const {
    const std::string* s = std::get_if<std::string>(&v_);
    return s ? std::string_view(*s) : std::string_view();
}

QString Value::toString() const {
    switch (kind()) {
        case Kind::String: {
            const auto s = utf8();
            return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
        }
        case Kind::Number: {
            const double d = toNumber();
            if (!std::isfinite(d))
                return {};
            char buf[32];
            const auto r = std::to_chars(buf, buf + sizeof buf, d == 0.0 ? 0.0 : d);
            return QString::fromLatin1(buf, static_cast<qsizetype>(r.ptr - buf));
        }
        case Kind::Bool:
            return toBool() ? QStringLiteral("true") : QStringLiteral("false");
        default:
            return {};
    }
}

std::optional<QDate> Value::toDate() const {
    if (!isString())
        return std::nullopt;
    return parseIsoDate(utf8());
}

const DataPacket& Value::packet() const {
    if (const auto* p = std::get_if<DataPacket>(&v_))
        return *p;
    throw WireError(std::string("Valor esperado: pacote de dados; recebido: ") + kindName(kind()) + ".");
}

DataPacket& Value::packet() {
    return const_cast<DataPacket&>(std::as_const(*this).packet());
}

DataPacket Value::takePacket() {
    DataPacket p = std::move(packet());
    v_ = std::monostate{};
    return p;
}

const std::vector<Value>& Value::array() const {
    if (const auto* a = std::get_if<std::vector<Value>>(&v_))
        return *a;
    throw WireError(std::string("Valor esperado: lista; recebido: ") + kindName(kind()) + ".");
}

std::vector<Value>& Value::array() {
    return const_cast<std::vector<Value>&>(std::as_const(*this).array());
}

bool Value::operator==(const Value& other) const {
    if (kind() != other.kind())
        return false;
    switch (kind()) {
        case Kind::Null:
            return true;
        case Kind::Bool:
            return toBool() == other.toBool();
        case Kind::Number:
            return toNumber() == other.toNumber();
        case Kind::String:
            return utf8() == other.utf8();
        case Kind::Packet: {
            const DataPacket& a = packet();
            const DataPacket& b = other.packet();
            return a.fields == b.fields && a.rows == b.rows;
        }
        case Kind::Array:
            return array() == other.array();
    }
    return false;
}

const char* kindName(Value::Kind kind) {
    switch (kind) {
        case Value::Kind::Null:
            return "nulo";
        case Value::Kind::Bool:
            return "booleano";
        case Value::Kind::Number:
            return "número";
        case Value::Kind::String:
            return "texto";
        case Value::Kind::Packet:
            return "pacote de dados";
        case Value::Kind::Array:
            return "lista";
    }
    return "?";
}

}  // namespace ctb::wire
