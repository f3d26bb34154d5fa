// Lines pasted from a spreadsheet into the debit or the credit grid. Every row goes through the same
// code as a typed line: appended (the insert guard runs), filled as the grid fills it when its columns
// are left, then checked by the line's BeforePost body. The preview runs that check without storing;
// the store posts, so the check runs again. The messages the checks show are caught for the dialog
// instead of being shown, and the checks' focus moves are held, so that one failing row neither
// points the focus elsewhere nor runs other controls' exit checks.
#include "entry_screen/cli_ctb10000.h"

#include "platform/ui/dispatch.h"

#include <algorithm>
#include <utility>

namespace ctb::ctb10000 {
namespace {

// More rows than an entry sensibly holds are refused before any check runs.
constexpr std::size_t kMaxPastedRows = 10000;

// The screen's services with the messages kept instead of shown: everything else goes to the real ones.
class MessageCatcher : public ui::UiServices {
  public:
    explicit MessageCatcher(ui::UiServices& real) : real_(real) {}

    void showMessage(ui::MessageKind /*kind*/, const QString& text) override {
        if (first_.isEmpty())
            first_ = text;
    }
    [[nodiscard]] bool askYesNo(const QString& text) override {
        showMessage(ui::MessageKind::Question, text);
        return false;
    }
    void showForm(ui::Form& form) override { real_.showForm(form); }
    ui::ModalResult showModal(ui::Form& /*form*/) override { return ui::ModalResult::Cancel; }
    [[nodiscard]] std::vector<int> lookup(const ui::LookupRequest& /*request*/) override { return {}; }
    void busyOn() override { real_.busyOn(); }
    void busyOff() override { real_.busyOff(); }
    [[nodiscard]] int busyDepth() const override { return real_.busyDepth(); }
    void runBlocking(const std::function<void()>& work) override { real_.runBlocking(work); }
    [[nodiscard]] QString clipboardText() const override { return real_.clipboardText(); }
    void setClipboardText(const QString& text) override { real_.setClipboardText(text); }

    // The first message since the last take.
    [[nodiscard]] QString take() { return std::exchange(first_, QString()); }

  private:
    ui::UiServices& real_;
    QString first_;
};

// For a scope: the screen's and the session's messages caught, the screen's focus held.
class CheckScope {
  public:
    explicit CheckScope(TfrmLancamento& screen)
        : screen_(screen), real_(screen.services()), catcher_(*real_), hold_(screen) {
        screen_.setServices(&catcher_);
        screen_.session.services = &catcher_;
    }
    ~CheckScope() {
        screen_.setServices(real_);
        screen_.session.services = real_;
    }
    CheckScope(const CheckScope&) = delete;
    CheckScope& operator=(const CheckScope&) = delete;

    [[nodiscard]] QString take() { return catcher_.take(); }

  private:
    TfrmLancamento& screen_;
    ui::UiServices* real_;
    MessageCatcher catcher_;
    ui::FocusHold hold_;
};

// A line left in insert or edit is cancelled on every way out, so nothing half-typed stays.
class CancelPending {
  public:
    explicit CancelPending(ClientDataSet& table) : table_(table) {}
    ~CancelPending() {
        if (!editing(table_))
            return;
        try {
            table_.cancel();
        } catch (...) {  // NOLINT(bugprone-empty-catch): a handler failing here has nothing left to undo
        }
    }
    CancelPending(const CancelPending&) = delete;
    CancelPending& operator=(const CancelPending&) = delete;

  private:
    ClientDataSet& table_;
};

// The text of a field, or what was pasted when the line has nothing there.
QString shown(ClientDataSet& line, const char* field, const QString& pasted) {
    const QString text = line.fieldByName(QString::fromLatin1(field)).asString();
    return EmptyString(text) ? pasted : text;
}

}  // namespace

void TfrmLancamento::fillPastedRow(Side& side, const PastedRow& row) {
    ClientDataSet& t = side.table;
    bindLineDetails(side);
    // A code with a dot is a full account code; digits alone are the reduced code.
    if (row.account.contains(u'.')) {
        fieldOf(t, "CDCONTCTBL").setAsString(row.account);
        accountCodeEntered(side);
    } else if (!EmptyString(row.account)) {
        fieldOf(t, "CDCONTREDU").setAsString(row.account);
        reducedCodeEntered(side);
    }
    Field& value = fieldOf(t, side.valueField);
    if (row.value)
        value.setAsFloat(*row.value);
    else
        value.clear();
    Field& history = fieldOf(t, "CDHISTPADR");
    history.setAsString(row.history);
    if (!EmptyString(row.history)) {
        checaHistoricoPadrao(history);
        fieldOf(t, "DSHISTLANC").setAsString(qryHistPadr.fieldByName(u"DSHISTPADR").asString());
    }
    // A text of its own replaces the standard one, as when typed over it.
    if (!EmptyString(row.historyText))
        fieldOf(t, "DSHISTLANC").setAsString(row.historyText);
    // The line's checks ask for it, look it up, or drop it where the account takes none.
    fieldOf(t, "CDCONTCOME").setAsString(row.commercial);
}

QString TfrmLancamento::tryPastedRow(Side& side, const PastedRow& row, bool store, PastePreviewRow& view) {
    ClientDataSet& t = side.table;
    const int sequence = FUltimaSequencia;
    // A refused allocating account opens the allocation area for the line being typed: not for a row.
    const bool allocationArea = panLancamentoGerencial.visible();
    QString problem;
    {
        CheckScope scope(*this);
        CancelPending pending(t);
        try {
            t.append();
            fillPastedRow(side, row);
            if (store)
                t.post();
            else
                lineBeforePost(side);
        } catch (const ui::AbortAction&) {
            problem = scope.take();
            if (problem.isEmpty())
                problem = QStringLiteral("Linha recusada.");
        }
        view.line = row.line;
        view.source = row.source;
        view.value = row.value;
        view.problem = problem;
        if (t.active() && (editing(t) || (store && problem.isEmpty()))) {
            view.account = shown(t, "CDCONTCTBL", row.account);
            view.accountName = fieldOf(t, "NMCONTCTBL").asString();
            view.history = shown(t, "CDHISTPADR", row.history);
            view.historyText = shown(t, "DSHISTLANC", row.historyText);
            view.commercial = problem.isEmpty() ? fieldOf(t, "CDCONTCOME").asString()
                                                : shown(t, "CDCONTCOME", row.commercial);
        }
    }
    panLancamentoGerencial.setVisible(allocationArea);
    // A row not stored leaves no gap in the line numbers.
    if (!store || !problem.isEmpty())
        FUltimaSequencia = sequence;
    return problem;
}

bool TfrmLancamento::showPastePreview(PastePreviewDialog::Mode mode, const Side& side,
                                      std::vector<PastePreviewRow> rows) {
    const QString sideName = &side == &credit_ ? QStringLiteral("crédito") : QStringLiteral("débito");
    pastePreview_.reset();
    pastePreview_ = std::make_unique<PastePreviewDialog>(session, mode, sideName, std::move(rows));
    pastePreview_->create();
    return pastePreview_->showModal() == ui::ModalResult::Ok;
}

void TfrmLancamento::colaLinhas(bool creditGrid) {
    if (pgcPadrao.activePage() != &tshFormulario)
        return;
    Side& side = creditGrid ? credit_ : debit_;
    const PastedText pasted = parsePastedText(services()->clipboardText());
    if (pasted.rows.empty()) {
        services()->showInformation(
            QStringLiteral("A área de transferência não tem linhas para colar. Copie na planilha as colunas "
                           "conta, valor e histórico padrão (e, se quiser, o texto do histórico e o código "
                           "comercial)."));
        return;
    }
    if (pasted.rows.size() > kMaxPastedRows) {
        services()->showInformation(
            QStringLiteral("A área de transferência tem %1 linhas; cole no máximo %2 de "
                           "uma vez.")
                .arg(session.locale.toString(static_cast<qlonglong>(pasted.rows.size())),
                     session.locale.toString(static_cast<qlonglong>(kMaxPastedRows))));
        return;
    }
    // The guards of a new line, with their own messages: the pending lines stored, the period and lot.
    storePendingLine(side.otherTable);
    storePendingLine(side.table);
    ValidaPeriodoContabil();

    std::vector<PastePreviewRow> preview(pasted.rows.size());
    for (std::size_t i = 0; i < pasted.rows.size(); ++i) {
        const QString problem = tryPastedRow(side, pasted.rows[i], false, preview[i]);
        // The header's own checks fail every row alike: said once, with the focus where they put it.
        if (problem == msgPadrao.Msg(QStringLiteral("DOCUMENTO_DEV"))) {
            edtDocumento.setFocus();
            MensErro(services(), problem);
        }
        if (problem == msgPadrao.Msg(QStringLiteral("Data_Dev"))) {
            depData.setFocus();
            MensErro(services(), problem);
        }
    }
    if (!showPastePreview(PastePreviewDialog::Mode::Preview, side, preview))
        return;

    std::vector<PastePreviewRow> refused;
    withOneRecount([&] {
        for (std::size_t i = 0; i < pasted.rows.size(); ++i) {
            if (!preview[i].problem.isEmpty()) {
                refused.push_back(preview[i]);
                continue;
            }
            PastePreviewRow stored;
            if (!tryPastedRow(side, pasted.rows[i], true, stored).isEmpty())
                refused.push_back(std::move(stored));
        }
    });
    // The recount walks both sides; the side pasted into stays the current one, where the focus is.
    FLadoDebito = &side == &debit_;
    FLadoCredito = &side == &credit_;
    std::stable_sort(refused.begin(), refused.end(),
                     [](const PastePreviewRow& a, const PastePreviewRow& b) { return a.line < b.line; });
    if (!refused.empty())
        showPastePreview(PastePreviewDialog::Mode::Refused, side, std::move(refused));
}

}  // namespace ctb::ctb10000
