#pragma once

#include <QString>

class QMessageBox;
class QWidget;

namespace ctb::qt {

enum class MessageBoxKind { Error, Information, Question };

// Builds the product's message box: Portuguese title and buttons ("OK"; "Sim" and "Não" for a
// question, "Não" also answering Escape). The caller owns the box and runs it.
[[nodiscard]] QMessageBox* createMessageBox(QWidget* parent, MessageBoxKind kind, const QString& text);

// True when the box's clicked button means Yes.
[[nodiscard]] bool answeredYes(const QMessageBox& box);

}  // namespace ctb::qt
