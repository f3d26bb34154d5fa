#pragma once

#include "platform/net/wire.h"
#include "server/service.h"

#include <functional>
#include <string_view>
#include <vector>

namespace ctb::server {

// The remote data modules: which methods each serves, their argument types in contract order, and
// how the typed arguments reach the service. Parsing only; no rule lives here.
class Dispatcher {
  public:
    enum class Arg { Text, Date, Number, Packet };
    using Run = std::function<wire::Value(LancamentoService&, const std::vector<wire::Value>&, CallContext&)>;
    struct Method {
        const char* name;
        std::vector<Arg> args;
        Run run;
    };

    Dispatcher();

    // nullptr when the module or the method is unknown (names compare without regard to case, as the
    // late-bound calls of the suite's clients do).
    [[nodiscard]] const Method* find(std::string_view module, std::string_view method) const;

    // Checks count and types (throws BadRequest) and runs the method.
    [[nodiscard]] static wire::Value call(const Method& m, LancamentoService& service,
                                          const std::vector<wire::Value>& args, CallContext& ctx);

  private:
    std::vector<Method> lancamento_;   // "CTB10000.rdmLancamento"
    std::vector<Method> lancamentos_;  // "Ctb11000.rdmLancamentos"
};

}  // namespace ctb::server
