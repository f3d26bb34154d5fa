#include "platform/qt/message_boxes.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

namespace ctb::qt {

QMessageBox* createMessageBox(QWidget* parent, MessageBoxKind kind, const QString& text) {
    auto* box = new QMessageBox(parent);
    box->setObjectName(QStringLiteral("messageBox"));
    box->setText(text);
    box->setWindowModality(Qt::ApplicationModal);
    switch (kind) {
        case MessageBoxKind::Error:
            box->setIcon(QMessageBox::Critical);
            box->setWindowTitle(QStringLiteral("Erro"));
            break;
        case MessageBoxKind::Information:
            box->setIcon(QMessageBox::Information);
            box->setWindowTitle(QStringLiteral("Informação"));
            break;
        case MessageBoxKind::Question:
            box->setIcon(QMessageBox::Question);
            box->setWindowTitle(QStringLiteral("Confirmação"));
            break;
    }
    if (kind == MessageBoxKind::Question) {
        QPushButton* yes = box->addButton(QStringLiteral("Sim"), QMessageBox::YesRole);
        yes->setObjectName(QStringLiteral("btnSim"));
        QPushButton* no = box->addButton(QStringLiteral("Não"), QMessageBox::NoRole);
        no->setObjectName(QStringLiteral("btnNao"));
        box->setDefaultButton(yes);
        box->setEscapeButton(no);
    } else {
        QPushButton* ok = box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        ok->setObjectName(QStringLiteral("btnOK"));
        box->setDefaultButton(ok);
        box->setEscapeButton(ok);
    }
    return box;
}

bool answeredYes(const QMessageBox& box) {
    const QAbstractButton* clicked = box.clickedButton();
    return clicked != nullptr &&
           box.buttonRole(const_cast<QAbstractButton*>(clicked)) == QMessageBox::YesRole;
}

}  // namespace ctb::qt
