#include "platform/ui/controls.h"

#include <algorithm>

namespace ctb::ui {

namespace {
int nextCreationIndex() {
    static int counter = 0;  // only orders siblings; never read across forms
    return ++counter;
}
}  // namespace

// ---------------------------------------------------------------- Control

Control::Control(ControlKind kind, QString name)
    : kind_(kind), name_(std::move(name)), creationIndex_(nextCreationIndex()) {}

Control::~Control() = default;

// Out-of-line destructors: the classes' virtual tables and type information live in the platform
// library alone.
FormObserver::~FormObserver() = default;
Container::~Container() = default;
Panel::~Panel() = default;
GroupBox::~GroupBox() = default;
PageControl::~PageControl() = default;
Label::~Label() = default;
DateEdit::~DateEdit() = default;
Memo::~Memo() = default;
SpeedButton::~SpeedButton() = default;
MenuItem::~MenuItem() = default;

Form* Control::form() const {
    const Control* c = this;
    while (c != nullptr) {
        if (c->kind_ == ControlKind::Form)
            return static_cast<Form*>(const_cast<Control*>(c));
        c = c->parent_;
    }
    return nullptr;
}

bool Control::contains(const Control& other) const {
    for (const Control* c = &other; c != nullptr; c = c->parent_)
        if (c == this)
            return true;
    return false;
}

void Control::changed(Change what) {
    if (Form* f = form())
        f->notify(*this, what);
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    changed(Change::Enabled);
}

void Control::setVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    changed(Change::Visible);
}

bool Control::effectivelyEnabled() const {
    for (const Control* c = this; c != nullptr; c = c->parent_)
        if (!c->enabled_)
            return false;
    return true;
}

bool Control::effectivelyVisible() const {
    for (const Control* c = this; c != nullptr; c = c->parent_) {
        if (!c->visible_)
            return false;
        if (c->kind_ == ControlKind::TabSheet && !static_cast<const TabSheet*>(c)->isActive())
            return false;
    }
    return true;
}

void Control::setText(const QString& text) {
    if (text_ == text)
        return;
    text_ = text;
    changed(Change::Text);
}

void Control::setTextSilently(const QString& text) {
    if (text_ == text)
        return;
    text_ = text;
    changed(Change::Text);
}

void Control::setHint(const QString& hint) {
    hint_ = hint;
    changed(Change::Hint);
}

void Control::setGeometry(const Rect& rect) {
    if (geometry_ == rect)
        return;
    geometry_ = rect;
    changed(Change::Geometry);
}

void Control::setAlign(Align align) {
    align_ = align;
    changed(Change::Geometry);
}

void Control::setAnchors(const Anchors& anchors) {
    if (anchors_ == anchors)
        return;
    anchors_ = anchors;
    changed(Change::Geometry);
}

void Control::setColor(const QString& color) {
    if (color_ == color)
        return;
    color_ = color;
    changed(Change::Color);
}

void Control::setFontColor(const QString& color) {
    if (fontColor_ == color)
        return;
    fontColor_ = color;
    changed(Change::Color);
}

bool Control::canFocus() const {
    return focusable() && effectivelyEnabled() && effectivelyVisible() && form() != nullptr;
}

bool Control::focused() const {
    const Form* f = form();
    return f != nullptr && f->activeControl() == this;
}

bool Control::setFocus() {
    Form* f = form();
    if (f == nullptr)
        return false;
    if (isContainer()) {
        if (f->activeControl() != nullptr && contains(*f->activeControl()))
            return true;  // already inside
        for (Control* c : static_cast<Container*>(this)->tabOrderList())
            if (c->canFocus())
                return f->moveFocus(*c);
        return false;
    }
    return f->moveFocus(*this);
}

void Control::fire(const NotifyEvent& event, Control& sender) {
    if (event)
        event(sender);
}

void Control::doClick() {
    fire(onClick, *this);
}

// ---------------------------------------------------------------- Container

void Container::adopt(std::unique_ptr<Control> child) {
    child->parent_ = this;
    children_.push_back(std::move(child));
}

std::vector<Control*> Container::children() const {
    std::vector<Control*> out;
    out.reserve(children_.size());
    for (const auto& c : children_)
        out.push_back(c.get());
    return out;
}

Control* Container::findControl(QStringView name) const {
    for (const auto& c : children_) {
        if (c->name().compare(name, Qt::CaseInsensitive) == 0)
            return c.get();
        if (c->isContainer())
            if (Control* found = static_cast<Container*>(c.get())->findControl(name))
                return found;
    }
    return nullptr;
}

std::vector<Control*> Container::tabOrderList() const {
    std::vector<Control*> sorted = children();
    std::stable_sort(sorted.begin(), sorted.end(), [](const Control* a, const Control* b) {
        if (a->tabOrder_ != b->tabOrder_)
            return a->tabOrder_ < b->tabOrder_;
        return a->creationIndex_ < b->creationIndex_;
    });
    std::vector<Control*> out;
    for (Control* c : sorted) {
        if (c->kind() == ControlKind::MenuItem)
            continue;
        if (c->isContainer()) {
            auto inner = static_cast<Container*>(c)->tabOrderList();
            out.insert(out.end(), inner.begin(), inner.end());
        } else if (c->focusable() && c->tabStop()) {
            out.push_back(c);
        }
    }
    return out;
}

// ---------------------------------------------------------------- pages

bool TabSheet::isActive() const {
    const Container* p = parent();
    return p == nullptr || p->kind() != ControlKind::PageControl ||
           static_cast<const PageControl*>(p)->activePage() == this;
}

void TabSheet::doClick() {
    if (parent() != nullptr && parent()->kind() == ControlKind::PageControl)
        static_cast<PageControl*>(parent())->userSelect(*this);
}

TabSheet& PageControl::addPage(const QString& name, const QString& caption) {
    TabSheet& page = add<TabSheet>(name);
    page.setText(caption);
    if (active_ == nullptr)
        active_ = &page;
    return page;
}

std::vector<TabSheet*> PageControl::pages() const {
    std::vector<TabSheet*> out;
    for (Control* c : children())
        if (c->kind() == ControlKind::TabSheet)
            out.push_back(static_cast<TabSheet*>(c));
    return out;
}

void PageControl::setActivePage(TabSheet* page) {
    if (page == active_ || (page != nullptr && page->parent() != this))
        return;
    Form* f = form();
    if (f != nullptr && f->activeControl() != nullptr && active_ != nullptr &&
        active_->contains(*f->activeControl()))
        f->forgetFocus(*f->activeControl());
    active_ = page;
    changed(Change::ActivePage);
}

void PageControl::userSelect(TabSheet& page) {
    // A disabled page keeps its tab but cannot be selected (the screens lock the list this way).
    if (&page == active_ || !page.visible() || !page.enabled() || !effectivelyEnabled())
        return;
    bool allow = true;
    if (onChanging)
        onChanging(*this, allow);
    if (!allow)
        return;
    setActivePage(&page);
    fire(onChange, *this);
}

// ---------------------------------------------------------------- Form

Form::Form(QString name, UiServices* services)
    : Container(ControlKind::Form, std::move(name)), services_(services) {}

Form::~Form() {
    for (FormObserver* o : std::vector<FormObserver*>(observers_))
        o->formDestroyed(*this);
}

void Form::addObserver(FormObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void Form::removeObserver(FormObserver* observer) {
    std::erase(observers_, observer);
}

void Form::notify(Control& control, Change what) {
    if (what == Change::Visible || what == Change::Enabled) {
        if (focused_ != nullptr && control.contains(*focused_) && !focused_->canFocus())
            forgetFocus(*focused_);
    }
    for (FormObserver* o : std::vector<FormObserver*>(observers_))
        o->controlChanged(control, what);
}

void Form::notifyFocus(Control* previous, Control* current) {
    for (FormObserver* o : std::vector<FormObserver*>(observers_))
        o->focusChanged(previous, current);
}

void Form::forgetFocus(Control& control) {
    if (focused_ != &control)
        return;
    // The classic controls lose the focus silently when hidden or disabled.
    focused_ = nullptr;
    ++focusGeneration_;
    notifyFocus(&control, nullptr);
}

namespace {
// Containers from `c`'s parent up to (not including) the form, innermost first.
std::vector<Control*> containersOf(Control* c) {
    std::vector<Control*> out;
    for (Control* p = c == nullptr ? nullptr : c->parent(); p != nullptr && p->kind() != ControlKind::Form;
         p = p->parent())
        out.push_back(p);
    return out;
}
}  // namespace

bool Form::moveFocus(Control& target) {
    if (target.form() != this || target.isContainer())
        return target.form() == this && target.setFocus();
    if (!target.canFocus())
        return false;
    if (focused_ == &target)
        return true;
    if (focusHeld_ > 0)
        return false;
    const std::uint64_t generation = ++focusGeneration_;
    Control* from = focused_;

    if (from != nullptr) {
        std::vector<Control*> leaving{from};
        for (Control* c : containersOf(from))
            if (!c->contains(target))
                leaving.push_back(c);
        for (Control* c : leaving) {
            if (std::find(exiting_.begin(), exiting_.end(), c) != exiting_.end())
                continue;  // an outer move is already running its exit
            exiting_.push_back(c);
            struct Pop {
                std::vector<Control*>& v;
                ~Pop() { v.pop_back(); }
            } pop{exiting_};
            if (c == from)
                c->leaving();
            if (focusGeneration_ != generation)
                return focused_ == &target;
            fire(c->onExit, *c);
            if (focusGeneration_ != generation)
                return focused_ == &target;  // a handler moved the focus elsewhere: that move wins
        }
    }
    if (!target.canFocus())
        return false;  // an exit handler disabled or hid the target

    std::vector<Control*> entering;
    for (Control* c : containersOf(&target))
        if (from == nullptr || !c->contains(*from))
            entering.push_back(c);
    std::reverse(entering.begin(), entering.end());

    focused_ = &target;
    notifyFocus(from, &target);
    for (Control* c : entering) {
        fire(c->onEnter, *c);
        if (focusGeneration_ != generation)
            return false;
    }
    fire(target.onEnter, target);
    return true;
}

Control* Form::nextInTabOrder(bool forward) const {
    std::vector<Control*> list = tabOrderList();
    std::erase_if(list, [this](Control* c) { return c != focused_ && !c->canFocus(); });
    if (list.empty())
        return nullptr;
    auto it = std::find(list.begin(), list.end(), focused_);
    if (it == list.end())
        return forward ? list.front() : list.back();
    auto idx = static_cast<std::size_t>(it - list.begin());
    const std::size_t n = list.size();
    Control* next = list[forward ? (idx + 1) % n : (idx + n - 1) % n];
    return next == focused_ ? nullptr : next;
}

bool Form::selectNext(bool forward) {
    Control* next = nextInTabOrder(forward);
    return next != nullptr && moveFocus(*next);
}

void Form::markShown(bool modal) {
    modal_ = modal;
    showing_ = true;
    if (modal)
        modalResult_ = ModalResult::None;
    fire(onShow, *this);
    if (focused_ == nullptr) {
        if (initialFocus != nullptr && initialFocus->canFocus())
            moveFocus(*initialFocus);
        else if (Control* first = nextInTabOrder(true))
            moveFocus(*first);
    }
}

void Form::markClosed() {
    if (!showing_)
        return;
    showing_ = false;
    changed(Change::Closed);
}

void Form::show() {
    if (services_ != nullptr)
        services_->showForm(*this);
    else
        markShown(false);
}

ModalResult Form::showModal() {
    if (services_ == nullptr)
        return ModalResult::Cancel;
    return services_->showModal(*this);
}

void Form::setModalResult(ModalResult result) {
    modalResult_ = result;
    if (result != ModalResult::None && modal_)
        markClosed();
}

void Form::close() {
    CloseAction action = CloseAction::Hide;
    if (onClose)
        onClose(*this, action);
    if (action == CloseAction::None)
        return;
    if (modal_ && modalResult_ == ModalResult::None)
        modalResult_ = ModalResult::Cancel;
    markClosed();
}

MenuItem* Form::findShortcut(int key, ShiftState shift) const {
    // Key 0 is what characters without a key code go down as, and what items without a shortcut hold.
    if (key == 0)
        return nullptr;
    std::vector<const Container*> stack{this};
    while (!stack.empty()) {
        const Container* c = stack.back();
        stack.pop_back();
        for (Control* child : c->children()) {
            if (child->kind() == ControlKind::MenuItem) {
                auto* item = static_cast<MenuItem*>(child);
                if (item->shortcut().key == key && item->shortcut().shift == shift &&
                    item->effectivelyEnabled())
                    return item;
            }
            if (child->isContainer())
                stack.push_back(static_cast<Container*>(child));
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------- buttons, menus

Button::Button(QString name, ControlKind kind) : Control(kind, std::move(name)) {}

void Button::doClick() {
    fire(onClick, *this);
    if (modalResult != ModalResult::None)
        if (Form* f = form())
            f->setModalResult(modalResult);
}

void CheckBox::storeChecked(bool checked) {
    if (checked_ == checked)
        return;
    checked_ = checked;
    changed(Change::Checked);
}

void CheckBox::setChecked(bool checked) {
    if (checked_ == checked)
        return;
    storeChecked(checked);
    fire(onClick, *this);
}

void CheckBox::doClick() {
    setChecked(!checked_);
}

void RadioButton::setChecked(bool checked) {
    if (this->checked() == checked)
        return;
    if (checked && parent() != nullptr)
        for (Control* c : parent()->children())
            if (c != this && c->kind() == ControlKind::RadioButton)
                static_cast<RadioButton*>(c)->storeChecked(false);
    storeChecked(checked);
    if (checked)
        fire(onClick, *this);
}

void RadioButton::doClick() {
    setChecked(true);
}

void MenuItem::setShortcut(int key, ShiftState shift) {
    shortcut_ = Shortcut{key, shift};
    changed(Change::Shortcut);
}

QString MenuItem::shortcutText() const {
    if (shortcut_.key == 0)
        return {};
    QString out;
    if (shortcut_.shift.ctrl)
        out += QStringLiteral("Ctrl+");
    if (shortcut_.shift.shift)
        out += QStringLiteral("Shift+");
    const int k = shortcut_.key;
    if ((k >= vk::KeyA && k <= vk::KeyA + 25) || (k >= vk::Key0 && k <= vk::Key0 + 9))
        out += QChar(k);
    else if (k == vk::Delete)
        out += QStringLiteral("Del");
    else if (k >= vk::F1 && k < vk::F1 + 12)
        out += QStringLiteral("F%1").arg(k - vk::F1 + 1);
    else
        out += QString::number(k);
    return out;
}

}  // namespace ctb::ui
