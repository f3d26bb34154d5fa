#include "platform/qt/lookup_dialog.h"
#include "tests/qt/qt_app.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace ctb::qt {
namespace {

LookupRows histories() {
    LookupRows rows;
    rows.title = QStringLiteral("Histórico Padrão");
    rows.headers = {QStringLiteral("Código"), QStringLiteral("Nome")};
    rows.rows = {{QStringLiteral("0001"), QStringLiteral("Pagamento")},
                 {QStringLiteral("0002"), QStringLiteral("Recebimento")},
                 {QStringLiteral("0003"), QStringLiteral("Transferência")}};
    return rows;
}

void pressLater(QDialog& dialog, const QString& button) {
    QTimer::singleShot(0, &dialog, [&dialog, button] {
        QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
    });
}

TEST(LookupDialogPick, SingleByKey) {
    test::app();
    LookupDialog dialog(histories(), false, nullptr);
    EXPECT_TRUE(dialog.selectKeys({QStringLiteral("0002")}));
    pressLater(dialog, QStringLiteral("btnOK"));
    dialog.exec();
    EXPECT_EQ(dialog.pickedRows(), std::vector<int>{1});
}

TEST(LookupDialogPick, MultipleByKeyInListOrder) {
    test::app();
    LookupDialog dialog(histories(), true, nullptr);
    EXPECT_TRUE(dialog.selectKeys({QStringLiteral("0003"), QStringLiteral("0001")}));
    pressLater(dialog, QStringLiteral("btnOK"));
    dialog.exec();
    EXPECT_EQ(dialog.pickedRows(), (std::vector<int>{0, 2}));
}

TEST(LookupDialogPick, UnknownKeyIsReported) {
    test::app();
    LookupDialog dialog(histories(), false, nullptr);
    EXPECT_FALSE(dialog.selectKeys({QStringLiteral("9999")}));
}

TEST(LookupDialogPick, CancelPicksNothing) {
    test::app();
    LookupDialog dialog(histories(), false, nullptr);
    dialog.selectKeys({QStringLiteral("0001")});
    pressLater(dialog, QStringLiteral("btnCancelar"));
    dialog.exec();
    EXPECT_TRUE(dialog.pickedRows().empty());
}

TEST(LookupDialogPick, EmptyListStillOpens) {
    test::app();
    LookupRows rows = histories();
    rows.rows.clear();
    LookupDialog dialog(rows, false, nullptr);
    pressLater(dialog, QStringLiteral("btnOK"));
    dialog.exec();
    EXPECT_TRUE(dialog.pickedRows().empty());
}

}  // namespace
}  // namespace ctb::qt
