#include "platform/qt/form_renderer.h"

#include "platform/ui/user_input.h"

#include <QCloseEvent>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

namespace ctb::qt {

namespace {

// A modal dialog around a form's view: closing it asks the form (whose onClose may refuse).
class FormDialog : public QDialog {
  public:
    FormDialog(ui::Form& form, FormView* view, QWidget* parent) : QDialog(parent), form_(&form), view_(view) {
        setObjectName(form.name() + QStringLiteral("Dialog"));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(view);
        setWindowTitle(form.caption());
        setModal(true);
        connect(view, &FormView::formClosed, this, [this] { done(QDialog::Accepted); });
    }
    void reject() override {
        // Escape or the close box: the form decides.
        if (!closing_ && form_->isShowing()) {
            closing_ = true;
            ui::user::close(*form_);
            closing_ = false;
            if (form_->isShowing()) {
                return;
            }
        }
        QDialog::reject();
    }
    void done(int result) override {
        if (view_ != nullptr) {
            // The view belongs to the renderer, not to this dialog.
            view_->setParent(nullptr);
            view_->hide();
            view_ = nullptr;
        }
        QDialog::done(result);
    }

  private:
    ui::Form* form_;
    FormView* view_;
    bool closing_ = false;
};

// An MDI child whose close box asks the form.
class FormSubWindow : public QMdiSubWindow {
  public:
    explicit FormSubWindow(ui::Form& form) : form_(&form) {}

  protected:
    void closeEvent(QCloseEvent* event) override {
        if (form_ != nullptr && form_->isShowing()) {
            ui::user::close(*form_);
            if (form_->isShowing()) {
                event->ignore();
                return;
            }
        }
        QMdiSubWindow::closeEvent(event);
    }

  private:
    ui::Form* form_;
};

}  // namespace

FormRenderer::~FormRenderer() {
    for (auto& [form, view] : views_) {
        if (view && view->parentWidget() == nullptr) {
            delete view.data();
        }
    }
}

FormView* FormRenderer::viewOf(const ui::Form& form) const {
    auto it = views_.find(&form);
    return it != views_.end() ? it->second.data() : nullptr;
}

static FormView* viewFor(std::map<const ui::Form*, QPointer<FormView>>& views, ui::Form& form) {
    QPointer<FormView>& view = views[&form];
    if (!view) {
        view = new FormView(form);
    }
    return view.data();
}

QMdiSubWindow* FormRenderer::openInMdiArea(ui::Form& form, QMdiArea& area) {
    FormView* view = viewFor(views_, form);
    auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
    if (sub == nullptr) {
        sub = new FormSubWindow(form);
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        sub->setWidget(view);
        sub->setObjectName(form.name() + QStringLiteral("Window"));
        area.addSubWindow(sub);
        QObject::connect(view, &FormView::formClosed, sub, [sub] { sub->hide(); });
    }
    sub->setWindowTitle(form.caption());
    sub->resize(view->size() + QSize(8, 30));
    if (!form.isShowing()) {
        form.markShown(false);
    }
    sub->show();
    view->show();
    area.setActiveSubWindow(sub);
    view->syncFocusFromModel();
    return sub;
}

FormView* FormRenderer::openWindow(ui::Form& form) {
    FormView* view = viewFor(views_, form);
    if (!form.isShowing()) {
        form.markShown(false);
    }
    view->show();
    view->raise();
    view->activateWindow();
    view->syncFocusFromModel();
    return view;
}

std::unique_ptr<QDialog> FormRenderer::createDialog(ui::Form& form, QWidget* parent) {
    FormView* view = viewFor(views_, form);
    const QSize size = view->size();
    auto dialog = std::make_unique<FormDialog>(form, view, parent);
    dialog->resize(size);
    view->show();
    if (!form.isShowing()) {
        form.markShown(true);
    }
    view->syncFocusFromModel();
    return dialog;
}

ui::ModalResult FormRenderer::modalResultOf(ui::Form& form, QDialog& /*dialog*/) const {
    if (form.isShowing()) {
        if (form.modalResult() == ui::ModalResult::None) {
            form.setModalResult(ui::ModalResult::Cancel);
        }
        form.markClosed();
    }
    return form.modalResult();
}

}  // namespace ctb::qt
