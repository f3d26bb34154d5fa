#include "platform/qt/lookup_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ctb::qt {

LookupDialog::LookupDialog(const LookupRows& rows, bool multiple, QWidget* parent)
    : QDialog(parent),
      table_(new QTableWidget(this)),
      keyColumn_(rows.keyColumn),
      keys_(rows.keys),
      shownKeys_(rows.shownKeys),
      multiple_(multiple) {
    setObjectName(QStringLiteral("lookupDialog"));
    setWindowTitle(rows.title.isEmpty() ? QStringLiteral("Pesquisa") : rows.title);
    setModal(true);
    table_->setObjectName(QStringLiteral("lookupRows"));
    table_->setColumnCount(static_cast<int>(rows.headers.size()));
    table_->setHorizontalHeaderLabels(rows.headers);
    table_->setRowCount(static_cast<int>(rows.rows.size()));
    for (int r = 0; r < static_cast<int>(rows.rows.size()); ++r) {
        const QStringList& cells = rows.rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < cells.size() && c < table_->columnCount(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            if (multiple && c == 0) {
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(Qt::Unchecked);
            }
            table_->setItem(r, c, item);
        }
    }
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->resizeColumnsToContents();
    if (table_->rowCount() > 0) {
        table_->selectRow(0);
    }

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOK"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (!multiple) {
        connect(table_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(520, 360);
}

std::vector<int> LookupDialog::pickedRows() const {
    std::vector<int> picked;
    if (result() != QDialog::Accepted) {
        return picked;
    }
    for (int r = 0; r < table_->rowCount(); ++r) {
        if (multiple_) {
            if (table_->item(r, 0) != nullptr && table_->item(r, 0)->checkState() == Qt::Checked) {
                picked.push_back(r);
            }
        } else if (table_->item(r, 0) != nullptr && table_->item(r, 0)->isSelected()) {
            picked.push_back(r);
        }
    }
    return picked;
}

QString LookupDialog::keyOf(int row) const {
    if (row < keys_.size()) {
        return keys_[row];
    }
    QTableWidgetItem* item = table_->item(row, keyColumn_);
    return item != nullptr ? item->text() : QString();
}

bool LookupDialog::selectKeys(const QStringList& keys) {
    bool allFound = true;
    table_->clearSelection();
    for (const QString& key : keys) {
        bool found = false;
        for (int r = 0; r < table_->rowCount(); ++r) {
            if (keyOf(r).trimmed() == key.trimmed() ||
                (r < shownKeys_.size() && shownKeys_[r].trimmed() == key.trimmed())) {
                found = true;
                if (multiple_) {
                    table_->item(r, 0)->setCheckState(Qt::Checked);
                } else {
                    table_->selectRow(r);
                }
                break;
            }
        }
        allFound = allFound && found;
    }
    return allFound;
}

}  // namespace ctb::qt
