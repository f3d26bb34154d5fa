#include "platform/qt/qt_ui.h"

#include "platform/dataset/client_dataset.h"
#include "platform/qt/form_renderer.h"
#include "platform/qt/lookup_dialog.h"
#include "platform/qt/message_boxes.h"
#include "platform/qt/report_printer.h"
#include "platform/qt/responsive_call.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFileDialog>
#include <QMdiArea>
#include <QMessageBox>
#include <QTimer>

#include <memory>

namespace ctb::qt {

QtUi::QtUi() : renderer_(std::make_unique<FormRenderer>(this)) {}

QtUi::~QtUi() = default;

void QtUi::setMdiArea(QMdiArea* area) {
    mdiArea_ = area;
    if (area != nullptr && !mainWindow_) {
        mainWindow_ = area->window();
    }
}

void QtUi::setMainWindow(QWidget* window) {
    mainWindow_ = window;
    busy_.setHost(window);
}

QWidget* QtUi::dialogParent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    return mainWindow_.data();
}

int QtUi::execDialog(QDialog& dialog) {
    if (dialogHook_) {
        QPointer<QDialog> guard(&dialog);
        auto hook = dialogHook_;
        QTimer::singleShot(0, &dialog, [guard, hook] {
            if (guard && guard->isVisible()) {
                hook(guard.data());
            }
        });
    }
    // A message box must not come up under the wait cursor.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) {
        QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    }
    const int result = dialog.exec();
    if (busy) {
        QApplication::restoreOverrideCursor();
    }
    return result;
}

void QtUi::showMessage(ui::MessageKind kind, const QString& text) {
    const MessageBoxKind boxKind = kind == ui::MessageKind::Error         ? MessageBoxKind::Error
                                   : kind == ui::MessageKind::Information ? MessageBoxKind::Information
                                                                          : MessageBoxKind::Question;
    std::unique_ptr<QMessageBox> box(createMessageBox(dialogParent(), boxKind, text));
    execDialog(*box);
}

bool QtUi::askYesNo(const QString& text) {
    std::unique_ptr<QMessageBox> box(createMessageBox(dialogParent(), MessageBoxKind::Question, text));
    execDialog(*box);
    return answeredYes(*box);
}

void QtUi::showForm(ui::Form& form) {
    if (mdiArea_) {
        renderer_->openInMdiArea(form, *mdiArea_);
    } else {
        renderer_->openWindow(form);
    }
}

ui::ModalResult QtUi::showModal(ui::Form& form) {
    std::unique_ptr<QDialog> dialog = renderer_->createDialog(form, dialogParent());
    execDialog(*dialog);
    return renderer_->modalResultOf(form, *dialog);
}

std::vector<int> QtUi::lookup(const ui::LookupRequest& request) {
    ClientDataSet* table = request.table;
    LookupRows rows;
    rows.title = request.title;
    // An empty list still opens: the caller (or a script's queued pick) closes it.
    std::vector<int> fieldIndexes;
    if (request.fields.isEmpty()) {
        for (int i = 0; i < table->fieldCount(); ++i) {
            if (table->field(i).visible()) {
                fieldIndexes.push_back(i);
            }
        }
    } else {
        for (const QString& name : request.fields) {
            if (Field* f = table->findField(name)) {
                fieldIndexes.push_back(f->index());
            }
        }
    }
    for (int index : fieldIndexes) {
        rows.headers << table->field(index).displayLabel();
    }
    if (table == nullptr || !table->active()) {
        LookupDialog empty(rows, request.multiple, dialogParent());
        execDialog(empty);
        return {};
    }
    const Field* keyField = request.keyFieldOf(*table);
    const int rowCount = table->recordCount();
    for (int r = 0; r < rowCount; ++r) {
        QStringList cells;
        for (int index : fieldIndexes) {
            cells << table->displayTextAt(r, index);
        }
        rows.rows.push_back(cells);
        rows.keys << (keyField != nullptr ? table->textAt(r, keyField->index()) : QString());
        rows.shownKeys << (keyField != nullptr ? table->displayTextAt(r, keyField->index()) : QString());
    }
    LookupDialog dialog(rows, request.multiple, dialogParent());
    execDialog(dialog);
    return dialog.pickedRows();
}

void QtUi::printDocument(const report::Document& document) {
    printed_.push_back(document);
    PrintPreview::show(document, dialogParent(), [this](QDialog& dialog) { return execDialog(dialog); });
}

QString QtUi::clipboardText() const {
    return QApplication::clipboard()->text();
}

void QtUi::setClipboardText(const QString& text) {
    QApplication::clipboard()->setText(text);
}

QString QtUi::askSaveFileName(const QString& title, const QString& suggestedName, const QString& filter) {
    // Qt's own dialog, not the platform's: the same everywhere, and scripts can fill it in.
    QFileDialog dialog(dialogParent(), title, QString(), filter);
    dialog.setObjectName(QStringLiteral("saveFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(suggestedName);
    if (execDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

void QtUi::runBlocking(const std::function<void()>& work) {
    runResponsive(work, &busy_);
}

}  // namespace ctb::qt
