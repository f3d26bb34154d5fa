#pragma once

// A small sample application for UI scripts: a form with panels, plain/masked/numeric/date edits,
// a grid over an in-memory table, a modal dialog, a question and a lookup.

#include "hostlib/host.h"
#include "tools/uiscript/backend.h"

#include <memory>

namespace ctb::sample {

class DialogForm : public hostlib::TfrmRotiGeral {
  public:
    explicit DialogForm(hostlib::Session& session);
    ui::Edit& edtNome;
};

class SampleForm : public ui::Form {
  public:
    explicit SampleForm(hostlib::Session& session);
    hostlib::Session& session;
    ClientDataSet cdsItens{QStringLiteral("cdsItens")};
    DataSource dtsItens{&cdsItens, QStringLiteral("dtsItens")};
    ClientDataSet cdsCores{QStringLiteral("cdsCores")};
    DataSource dtsCores{&cdsCores, QStringLiteral("dtsCores")};
    bool FAlterado = false;

    ui::Panel& panCabecalho;
    ui::Edit& edtCodigo;
    ui::MaskEdit& medConta;
    hostlib::TNumberEdit& nedValor;
    hostlib::TDateEditPlus& depData;
    ui::Edit& edtCor;
    hostlib::TBtnPesquisa& btnCor;
    ui::Panel& panItens;
    ui::DBGrid& dbgItens;
    ui::Button& btnDialogo;
    ui::Button& btnLimpar;
    ui::Label& lblNome;
    ui::Panel& panAviso;
    ui::Label& lblAviso;
    ui::MenuItem& mnuMenu;
    ui::MenuItem& mnuDialogo;

  private:
    void edtCodigoExit();
    void medContaExit();
    void dbgItensColExit();
    void cdsItensBeforePost();
    void btnDialogoClick();
    void btnLimparClick();
    std::unique_ptr<DialogForm> dialog_;
};

class SampleApp : public uiscript::Application {
  public:
    void open(const uiscript::SessionOptions& options, ui::UiServices& services) override;
    [[nodiscard]] ClientDataSet* findTable(const QString& name) override;
    [[nodiscard]] std::optional<bool> flag(const QString& name) override;
    [[nodiscard]] SampleForm* form() const { return form_.get(); }

  private:
    hostlib::Session session_;
    std::unique_ptr<SampleForm> form_;
};

}  // namespace ctb::sample
