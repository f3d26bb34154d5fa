#include "hostlib/screen_kit.h"

namespace ctb::hostlib {

void declareTable(ClientDataSet& table, const TableDecl& decl) {
    table.clearFields();
    for (const FieldDecl& f : decl.fields) {
        Field& field = table.addField(u8(f.name), f.type, f.size);
        if (*f.label)
            field.setDisplayLabel(u8(f.label));
        field.setVisible(f.visible);
        if (*f.displayFormat)
            field.setDisplayFormat(u8(f.displayFormat));
        if (*f.editMask)
            field.setEditMask(u8(f.editMask));
    }
    table.setIndexFieldNames(u8(decl.indexFieldNames));
}

void declareQuery(sql::Query& query, const QueryDecl& decl) {
    query.setSql(u8(decl.sql));
    for (const FieldDecl& f : decl.fields) {
        query.declareField(u8(f.name), f.type, f.size, u8(f.label), f.visible);
        if (*f.editMask)
            query.setEditMask(u8(f.name), u8(f.editMask));
    }
}

DeclaredQuery::DeclaredQuery(const QueryDecl& decl, const QSqlDatabase& db)
    : TADOIBQuery(u8(decl.name), db), decl_(decl) {
    declareQuery(query(), decl_);
    declareTable(*this, TableDecl{decl_.name, decl_.fields});
    keepsDeclaredFields_ = true;
}

namespace {

ui::Control& createControl(ui::Container& parent, const ControlDecl& d) {
    using K = ControlKind;
    const QString name = u8(d.name);
    switch (d.kind) {
        case K::Panel:
            return parent.add<ui::Panel>(name);
        case K::GroupBox:
            return parent.add<ui::GroupBox>(name);
        case K::Label:
            return parent.add<ui::Label>(name);
        case K::Edit:
            return parent.add<ui::Edit>(name);
        case K::MaskEdit:
            return parent.add<ui::MaskEdit>(name);
        case K::NumberEdit:
            return parent.add<TNumberEdit>(name);
        case K::DateEdit:
            return parent.add<TDateEditPlus>(name);
        case K::Memo:
            return parent.add<ui::Memo>(name);
        case K::DBEdit:
            return parent.add<ui::DBEdit>(name);
        case K::Button:
            return parent.add<ui::Button>(name);
        case K::SpeedButton:
            return parent.add<ui::SpeedButton>(name);
        case K::LookupButton:
            return parent.add<TBtnPesquisa>(name);
        case K::RadioButton:
            return parent.add<ui::RadioButton>(name);
        case K::CheckBox:
            return parent.add<ui::CheckBox>(name);
        case K::MenuItem:
            return parent.add<ui::MenuItem>(name);
        case K::DBGrid:
            return parent.add<ui::DBGrid>(name);
        case K::Form:
        case K::PageControl:
        case K::TabSheet:
            break;  // the base forms own these
    }
    throw std::logic_error("control kind not declarable: " + std::string(d.name));
}

}  // namespace

void buildControls(ui::Form& form, const std::vector<ControlDecl>& controls) {
    for (const ControlDecl& d : controls) {
        ui::Container* parent = &form;
        if (*d.parent) {
            ui::Control* p = form.findControl(u8(d.parent));
            if (p != nullptr && p->isContainer())
                parent = static_cast<ui::Container*>(p);
        }
        ui::Control& c = createControl(*parent, d);
        if (*d.caption)
            c.setCaption(u8(d.caption));
        if (*d.hint)
            c.setHint(u8(d.hint));
        c.setEnabled(d.enabled);
        c.setVisible(d.visible);
        c.setTabStop(d.tabStop);
        if (auto* edit = dynamic_cast<ui::Edit*>(&c)) {
            edit->setMaxLength(d.maxLength);
            if (d.readOnly)
                edit->setReadOnly(true);
        }
        if (auto* mask = dynamic_cast<ui::MaskEdit*>(&c); mask != nullptr && *d.editMask)
            mask->setEditMask(u8(d.editMask));
        if (auto* number = dynamic_cast<ui::NumberEdit*>(&c); number != nullptr && d.decimals >= 0)
            number->setDecimals(d.decimals);
        if (auto* radio = dynamic_cast<ui::RadioButton*>(&c); radio != nullptr && d.checked)
            radio->setChecked(true);
        if (auto* item = dynamic_cast<ui::MenuItem*>(&c); item != nullptr && *d.shortcut) {
            // Only "Ctrl+<letter>" shortcuts are declared.
            const QString text = u8(d.shortcut);
            item->setShortcut(ui::vk::KeyA + (text.back().toUpper().unicode() - u'A'),
                              ui::ShiftState{true, false});
        }
    }
}

void applyLayout(ui::Form& form, const std::vector<LayoutDecl>& layout) {
    for (const LayoutDecl& l : layout) {
        const QString name = u8(l.name);
        // "dbgDebito.CDCONTCTBL": the width of a grid's column.
        if (const qsizetype dot = name.indexOf(u'.'); dot > 0) {
            if (auto* grid = dynamic_cast<ui::DBGrid*>(form.findControl(name.left(dot))))
                grid->setFieldWidth(name.mid(dot + 1), l.width);
            continue;
        }
        ui::Control* c = name.compare(form.name(), Qt::CaseInsensitive) == 0 ? &form : form.findControl(name);
        if (c == nullptr)
            continue;
        c->setAlign(l.align);
        c->setGeometry(l.left, l.top, l.width, l.height);
        if (*l.anchors) {
            const QString sides = u8(l.anchors);
            c->setAnchors(ui::Anchors{sides.contains(u'L'), sides.contains(u'T'), sides.contains(u'R'),
                                      sides.contains(u'B')});
        }
    }
}

void setUpLookups(ui::Form& form, const std::vector<LookupDecl>& lookups,
                  const std::function<DataSource*(const QString&)>& sourceByName) {
    for (const LookupDecl& l : lookups) {
        auto* button = dynamic_cast<TBtnPesquisa*>(form.findControl(u8(l.button)));
        if (button == nullptr)
            continue;
        if (*l.dataSource)
            button->SetDataSource(sourceByName(u8(l.dataSource)));
        button->keyField = u8(l.codeField);
        button->title = u8(l.title);
        button->notFoundText = u8(l.emptyMessage);
    }
}

void setUpGrids(ui::Form& form, const std::vector<GridDecl>& grids) {
    for (const GridDecl& g : grids) {
        auto* grid = dynamic_cast<ui::DBGrid*>(form.findControl(u8(g.name)));
        if (grid == nullptr)
            continue;
        std::vector<ui::GridColumn> columns;
        for (const GridColumnDecl& c : g.columns) {
            ui::GridColumn column;
            column.fieldName = u8(c.field);
            column.hasButton = c.lookupButton;
            column.readOnly = c.readOnly;
            columns.push_back(column);
        }
        grid->setColumns(std::move(columns));
        grid->setReadOnly(!g.editing);
        grid->confirmDelete = g.editing;
        grid->cancelOnExit = g.editing;
        grid->allowAppend = g.editing;
    }
}

void applyFormDecl(ui::Form& form, const FormDecl& decl) {
    form.setCaption(u8(decl.caption));
    if (*decl.activeControl)
        form.initialFocus = form.findControl(u8(decl.activeControl));
}

}  // namespace ctb::hostlib
