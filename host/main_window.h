#pragma once

#include <QMainWindow>
#include <QString>

class QMdiArea;
class QAction;

namespace ctb::host {

// What the host was started with: the user's session and where things are.
struct HostOptions {
    QString db;
    QString serverHost = QStringLiteral("127.0.0.1");
    int serverPort = 0;
    QString company;
    QString user;
    QString locale = QStringLiteral("pt_BR");
    QString today;
    QString module;
    QString accountPicture;
    QString screenshot;  // save the main window to this PNG once the screen is open, then quit
};

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(const HostOptions& options);

    [[nodiscard]] QMdiArea* mdiArea() const { return mdi_; }
    QAction* openEntriesAction() const { return openEntries_; }
    void setModuleAvailable(bool available);

  signals:
    void openEntriesRequested();

  private:
    QMdiArea* mdi_ = nullptr;
    QAction* openEntries_ = nullptr;
};

}  // namespace ctb::host
