#pragma once

// The module's typed view of the remote data module "Ctb11000.rdmLancamentos" (assessment maps).
// Error policy as in rdm_lancamento.h.

#include "contracts/host_library.h"
#include "platform/dataset/packet.h"

#include <QString>

namespace ctb::ctb10000 {

// `ValidaMapa`: "ERRO" in `status` when the entry is tied to an assessment map; `maps` holds the maps
// (month `MES`, year `ANO`, tax `IMPOSTO`).
struct MapCheck {
    QString status;
    DataPacket maps;
};

class RdmLancamentos {
  public:
    static constexpr const char* kServerName = "Ctb11000.rdmLancamentos";

    explicit RdmLancamentos(TNetConnection& connection) : connection_(connection) {}
    [[nodiscard]] TNetConnection& connection() const { return connection_; }

    [[nodiscard]] MapCheck ValidaMapa(const QString& empresa, QString& nrLancCont);

  private:
    TNetConnection& connection_;
};

}  // namespace ctb::ctb10000
