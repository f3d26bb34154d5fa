#include "contracts/rdm_lancamento.h"

#include <string>
#include <utility>
#include <vector>

namespace ctb::ctb10000 {
namespace {

using wire::Value;

constexpr const char* kVersionHeader = "X-Ctb-Versao";
constexpr const char* kReversalHeader = "X-Ctb-Estorno";

[[noreturn]] void unexpected(TNetConnection& net, const char* method) {
    MensErro(
        net.services(),
        QStringLiteral("Resposta inesperada do servidor de aplicação em %1.").arg(QLatin1String(method)));
}

// The call's payload through CheckResultServ; the answer's headers in `headers` when asked for.
Value vetted(TNetConnection& net, const char* method, const std::vector<Value>& args,
             const net::Headers& request = {}, net::Headers* headers = nullptr) {
    net::CallResult result = net.call(QString::fromLatin1(method), args, request);
    if (headers != nullptr)
        *headers = result.headers;
    return CheckResultServ(net.services(), std::move(result), true, 0);
}

DataPacket packetOf(TNetConnection& net, const char* method, Value& value) {
    if (!value.isPacket())
        unexpected(net, method);
    return value.takePacket();
}

EntryVersion versionOf(const net::Headers& headers) {
    const std::string text = net::findHeader(headers, kVersionHeader);
    bool ok = false;
    const qlonglong v = QString::fromStdString(text).toLongLong(&ok);
    return ok && v > 0 ? v : 0;
}

EntryPacket entryPacket(TNetConnection& net, const char* method, const QString& empresa,
                        const QString& nrLancCont) {
    net::Headers headers;
    Value v = vetted(net, method, {Value::fromString(empresa), Value::fromString(nrLancCont)}, {}, &headers);
    return EntryPacket{packetOf(net, method, v), versionOf(headers)};
}

net::Headers versionHeader(EntryVersion versao) {
    if (versao <= 0)
        return {};
    return {{kVersionHeader, std::to_string(versao)}};
}

bool boolOf(TNetConnection& net, const char* method, const Value& v) {
    if (!v.isBool())
        unexpected(net, method);
    return v.toBool();
}

QString textOf(TNetConnection& net, const char* method, const Value& v) {
    if (!v.isString())
        unexpected(net, method);
    return v.toString();
}

}  // namespace

EntryList RdmLancamento::getLancamentos(const QString& empresa, const LancFilterArgs& criterios) {
    Value v = vetted(connection_, "getLancamentos", criterios.toArgs(empresa));
    if (!v.isArray() || v.array().size() < 2)
        unexpected(connection_, "getLancamentos");
    auto& parts = v.array();
    EntryList list;
    if (parts[0].isString()) {
        list.refusal = parts[0].toString();
        return list;
    }
    list.lines = packetOf(connection_, "getLancamentos", parts[0]);
    list.costCentres = packetOf(connection_, "getLancamentos", parts[1]);
    return list;
}

EntryPacket RdmLancamento::getLancFiltrado(const QString& empresa, QString& nrLancCont) {
    return entryPacket(connection_, "getLancFiltrado", empresa, nrLancCont);
}

EntryPacket RdmLancamento::getDebitos(const QString& empresa, const QString& nrLancCont) {
    return entryPacket(connection_, "getDebitos", empresa, nrLancCont);
}

EntryPacket RdmLancamento::getCreditos(const QString& empresa, const QString& nrLancCont) {
    return entryPacket(connection_, "getCreditos", empresa, nrLancCont);
}

EntryPacket RdmLancamento::GetLancCCusto(const QString& empresa, QString& nrLancCont) {
    return entryPacket(connection_, "GetLancCCusto", empresa, nrLancCont);
}

QString RdmLancamento::getProximoNRLANCCONT(const QString& empresa, QString& anoMes) {
    const Value v =
        vetted(connection_, "getProximoNRLANCCONT", {Value::fromString(empresa), Value::fromString(anoMes)});
    QString number = textOf(connection_, "getProximoNRLANCCONT", v);
    if (number.trimmed().isEmpty())
        unexpected(connection_, "getProximoNRLANCCONT");
    return number;
}

EntryVersion RdmLancamento::SetLancamento(const DataPacket& linhas, const DataPacket& rateios,
                                          const QString& operador, EntryVersion versao,
                                          const QString& estornoDe) {
    net::Headers request = versionHeader(versao);
    if (!estornoDe.trimmed().isEmpty())
        request.emplace_back(kReversalHeader, estornoDe.trimmed().toStdString());
    net::Headers headers;
    vetted(connection_, "SetLancamento",
           {Value::fromPacket(linhas), Value::fromPacket(rateios), Value::fromString(operador)}, request,
           &headers);
    return versionOf(headers);
}

void RdmLancamento::DeletaLancamento(const QString& empresa, QString& nrLancCont, EntryVersion versao) {
    net::Headers request = versionHeader(versao);
    if (connection_.session != nullptr && !connection_.session->Operador.isEmpty())
        request.emplace_back("X-Ctb-Operador", connection_.session->Operador.toStdString());
    vetted(connection_, "DeletaLancamento", {Value::fromString(empresa), Value::fromString(nrLancCont)},
           request);
}

bool RdmLancamento::getEmprRelac(const QString& empresa, const QString& cdFilial) {
    return boolOf(
        connection_, "getEmprRelac",
        vetted(connection_, "getEmprRelac", {Value::fromString(empresa), Value::fromString(cdFilial)}));
}

bool RdmLancamento::ValidaPeriodoContabil(const QString& empresa, const QDate& data) {
    return boolOf(
        connection_, "ValidaPeriodoContabil",
        vetted(connection_, "ValidaPeriodoContabil", {Value::fromString(empresa), Value::fromDate(data)}));
}

QString RdmLancamento::BuscaCodigoLote(const QString& empresa, const QString& nrLancCont) {
    return textOf(
        connection_, "BuscaCodigoLote",
        vetted(connection_, "BuscaCodigoLote", {Value::fromString(empresa), Value::fromString(nrLancCont)}));
}

DataPacket RdmLancamento::getHistAlteracoes(const QString& empresa, const QString& nrLancCont) {
    Value v =
        vetted(connection_, "getHistAlteracoes", {Value::fromString(empresa), Value::fromString(nrLancCont)});
    return packetOf(connection_, "getHistAlteracoes", v);
}

}  // namespace ctb::ctb10000
