#include "tools/uiscript/headless_backend.h"

#include "platform/ui/user_input.h"

namespace ctb::uiscript {

ui::Control* findInForms(const std::vector<ui::Form*>& modalStack, const std::vector<ui::Form*>& shown,
                         const QString& name) {
    auto look = [&](ui::Form* f) -> ui::Control* {
        if (f->name().compare(name, Qt::CaseInsensitive) == 0)
            return f;
        return f->findControl(name);
    };
    for (auto it = modalStack.rbegin(); it != modalStack.rend(); ++it)
        if (ui::Control* c = look(*it))
            return c;
    for (auto it = shown.rbegin(); it != shown.rend(); ++it)
        if ((*it)->isShowing())
            if (ui::Control* c = look(*it))
                return c;
    for (auto it = shown.rbegin(); it != shown.rend(); ++it)
        if (ui::Control* c = look(*it))
            return c;
    return nullptr;
}

ui::Control* HeadlessBackend::findControl(const QString& name) const {
    return findInForms(ui_.modalStack(), ui_.shownForms(), name);
}

ui::Control& HeadlessBackend::control(const QString& name) const {
    ui::Control* c = findControl(name);
    if (c == nullptr)
        throw BackendError(QStringLiteral("controle \"%1\" não existe nas janelas abertas").arg(name));
    return *c;
}

ui::DBGrid& HeadlessBackend::grid(const QString& name) const {
    ui::Control& c = control(name);
    if (c.kind() != ui::ControlKind::DBGrid)
        throw BackendError(QStringLiteral("\"%1\" não é uma grade").arg(name));
    return static_cast<ui::DBGrid&>(c);
}

void requireUsable(const ui::Control& control) {
    const ui::Control& c = control.kind() == ui::ControlKind::TabSheet && control.parent() != nullptr
                               ? *control.parent()
                               : control;
    if (!c.effectivelyVisible())
        throw BackendError(QStringLiteral("\"%1\" não está visível").arg(c.name()));
    if (!c.effectivelyEnabled())
        throw BackendError(QStringLiteral("\"%1\" está desabilitado").arg(c.name()));
}

void HeadlessBackend::focus(const QString& name) {
    ui::Control& c = control(name);
    requireUsable(c);
    ui::user::focus(c);
}

void HeadlessBackend::type(const QString& name, const QString& text) {
    ui::Control& c = control(name);
    requireUsable(c);
    ui::user::type(c, text);
}

void HeadlessBackend::key(const QString& name, int virtualKey, ui::ShiftState shift) {
    ui::Control& c = control(name);
    requireUsable(c);
    ui::user::key(c, virtualKey, shift);
}

void HeadlessBackend::click(const QString& name) {
    ui::Control& c = control(name);
    requireUsable(c);
    ui::user::click(c);
}

void HeadlessBackend::selectColumn(const QString& name, const QString& field) {
    ui::DBGrid& g = grid(name);
    requireUsable(g);
    if (g.columnIndex(field) < 0)
        throw BackendError(QStringLiteral("a grade \"%1\" não tem a coluna %2").arg(name, field));
    ui::user::selectColumn(g, field);
}

void HeadlessBackend::selectRow(const QString& name, int row1) {
    ui::DBGrid& g = grid(name);
    requireUsable(g);
    ui::user::selectRow(g, row1);
}

void HeadlessBackend::editCell(const QString& name, const QString& field, const QString& text) {
    ui::DBGrid& g = grid(name);
    requireUsable(g);
    if (g.columnIndex(field) < 0)
        throw BackendError(QStringLiteral("a grade \"%1\" não tem a coluna %2").arg(name, field));
    ui::user::editCell(g, field, text);
}

void HeadlessBackend::queuePick(const QStringList& keys) {
    if (keys.isEmpty())
        ui_.queuePickNone();
    else
        ui_.queuePick(keys);
}

QStringList HeadlessBackend::takeProblems() {
    QStringList out;
    for (const QString& p : ui_.problems())
        out << p;
    ui_.clearProblems();
    return out;
}

bool HeadlessBackend::isEnabled(const QString& name) const {
    return control(name).effectivelyEnabled();
}
bool seenByAPerson(const ui::Control& control) {
    const ui::Form* form = control.form();
    return control.effectivelyVisible() && (form == nullptr || form->isShowing());
}

bool HeadlessBackend::isVisible(const QString& name) const {
    return seenByAPerson(control(name));
}
bool HeadlessBackend::isFocused(const QString& name) const {
    const ui::Control& c = control(name);
    const ui::Form* f = c.form();
    return f != nullptr && f->activeControl() != nullptr && c.contains(*f->activeControl());
}
QString HeadlessBackend::text(const QString& name) const {
    return control(name).text();
}

}  // namespace ctb::uiscript
