// Data-bound grid and edit: column exit, posting on row change, append, cancel on exit, delete.

#include "platform/dataset/client_dataset.h"
#include "platform/ui/data_controls.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/user_input.h"

#include <gtest/gtest.h>

namespace {
[[maybe_unused]] QStringList names(std::initializer_list<const char*> items) {
    QStringList out;
    for (const char* i : items)
        out << QString::fromUtf8(i);
    return out;
}
}  // namespace

using namespace ctb;
using namespace ctb::ui;

namespace {

struct GridForm {
    HeadlessUi services;
    ClientDataSet cds{QStringLiteral("cdsItens")};
    DataSource dts{&cds, QStringLiteral("dtsItens")};
    Form form{QStringLiteral("frm"), &services};
    Edit& edt = form.add<Edit>(QStringLiteral("edtOutro"));
    DBGrid& grid = form.add<DBGrid>(QStringLiteral("dbgItens"));
    QStringList colExits;

    GridForm() {
        cds.addStringField(QStringLiteral("CODIGO"), 4);
        cds.addStringField(QStringLiteral("DESCRICAO"), 30);
        cds.createDataSet();
        grid.setDataSource(&dts);
        grid.addColumn(QStringLiteral("CODIGO"));
        grid.addColumn(QStringLiteral("DESCRICAO"));
        grid.onColExit = [this](Control&) {
            colExits << (grid.selectedField() != nullptr ? grid.selectedField()->fieldName() : QString());
        };
    }
    void addRow(const QString& code) {
        cds.append();
        cds.fieldByName(u"CODIGO").setAsString(code);
        cds.post();
    }
};

TEST(GridColumns, ColumnExitRunsWithTheOldSelectedField) {
    GridForm f;
    user::selectColumn(f.grid, QStringLiteral("DESCRICAO"));
    EXPECT_EQ(f.colExits, names({"CODIGO"}));
    EXPECT_EQ(f.grid.selectedField()->fieldName(), QStringLiteral("DESCRICAO"));
    user::selectColumn(f.grid, QStringLiteral("DESCRICAO"));
    EXPECT_EQ(f.colExits.size(), 1);  // no change, no exit
}

TEST(GridColumns, AnExitThatSendsTheFocusToAnotherColumnAndRefusesLeavesOnce) {
    // Leaving DESCRICAO: the handler focuses CODIGO (as a refusal "on field X" does) and aborts.
    GridForm f;
    f.addRow(QStringLiteral("A"));
    user::selectColumn(f.grid, QStringLiteral("DESCRICAO"));
    f.colExits.clear();
    f.grid.onColExit = [&f](Control&) {
        f.colExits << f.grid.selectedField()->fieldName();
        f.cds.fieldByName(u"CODIGO").focusControl();
        throw AbortAction();
    };
    EXPECT_FALSE(user::selectColumn(f.grid, QStringLiteral("CODIGO")));
    EXPECT_EQ(f.colExits, names({"DESCRICAO"}));
    EXPECT_EQ(f.grid.selectedIndex(), 0);
}

TEST(GridEditing, EditingAnEmptyTableStartsAnInsert) {
    GridForm f;
    user::editCell(f.grid, QStringLiteral("CODIGO"), QStringLiteral("1"));
    EXPECT_EQ(f.cds.state(), DataSetState::Insert);
    EXPECT_EQ(f.cds.fieldByName(u"CODIGO").asString(), QStringLiteral("1"));
}

TEST(GridEditing, EditingABrowsingRowPutsTheTableInEdit) {
    GridForm f;
    f.addRow(QStringLiteral("0001"));
    user::editCell(f.grid, QStringLiteral("DESCRICAO"), QStringLiteral("Caixa"));
    EXPECT_EQ(f.cds.state(), DataSetState::Edit);
    EXPECT_EQ(f.colExits, names({"CODIGO"}));
}

TEST(GridEditing, MovingToAnotherRowPosts) {
    GridForm f;
    f.addRow(QStringLiteral("0001"));
    f.addRow(QStringLiteral("0002"));
    user::selectRow(f.grid, 1);
    user::editCell(f.grid, QStringLiteral("DESCRICAO"), QStringLiteral("Caixa"));
    user::selectRow(f.grid, 2);
    EXPECT_EQ(f.cds.state(), DataSetState::Browse);
    f.cds.first();
    EXPECT_EQ(f.cds.fieldByName(u"DESCRICAO").asString(), QStringLiteral("Caixa"));
}

TEST(GridAppend, DownOnTheLastRowAppends) {
    GridForm f;
    f.addRow(QStringLiteral("0001"));
    user::key(f.grid, vk::Down);
    EXPECT_EQ(f.cds.state(), DataSetState::Insert);
    EXPECT_EQ(f.cds.viewRowCount(), 2);
    // A second Down on the untouched new row does nothing.
    user::key(f.grid, vk::Down);
    EXPECT_EQ(f.cds.viewRowCount(), 2);
    // Up cancels it.
    user::key(f.grid, vk::Up);
    EXPECT_EQ(f.cds.state(), DataSetState::Browse);
    EXPECT_EQ(f.cds.recordCount(), 1);
}

TEST(GridAppend, UntouchedAppendedRowIsCancelledWhenTheGridLosesFocus) {
    GridForm f;
    f.addRow(QStringLiteral("0001"));
    user::key(f.grid, vk::Down);
    ASSERT_EQ(f.cds.state(), DataSetState::Insert);
    user::focus(f.edt);
    EXPECT_EQ(f.cds.state(), DataSetState::Browse);
    EXPECT_EQ(f.cds.recordCount(), 1);
}

TEST(GridAppend, TouchedAppendedRowStaysWhenTheGridLosesFocus) {
    GridForm f;
    user::editCell(f.grid, QStringLiteral("CODIGO"), QStringLiteral("7"));
    user::focus(f.edt);
    EXPECT_EQ(f.cds.state(), DataSetState::Insert);
}

TEST(GridDelete, CtrlDeleteAsksFirstAndOnlyYesDeletes) {
    GridForm f;
    f.addRow(QStringLiteral("0001"));
    f.addRow(QStringLiteral("0002"));
    f.services.queueAnswer(false);
    user::key(f.grid, vk::Delete, ShiftState{true, false});
    EXPECT_EQ(f.cds.recordCount(), 2);
    f.services.queueAnswer(true);
    user::key(f.grid, vk::Delete, ShiftState{true, false});
    EXPECT_EQ(f.cds.recordCount(), 1);
    ASSERT_EQ(f.services.messages().size(), 2u);
    EXPECT_EQ(f.services.messages().front().kind, MessageKind::Question);
    EXPECT_EQ(f.services.messages().front().text, QStringLiteral("Excluir registro?"));
}

TEST(GridDelete, KeyHandlerThatSwallowsTheKeyPreventsTheBuiltInDelete) {
    GridForm f;
    f.addRow(QStringLiteral("0001"));
    f.grid.onKeyDown = [](Control&, int& key, ShiftState) { key = 0; };
    user::key(f.grid, vk::Delete, ShiftState{true, false});
    EXPECT_EQ(f.cds.recordCount(), 1);
    EXPECT_TRUE(f.services.messages().empty());
}

TEST(GridFocus, FieldFocusControlSelectsTheColumnAndFocusesTheGrid) {
    GridForm f;
    f.addRow(QStringLiteral("0001"));
    f.edt.setFocus();
    f.cds.fieldByName(u"DESCRICAO").focusControl();
    EXPECT_TRUE(f.grid.focused());
    EXPECT_EQ(f.grid.selectedField()->fieldName(), QStringLiteral("DESCRICAO"));
}

// A float cell typed keystroke by keystroke reads the decimal comma of pt_BR, with or without
// thousands points.
TEST(GridEditing, FloatCellTakesTheDecimalComma) {
    const std::pair<const char*, double> cases[] = {
        {"7,5", 7.5}, {"1.234,56", 1234.56}, {"0,01", 0.01}, {"-3,25", -3.25}, {"12", 12.0}, {",5", 0.5},
    };
    for (const auto& [typed, value] : cases) {
        GridForm f;
        f.cds.close();
        f.cds.addField(QStringLiteral("VALOR"), FieldType::Float);
        f.cds.createDataSet();
        f.grid.addColumn(QStringLiteral("VALOR"));
        ASSERT_TRUE(user::editCell(f.grid, QStringLiteral("VALOR"), QString::fromUtf8(typed)));
        f.grid.commitEditor();
        EXPECT_DOUBLE_EQ(f.cds.fieldByName(u"VALOR").asFloat(), value) << typed;
    }
}

// Typing over a cell starts from an empty editor, not from what an earlier cell edit left in it.
TEST(GridEditing, TypingOverACellForgetsTheEarlierEditorText) {
    GridForm f;
    f.cds.close();
    f.cds.addField(QStringLiteral("VALOR"), FieldType::Float);
    f.cds.createDataSet();
    f.grid.addColumn(QStringLiteral("VALOR"));
    ASSERT_TRUE(user::editCell(f.grid, QStringLiteral("VALOR"), QStringLiteral("7")));
    ASSERT_TRUE(user::type(f.grid, QStringLiteral("7,5")));
    f.grid.commitEditor();
    EXPECT_DOUBLE_EQ(f.cds.fieldByName(u"VALOR").asFloat(), 7.5);
}

// Widths given by field (layout data) outlive a new set of columns; a column's own width wins.
TEST(GridColumns, FieldWidthsSurviveNewColumns) {
    GridForm f;
    f.grid.setFieldWidth(QStringLiteral("descricao"), 240);
    EXPECT_EQ(f.grid.effectiveColumns()[1].width, 240);
    GridColumn description;
    description.fieldName = QStringLiteral("DESCRICAO");
    GridColumn code;
    code.fieldName = QStringLiteral("CODIGO");
    code.width = 60;
    f.grid.setColumns({description, code});
    EXPECT_EQ(f.grid.effectiveColumns()[0].width, 240);
    EXPECT_EQ(f.grid.effectiveColumns()[1].width, 60);
    f.grid.setFieldWidth(QStringLiteral("CODIGO"), 90);
    EXPECT_EQ(f.grid.effectiveColumns()[1].width, 60);
}

TEST(DataEdit, TypingPutsTheTableInEditAndStoresTheField) {
    GridForm f;
    f.addRow(QStringLiteral("0001"));
    auto& dbe = f.form.add<DBEdit>(QStringLiteral("dbeDescricao"));
    dbe.setDataBinding(&f.dts, QStringLiteral("DESCRICAO"));
    user::type(dbe, QStringLiteral("Banco"));
    EXPECT_EQ(f.cds.state(), DataSetState::Edit);
    EXPECT_EQ(f.cds.fieldByName(u"DESCRICAO").asString(), QStringLiteral("Banco"));
    f.cds.post();
    EXPECT_EQ(dbe.text(), QStringLiteral("Banco"));
}

TEST(DataEdit, RebindingShowsTheOtherField) {
    GridForm f;
    f.addRow(QStringLiteral("0009"));
    auto& dbe = f.form.add<DBEdit>(QStringLiteral("dbe"));
    dbe.setDataBinding(&f.dts, QStringLiteral("DESCRICAO"));
    EXPECT_EQ(dbe.text(), QString());
    dbe.setDataField(QStringLiteral("CODIGO"));
    EXPECT_EQ(dbe.text(), QStringLiteral("0009"));
}

}  // namespace
