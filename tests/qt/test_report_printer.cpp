// The report painter: a document written as a PDF holds its title, company, criteria, every row,
// the totals and "Página N de M" on every page (read back with pdftotext).

#include "platform/qt/report_printer.h"
#include "tests/qt/qt_app.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ctb::qt {
namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

report::Document sampleList(int rows) {
    report::Document doc;
    doc.title = s("Lançamentos Contábeis");
    doc.subtitle = s("Empresa 01 - Navega Um Ltda");
    doc.criteria = {{s("Período"), s("01/12/2026 a 08/12/2026")}, {s("Documento"), s("NF100")}};
    doc.footer = s("Emitido por DEMO em 08/12/2026 10:00");
    doc.landscape = true;
    report::Section section;
    section.table.columns = {{s("Lançamento"), report::Align::Left, 12},
                             {s("Histórico"), report::Align::Left, 40},
                             {s("Débito"), report::Align::Right, 14}};
    for (int i = 1; i <= rows; ++i) {
        section.table.rows.push_back({QStringLiteral("2026120%1").arg(i, 5, 10, QLatin1Char('0')),
                                      QStringLiteral("Aluguel de dezembro nº %1").arg(i),
                                      s("999.999.999,99")});
    }
    section.table.totals = {s("%1 linhas").arg(rows), QString(), s("1.234,56")};
    doc.sections.push_back(section);
    return doc;
}

// The PDF's text, page by page (pdftotext separates pages with form feeds).
QStringList pdfPages(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(60000));
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    while (!pages.isEmpty() && pages.last().trimmed().isEmpty()) {
        pages.removeLast();
    }
    return pages;
}

class ReportPdf : public test::WithApp, public ::testing::Test {
  protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
            FAIL() << "pdftotext is missing: scripts/deps.sh installs poppler-utils";
        }
        ASSERT_TRUE(dir.isValid());
    }
    QTemporaryDir dir;
};

TEST_F(ReportPdf, OnePageHoldsEverything) {
    const QString path = dir.filePath(QStringLiteral("lista.pdf"));
    ASSERT_TRUE(writeReportPdf(sampleList(3), path));
    const QStringList pages = pdfPages(path);
    ASSERT_EQ(pages.size(), 1);
    const QString& text = pages.front();
    for (const char* expected : {"Lançamentos Contábeis", "Empresa 01 - Navega Um Ltda", "Período:",
                                 "01/12/2026 a 08/12/2026", "NF100", "Lançamento", "Histórico", "Débito",
                                 "202612000001", "Aluguel de dezembro nº 3", "999.999.999,99", "3 linhas",
                                 "1.234,56", "Emitido por DEMO em 08/12/2026 10:00", "Página 1 de 1"}) {
        EXPECT_TRUE(text.contains(s(expected))) << expected << "\n" << text.toStdString();
    }
}

// Too many columns for the page: the codes, dates and values keep their width, a short name stays
// whole beside a history far too long for the line, which alone is cut.
TEST_F(ReportPdf, ShortNamesStayWholeBesideLongHistories) {
    report::Document doc;
    doc.title = s("Lançamentos Contábeis");
    report::Section section;
    section.table.columns = {
        {s("Lançamento"), report::Align::Left, 12}, {s("Nome"), report::Align::Left, 30},
        {s("Data"), report::Align::Left, 10},       {s("Débito"), report::Align::Right, 14},
        {s("Histórico"), report::Align::Left, 60},  {s("Origem"), report::Align::Left, 30}};
    const QString history = s("VENDA DE MERCADORIAS CONFORME NF 100181 - ").repeated(6) + s("FIM");
    section.table.rows.push_back({s("202601000001"), s("Clientes Nacionais"), s("11/01/2026"), s("7.677,94"),
                                  history, s("Documentos Fiscais")});
    doc.sections.push_back(section);
    const QString path = dir.filePath(QStringLiteral("larga.pdf"));
    ASSERT_TRUE(writeReportPdf(doc, path));
    const QStringList pages = pdfPages(path);
    ASSERT_EQ(pages.size(), 1);
    for (const char* whole :
         {"202601000001", "Clientes Nacionais", "11/01/2026", "7.677,94", "Documentos Fiscais"}) {
        EXPECT_TRUE(pages.front().contains(s(whole))) << whole << "\n" << pages.front().toStdString();
    }
    EXPECT_FALSE(pages.front().contains(s("FIM"))) << "the history is cut, not the others";
}

TEST_F(ReportPdf, LongListsRunOntoNumberedPagesWithTheirHeaders) {
    const QString path = dir.filePath(QStringLiteral("longa.pdf"));
    ASSERT_TRUE(writeReportPdf(sampleList(120), path));
    const QStringList pages = pdfPages(path);
    ASSERT_GE(pages.size(), 3);
    const int count = static_cast<int>(pages.size());
    int rowsSeen = 0;
    for (int i = 0; i < count; ++i) {
        const QString& page = pages[i];
        EXPECT_TRUE(page.contains(s("Lançamentos Contábeis"))) << "page " << i + 1;
        EXPECT_TRUE(page.contains(s("Histórico"))) << "the table header on page " << i + 1;
        EXPECT_TRUE(page.contains(report::pageLabel(i + 1, count))) << page.toStdString();
        rowsSeen += static_cast<int>(page.count(s("Aluguel de dezembro")));
    }
    EXPECT_EQ(rowsSeen, 120);
    EXPECT_TRUE(pages.last().contains(s("120 linhas")));
    EXPECT_FALSE(pages.front().contains(s("120 linhas")));
}

}  // namespace
}  // namespace ctb::qt
