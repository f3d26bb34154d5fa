#include "contracts/lanc_filter_args.h"

namespace ctb::ctb10000 {

std::vector<wire::Value> LancFilterArgs::toArgs(const QString& company) const {
    using wire::Value;
    return {Value::fromString(company),  Value::fromDate(dtIni),          Value::fromDate(dtFim),
            Value::fromString(contIni),  Value::fromString(contFimBound), Value::fromString(contFimCopy),
            Value::fromNumber(vrIni),    Value::fromNumber(vrFim),        Value::fromString(flagValor),
            Value::fromString(histText), Value::fromString(documento),    Value::fromString(centCust),
            Value::fromString(filial),   Value::fromString(banco),        Value::fromString(fornecedor),
            Value::fromString(cliente),  Value::fromString(tiposCome),    Value::fromString(histLista),
            Value::fromString(nrLanc)};
}

}  // namespace ctb::ctb10000
