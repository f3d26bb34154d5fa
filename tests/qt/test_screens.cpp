// The module's three forms drawn by the renderer from their layout tables: nothing overlaps a
// sibling or sticks out of its container, captions and declared lengths fit, and each form is saved
// as a picture (to $CTB_SCREENSHOT_DIR when set) for a person to look at.

#include "db/schema.h"
#include "entry_screen/cli_ctb10000.h"
#include "filter_dialog/cli_ctb10010.h"
#include "history_dialog/cli_ctb10020.h"
#include "platform/qt/form_renderer.h"
#include "tests/qt/qt_app.h"

#include <QAbstractButton>
#include <QDir>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace ctb::ctb10000 {
namespace {

using qt::FormView;

// Problems of one widget tree: overlapping siblings, children outside their parent, texts that do
// not fit. Only widgets a person can see count.
QStringList layoutProblems(QWidget* root) {
    QStringList out;
    const QList<QWidget*> all = root->findChildren<QWidget*>();
    for (QWidget* w : all) {
        if (!w->isVisibleTo(root) || w->objectName().isEmpty() || w->objectName().startsWith(u"qt_"))
            continue;
        QWidget* parent = w->parentWidget();
        const QString name = w->objectName();
        // Inside its parent.
        if (!parent->rect().contains(w->geometry()))
            out << QStringLiteral("%1 sticks out of %2").arg(name, parent->objectName());
        // Not over a named sibling.
        for (QObject* o : parent->children()) {
            auto* other = qobject_cast<QWidget*>(o);
            if (other == nullptr || other == w || !other->isVisibleTo(root) ||
                other->objectName().isEmpty() || other->objectName().startsWith(u"qt_") || other->isWindow())
                continue;
            if (name < other->objectName() && w->geometry().intersects(other->geometry()))
                out << QStringLiteral("%1 overlaps %2").arg(name, other->objectName());
        }
        const QFontMetrics metrics = w->fontMetrics();
        if (auto* label = qobject_cast<QLabel*>(w); label != nullptr && label->children().isEmpty()) {
            if (metrics.horizontalAdvance(label->text()) > label->contentsRect().width())
                out << QStringLiteral("%1 cuts its text \"%2\"").arg(name, label->text());
        }
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            // A radio button's text sits beside its indicator.
            const int room = button->width() - (qobject_cast<QRadioButton*>(button) != nullptr ? 24 : 4);
            if (metrics.horizontalAdvance(button->text()) > room)
                out << QStringLiteral("%1 cuts its text \"%2\" (%3 in %4)")
                           .arg(name, button->text())
                           .arg(metrics.horizontalAdvance(button->text()))
                           .arg(button->width());
        }
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            const int chars = edit->inputMask().isEmpty() ? edit->maxLength() : edit->displayText().size();
            if (chars > 0 && chars <= 40 &&
                metrics.horizontalAdvance(QString(chars, QLatin1Char('0'))) + 8 > edit->width())
                out << QStringLiteral("%1 is too narrow for %2 characters").arg(name).arg(chars);
        }
    }
    return out;
}

std::string problems(QWidget* root) {
    return layoutProblems(root).join(QStringLiteral("; ")).toStdString();
}

void save(QWidget& view, const QString& fileName) {
    const QString dir = qEnvironmentVariable("CTB_SCREENSHOT_DIR", QDir::tempPath());
    const QImage image = view.grab().toImage();
    EXPECT_FALSE(image.isNull());
    image.save(QDir(dir).filePath(fileName));
}

class Screens : public qt::test::WithApp, public ::testing::Test {
  protected:
    // An empty database of the suite's schema, so the lookups the screens run on their own find nothing.
    Screens() {
        session_.dbConnection = QStringLiteral("screens_test");
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), session_.dbConnection);
        db.setDatabaseName(QStringLiteral(":memory:"));
        db.open();
        db::createSchema(db);
    }
    ~Screens() override {
        QSqlDatabase::database(session_.dbConnection, false).close();
        QSqlDatabase::removeDatabase(session_.dbConnection);
    }
    hostlib::Session session_;

    void show(FormView& view) {
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        QCoreApplication::processEvents();
    }
    template <typename W>
    W* widget(FormView& view, const char* name) {
        return view.findChild<W*>(QString::fromUtf8(name));
    }
};

// A line as the server would send it: the screen's line handlers do not run.
void addLine(ClientDataSet& table, const char* account, const char* reduced, const char* name,
             const char* valueField, double value) {
    DataPacket packet = table.data();
    Row row(static_cast<int>(packet.fields.size()));
    row.setText(packet.fieldIndex(u"CDCONTCTBL"), QString::fromUtf8(account));
    row.setText(packet.fieldIndex(u"CDCONTREDU"), QString::fromUtf8(reduced));
    row.setText(packet.fieldIndex(u"NMCONTCTBL"), QString::fromUtf8(name));
    row.setNumber(packet.fieldIndex(QString::fromUtf8(valueField)), value);
    packet.rows.push_back(std::move(row));
    table.setData(std::move(packet));
}

TEST_F(Screens, EntryScreenBrowseAndFormTabs) {
    TfrmLancamento screen(session_, {});
    screen.edtCdEmpresa.setText(QStringLiteral("01"));
    screen.edtNmEmpresa.setText(QStringLiteral("Empresa Demonstração Ltda"));
    screen.cdsLancCont.createDataSet();
    FormView view(screen);
    show(view);
    EXPECT_EQ(view.size(), QSize(1000, 640));
    EXPECT_EQ(problems(&view), "");
    // The company strip lies between the tool buttons and the tabs.
    QWidget* company = widget<QWidget>(view, "panEmpresa");
    QWidget* tabs = widget<QWidget>(view, "pgcPadrao");
    QWidget* buttons = widget<QWidget>(view, "panBotoes");
    ASSERT_TRUE(company && tabs && buttons);
    EXPECT_EQ(company->geometry().top(), buttons->geometry().bottom() + 1);
    EXPECT_EQ(tabs->geometry().top(), company->geometry().bottom() + 1);
    save(view, QStringLiteral("ctb10000_browse.png"));

    for (ClientDataSet* t : {&screen.cdsDebito, &screen.cdsCredito, &screen.cdsLancCCusto})
        t->createDataSet();
    addLine(screen.cdsDebito, "1.1.01.001", "101", "Caixa Geral", "DEBITO", 1234.56);
    addLine(screen.cdsCredito, "2.1.01.001", "201", "Fornecedores Nacionais", "CREDITO", 1000);
    addLine(screen.cdsCredito, "3.1.01.002", "312", "Receita de Serviços", "CREDITO", 234.56);
    screen.pgcPadrao.setActivePage(&screen.tshFormulario);
    QCoreApplication::processEvents();
    EXPECT_EQ(problems(&view), "");
    // Debit and credit grids side by side, details below them.
    QWidget* debit = widget<QWidget>(view, "dbgDebito");
    QWidget* credit = widget<QWidget>(view, "dbgCredito");
    QWidget* history = widget<QWidget>(view, "panHistorico");
    ASSERT_TRUE(debit && credit && history);
    const QRect d(debit->mapTo(&view, QPoint()), debit->size());
    const QRect c(credit->mapTo(&view, QPoint()), credit->size());
    const QRect h(history->mapTo(&view, QPoint()), history->size());
    EXPECT_LT(d.right(), c.left());
    EXPECT_EQ(d.top(), c.top());
    EXPECT_LT(d.bottom(), h.top());
    EXPECT_GT(d.height(), 200);
    save(view, QStringLiteral("ctb10000_form.png"));

    screen.panLancamentoGerencial.setVisible(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(problems(&view), "");
    const int withArea = debit->height();
    QWidget* area = widget<QWidget>(view, "panLancamentoGerencial");
    QWidget* managerial = widget<QWidget>(view, "panGerencial");
    ASSERT_TRUE(area && managerial);
    EXPECT_GT(area->mapTo(&view, QPoint()).y(), managerial->mapTo(&view, QPoint()).y());
    save(view, QStringLiteral("ctb10000_form_rateio.png"));

    // A larger window gives the grids the room.
    view.resize(1200, 760);
    QCoreApplication::processEvents();
    EXPECT_EQ(problems(&view), "");
    EXPECT_GT(credit->width(), 600);
    EXPECT_GT(debit->height(), withArea + 100);
}

TEST_F(Screens, FilterDialog) {
    TfrmLancamento screen(session_, {});
    TfrmLancFiltro dialog(session_, screen);
    dialog.medContCtblIn.setEditMask(QStringLiteral("9.9.99.999;1;_"));
    dialog.medContCtblFi.setEditMask(QStringLiteral("9.9.99.999;1;_"));
    FormView view(dialog);
    show(view);
    EXPECT_EQ(problems(&view), "");
    // Every criteria group shows its caption.
    for (const char* name : {"grbContCtbl", "grbData", "grbValor", "grbHistPadr", "grbDocumento",
                             "grbComercial", "grbCliente", "grbFornecedor", "grbBanco", "grbLancamento",
                             "grbGerencial", "grbFilial", "grbCentCust", "grbHistLanc"}) {
        auto* box = widget<QGroupBox>(view, name);
        ASSERT_NE(box, nullptr) << name;
        EXPECT_FALSE(box->title().isEmpty()) << name;
    }
    save(view, QStringLiteral("ctb10010_filtro.png"));
}

TEST_F(Screens, HistoryDialog) {
    TfrmHistLanc dialog(session_, nullptr);
    dialog.memDesc.setText(QStringLiteral("Pagamento da nota fiscal 1234 ao fornecedor, conforme contrato."));
    FormView view(dialog);
    show(view);
    EXPECT_EQ(problems(&view), "");
    auto* title = widget<QLabel>(view, "panDescricao");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), QStringLiteral("Descrição"));
    save(view, QStringLiteral("ctb11030_historico.png"));
}

}  // namespace
}  // namespace ctb::ctb10000
