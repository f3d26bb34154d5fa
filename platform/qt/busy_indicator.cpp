#include "platform/qt/busy_indicator.h"

#include <QApplication>
#include <QColor>
#include <QCursor>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <QTimer>

namespace ctb::qt {

namespace {
constexpr int kSpinnerWidth = 120;
constexpr int kSpinnerHeight = 44;
constexpr int kStepDegrees = 30;
constexpr int kFrameMs = 80;
}  // namespace

BusySpinner::BusySpinner(QWidget* parent) : QWidget(parent), timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("busyIndicator"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    resize(kSpinnerWidth, kSpinnerHeight);
    timer_->setInterval(kFrameMs);
    QObject::connect(timer_, &QTimer::timeout, this, &BusySpinner::advance);
    timer_->start();
}

void BusySpinner::advance() {
    angle_ = (angle_ + kStepDegrees) % 360;
    update();
}

void BusySpinner::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(QColor(255, 255, 225));
    p.drawRoundedRect(rect().adjusted(0, 0, -1, -1), 6, 6);
    // Twelve spokes, the leading one darkest, so the rotation reads at a glance.
    const QPointF centre(kSpinnerHeight / 2.0, kSpinnerHeight / 2.0);
    for (int i = 0; i < 12; ++i) {
        const int shade = 60 + i * 15;
        p.save();
        p.translate(centre);
        p.rotate(angle_ - i * kStepDegrees);
        p.setPen(QPen(QColor(shade, shade, shade), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, -8), QPointF(0, -15));
        p.restore();
    }
    p.setPen(Qt::black);
    p.drawText(QRect(kSpinnerHeight, 0, width() - kSpinnerHeight - 4, height()), Qt::AlignVCenter,
               QStringLiteral("Aguarde..."));
}

BusyIndicator::~BusyIndicator() {
    if (depth_ > 0) {
        QApplication::restoreOverrideCursor();
    }
    delete spinner_.data();
}

void BusyIndicator::on() {
    if (depth_++ > 0) {
        return;
    }
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    QWidget* host = host_ ? host_.data() : QApplication::activeWindow();
    if (host == nullptr) {
        return;
    }
    host = host->window();
    delete spinner_.data();
    spinner_ = new BusySpinner(host);
    spinner_->move((host->width() - spinner_->width()) / 2, (host->height() - spinner_->height()) / 2);
    spinner_->raise();
    spinner_->show();
    spinner_->repaint();
}

void BusyIndicator::off() {
    if (depth_ == 0) {
        return;
    }
    if (--depth_ > 0) {
        return;
    }
    QApplication::restoreOverrideCursor();
    if (spinner_) {
        spinner_->hide();
        spinner_->deleteLater();
        spinner_ = nullptr;
    }
}

}  // namespace ctb::qt
