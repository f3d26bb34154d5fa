// Layout of `TfrmLancFiltro`: the criteria groups in two columns (ranges and numbers on the left,
// the "all or a list" choices on the right), the history text across the bottom.

#include "filter_dialog/lanc_filtro_decl.h"

#include <tuple>

namespace ctb::ctb10000 {

const std::vector<LayoutDecl>& lancFiltroLayout() {
    using A = Align;
    // A "Todos / Lista" pair with its list button, inside a group of height 44.
    auto choice = [](const char* all, const char* list, const char* button) {
        return std::vector<LayoutDecl>{
            {all, A::None, 10, 18, 72, 20},
            {list, A::None, 90, 18, 64, 20},
            {button, A::None, 158, 16, 26, 24},
        };
    };
    static const std::vector<LayoutDecl> layout = [&choice] {
        std::vector<LayoutDecl> l = {
            {"frmLancFiltro", A::None, 0, 0, 740, 480},
            // Left column.
            {"grbContCtbl", A::None, 8, 8, 356, 86},
            {"lblContCtblIn", A::None, 10, 27, 28, 17},
            {"medContCtblIn", A::None, 42, 24, 190, 22},
            {"BtnPesquisa1", A::None, 234, 24, 24, 22},
            {"lblContCtblFi", A::None, 10, 55, 28, 17},
            {"medContCtblFi", A::None, 42, 52, 190, 22},
            {"BtnPesquisa2", A::None, 234, 52, 24, 22},
            {"grbData", A::None, 8, 100, 356, 58},
            {"lblDataIni", A::None, 10, 27, 28, 17},
            {"depIni", A::None, 42, 24, 100, 22},
            {"lblDataFim", A::None, 170, 27, 28, 17},
            {"depFim", A::None, 202, 24, 100, 22},
            {"grbValor", A::None, 8, 164, 356, 58},
            {"lblValorIni", A::None, 10, 27, 28, 17},
            {"edtValorIni", A::None, 42, 24, 120, 22},
            {"lblValorFim", A::None, 170, 27, 28, 17},
            {"edtValorFim", A::None, 202, 24, 120, 22},
            {"grbDocumento", A::None, 8, 228, 356, 58},
            {"lblDoc", A::None, 10, 27, 52, 17},
            {"medDoc", A::None, 66, 24, 190, 22},
            {"grbLancamento", A::None, 8, 292, 356, 58},
            {"lblLanc", A::None, 10, 27, 52, 17},
            {"medLanc", A::None, 66, 24, 120, 22},
            // Right column.
            {"grbHistPadr", A::None, 372, 8, 356, 50},
            {"grbComercial", A::None, 372, 64, 356, 166},
            {"grbCliente", A::None, 8, 20, 340, 44},
            {"grbFornecedor", A::None, 8, 68, 340, 44},
            {"grbBanco", A::None, 8, 116, 340, 44},
            {"grbGerencial", A::None, 372, 236, 356, 114},
            {"grbFilial", A::None, 8, 20, 340, 44},
            {"grbCentCust", A::None, 8, 66, 340, 44},
            // Across the bottom.
            {"grbHistLanc", A::None, 8, 356, 720, 56},
            {"medHistLanc", A::None, 10, 24, 700, 22},
        };
        for (const auto& [all, list, button] :
             {std::tuple{"rbtTodos", "rbtLista", "sbtHist"}, std::tuple{"rbtTClie", "rbtClie", "sbtClie"},
              std::tuple{"rbtTForn", "rbtForn", "sbtForn"}, std::tuple{"rbtTBanc", "rbtBanc", "sbtBanc"},
              std::tuple{"rbtTFilial", "rbtLFilial", "btnFilial"},
              std::tuple{"rbtTCentCust", "rbtLCentCust", "btnCentCust"}}) {
            const auto rows = choice(all, list, button);
            l.insert(l.end(), rows.begin(), rows.end());
        }
        return l;
    }();
    return layout;
}

}  // namespace ctb::ctb10000
