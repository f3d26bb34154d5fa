// The journal-entry screen's list report in Qt's print preview, as the user sees it: the pages are
// drawn (not blank, the text renders), and the picture goes to $CTB_SCREENSHOT_DIR/print_preview.png
// when that is set (the README's picture).

#include "platform/qt/report_printer.h"
#include "tests/module/screen_fixture.h"
#include "tests/qt/qt_app.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QSet>
#include <QTest>
#include <QTimer>

namespace ctb::ctb10000 {
namespace {

using namespace screentest;

// The application object must be a QApplication before the fixture makes a core one.
class PrintPreview : public qt::test::WithApp, public ScreenFixture {};

TEST_F(PrintPreview, ShowsTheListAsItPrints) {
    TfrmLancamento& f = listed();
    ASSERT_TRUE(user::click(f.sbtImprimir));
    ASSERT_EQ(ui_.printed().size(), 1U);
    QImage picture;
    qt::PrintPreview::show(ui_.printed().front(), nullptr, [&picture](QDialog& dialog) {
        dialog.resize(1100, 820);
        QTimer::singleShot(0, &dialog, [&dialog, &picture] {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
            // The preview lays its pages out when it is shown; let the layout's events run.
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
            picture = dialog.grab().toImage();
            dialog.reject();
        });
        return dialog.exec();
    });
    ASSERT_FALSE(picture.isNull());
    QSet<QRgb> colours;
    int dark = 0;
    for (int y = 0; y < picture.height(); y += 2) {
        for (int x = 0; x < picture.width(); x += 2) {
            colours.insert(picture.pixel(x, y));
            dark += qGray(picture.pixel(x, y)) < 80 ? 1 : 0;
        }
    }
    EXPECT_GT(colours.size(), 20);
    EXPECT_GT(dark, 200);
    if (const QByteArray dir = qgetenv("CTB_SCREENSHOT_DIR"); !dir.isEmpty()) {
        QDir().mkpath(QString::fromLocal8Bit(dir));
        EXPECT_TRUE(picture.save(QString::fromLocal8Bit(dir) + QStringLiteral("/print_preview.png")));
    }
}

}  // namespace
}  // namespace ctb::ctb10000
