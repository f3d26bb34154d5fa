#include "platform/qt/message_boxes.h"
#include "tests/qt/qt_app.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace ctb::qt {
namespace {

QStringList buttonTexts(const QMessageBox& box) {
    QStringList texts;
    for (QAbstractButton* b : box.buttons()) {
        texts << b->text();
    }
    texts.sort();
    return texts;
}

// Runs the box modally and presses `buttonName` (or Escape when empty) from inside its loop.
bool runAndPress(QMessageBox& box, const QString& buttonName) {
    QTimer::singleShot(0, &box, [&box, buttonName] {
        if (buttonName.isEmpty()) {
            QTest::keyClick(&box, Qt::Key_Escape);
        } else {
            QTest::mouseClick(box.findChild<QPushButton*>(buttonName), Qt::LeftButton);
        }
    });
    box.exec();
    return answeredYes(box);
}

TEST(MessageBoxes, QuestionHasSimAndNao) {
    test::app();
    std::unique_ptr<QMessageBox> box(
        createMessageBox(nullptr, MessageBoxKind::Question, QStringLiteral("Deseja?")));
    EXPECT_EQ(buttonTexts(*box), (QStringList{QStringLiteral("Não"), QStringLiteral("Sim")}));
    EXPECT_EQ(box->text(), QStringLiteral("Deseja?"));
}

TEST(MessageBoxes, ErrorAndInformationHaveOnlyOk) {
    test::app();
    for (MessageBoxKind kind : {MessageBoxKind::Error, MessageBoxKind::Information}) {
        std::unique_ptr<QMessageBox> box(createMessageBox(nullptr, kind, QStringLiteral("x")));
        EXPECT_EQ(buttonTexts(*box), QStringList{QStringLiteral("OK")});
    }
}

TEST(MessageBoxes, OnlySimAnswersYes) {
    test::app();
    std::unique_ptr<QMessageBox> yes(
        createMessageBox(nullptr, MessageBoxKind::Question, QStringLiteral("q")));
    EXPECT_TRUE(runAndPress(*yes, QStringLiteral("btnSim")));
    std::unique_ptr<QMessageBox> no(createMessageBox(nullptr, MessageBoxKind::Question, QStringLiteral("q")));
    EXPECT_FALSE(runAndPress(*no, QStringLiteral("btnNao")));
    std::unique_ptr<QMessageBox> esc(
        createMessageBox(nullptr, MessageBoxKind::Question, QStringLiteral("q")));
    EXPECT_FALSE(runAndPress(*esc, QString()));
}

TEST(MessageBoxes, OkIsNotYes) {
    test::app();
    std::unique_ptr<QMessageBox> box(createMessageBox(nullptr, MessageBoxKind::Error, QStringLiteral("e")));
    EXPECT_FALSE(runAndPress(*box, QStringLiteral("btnOK")));
}

}  // namespace
}  // namespace ctb::qt
