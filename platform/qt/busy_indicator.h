#pragma once

#include <QPointer>
#include <QWidget>

class QTimer;

namespace ctb::qt {

// A small spinning wheel with "Aguarde..." laid over a window while the application is busy.
class BusySpinner : public QWidget {
    Q_OBJECT
  public:
    explicit BusySpinner(QWidget* parent);

    [[nodiscard]] int angle() const { return angle_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void advance();

    QTimer* timer_;
    int angle_ = 0;
};

// The busy animation: a wait cursor plus a spinner over the host window. Calls nest: only the
// outermost on/off pair shows and hides it, so an inner call cannot hide the outer one's indicator.
class BusyIndicator {
  public:
    BusyIndicator() = default;
    ~BusyIndicator();
    BusyIndicator(const BusyIndicator&) = delete;
    BusyIndicator& operator=(const BusyIndicator&) = delete;

    // The window the spinner is laid over; without one the active window is used.
    void setHost(QWidget* host) { host_ = host; }

    void on();
    void off();  // extra offs are ignored
    [[nodiscard]] int depth() const { return depth_; }
    [[nodiscard]] bool isShown() const { return depth_ > 0; }
    [[nodiscard]] BusySpinner* spinner() const { return spinner_; }

  private:
    QPointer<QWidget> host_;
    QPointer<BusySpinner> spinner_;
    int depth_ = 0;
};

}  // namespace ctb::qt
