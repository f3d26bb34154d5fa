#pragma once

// `PastePreviewDialog`: the lines pasted into a line grid of the journal-entry screen, each as it will
// be stored (account and name, value, history, commercial code) and what the line checks say of it.
// Confirm appends the rows marked OK; the refused ones can be copied back out (the copy button gives
// them as they were pasted; Ctrl+C in the grid gives the selected cells). Shown a second time after
// the store, it lists the rows that were not stored.

#include "contracts/host_library.h"
#include "paste_dialog/paste_preview_decl.h"

#include <optional>
#include <vector>

namespace ctb::ctb10000 {

struct PastePreviewRow {
    int line = 0;
    QString account;
    QString accountName;
    std::optional<double> value;
    QString history;
    QString historyText;
    QString commercial;
    QString problem;  // empty: the row passes
    QString source;   // the row as pasted (tab-separated)
};

class PastePreviewDialog : public TfrmRotiGeral {
  public:
    enum class Mode {
        Preview,  // before the store: Confirm appends the rows that pass
        Refused,  // after it: the rows that were not stored, to copy out; Confirm is hidden
    };
    // `sideName` names the grid the rows go to ("débito" / "crédito").
    PastePreviewDialog(Session& session, Mode mode, const QString& sideName,
                       std::vector<PastePreviewRow> rows);

    void create() { FormCreate(); }

    ClientDataSet cdsPastePreview{QStringLiteral("cdsPastePreview")};
    DataSource dtsPastePreview{&cdsPastePreview, QStringLiteral("dtsPastePreview")};

  private:
    const bool controlsBuilt_;

  public:
    ui::Panel& panResumo;
    ui::Label& lblResumo;
    ui::DBGrid& dbgPreview;
    ui::SpeedButton& sbtCopiar;

    void FormCreate() override;
    void sbtConfirmaClick();
    // The refused rows as they were pasted, one a line, into the clipboard.
    void sbtCopiarClick();

    [[nodiscard]] Mode mode() const { return mode_; }
    [[nodiscard]] int passing() const;

  private:
    Mode mode_;
    QString sideName_;
    std::vector<PastePreviewRow> rows_;
};

}  // namespace ctb::ctb10000
