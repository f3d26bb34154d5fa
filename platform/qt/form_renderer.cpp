#include "platform/qt/form_renderer.h"

#include "platform/ui/user_input.h"

#include <QCloseEvent>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QVBoxLayout>

#include <optional>

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

// Where the user left each screen inside the main window, kept between runs.
class WindowPlaces {
  public:
    [[nodiscard]] static std::optional<QRect> load(const QString& formName) {
        const QRect rect = QSettings().value(key(formName)).toRect();
        return rect.isValid() ? std::optional<QRect>(rect) : std::nullopt;
    }
    static void save(const QString& formName, const QRect& rect) {
        QSettings().setValue(key(formName), rect);
    }

  private:
    static QString key(const QString& formName) { return QStringLiteral("janelas/%1/posicao").arg(formName); }
};

// An MDI child whose close box asks the form. It opens filling the main window's area, or where the
// user left it. Not Qt's maximized state: its changes hide and show the window's parts, which moves
// the keyboard focus and would run the screen's exit handlers as if the user had left a field.
class FormSubWindow : public QMdiSubWindow {
  public:
    FormSubWindow(ui::Form& form, bool remember) : form_(&form), remember_(remember) {}

    void place() {
        placing_ = true;
        const std::optional<QRect> left = remember_ ? WindowPlaces::load(form_->name()) : std::nullopt;
        if (left) {
            setGeometry(*left);
        } else if (mdiArea() != nullptr) {
            setGeometry(QRect(QPoint(0, 0), mdiArea()->viewport()->size()));
        }
        show();
        placing_ = false;
    }

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
    void moveEvent(QMoveEvent* event) override {
        QMdiSubWindow::moveEvent(event);
        remember();
    }
    void resizeEvent(QResizeEvent* event) override {
        QMdiSubWindow::resizeEvent(event);
        remember();
    }

  private:
    void remember() {
        if (remember_ && !placing_ && isVisible() && !isMinimized() && !isMaximized()) {
            WindowPlaces::save(form_->name(), geometry());
        }
    }

    ui::Form* form_;
    bool remember_;
    bool placing_ = false;
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
    // A view left by a destroyed form that lived at the same address shows nothing of this one.
    if (view && view->form() != &form) {
        if (view->parentWidget() == nullptr) {
            delete view.data();
        }
        view = nullptr;
    }
    if (!view) {
        view = new FormView(form);
    }
    return view.data();
}

QMdiSubWindow* FormRenderer::openInMdiArea(ui::Form& form, QMdiArea& area) {
    FormView* view = viewFor(views_, form);
    auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
    if (sub == nullptr) {
        auto* window = new FormSubWindow(form, rememberPlaces_);
        sub = window;
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        sub->setWidget(view);
        sub->setObjectName(form.name() + QStringLiteral("Window"));
        area.addSubWindow(sub);
        QObject::connect(view, &FormView::formClosed, sub, [sub] { sub->hide(); });
        sub->setWindowTitle(form.caption());
        // The designed size is what it shows when the user restores it from maximized.
        sub->resize(view->size() + QSize(8, 30));
        window->place();
    } else {
        sub->setWindowTitle(form.caption());
        sub->show();
    }
    if (!form.isShowing()) {
        form.markShown(false);
    }
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
