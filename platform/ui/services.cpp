#include "platform/ui/services.h"

#include "platform/dataset/client_dataset.h"
#include "platform/ui/controls.h"

#include <algorithm>

namespace ctb::ui {

const Field* LookupRequest::keyFieldOf(const ClientDataSet& t) const {
    if (!keyField.isEmpty())
        return t.findField(keyField);
    if (!fields.isEmpty())
        return t.findField(fields.front());
    for (int i = 0; i < t.fieldCount(); ++i)
        if (t.field(i).visible())
            return &t.field(i);
    return nullptr;
}

UiServices::~UiServices() = default;

void UiServices::printDocument(const report::Document& /*document*/) {}

QString UiServices::askSaveFileName(const QString& /*title*/, const QString& /*suggestedName*/,
                                    const QString& /*filter*/) {
    return {};
}

void HeadlessUi::printDocument(const report::Document& document) {
    printed_.push_back(document);
}

QString HeadlessUi::askSaveFileName(const QString& title, const QString& /*suggestedName*/,
                                    const QString& /*filter*/) {
    if (saveNames_.empty()) {
        problems_.push_back(QStringLiteral("nenhum arquivo indicado para \"%1\"").arg(title));
        return {};
    }
    QString path = saveNames_.front();
    saveNames_.pop_front();
    return path;
}

void HeadlessUi::showMessage(MessageKind kind, const QString& text) {
    messages_.push_back(Message{kind, text});
}

bool HeadlessUi::askYesNo(const QString& text) {
    messages_.push_back(Message{MessageKind::Question, text});
    if (answers_.empty()) {
        problems_.push_back(QStringLiteral("pergunta sem resposta na fila: \"%1\"").arg(text));
        return false;
    }
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

std::optional<HeadlessUi::Message> HeadlessUi::takeMessage() {
    if (messages_.empty())
        return std::nullopt;
    Message m = messages_.front();
    messages_.pop_front();
    return m;
}

void HeadlessUi::showForm(Form& form) {
    if (std::find(shown_.begin(), shown_.end(), &form) == shown_.end())
        shown_.push_back(&form);
    form.markShown(false);
}

ModalResult HeadlessUi::showModal(Form& form) {
    modalStack_.push_back(&form);
    struct Pop {
        std::vector<Form*>& v;
        ~Pop() { v.pop_back(); }
    } pop{modalStack_};
    form.markShown(true);
    if (modalLoop_) {
        modalLoop_(form);
    } else if (!modalHandlers_.empty()) {
        auto handler = std::move(modalHandlers_.front());
        modalHandlers_.pop_front();
        handler(form);
    } else {
        problems_.push_back(QStringLiteral("diálogo \"%1\" aberto sem nada que o conduza").arg(form.name()));
    }
    if (form.isShowing()) {
        if (form.modalResult() == ModalResult::None)
            form.setModalResult(ModalResult::Cancel);
        form.markClosed();
    }
    return form.modalResult();
}

std::vector<int> HeadlessUi::lookup(const LookupRequest& request) {
    if (picks_.empty()) {
        problems_.push_back(QStringLiteral("pesquisa \"%1\" sem escolha na fila").arg(request.title));
        return {};
    }
    Pick pick = picks_.front();
    picks_.pop_front();
    if (pick.keys.isEmpty() || request.table == nullptr || !request.table->active())
        return {};
    ClientDataSet& table = *request.table;
    const Field* key = request.keyFieldOf(table);
    if (key == nullptr) {
        problems_.push_back(QStringLiteral("pesquisa \"%1\": campo-chave %2 inexistente")
                                .arg(request.title, request.keyField));
        return {};
    }
    std::vector<int> rows;
    for (const QString& wanted : pick.keys) {
        int found = -1;
        for (int r = 0; r < table.viewRowCount() && found < 0; ++r) {
            if (table.isPendingRow(r))
                continue;
            const QString shown = table.displayTextAt(r, key->index()).trimmed();
            const QString raw = table.textAt(r, key->index()).trimmed();
            if (shown == wanted.trimmed() || raw == wanted.trimmed())
                found = r;
        }
        if (found < 0) {
            problems_.push_back(QStringLiteral("pesquisa \"%1\": a chave \"%2\" não está na lista")
                                    .arg(request.title, wanted));
            return {};
        }
        if (std::find(rows.begin(), rows.end(), found) == rows.end())
            rows.push_back(found);
        if (!request.multiple)
            break;
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void HeadlessUi::busyOn() {
    ++busyDepth_;
    ++busyTotal_;
    busyPeak_ = std::max(busyPeak_, busyDepth_);
}

void HeadlessUi::busyOff() {
    if (busyDepth_ > 0)
        --busyDepth_;
}

}  // namespace ctb::ui
