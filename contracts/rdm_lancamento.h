#pragma once

// The module's typed view of the application server's remote data module "CTB10000.rdmLancamento":
// one function per method, with the contract's arguments in order (by-reference arguments as
// references) and typed results.
//
// Error policy: every call's result goes through CheckResultServ, so a failed call (the server's
// refusal, no answer) is shown with its message and ends the user action; an answer of the wrong
// shape is shown as "Resposta inesperada do servidor de aplicação ..." and ends it too. A function
// returns only with a usable result.

#include "contracts/host_library.h"
#include "contracts/lanc_filter_args.h"
#include "platform/dataset/packet.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>

namespace ctb::ctb10000 {

// The row version of a stored entry as the server gave it with the entry (0: not stored). It is sent
// back with a store or a delete, so that a change another user made meanwhile is never overwritten.
using EntryVersion = std::int64_t;

struct EntryPacket {
    DataPacket packet;
    EntryVersion version = 0;
};

// `getLancamentos`: the server's refusal text (element 0 a text), or the list and the branches'
// cost centres.
struct EntryList {
    std::optional<QString> refusal;
    DataPacket lines;
    DataPacket costCentres;
};

class RdmLancamento {
  public:
    static constexpr const char* kServerName = "CTB10000.rdmLancamento";

    explicit RdmLancamento(TNetConnection& connection) : connection_(connection) {}
    [[nodiscard]] TNetConnection& connection() const { return connection_; }

    // Arguments 2 to 19 are the criteria (by value or by reference alike on the wire).
    [[nodiscard]] EntryList getLancamentos(const QString& empresa, const LancFilterArgs& criterios);
    [[nodiscard]] EntryPacket getLancFiltrado(const QString& empresa, QString& nrLancCont);
    [[nodiscard]] EntryPacket getDebitos(const QString& empresa, const QString& nrLancCont);
    [[nodiscard]] EntryPacket getCreditos(const QString& empresa, const QString& nrLancCont);
    [[nodiscard]] EntryPacket GetLancCCusto(const QString& empresa, QString& nrLancCont);
    // The next entry number of the company for the month "yyyymm".
    [[nodiscard]] QString getProximoNRLANCCONT(const QString& empresa, QString& anoMes);
    // Stores the whole entry; `versao` is the version the entry was loaded with (0 for a new entry).
    // `estornoDe`, when not empty, is the entry the new entry reverses (header X-Ctb-Estorno).
    // Returns the version the server now holds.
    EntryVersion SetLancamento(const DataPacket& linhas, const DataPacket& rateios, const QString& operador,
                               EntryVersion versao, const QString& estornoDe = QString());
    // Deletes the entry loaded with `versao`; the session's user goes with it for the audit trail.
    void DeletaLancamento(const QString& empresa, QString& nrLancCont, EntryVersion versao);
    // True when the branch belongs to the company.
    [[nodiscard]] bool getEmprRelac(const QString& empresa, const QString& cdFilial);
    // True when the date lies inside the company's open accounting period.
    [[nodiscard]] bool ValidaPeriodoContabil(const QString& empresa, const QDate& data);
    // The code of the lot that generated the entry.
    [[nodiscard]] QString BuscaCodigoLote(const QString& empresa, const QString& nrLancCont);
    // The entry's audit trail, newest first: DTHORA, CDOPERADOR, IDACAO, DSACAO, NRLINHAS, VRTOTAL,
    // NRVERSAO, NRLANCREF.
    [[nodiscard]] DataPacket getHistAlteracoes(const QString& empresa, const QString& nrLancCont);

  private:
    TNetConnection& connection_;
};

}  // namespace ctb::ctb10000
