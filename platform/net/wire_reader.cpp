// Decoding: RapidJSON's SAX reader drives a small state machine that builds the values directly,
// packet rows straight into ctb::Row (no DOM). Every fault becomes a WireError with a clear message.

#include "platform/net/wire.h"
#include "platform/net/wire_internal.h"

#include <rapidjson/error/error.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace ctb::wire {

namespace {

constexpr std::size_t kMaxDepth = 64;
constexpr std::int64_t kMaxFieldSize = 1'000'000;
// Far above any table's fields; keeps the repeated-name check (linear per field) from being a way to
// hold a server thread for minutes with one request.
constexpr std::size_t kMaxFields = 1024;
constexpr std::size_t kRowsBeforeEstimate = 256;

enum class Mode : std::uint8_t { Request, Answer, Value, Packet };

enum class Ctx : std::uint8_t {
    Root,
    RequestObj,
    AnswerObj,
    ValueArray,
    PacketObj,
    FieldsArray,
    FieldObj,
    RowsArray,
    Row,
};

enum class Slot : std::uint8_t { None, Args, Ok, Result, Error, Fields, Rows, Name, Type, Size };

struct Frame {
    Ctx ctx;
    Slot key = Slot::None;  // the key whose value comes next, in object frames
};

class Handler {
  public:
    explicit Handler(Mode mode) : mode_(mode) { stack_.push_back({Ctx::Root}); }

    // --- RapidJSON SAX interface ---
    bool Null() {
        if (top().ctx == Ctx::Row)
            return nullCell();
        return scalar(Value());
    }
    bool Bool(bool b) {
        if (top().ctx == Ctx::Row)
            return cellFault("valor booleano não é aceito em pacote de dados");
        return scalar(Value::fromBool(b));
    }
    bool Int(int i) { return integer(i); }
    bool Uint(unsigned u) { return integer(u); }
    bool Int64(std::int64_t i) { return integer(i); }
    bool Uint64(std::uint64_t u) {
        if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            return Double(static_cast<double>(u));
        return integer(static_cast<std::int64_t>(u));
    }
    bool Double(double d) {
        if (!std::isfinite(d))
            return fault("número não finito");
        switch (top().ctx) {
            case Ctx::Row:
                return numberCell(d);
            case Ctx::FieldObj:
                return fieldSize(d);
            default:
                return scalar(Value::fromNumber(d));
        }
    }
    // Numbers arrive as their text and are converted here: RapidJSON's own conversion gives 7.9e28 for
    // "0e55" (a zero significand with a large exponent).
    bool RawNumber(const char* s, rapidjson::SizeType len, bool) {
        const std::string_view t(s, len);
        if (t.find_first_of(".eE") == std::string_view::npos) {
            std::int64_t i = 0;
            const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), i);
            if (ec == std::errc() && end == t.data() + t.size())
                return integer(i);
        }
        double d = 0;
        const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), d);
        if (ec == std::errc::result_out_of_range) {
            if (!underflows(t))
                return fault("número grande demais");
            d = t.front() == '-' ? -0.0 : 0.0;
        } else if (ec != std::errc() || end != t.data() + t.size()) {
            return fault("número malformado");
        }
        return Double(d);
    }
    // For a number out of a double's range: true when it is too small (rounds to zero), not too big.
    static bool underflows(std::string_view t) {
        const std::size_t e = t.find_first_of("eE");
        const std::string_view mantissa = t.substr(0, e);
        long long exponent = 0;
        if (e != std::string_view::npos) {
            std::string_view x = t.substr(e + 1);
            const bool negative = !x.empty() && x.front() == '-';
            if (!x.empty() && (x.front() == '-' || x.front() == '+'))
                x.remove_prefix(1);
            for (const char c : x)
                exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
            if (negative)
                exponent = -exponent;
        }
        // The decimal position of the first significant digit: digits before the point (leading zeros
        // aside), or minus the zeros right after it.
        const std::size_t point = mantissa.find('.');
        std::string_view whole = mantissa.substr(0, point);
        if (!whole.empty() && whole.front() == '-')
            whole.remove_prefix(1);
        while (!whole.empty() && whole.front() == '0')
            whole.remove_prefix(1);
        long long position = static_cast<long long>(whole.size());
        if (whole.empty() && point != std::string_view::npos) {
            const std::string_view fraction = mantissa.substr(point + 1);
            const std::size_t first = fraction.find_first_not_of('0');
            position = -static_cast<long long>(first == std::string_view::npos ? fraction.size() : first);
        }
        return position + exponent <= 0;
    }
    bool String(const char* s, rapidjson::SizeType len, bool) {
        const std::string_view text(s, len);
        switch (top().ctx) {
            case Ctx::Row:
                return stringCell(text);
            case Ctx::FieldObj:
                return fieldText(text);
            default:
                if (detail::utf8Length(text) < 0)
                    return fault("texto com UTF-8 inválido");
                return scalar(Value::fromUtf8(std::string(text)));
        }
    }
    bool StartObject() {
        switch (top().ctx) {
            case Ctx::Root:
                if (mode_ == Mode::Request)
                    return push(Ctx::RequestObj);
                if (mode_ == Mode::Answer)
                    return push(Ctx::AnswerObj);
                return beginPacket();
            case Ctx::FieldsArray:
                field_ = FieldDef{};
                fieldHas_ = 0;
                return push(Ctx::FieldObj);
            case Ctx::Row:
                return cellFault("objeto não é aceito como célula");
            case Ctx::RowsArray:
                return fault("cada linha do pacote deve ser uma lista de células");
            default:
                if (!valueExpected())
                    return fault("objeto inesperado");
                return beginPacket();
        }
    }
    bool Key(const char* s, rapidjson::SizeType len, bool) {
        const std::string_view k(s, len);
        Frame& f = top();
        Slot key = Slot::None;
        unsigned bit = 0;
        switch (f.ctx) {
            case Ctx::RequestObj:
                if (k == "args")
                    key = Slot::Args, bit = 1;
                break;
            case Ctx::AnswerObj:
                if (k == "ok")
                    key = Slot::Ok, bit = 1;
                else if (k == "result")
                    key = Slot::Result, bit = 2;
                else if (k == "error")
                    key = Slot::Error, bit = 4;
                break;
            case Ctx::PacketObj:
                if (k == "fields")
                    key = Slot::Fields, bit = 1;
                else if (k == "rows")
                    key = Slot::Rows, bit = 2;
                break;
            case Ctx::FieldObj:
                if (k == "name")
                    key = Slot::Name, bit = 1;
                else if (k == "type")
                    key = Slot::Type, bit = 2;
                else if (k == "size")
                    key = Slot::Size, bit = 4;
                break;
            default:
                break;
        }
        if (key == Slot::None)
            return fault("chave desconhecida " + detail::quoteForMessage(k));
        unsigned& seen = f.ctx == Ctx::FieldObj ? fieldHas_ : objectSeen_.back();
        if (seen & bit)
            return fault("chave repetida " + detail::quoteForMessage(k));
        seen |= bit;
        if (key == Slot::Rows && !(seen & 1))
            return fault("no pacote de dados, \"fields\" deve vir antes de \"rows\"");
        f.key = key;
        return true;
    }
    bool EndObject(rapidjson::SizeType) {
        switch (top().ctx) {
            case Ctx::RequestObj:
                if (!(objectSeen_.back() & 1))
                    return fault("falta a chave \"args\"");
                pop();
                return finishRoot();
            case Ctx::AnswerObj: {
                const unsigned seen = objectSeen_.back();
                if (!(seen & 1))
                    return fault("falta a chave \"ok\"");
                if (!answer_.ok && !(seen & 4))
                    return fault("falta a chave \"error\"");
                pop();
                return finishRoot();
            }
            case Ctx::PacketObj: {
                if (objectSeen_.back() != 3)
                    return fault("pacote de dados sem \"fields\" ou sem \"rows\"");
                pop();
                inPacket_ = false;
                if (top().ctx == Ctx::Root && mode_ == Mode::Packet)
                    return finishRoot();
                return scalar(Value::fromPacket(std::move(packet_)));
            }
            case Ctx::FieldObj:
                return endField();
            default:
                return fault("fim de objeto inesperado");
        }
    }
    bool StartArray() {
        switch (top().ctx) {
            case Ctx::PacketObj:
                if (top().key == Slot::Fields)
                    return push(Ctx::FieldsArray);
                if (top().key == Slot::Rows) {
                    packet_.rows.clear();
                    if (stream_)
                        rowsStart_ = stream_->Tell();
                    return push(Ctx::RowsArray);
                }
                return fault("lista inesperada");
            case Ctx::RowsArray:
                row_ = Row(static_cast<int>(packet_.fields.size()));
                col_ = 0;
                return push(Ctx::Row);
            case Ctx::Row:
                return cellFault("lista não é aceita como célula");
            case Ctx::FieldsArray:
                return fault("cada campo do pacote deve ser um objeto");
            case Ctx::FieldObj:
                return fault("lista inesperada na definição de campo");
            default:
                if (!valueExpected())
                    return fault("lista inesperada");
                arrays_.emplace_back();
                return push(Ctx::ValueArray);
        }
    }
    bool EndArray(rapidjson::SizeType) {
        switch (top().ctx) {
            case Ctx::ValueArray: {
                pop();
                std::vector<Value> items = std::move(arrays_.back());
                arrays_.pop_back();
                return scalar(Value::fromArray(std::move(items)));
            }
            case Ctx::FieldsArray:
                pop();
                top().key = Slot::None;
                return true;
            case Ctx::RowsArray:
                pop();
                top().key = Slot::None;
                return true;
            case Ctx::Row:
                if (col_ != packet_.fields.size())
                    return fault("linha " + std::to_string(packet_.rows.size() + 1) + " tem " +
                                 std::to_string(col_) + " células, esperadas " +
                                 std::to_string(packet_.fields.size()));
                // A copy holds its texts without the slack left by growing the buffer cell by cell.
                packet_.rows.push_back(row_);
                if (packet_.rows.size() == kRowsBeforeEstimate)
                    reserveRows();
                pop();
                return true;
            default:
                return fault("fim de lista inesperado");
        }
    }

    // --- results ---
    [[nodiscard]] const std::string& error() const { return error_; }
    std::vector<Value> args_;
    Answer answer_;
    Value value_;
    DataPacket packet_;

  private:
    Frame& top() { return stack_.back(); }

    // Guesses the row count from the bytes the first rows took, so the row vector is not regrown
    // (a regrowth briefly holds the old and the new array).
    void reserveRows() {
        if (!stream_ || inputSize_ == 0)
            return;
        const std::size_t used = stream_->Tell() - rowsStart_;
        if (used == 0)
            return;
        const std::size_t perRow = std::max<std::size_t>(1, used / packet_.rows.size());
        const std::size_t guess = (inputSize_ - rowsStart_) / perRow;
        packet_.rows.reserve(std::min(guess + guess / 16 + 16, inputSize_ / 2));
    }

    bool push(Ctx ctx) {
        if (stack_.size() >= kMaxDepth)
            return fault("aninhamento profundo demais");
        stack_.push_back({ctx});
        if (ctx == Ctx::RequestObj || ctx == Ctx::AnswerObj || ctx == Ctx::PacketObj)
            objectSeen_.push_back(0);
        return true;
    }
    void pop() {
        const Ctx ctx = top().ctx;
        if (ctx == Ctx::RequestObj || ctx == Ctx::AnswerObj || ctx == Ctx::PacketObj)
            objectSeen_.pop_back();
        stack_.pop_back();
    }

    bool fault(const std::string& what) {
        if (error_.empty())
            error_ = what;
        return false;
    }

    std::string cellPlace() const {
        const FieldDef& f = packet_.fields[col_];
        return "linha " + std::to_string(packet_.rows.size() + 1) + ", campo " + f.name.toStdString();
    }
    bool cellFault(const std::string& what) {
        if (col_ >= packet_.fields.size())
            return fault("linha " + std::to_string(packet_.rows.size() + 1) + " tem mais células que os " +
                         std::to_string(packet_.fields.size()) + " campos");
        return fault(cellPlace() + ": " + what);
    }

    // Where a general value may stand: at the root of a value, inside a list, after "args"/"result".
    bool valueExpected() {
        const Frame& f = top();
        switch (f.ctx) {
            case Ctx::Root:
                return mode_ == Mode::Value;
            case Ctx::ValueArray:
                return true;
            case Ctx::RequestObj:
                return f.key == Slot::Args;
            case Ctx::AnswerObj:
                return f.key == Slot::Result;
            default:
                return false;
        }
    }

    bool beginPacket() {
        if (inPacket_)
            return fault("pacote de dados dentro de pacote de dados");
        inPacket_ = true;
        packet_ = DataPacket{};
        return push(Ctx::PacketObj);
    }

    bool finishRoot() {
        done_ = true;
        return true;
    }

    // A complete value arrived (scalar, finished list or packet); give it to whoever expects it.
    bool scalar(Value&& v) {
        Frame& f = top();
        switch (f.ctx) {
            case Ctx::Root:
                if (mode_ != Mode::Value)
                    return fault("o corpo deve ser um objeto JSON");
                value_ = std::move(v);
                return finishRoot();
            case Ctx::ValueArray:
                arrays_.back().push_back(std::move(v));
                return true;
            case Ctx::RequestObj:
                if (f.key != Slot::Args || !v.isArray())
                    return fault("\"args\" deve ser uma lista");
                args_ = std::move(v.array());
                f.key = Slot::None;
                return true;
            case Ctx::AnswerObj:
                switch (f.key) {
                    case Slot::Ok:
                        if (!v.isBool())
                            return fault("\"ok\" deve ser true ou false");
                        answer_.ok = v.toBool();
                        break;
                    case Slot::Result:
                        answer_.result = std::move(v);
                        break;
                    case Slot::Error:
                        if (!v.isString() && !v.isNull())
                            return fault("\"error\" deve ser um texto");
                        answer_.error = v.toString();
                        break;
                    default:
                        return fault("valor inesperado");
                }
                f.key = Slot::None;
                return true;
            case Ctx::PacketObj:
                return fault("\"fields\" e \"rows\" devem ser listas");
            case Ctx::FieldsArray:
                return fault("cada campo do pacote deve ser um objeto");
            case Ctx::RowsArray:
                return fault("cada linha do pacote deve ser uma lista de células");
            case Ctx::FieldObj:
                return fault("valor inválido na definição de campo");
            case Ctx::Row:
                return fault("valor inesperado");
        }
        return false;
    }

    // --- field definitions ---
    bool fieldText(std::string_view text) {
        Frame& f = top();
        if (f.key == Slot::Name) {
            if (detail::utf8Length(text) < 0)
                return fault("nome de campo com UTF-8 inválido");
            field_.name = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        } else if (f.key == Slot::Type) {
            const auto type = fieldTypeFromName(text);
            if (!type)
                return fault("tipo de campo desconhecido " + detail::quoteForMessage(text));
            field_.type = *type;
        } else {
            return fault("\"size\" deve ser um número inteiro");
        }
        f.key = Slot::None;
        return true;
    }
    bool fieldSize(double d) {
        if (top().key != Slot::Size)
            return fault("\"name\" e \"type\" devem ser textos");
        if (d < 0 || d > static_cast<double>(kMaxFieldSize) || std::nearbyint(d) != d)
            return fault("\"size\" deve ser um número inteiro entre 0 e " + std::to_string(kMaxFieldSize));
        field_.size = static_cast<int>(d);
        top().key = Slot::None;
        return true;
    }
    bool endField() {
        const std::size_t index = packet_.fields.size() + 1;
        if (!(fieldHas_ & 1) || field_.name.isEmpty())
            return fault("o campo " + std::to_string(index) + " do pacote não tem nome");
        if (!(fieldHas_ & 2))
            return fault("o campo " + field_.name.toStdString() + " não tem tipo");
        if (field_.type != FieldType::String)
            field_.size = 0;
        if (packet_.fields.size() >= kMaxFields)
            return fault("pacote com mais de " + std::to_string(kMaxFields) + " campos");
        if (packet_.fieldIndex(field_.name) >= 0)
            return fault("campo repetido " + field_.name.toStdString());
        packet_.fields.push_back(std::move(field_));
        pop();
        return true;
    }

    // --- cells ---
    bool slotFree() {
        if (col_ < packet_.fields.size())
            return true;
        return cellFault("");
    }
    FieldType colType() const { return packet_.fields[col_].type; }

    bool nullCell() {
        if (!slotFree())
            return false;
        ++col_;  // a new Row starts with null cells
        return true;
    }

    template <typename T>
    bool integer(T i) {
        const Ctx ctx = top().ctx;
        if (ctx == Ctx::FieldObj)
            return fieldSize(static_cast<double>(i));
        if (ctx != Ctx::Row)
            return scalar(Value::fromNumber(static_cast<double>(i)));
        if (!slotFree())
            return false;
        switch (colType()) {
            case FieldType::Integer:
                row_.setInteger(static_cast<int>(col_), static_cast<std::int64_t>(i));
                break;
            case FieldType::Float:
                row_.setNumber(static_cast<int>(col_), static_cast<double>(i));
                break;
            default:
                return cellFault(wrongKind("número"));
        }
        ++col_;
        return true;
    }

    bool numberCell(double d) {
        if (!slotFree())
            return false;
        switch (colType()) {
            case FieldType::Float:
                row_.setNumber(static_cast<int>(col_), d);
                break;
            case FieldType::Integer:
                // 5.0 is still an integer; 5.5 is not.
                if (std::nearbyint(d) != d || std::fabs(d) >= 9.2e18)
                    return cellFault("número não é inteiro");
                row_.setInteger(static_cast<int>(col_), static_cast<std::int64_t>(d));
                break;
            default:
                return cellFault(wrongKind("número"));
        }
        ++col_;
        return true;
    }

    bool stringCell(std::string_view text) {
        if (!slotFree())
            return false;
        const FieldDef& f = packet_.fields[col_];
        if (f.type == FieldType::String) {
            const std::int64_t chars = detail::utf8Length(text);
            if (chars < 0)
                return cellFault("texto com UTF-8 inválido");
            if (f.size > 0 && chars > f.size)
                return cellFault("texto de " + std::to_string(chars) + " caracteres excede o tamanho " +
                                 std::to_string(f.size));
            row_.setUtf8(static_cast<int>(col_), text);
        } else if (f.type == FieldType::DateTime) {
            const auto ms = parseDateTime(text);
            if (!ms)
                return cellFault("data inválida " + detail::quoteForMessage(text));
            row_.setMsecs(static_cast<int>(col_), *ms);
        } else {
            return cellFault(wrongKind("texto"));
        }
        ++col_;
        return true;
    }

    std::string wrongKind(const char* got) const {
        return std::string("esperado ") + typeWord(colType()) + ", recebido " + got;
    }
    static const char* typeWord(FieldType t) {
        switch (t) {
            case FieldType::String:
                return "texto";
            case FieldType::Float:
                return "número";
            case FieldType::DateTime:
                return "data";
            case FieldType::Integer:
                return "inteiro";
        }
        return "?";
    }

    Mode mode_;
    const rapidjson::MemoryStream* stream_ = nullptr;
    std::size_t inputSize_ = 0;
    std::size_t rowsStart_ = 0;
    std::vector<Frame> stack_;
    std::vector<unsigned> objectSeen_;  // keys seen, one bit per known key, per open object
    std::vector<std::vector<Value>> arrays_;
    bool inPacket_ = false;
    FieldDef field_;
    unsigned fieldHas_ = 0;
    Row row_;
    std::size_t col_ = 0;
    std::string error_;

  public:
    bool done_ = false;
    void watch(const rapidjson::MemoryStream* stream, std::size_t size) {
        stream_ = stream;
        inputSize_ = size;
    }
};

const char* parseErrorText(rapidjson::ParseErrorCode code) {
    using namespace rapidjson;
    switch (code) {
        case kParseErrorDocumentEmpty:
            return "JSON vazio";
        case kParseErrorDocumentRootNotSingular:
            return "conteúdo após o fim do JSON";
        case kParseErrorValueInvalid:
            return "valor JSON inválido";
        case kParseErrorObjectMissName:
        case kParseErrorObjectMissColon:
        case kParseErrorObjectMissCommaOrCurlyBracket:
            return "objeto JSON malformado";
        case kParseErrorArrayMissCommaOrSquareBracket:
            return "lista JSON malformada";
        case kParseErrorStringUnicodeEscapeInvalidHex:
        case kParseErrorStringUnicodeSurrogateInvalid:
        case kParseErrorStringEscapeInvalid:
            return "sequência de escape inválida em texto";
        case kParseErrorStringMissQuotationMark:
            return "texto sem aspas de fechamento";
        case kParseErrorStringInvalidEncoding:
            return "texto com UTF-8 inválido";
        case kParseErrorNumberTooBig:
            return "número grande demais";
        case kParseErrorNumberMissFraction:
        case kParseErrorNumberMissExponent:
            return "número malformado";
        default:
            return "JSON inválido";
    }
}

constexpr unsigned kParseFlags =
    rapidjson::kParseValidateEncodingFlag | rapidjson::kParseNumbersAsStringsFlag;

void run(Handler& h, std::string_view json, const char* what) {
    rapidjson::Reader reader;
    rapidjson::MemoryStream ms(json.data(), json.size());
    h.watch(&ms, json.size());
    const rapidjson::ParseResult r = reader.Parse<kParseFlags>(ms, h);
    if (r) {
        if (!h.done_)
            throw WireError(std::string(what) + " inválido: documento incompleto.");
        return;
    }
    std::string detail = h.error().empty() ? parseErrorText(r.Code()) : h.error();
    if (h.error().empty())
        detail += " (posição " + std::to_string(r.Offset()) + ")";
    throw WireError(std::string(what) + " inválido: " + detail + ".");
}

}  // namespace

std::vector<Value> decodeRequest(std::string_view body) {
    Handler h(Mode::Request);
    run(h, body, "Pedido");
    return std::move(h.args_);
}

Answer decodeAnswer(std::string_view body) {
    Handler h(Mode::Answer);
    run(h, body, "Resposta");
    if (h.answer_.ok)
        h.answer_.error.clear();
    else
        h.answer_.result = Value();
    return std::move(h.answer_);
}

Value decodeValue(std::string_view json) {
    Handler h(Mode::Value);
    run(h, json, "Valor");
    return std::move(h.value_);
}

DataPacket decodePacket(std::string_view json) {
    Handler h(Mode::Packet);
    run(h, json, "Pacote de dados");
    return std::move(h.packet_);
}

}  // namespace ctb::wire
