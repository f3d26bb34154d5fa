// Layout of `TfrmLancamento`: the company strip above the tabs; on the form tab the header, the
// debit and credit grids side by side, the line details and the allocation area at the bottom.

#include "entry_screen/lancamento_decl.h"

namespace ctb::ctb10000 {

const std::vector<LayoutDecl>& lancamentoLayout() {
    using A = Align;
    static const std::vector<LayoutDecl> layout = {
        {"frmLancamento", A::None, 0, 0, 1000, 640},
        // Company, between the tool buttons and the tabs.
        {"panEmpresa", A::Top, 0, 30, 1000, 38},
        {"lblEmpresa", A::None, 10, 11, 56, 17},
        {"edtCdEmpresa", A::None, 68, 8, 34, 22},
        {"btnEmpresa", A::None, 104, 8, 24, 22},
        {"edtNmEmpresa", A::None, 132, 8, 320, 22},
        {"spbFiltro", A::None, 460, 7, 70, 24},
        // Entry header.
        {"panCabecalho", A::Top, 0, 0, 990, 40},
        {"lblDocumento", A::None, 10, 12, 70, 17},
        {"edtDocumento", A::None, 82, 9, 170, 22},
        {"lblData", A::None, 266, 12, 32, 17},
        {"depData", A::None, 300, 9, 96, 22},
        {"lblDebito", A::None, 414, 12, 44, 17},
        {"nedDebito", A::None, 460, 9, 120, 22},
        {"lblCredito", A::None, 596, 12, 48, 17},
        {"nedCredito", A::None, 646, 9, 120, 22},
        {"lblDiferenca", A::None, 782, 12, 64, 17},
        {"lblValorDiferenca", A::None, 848, 12, 134, 17},
        // Debit and credit lines side by side; the credit side takes what the window grows by.
        {"panLancamentoOficial", A::Client, 0, 40, 990, 320},
        {"panTituloDebito", A::None, 0, 0, 494, 22},
        {"panDebito", A::None, 0, 22, 494, 298, "LTB"},
        {"dbgDebito", A::Client},
        {"panTituloCredito", A::None, 496, 0, 494, 22, "LTR"},
        {"panCredito", A::None, 496, 22, 494, 298, "LTRB"},
        {"dbgCredito", A::Client},
        // Line details under the grids, the allocation area last.
        {"panHistorico", A::Bottom, 0, 400, 990, 36},
        {"lblHistorico", A::None, 10, 10, 104, 17},
        {"dbeCdHistPadr", A::None, 116, 7, 48, 22},
        {"btnHistorico", A::None, 166, 7, 24, 22},
        {"dbeDsHistLanc", A::None, 194, 7, 744, 22, "LTR"},
        {"btnAlteraHistorico", A::None, 944, 6, 32, 24, "TR"},
        {"panComercial", A::Bottom, 0, 436, 990, 36},
        {"lblCodComercial", A::None, 10, 10, 104, 17},
        {"dbeCdContCome", A::None, 116, 7, 170, 22},
        {"btnComercial", A::None, 288, 7, 24, 22},
        {"edtNmComercial", A::None, 316, 7, 380, 22, "LTR"},
        {"lblIdentificador", A::None, 708, 10, 200, 17, "TR"},
        {"panGerencial", A::Bottom, 0, 472, 990, 36},
        {"lblGerencial", A::None, 10, 10, 150, 17},
        {"btnGerencial", A::None, 164, 6, 32, 24},
        {"panLancamentoGerencial", A::Bottom, 0, 508, 990, 160},
        {"dbgLancCCusto", A::Client},
        // Column widths: codes as wide as they are typed, names and histories the rest.
        {"dbgPadrao.NRLANCCONT", A::None, 0, 0, 104},
        {"dbgPadrao.CDCONTCTBL", A::None, 0, 0, 110},
        {"dbgPadrao.NMCONTCTBL", A::None, 0, 0, 200},
        {"dbgPadrao.DTLANCCONT", A::None, 0, 0, 84},
        {"dbgPadrao.DEBITO", A::None, 0, 0, 100},
        {"dbgPadrao.CREDITO", A::None, 0, 0, 100},
        {"dbgPadrao.CDDOCUCONT", A::None, 0, 0, 100},
        {"dbgPadrao.DSHISTLANC", A::None, 0, 0, 260},
        {"dbgPadrao.IDLANCCOME", A::None, 0, 0, 92},
        {"dbgPadrao.CDCONTCOME", A::None, 0, 0, 120},
        {"dbgPadrao.IDLANCINTE", A::None, 0, 0, 92},
        {"dbgPadrao.IDSISTEMA", A::None, 0, 0, 210},
        {"dbgDebito.CDCONTREDU", A::None, 0, 0, 76},
        {"dbgDebito.CDCONTCTBL", A::None, 0, 0, 124},
        {"dbgDebito.NMCONTCTBL", A::None, 0, 0, 150},
        {"dbgDebito.DEBITO", A::None, 0, 0, 100},
        {"dbgCredito.CDCONTREDU", A::None, 0, 0, 76},
        {"dbgCredito.CDCONTCTBL", A::None, 0, 0, 124},
        {"dbgCredito.NMCONTCTBL", A::None, 0, 0, 150},
        {"dbgCredito.CREDITO", A::None, 0, 0, 100},
        {"dbgLancCCusto.CDFILIAL", A::None, 0, 0, 72},
        {"dbgLancCCusto.NMFILIAL", A::None, 0, 0, 210},
        {"dbgLancCCusto.CDCENTCUST", A::None, 0, 0, 80},
        {"dbgLancCCusto.NMCENTCUST", A::None, 0, 0, 260},
        {"dbgLancCCusto.DTCOMPCUSTO", A::None, 0, 0, 90},
        {"dbgLancCCusto.DEBITO", A::None, 0, 0, 100},
        {"dbgLancCCusto.CREDITO", A::None, 0, 0, 100},
    };
    return layout;
}

}  // namespace ctb::ctb10000
