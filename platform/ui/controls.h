#pragma once

// The control model: plain C++ objects for every control kind the screens use, with names,
// properties, layout data and events. A form is a tree of controls; a renderer walks it
// (Container::children), draws each control by kind() and geometry(), follows changes through
// FormObserver, and feeds user input back through the entry points of user_input.h.
//
// Events are std::function members named as the screens bind them (onEnter, onExit, onChange,
// onClick, onKeyDown, onKeyPress; grid onColExit, onEditButtonClick). Handlers may throw
// AbortAction (MensErro does); it propagates to the user-action boundary (runUserAction).
//
// Focus: moving the focus from A to B runs the exit events of A and of every container of A that
// does not contain B (innermost first), then the enter events of every container of B that does not
// contain A (outermost first), then B's enter. A handler that aborts stops the move; the focus stays
// where that handler left it (also when it moved the focus itself). Setting the focus from code runs
// the same events. Disabled or hidden controls (or those inside disabled/hidden containers or on a
// tab sheet that is not showing) cannot take the focus.

#include "platform/export.h"
#include "platform/ui/keys.h"
#include "platform/ui/services.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

namespace ctb {
class DataSource;
class ClientDataSet;
class Field;
}  // namespace ctb

namespace ctb::ui {

class UiServices;
class Control;
class Container;
class Form;
class TabSheet;

enum class ControlKind : std::uint8_t {
    Form,
    Panel,
    GroupBox,
    PageControl,
    TabSheet,
    Label,
    Edit,
    MaskEdit,
    NumberEdit,
    DateEdit,
    Memo,
    Button,        // takes the focus when clicked
    SpeedButton,   // tool/speed button: never takes the focus
    LookupButton,  // the small lookup button beside an edit: never takes the focus
    RadioButton,
    CheckBox,
    MenuItem,
    DBEdit,
    DBGrid,
};

// Colours the screens name besides "#rrggbb" values.
inline constexpr const char* kColorRed = "#ff0000";
inline constexpr const char* kColorButtonFace = "btnface";  // the system's face of buttons and panels

// Layout data: a position inside the parent's client area (pixels), optionally aligned. Aligned
// controls fill their side of the parent in child order, as the classic form designer lays them out.
enum class Align : std::uint8_t { None, Top, Bottom, Left, Right, Client };

struct CTB_PLATFORM_EXPORT Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

// The sides of its container that a control without alignment keeps its distance to when the
// container is wider or taller than designed (its geometry's size): anchored left and right, it
// stretches; right only, it moves. The designer's default is left and top.
struct CTB_PLATFORM_EXPORT Anchors {
    bool left = true;
    bool top = true;
    bool right = false;
    bool bottom = false;
    bool operator==(const Anchors&) const = default;
};

// What changed on a control, for renderers.
enum class Change : std::uint8_t {
    Text,
    Enabled,
    Visible,
    Hint,
    Geometry,
    ReadOnly,
    Checked,
    ActivePage,  // PageControl
    Mask,        // MaskEdit
    Binding,     // DBEdit / DBGrid data source or field
    Columns,     // DBGrid
    SelectedColumn,
    Color,
    Shortcut,  // MenuItem
    Closed,    // Form closed (modal result set, or close())
};

class CTB_PLATFORM_EXPORT FormObserver {
  public:
    virtual ~FormObserver();
    virtual void controlChanged(Control& /*control*/, Change /*what*/) {}
    // After the focus moved (before the enter events of the new control run).
    virtual void focusChanged(Control* /*previous*/, Control* /*current*/) {}
    virtual void formDestroyed(Form& /*form*/) {}
};

using NotifyEvent = std::function<void(Control& sender)>;
// The handler may change `key` (0 swallows it).
using KeyEvent = std::function<void(Control& sender, int& key, ShiftState shift)>;
// The handler may change `key` (a null QChar swallows it).
using KeyPressEvent = std::function<void(Control& sender, QChar& key)>;

class CTB_PLATFORM_EXPORT Control {
  public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    [[nodiscard]] ControlKind kind() const { return kind_; }
    [[nodiscard]] const QString& name() const { return name_; }
    [[nodiscard]] Container* parent() const { return parent_; }
    [[nodiscard]] Form* form() const;  // the form this control belongs to (itself for a form)
    [[nodiscard]] virtual bool isContainer() const { return false; }
    // True when `other` is this control or lies inside it.
    [[nodiscard]] bool contains(const Control& other) const;

    [[nodiscard]] bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    [[nodiscard]] bool visible() const { return visible_; }
    void setVisible(bool visible);
    // Enabled/visible here and in every container up to the form (a tab sheet counts as visible
    // only while it is its page control's active page).
    [[nodiscard]] bool effectivelyEnabled() const;
    [[nodiscard]] bool effectivelyVisible() const;

    // The edit text, or the caption of labels, buttons, panels, group boxes, tab sheets, menu items
    // and forms. Setting it from code runs onChange for edits (as the classic controls do).
    [[nodiscard]] virtual QString text() const { return text_; }
    virtual void setText(const QString& text);
    [[nodiscard]] QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }

    [[nodiscard]] const QString& hint() const { return hint_; }
    void setHint(const QString& hint);
    [[nodiscard]] const Rect& geometry() const { return geometry_; }
    void setGeometry(const Rect& rect);
    void setGeometry(int left, int top, int width, int height) {
        setGeometry(Rect{left, top, width, height});
    }
    [[nodiscard]] Align align() const { return align_; }
    void setAlign(Align align);
    [[nodiscard]] const Anchors& anchors() const { return anchors_; }
    void setAnchors(const Anchors& anchors);
    // A colour as "#rrggbb", empty for the default (screens recolour the current grid).
    [[nodiscard]] const QString& color() const { return color_; }
    void setColor(const QString& color);
    // The colour of the text, as color(); also kColorButtonFace: the colour of the panel behind it.
    [[nodiscard]] const QString& fontColor() const { return fontColor_; }
    void setFontColor(const QString& color);
    // Tab order among focusable siblings; controls of equal order keep creation order.
    [[nodiscard]] int tabOrder() const { return tabOrder_; }
    void setTabOrder(int order) { tabOrder_ = order; }
    [[nodiscard]] bool tabStop() const { return tabStop_; }
    void setTabStop(bool on) { tabStop_ = on; }
    // Free slot for screens (the classic Tag).
    int tag = 0;

    // ---- focus ----
    // Kinds that can hold the keyboard focus (edits, buttons, grids, radio buttons...).
    [[nodiscard]] virtual bool focusable() const { return false; }
    [[nodiscard]] bool canFocus() const;  // focusable, enabled and visible, with its containers
    [[nodiscard]] bool focused() const;
    // Moves the focus here from code, running the exit/enter events. AbortAction from a handler
    // propagates. A container passes the focus to its first focusable control in tab order. Returns
    // false (and does nothing) when nothing here can take the focus.
    bool setFocus();

    // ---- events ----
    NotifyEvent onEnter;
    NotifyEvent onExit;
    NotifyEvent onChange;
    NotifyEvent onClick;
    KeyEvent onKeyDown;
    KeyPressEvent onKeyPress;

    // What a click does after onClick handlers of subclasses; default: runs onClick.
    virtual void doClick();

  protected:
    Control(ControlKind kind, QString name);
    void changed(Change what);
    void setTextSilently(const QString& text);  // no onChange, observers still told
    static void fire(const NotifyEvent& event, Control& sender);

    // Called by the focus manager when the focus is about to leave this control (before onExit),
    // e.g. a grid cancels an untouched appended row, a data-bound edit writes its field.
    virtual void leaving() {}

  private:
    friend class Container;
    friend class Form;
    ControlKind kind_;
    QString name_;
    Container* parent_ = nullptr;
    bool enabled_ = true;
    bool visible_ = true;
    bool tabStop_ = true;
    QString text_;
    QString hint_;
    QString color_;
    QString fontColor_;
    Rect geometry_;
    Align align_ = Align::None;
    Anchors anchors_;
    int tabOrder_ = 0;
    int creationIndex_ = 0;
};

class CTB_PLATFORM_EXPORT Container : public Control {
  public:
    ~Container() override;
    [[nodiscard]] bool isContainer() const override { return true; }

    // Creates a child control owned by this container: add<Edit>("edtCdEmpresa").
    template <typename T, typename... Args>
    T& add(Args&&... args) {
        static_assert(std::is_base_of_v<Control, T>);
        auto owned = std::unique_ptr<T>(new T(std::forward<Args>(args)...));
        T& ref = *owned;
        adopt(std::move(owned));
        return ref;
    }

    [[nodiscard]] std::vector<Control*> children() const;
    // Searches this container's whole subtree (case-insensitive); nullptr when absent.
    [[nodiscard]] Control* findControl(QStringView name) const;
    // Every focusable control of the subtree in tab order.
    [[nodiscard]] std::vector<Control*> tabOrderList() const;

  protected:
    using Control::Control;

  private:
    void adopt(std::unique_ptr<Control> child);
    std::vector<std::unique_ptr<Control>> children_;
};

class CTB_PLATFORM_EXPORT Panel : public Container {
  public:
    explicit Panel(QString name) : Container(ControlKind::Panel, std::move(name)) {}
    ~Panel() override;
};

class CTB_PLATFORM_EXPORT GroupBox : public Container {
  public:
    explicit GroupBox(QString name) : Container(ControlKind::GroupBox, std::move(name)) {}
    ~GroupBox() override;
};

class CTB_PLATFORM_EXPORT TabSheet : public Container {
  public:
    explicit TabSheet(QString name) : Container(ControlKind::TabSheet, std::move(name)) {}
    // A click on the tab shows this sheet (as the user would).
    void doClick() override;
    [[nodiscard]] bool isActive() const;
};

class CTB_PLATFORM_EXPORT PageControl : public Container {
  public:
    explicit PageControl(QString name) : Container(ControlKind::PageControl, std::move(name)) {}
    ~PageControl() override;
    TabSheet& addPage(const QString& name, const QString& caption);
    [[nodiscard]] TabSheet* activePage() const { return active_; }
    // From code: no onChanging/onChange (as the classic control).
    void setActivePage(TabSheet* page);
    [[nodiscard]] std::vector<TabSheet*> pages() const;

    // The user picks a page: onChanging may refuse, then the page shows, then onChange.
    void userSelect(TabSheet& page);

    std::function<void(Control& sender, bool& allowChange)> onChanging;

  private:
    TabSheet* active_ = nullptr;
};

class CTB_PLATFORM_EXPORT Form : public Container {
  public:
    explicit Form(QString name, UiServices* services = nullptr);
    ~Form() override;

    [[nodiscard]] UiServices* services() const { return services_; }
    void setServices(UiServices* services) { services_ = services; }

    // ---- focus manager ----
    [[nodiscard]] Control* activeControl() const { return focused_; }
    // Moves the focus (see the top of this file); AbortAction propagates. false when `target` cannot
    // take the focus.
    bool moveFocus(Control& target);
    // While held, the focus stays where it is: moves from code do nothing and run no event (checks run
    // over many lines at once point at no control). Nests; see FocusHold.
    void holdFocus() { ++focusHeld_; }
    void releaseFocus() {
        if (focusHeld_ > 0)
            --focusHeld_;
    }
    [[nodiscard]] bool focusHeld() const { return focusHeld_ > 0; }
    // Next (or previous) focusable control after the focused one, in tab order, wrapping.
    [[nodiscard]] Control* nextInTabOrder(bool forward = true) const;
    bool selectNext(bool forward = true);

    // ---- showing ----
    // Shows through the services: as a child window, or modally (returns when closed).
    void show();
    ModalResult showModal();
    [[nodiscard]] bool isModal() const { return modal_; }
    [[nodiscard]] bool isShowing() const { return showing_; }
    [[nodiscard]] ModalResult modalResult() const { return modalResult_; }
    // Setting a result other than None closes a modal form.
    void setModalResult(ModalResult result);
    // Runs onClose (which may refuse by setting the action to None), then closes.
    void close();

    enum class CloseAction : std::uint8_t { None, Hide, Free, Minimize };
    std::function<void(Form& sender, CloseAction& action)> onClose;
    NotifyEvent onShow;

    // When on, the form's onKeyDown sees keys before the focused control does.
    bool keyPreview = false;
    // The control that takes the focus when the form shows with nothing focused (the designer's
    // ActiveControl); null, or unable to take the focus: the first control in tab order.
    Control* initialFocus = nullptr;

    // ---- menu shortcuts ----
    // The enabled menu item whose shortcut is this key, or nullptr; never an item without a
    // shortcut, and nothing for key 0.
    [[nodiscard]] class MenuItem* findShortcut(int key, ShiftState shift) const;

    // ---- renderer support ----
    void addObserver(FormObserver* observer);
    void removeObserver(FormObserver* observer);
    // Internal: called by the showing services.
    void markShown(bool modal);
    void markClosed();

  private:
    friend class Control;
    friend class PageControl;
    void notify(Control& control, Change what);
    void notifyFocus(Control* previous, Control* current);
    void forgetFocus(Control& control);  // a control being destroyed or hidden

    UiServices* services_;
    Control* focused_ = nullptr;
    std::uint64_t focusGeneration_ = 0;
    int focusHeld_ = 0;
    std::vector<Control*> exiting_;
    std::vector<FormObserver*> observers_;
    bool modal_ = false;
    bool showing_ = false;
    ModalResult modalResult_ = ModalResult::None;
};

// Holds a form's focus for a scope (Form::holdFocus), released on every way out.
class FocusHold {
  public:
    explicit FocusHold(Form& form) : form_(form) { form_.holdFocus(); }
    ~FocusHold() { form_.releaseFocus(); }
    FocusHold(const FocusHold&) = delete;
    FocusHold& operator=(const FocusHold&) = delete;

  private:
    Form& form_;
};

class CTB_PLATFORM_EXPORT Label : public Control {
  public:
    explicit Label(QString name) : Control(ControlKind::Label, std::move(name)) {}
    ~Label() override;
};

// A plain single-line edit. Typing runs onKeyPress per character (which may change or swallow it),
// then changes the text and runs onChange.
class CTB_PLATFORM_EXPORT Edit : public Control {
  public:
    explicit Edit(QString name) : Edit(ControlKind::Edit, std::move(name)) {}
    [[nodiscard]] bool focusable() const override { return true; }
    void setText(const QString& text) override;

    [[nodiscard]] bool readOnly() const { return readOnly_; }
    void setReadOnly(bool on);
    [[nodiscard]] int maxLength() const { return maxLength_; }  // 0: no limit
    void setMaxLength(int length) { maxLength_ = length; }
    // Upper-cases typed letters (the classic CharCase ecUpperCase).
    bool upperCase = false;

    // One typed character at the end of the text (after onKeyPress). Returns whether it was taken.
    virtual bool typeChar(QChar ch);
    // Backspace: removes the last character.
    virtual void backspace();
    // The whole text after the user edited it in a widget that places characters itself (at its
    // cursor, over a selection, through its mask): taken as typed, then onChange.
    virtual void typeText(const QString& text) { setText(text); }
    void clear() { setText(QString()); }

  protected:
    Edit(ControlKind kind, QString name) : Control(kind, std::move(name)) {}

  private:
    bool readOnly_ = false;
    int maxLength_ = 0;
};

// An edit with a mask in the classic notation ("9.9.99.999;1;_", "99/99/9999;1; "). Typing follows
// the mask as a person would: a character equal to the literal at the cursor just moves past it,
// other characters skip to the next free position and must fit it. text() is what was filled, with
// the literals between filled positions; positions left unfilled do not count ("1.1.01" typed in
// "9.9.99.999" reads back "1.1.01"). Setting the text lays it out by the mask.
class CTB_PLATFORM_EXPORT MaskEdit : public Edit {
  public:
    explicit MaskEdit(QString name) : Edit(ControlKind::MaskEdit, std::move(name)) {}
    [[nodiscard]] const QString& editMask() const { return mask_; }
    void setEditMask(const QString& mask);
    // The text as the masked box shows it: unfilled positions as the mask's blank character.
    [[nodiscard]] QString displayText() const;
    void setText(const QString& text) override;
    bool typeChar(QChar ch) override;
    void backspace() override;

  protected:
    MaskEdit(ControlKind kind, QString name) : Edit(kind, std::move(name)) {}

  private:
    QString mask_;
};

// A numeric edit holding a double: shows it with `decimals` decimals and the locale's separators
// ("1.234,56" in pt_BR). Typing takes digits, the decimal comma and a leading minus.
class CTB_PLATFORM_EXPORT NumberEdit : public Edit {
  public:
    explicit NumberEdit(QString name) : Edit(ControlKind::NumberEdit, std::move(name)) {}
    [[nodiscard]] double number() const;  // 0 when empty or unreadable
    void setNumber(double value);
    [[nodiscard]] bool isEmpty() const { return text().trimmed().isEmpty(); }
    [[nodiscard]] int decimals() const { return decimals_; }
    void setDecimals(int decimals) { decimals_ = decimals; }
    [[nodiscard]] const QLocale& locale() const { return locale_; }
    void setLocale(const QLocale& locale) { locale_ = locale; }
    bool typeChar(QChar ch) override;

  private:
    int decimals_ = 2;
    QLocale locale_{QLocale::Portuguese, QLocale::Brazil};
};

// A date edit: text dd/mm/yyyy under the mask "!99/99/9999;1; ".
class CTB_PLATFORM_EXPORT DateEdit : public MaskEdit {
  public:
    explicit DateEdit(QString name);
    ~DateEdit() override;
    // The date typed; nullopt when empty, an invalid QDate when the text is not a date.
    [[nodiscard]] std::optional<QDate> date() const;
    void setDate(const QDate& date);  // an invalid or null date empties the edit
    [[nodiscard]] bool isEmpty() const;
};

class CTB_PLATFORM_EXPORT Memo : public Edit {
  public:
    explicit Memo(QString name) : Edit(ControlKind::Memo, std::move(name)) {}
    ~Memo() override;
    [[nodiscard]] QStringList lines() const { return text().split(u'\n'); }
    // Enter types a line break here instead of leaving the control.
    bool wantReturns = true;
};

class CTB_PLATFORM_EXPORT Button : public Control {
  public:
    // kind: Button (takes the focus), SpeedButton or LookupButton (never take it).
    explicit Button(QString name, ControlKind kind = ControlKind::Button);
    [[nodiscard]] bool focusable() const override { return kind() == ControlKind::Button; }
    // A click on a dialog button with a result sets the form's modal result after onClick.
    ModalResult modalResult = ModalResult::None;
    void doClick() override;
};

class CTB_PLATFORM_EXPORT SpeedButton : public Button {
  public:
    explicit SpeedButton(QString name) : Button(std::move(name), ControlKind::SpeedButton) {}
    ~SpeedButton() override;
};

class CTB_PLATFORM_EXPORT CheckBox : public Control {
  public:
    explicit CheckBox(QString name) : CheckBox(ControlKind::CheckBox, std::move(name)) {}
    [[nodiscard]] bool focusable() const override { return true; }
    [[nodiscard]] bool checked() const { return checked_; }
    // Runs onClick when the state changes (as the classic control).
    virtual void setChecked(bool checked);
    void doClick() override;

  protected:
    CheckBox(ControlKind kind, QString name) : Control(kind, std::move(name)) {}
    void storeChecked(bool checked);

  private:
    bool checked_ = false;
};

// Checking one radio button unchecks its siblings in the same container.
class CTB_PLATFORM_EXPORT RadioButton : public CheckBox {
  public:
    explicit RadioButton(QString name) : CheckBox(ControlKind::RadioButton, std::move(name)) {}
    void setChecked(bool checked) override;
    void doClick() override;
};

// A menu item; items inside it form its submenu. The renderer shows the form's top-level items as
// its menu. A shortcut runs onClick when its key goes down anywhere in the form.
class CTB_PLATFORM_EXPORT MenuItem : public Container {
  public:
    explicit MenuItem(QString name) : Container(ControlKind::MenuItem, std::move(name)) {}
    ~MenuItem() override;
    struct Shortcut {
        int key = 0;  // virtual key; 0 for none
        ShiftState shift;
        bool operator==(const Shortcut&) const = default;
    };
    [[nodiscard]] const Shortcut& shortcut() const { return shortcut_; }
    void setShortcut(int key, ShiftState shift = {});
    // "Ctrl+L" style, for menus.
    [[nodiscard]] QString shortcutText() const;

  private:
    Shortcut shortcut_;
};

}  // namespace ctb::ui
