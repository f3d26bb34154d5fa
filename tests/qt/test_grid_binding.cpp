// The grid binding: the Qt model over the table, the current cell both ways, cell edits.

#include "platform/qt/dataset_model.h"
#include "platform/qt/grid_delegate.h"
#include "tests/qt/renderer_fixture.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QTableView>

#include <QHeaderView>

namespace ctb::qt {
namespace {

using driver::findControl;
using test::Renderer;

TEST_F(Renderer, GridModelPassesQtsModelTester) {
    DataSetTableModel* model = view->gridModel(static_cast<ui::DBGrid&>(sample->control("dbgLinhas")));
    ASSERT_NE(model, nullptr);
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->columnCount(), 3);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Código"));
    EXPECT_EQ(model->index(0, 2).data().toString(), QStringLiteral("1.234,50"));
    // Changes made by code flow through the tester's checks.
    sample->cdsLinhas.append();
    sample->cdsLinhas.fieldByName(u"CODIGO").setAsString(QStringLiteral("0004"));
    sample->cdsLinhas.post();
    EXPECT_EQ(model->rowCount(), 4);
    sample->cdsLinhas.remove();
    EXPECT_EQ(model->rowCount(), 3);
    sample->cdsLinhas.setFilter(QStringLiteral("CODIGO = '0002'"));
    sample->cdsLinhas.setFiltered(true);
    EXPECT_EQ(model->rowCount(), 1);
    sample->cdsLinhas.setFiltered(false);
    sample->cdsLinhas.emptyDataSet();
    EXPECT_EQ(model->rowCount(), 0);
}

TEST_F(Renderer, GridNavigationAndEditingGoThroughTheModel) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    auto* table = widget<QTableView>("dbgLinhas");
    auto& grid = static_cast<ui::DBGrid&>(sample->control("dbgLinhas"));
    driver::focus(table);
    sample->events.clear();
    table->setCurrentIndex(table->model()->index(1, 2));
    driver::settle();
    EXPECT_EQ(sample->cdsLinhas.recNo(), 2);
    EXPECT_EQ(grid.selectedField()->fieldName(), QStringLiteral("VALOR"));
    EXPECT_TRUE(sample->events.contains(QStringLiteral("colExit:CODIGO")));
    // Typed text goes into the field when the cell is left; Down posts it and the view follows.
    driver::typeText(table, QStringLiteral("75"));
    driver::pressKey(table, 40, false, false);
    EXPECT_EQ(sample->cdsLinhas.recNo(), 3);
    EXPECT_EQ(sample->cdsLinhas.state(), DataSetState::Browse);
    EXPECT_EQ(table->currentIndex().row(), 2);
    EXPECT_EQ(table->model()->index(1, 2).data().toString(), QStringLiteral("75,00"));
}

TEST_F(Renderer, GridCellTypingReadsTheDecimalComma) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    auto* table = widget<QTableView>("dbgLinhas");
    driver::focus(table);
    for (const auto& [typed, shown] : {std::pair{"7,5", "7,50"}, std::pair{"1.234,56", "1.234,56"}}) {
        table->setCurrentIndex(table->model()->index(0, 2));
        driver::settle();
        driver::typeText(table, QString::fromUtf8(typed));
        driver::pressKey(table, 40, false, false);
        EXPECT_EQ(table->model()->index(0, 2).data().toString(), QString::fromUtf8(shown)) << typed;
    }
    sample->cdsLinhas.first();
    EXPECT_DOUBLE_EQ(sample->cdsLinhas.fieldByName(u"VALOR").asFloat(), 1234.56);
}

TEST_F(Renderer, QtsInPlaceEditorCommitsTheWholeCellText) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    auto* table = widget<QTableView>("dbgLinhas");
    driver::focus(table);
    const QModelIndex cell = table->model()->index(0, 2);
    table->setCurrentIndex(cell);
    driver::settle();
    table->edit(cell);
    driver::settle();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    // Whole numbers only: the control model's cell typing drops a trailing decimal comma today.
    QTest::keyClicks(editor, QStringLiteral("12"));
    QTest::keyClick(editor, Qt::Key_Return);
    // Item-view edits commit on a later event-loop turn: wait for the value, not for a time.
    EXPECT_TRUE(QTest::qWaitFor([&] { return sample->cdsLinhas.fieldByName(u"VALOR").asFloat() == 12.0; }));
    EXPECT_DOUBLE_EQ(sample->cdsLinhas.fieldByName(u"VALOR").asFloat(), 12.0);
    EXPECT_EQ(table->model()->index(0, 2).data().toString(), QStringLiteral("12,00"));
    // The view is not editable where the model's column is read-only.
    EXPECT_FALSE(table->model()->flags(table->model()->index(0, 1)) & Qt::ItemIsEditable);
}

TEST_F(Renderer, GridCellLookupButtonRunsEditButtonClick) {
    driver::typeText(widget<QLineEdit>("edtCdEmpresa"), QStringLiteral("01"));
    auto* table = widget<QTableView>("dbgLinhas");
    driver::focus(table);
    table->setCurrentIndex(table->model()->index(0, 0));
    driver::settle();
    sample->events.clear();
    const QRect cell = table->visualRect(table->currentIndex());
    const QPoint button = GridDelegate::buttonRect(cell).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, button);
    driver::settle();
    EXPECT_TRUE(sample->events.contains(QStringLiteral("lookup:CODIGO")))
        << sample->events.join(u',').toStdString();
}

}  // namespace
}  // namespace ctb::qt

namespace ctb::qt {
namespace {

using test::Renderer;

// A money column shows the largest value whole whatever width the layout declared.
TEST_F(Renderer, MoneyColumnsShowTheLargestValueWhole) {
    auto* table = qobject_cast<QTableView*>(view->widgetOf(sample->control("dbgLinhas")));
    ASSERT_NE(table, nullptr);
    sample->cdsLinhas.first();
    sample->cdsLinhas.edit();
    sample->cdsLinhas.fieldByName(u"VALOR").setAsFloat(-999999999.99);
    sample->cdsLinhas.post();
    const QString shown = table->model()->index(0, 2).data().toString();
    EXPECT_EQ(shown, QStringLiteral("-999.999.999,99"));
    EXPECT_GE(table->columnWidth(2), table->fontMetrics().horizontalAdvance(shown) + 8);
}

// Names as long as the loaded rows have are not cut: the column widens to them (never narrows).
TEST_F(Renderer, TextColumnsWidenToTheLoadedRows) {
    auto* table = qobject_cast<QTableView*>(view->widgetOf(sample->control("dbgLinhas")));
    ASSERT_NE(table, nullptr);
    const int declared = table->columnWidth(1);
    DataPacket packet = sample->cdsLinhas.data();
    sample->cdsLinhas.setData(packet);
    EXPECT_EQ(table->columnWidth(1), declared);
    sample->cdsLinhas.first();
    sample->cdsLinhas.edit();
    const QString name = QStringLiteral("FORNECEDORES NACIONAIS DE SERVIÇOS TÉCNICOS E DE MANUTENÇÃO");
    sample->cdsLinhas.fieldByName(u"NOME").setAsString(name);
    sample->cdsLinhas.post();
    sample->cdsLinhas.setData(sample->cdsLinhas.data());
    // As stored (the field keeps its declared 30 characters).
    const QString shown = table->model()->index(0, 1).data().toString();
    EXPECT_EQ(shown, name.left(30));
    EXPECT_GE(table->columnWidth(1), table->fontMetrics().horizontalAdvance(shown) + 8);
}

}  // namespace
}  // namespace ctb::qt
