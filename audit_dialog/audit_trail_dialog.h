#pragma once

// `TfrmHistAlteracoes`: the audit trail of one journal entry, as the server keeps it, newest first.
// Read only: both buttons close it.

#include "audit_dialog/audit_trail_decl.h"
#include "contracts/host_library.h"

namespace ctb::ctb10000 {

class TfrmHistAlteracoes : public TfrmRotiGeral {
  public:
    TfrmHistAlteracoes(Session& session, const QString& nrLancCont, DataPacket trail);

    void create() { FormCreate(); }

    ClientDataSet cdsHistAlteracoes{QStringLiteral("cdsHistAlteracoes")};
    DataSource dtsHistAlteracoes{&cdsHistAlteracoes, QStringLiteral("dtsHistAlteracoes")};

  private:
    const bool controlsBuilt_;

  public:
    ui::Panel& panLancamento;
    ui::DBGrid& dbgHistAlteracoes;

    void FormCreate() override;

  private:
    QString nrLancCont_;
    DataPacket trail_;
};

}  // namespace ctb::ctb10000
