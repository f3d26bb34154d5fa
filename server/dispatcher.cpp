#include "server/dispatcher.h"

#include "server/errors.h"

namespace ctb::server {

namespace {

using Args = std::vector<wire::Value>;
using A = Dispatcher::Arg;

QString text(const Args& a, std::size_t i) {
    return a[i].toString();
}
QDate date(const Args& a, std::size_t i) {
    return *a[i].toDate();
}
double number(const Args& a, std::size_t i) {
    return a[i].toNumber();
}

const char* argName(A a) {
    switch (a) {
        case A::Text:
            return "texto";
        case A::Date:
            return "data (\"AAAA-MM-DD\")";
        case A::Number:
            return "número";
        case A::Packet:
            return "pacote de dados";
    }
    return "";
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// A NUL character ends a C string inside the database drivers: no text with one goes further.
bool hasNul(std::string_view utf8) {
    return utf8.find('\0') != std::string_view::npos;
}

bool packetHasNul(const DataPacket& p) {
    for (const Row& r : p.rows)
        for (int i = 0; i < r.size(); ++i)
            if (r.kind(i) == CellKind::Text && hasNul(r.utf8(i)))
                return true;
    return false;
}

wire::Value packet(DataPacket p) {
    return wire::Value::fromPacket(std::move(p));
}

Dispatcher::Method validaMapa() {
    return {"ValidaMapa", {A::Text, A::Text}, [](LancamentoService& s, const Args& a, CallContext&) {
                return s.validaMapa(text(a, 0), text(a, 1));
            }};
}

}  // namespace

Dispatcher::Dispatcher() {
    const std::vector<Arg> nineteen = {A::Text,   A::Date, A::Date, A::Text, A::Text, A::Text, A::Number,
                                       A::Number, A::Text, A::Text, A::Text, A::Text, A::Text, A::Text,
                                       A::Text,   A::Text, A::Text, A::Text, A::Text};
    lancamento_ = {
        {"getLancamentos", nineteen,
         [](LancamentoService& s, const Args& a, CallContext&) {
             LancamentosQuery q;
             q.company = text(a, 0);
             q.dateFrom = date(a, 1);
             q.dateTo = date(a, 2);
             q.accountFrom = text(a, 3);
             q.accountBound = text(a, 4);
             q.accountBound2 = text(a, 5);
             q.valueFrom = number(a, 6);
             q.valueTo = number(a, 7);
             q.valueFlag = text(a, 8);
             q.historyText = text(a, 9);
             q.document = text(a, 10);
             q.costCentreList = text(a, 11);
             q.branchList = text(a, 12);
             q.bankList = text(a, 13);
             q.supplierList = text(a, 14);
             q.clientList = text(a, 15);
             q.commercialKinds = text(a, 16);
             q.historyList = text(a, 17);
             q.entryNumber = text(a, 18);
             return s.getLancamentos(q);
         }},
        {"getLancFiltrado",
         {A::Text, A::Text},
         [](LancamentoService& s, const Args& a, CallContext& c) {
             return packet(s.getLancFiltrado(text(a, 0), text(a, 1), c));
         }},
        {"getDebitos",
         {A::Text, A::Text},
         [](LancamentoService& s, const Args& a, CallContext& c) {
             return packet(s.getDebitos(text(a, 0), text(a, 1), c));
         }},
        {"getCreditos",
         {A::Text, A::Text},
         [](LancamentoService& s, const Args& a, CallContext& c) {
             return packet(s.getCreditos(text(a, 0), text(a, 1), c));
         }},
        {"GetLancCCusto",
         {A::Text, A::Text},
         [](LancamentoService& s, const Args& a, CallContext& c) {
             return packet(s.getLancCCusto(text(a, 0), text(a, 1), c));
         }},
        {"getProximoNRLANCCONT",
         {A::Text, A::Text},
         [](LancamentoService& s, const Args& a, CallContext&) {
             return wire::Value::fromString(s.getProximoNRLANCCONT(text(a, 0), text(a, 1)));
         }},
        {"SetLancamento",
         {A::Packet, A::Packet, A::Text},
         [](LancamentoService& s, const Args& a, CallContext& c) {
             s.setLancamento(a[0].packet(), a[1].packet(), text(a, 2), c);
             return wire::Value::fromBool(true);
         }},
        {"DeletaLancamento",
         {A::Text, A::Text},
         [](LancamentoService& s, const Args& a, CallContext& c) {
             s.deletaLancamento(text(a, 0), text(a, 1), c);
             return wire::Value::fromBool(true);
         }},
        {"getEmprRelac",
         {A::Text, A::Text},
         [](LancamentoService& s, const Args& a, CallContext&) {
             return wire::Value::fromBool(s.getEmprRelac(text(a, 0), text(a, 1)));
         }},
        {"ValidaPeriodoContabil",
         {A::Text, A::Date},
         [](LancamentoService& s, const Args& a, CallContext&) {
             return wire::Value::fromBool(s.validaPeriodoContabil(text(a, 0), date(a, 1)));
         }},
        {"BuscaCodigoLote",
         {A::Text, A::Text},
         [](LancamentoService& s, const Args& a, CallContext&) {
             return wire::Value::fromString(s.buscaCodigoLote(text(a, 0), text(a, 1)));
         }},
        // Read-only, so also served here for clients that reach every method through one module.
        validaMapa(),
    };
    lancamentos_ = {validaMapa()};
}

const Dispatcher::Method* Dispatcher::find(std::string_view module, std::string_view method) const {
    const std::vector<Method>* methods = nullptr;
    if (equalsIgnoreCase(module, "CTB10000.rdmLancamento"))
        methods = &lancamento_;
    else if (equalsIgnoreCase(module, "Ctb11000.rdmLancamentos"))
        methods = &lancamentos_;
    if (!methods)
        return nullptr;
    for (const Method& m : *methods)
        if (equalsIgnoreCase(m.name, method))
            return &m;
    return nullptr;
}

wire::Value Dispatcher::call(const Method& m, LancamentoService& service, const Args& args,
                             CallContext& ctx) {
    const QString name = QString::fromLatin1(m.name);
    if (args.size() != m.args.size())
        throw BadRequest(QStringLiteral("%1 espera %2 argumentos; recebeu %3.")
                             .arg(name)
                             .arg(m.args.size())
                             .arg(args.size()));
    for (std::size_t i = 0; i < args.size(); ++i) {
        const wire::Value& v = args[i];
        bool ok = false;
        switch (m.args[i]) {
            case A::Text:
                ok = v.isString();
                break;
            case A::Number:
                ok = v.isNumber();
                break;
            case A::Packet:
                ok = v.isPacket();
                break;
            case A::Date:
                ok = v.isString() && v.toDate().has_value() && v.toDate()->isValid();
                break;
        }
        if (ok && ((v.isString() && hasNul(v.utf8())) || (v.isPacket() && packetHasNul(v.packet()))))
            throw BadRequest(QStringLiteral("Argumento %1 de %2 inválido: texto com caractere nulo.")
                                 .arg(i + 1)
                                 .arg(name));
        if (!ok)
            throw BadRequest(QStringLiteral("Argumento %1 de %2 inválido: esperado %3, recebido %4.")
                                 .arg(i + 1)
                                 .arg(name, QString::fromUtf8(argName(m.args[i])),
                                      QString::fromUtf8(wire::kindName(v.kind()))));
    }
    return m.run(service, args, ctx);
}

}  // namespace ctb::server
