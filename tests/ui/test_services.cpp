// Headless UI services: scripted answers and picks, recorded messages, modal forms, busy nesting.

#include "platform/dataset/client_dataset.h"
#include "platform/ui/controls.h"
#include "platform/ui/services.h"

#include <gtest/gtest.h>

using namespace ctb;
using namespace ctb::ui;

TEST(HeadlessQuestions, AnswersComeFromTheQueueAndMissingOnesAreProblems) {
    HeadlessUi ui;
    ui.queueAnswer(true);
    EXPECT_TRUE(ui.askYesNo(QStringLiteral("Confirma?")));
    EXPECT_FALSE(ui.askYesNo(QStringLiteral("De novo?")));
    ASSERT_EQ(ui.problems().size(), 1u);
    EXPECT_TRUE(ui.problems()[0].contains(QStringLiteral("De novo?")));
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.takeMessage()->text, QStringLiteral("Confirma?"));
}

TEST(HeadlessLookups, PicksByKeyInSingleAndMultipleMode) {
    HeadlessUi ui;
    ClientDataSet t(QStringLiteral("qry"));
    t.addStringField(QStringLiteral("CODIGO"), 4);
    t.addStringField(QStringLiteral("NOME"), 20);
    t.createDataSet();
    for (const char* code : {"0001", "0002", "0003"}) {
        t.append();
        t.fieldByName(u"CODIGO").setAsString(QString::fromLatin1(code));
        t.post();
    }
    ui.queuePick({QStringLiteral("0002")});
    EXPECT_EQ(ui.lookup(LookupRequest{QStringLiteral("T"), {}, &t, QStringLiteral("CODIGO"), {}, false}),
              std::vector<int>({1}));
    ui.queuePick({QStringLiteral("0003"), QStringLiteral("0001")});
    LookupRequest multi{QStringLiteral("T"), {}, &t, QStringLiteral("CODIGO"), {}, true};
    EXPECT_EQ(ui.lookup(multi), std::vector<int>({0, 2}));
    ui.queuePickNone();
    EXPECT_TRUE(ui.lookup(multi).empty());
    ui.queuePick({QStringLiteral("9999")});
    EXPECT_TRUE(ui.lookup(multi).empty());
    EXPECT_EQ(ui.problems().size(), 1u);
    EXPECT_TRUE(ui.lookup(multi).empty());  // nothing queued
    EXPECT_EQ(ui.problems().size(), 2u);
}

TEST(HeadlessModal, ModalFormRunsItsHandlerAndReturnsTheResult) {
    HeadlessUi ui;
    Form dialog(QStringLiteral("frmDialogo"), &ui);
    auto& ok = dialog.add<Button>(QStringLiteral("btnOk"));
    ok.modalResult = ModalResult::Ok;
    ui.queueModalHandler([&](Form& f) {
        EXPECT_EQ(ui.modalStack().back(), &f);
        ok.doClick();
    });
    EXPECT_EQ(dialog.showModal(), ModalResult::Ok);
    EXPECT_FALSE(dialog.isShowing());
    EXPECT_TRUE(ui.modalStack().empty());
    // Nothing to drive it: cancelled and reported.
    EXPECT_EQ(dialog.showModal(), ModalResult::Cancel);
    EXPECT_EQ(ui.problems().size(), 1u);
}

TEST(HeadlessBusy, NestingIsCountedAndExtraOffsIgnored) {
    HeadlessUi ui;
    {
        BusyScope outer(&ui);
        BusyScope inner(&ui);
        EXPECT_EQ(ui.busyDepth(), 2);
    }
    EXPECT_EQ(ui.busyDepth(), 0);
    ui.busyOff();
    EXPECT_EQ(ui.busyDepth(), 0);
    EXPECT_EQ(ui.busyPeak(), 2);
}
