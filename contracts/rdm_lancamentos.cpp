#include "contracts/rdm_lancamentos.h"

#include <utility>

namespace ctb::ctb10000 {

MapCheck RdmLancamentos::ValidaMapa(const QString& empresa, QString& nrLancCont) {
    using wire::Value;
    Value v = CheckResultServ(connection_.services(),
                              connection_.call(QStringLiteral("ValidaMapa"),
                                               {Value::fromString(empresa), Value::fromString(nrLancCont)}),
                              true, 0);
    if (!v.isArray() || v.array().size() < 2 || !v.array()[0].isString() || !v.array()[1].isPacket())
        MensErro(connection_.services(),
                 QStringLiteral("Resposta inesperada do servidor de aplicação em ValidaMapa."));
    return MapCheck{v.array()[0].toString(), v.array()[1].takePacket()};
}

}  // namespace ctb::ctb10000
