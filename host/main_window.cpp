#include "host/main_window.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace ctb::host {

MainWindow::MainWindow(const HostOptions& options) {
    setWindowTitle(QStringLiteral("CTB — Contabilidade"));
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("mdiArea"));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);

    openEntries_ = new QAction(QStringLiteral("&Lançamentos Contábeis"), this);
    openEntries_->setObjectName(QStringLiteral("actLancamentos"));
    openEntries_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    openEntries_->setStatusTip(QStringLiteral("Abre a manutenção de lançamentos contábeis (CTB10000)"));
    connect(openEntries_, &QAction::triggered, this, &MainWindow::openEntriesRequested);

    auto* quit = new QAction(QStringLiteral("&Sair"), this);
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    auto* system = menuBar()->addMenu(QStringLiteral("&Sistema"));
    system->addAction(quit);
    auto* accounting = menuBar()->addMenu(QStringLiteral("&Contabilidade"));
    accounting->addAction(openEntries_);
    auto* windows = menuBar()->addMenu(QStringLiteral("&Janelas"));
    windows->addAction(QStringLiteral("&Cascata"), mdi_, &QMdiArea::cascadeSubWindows);
    windows->addAction(QStringLiteral("&Lado a lado"), mdi_, &QMdiArea::tileSubWindows);

    auto* tools = addToolBar(QStringLiteral("Principal"));
    tools->setObjectName(QStringLiteral("tbrPrincipal"));
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tools->addAction(openEntries_);

    const QString server = QStringLiteral("%1:%2").arg(options.serverHost).arg(options.serverPort);
    for (const QString& text :
         {QStringLiteral("Empresa: %1").arg(options.company), QStringLiteral("Usuário: %1").arg(options.user),
          QStringLiteral("Servidor: %1").arg(server)}) {
        auto* label = new QLabel(text, this);
        label->setContentsMargins(6, 0, 6, 0);
        statusBar()->addPermanentWidget(label);
    }
    resize(1280, 800);
}

void MainWindow::setModuleAvailable(bool available) {
    openEntries_->setEnabled(available);
}

}  // namespace ctb::host
