#include "platform/qt/report_printer.h"

#include <QDialog>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>
#include <numeric>

namespace ctb::qt {

namespace {

using report::Align;
using report::Document;
using report::Section;
using report::Table;

enum class FontRole { Title, Subtitle, Heading, Text, Bold, Small };

// One piece of text or a rule on a page, in device units.
struct Op {
    enum class Kind { Text, Rule } kind = Kind::Text;
    QRectF rect;
    QString text;
    FontRole font = FontRole::Text;
    int flags = Qt::AlignLeft | Qt::AlignVCenter;
};

using Page = std::vector<Op>;

class Layout {
  public:
    Layout(const Document& document, QPagedPaintDevice& device) : document_(document), device_(device) {
        const double dpi = device.logicalDpiY();
        unit_ = dpi / 72.0;  // device units per point
        const QRect page(0, 0, device.width(), device.height());
        body_ = QRectF(page).adjusted(0, headerHeight(), 0, -footerHeight());
    }

    [[nodiscard]] QFont font(FontRole role) const {
        QFont f(QStringLiteral("DejaVu Sans"));
        switch (role) {
            case FontRole::Title:
                f.setPointSizeF(13);
                f.setBold(true);
                break;
            case FontRole::Subtitle:
                f.setPointSizeF(10);
                break;
            case FontRole::Heading:
                f.setPointSizeF(10);
                f.setBold(true);
                break;
            case FontRole::Text:
                f.setPointSizeF(8.5);
                break;
            case FontRole::Bold:
                f.setPointSizeF(8.5);
                f.setBold(true);
                break;
            case FontRole::Small:
                f.setPointSizeF(7.5);
                break;
        }
        return f;
    }
    [[nodiscard]] double lineHeight(FontRole role) const {
        return QFontMetricsF(font(role), &device_).height() * 1.25;
    }
    [[nodiscard]] double headerHeight() const {
        return lineHeight(FontRole::Title) + lineHeight(FontRole::Subtitle) + 8 * unit_;
    }
    [[nodiscard]] double footerHeight() const { return lineHeight(FontRole::Small) + 8 * unit_; }

    std::vector<Page> run() {
        newPage();
        for (const auto& [label, value] : document_.criteria) {
            field(label, value);
        }
        if (!document_.criteria.empty()) {
            y_ += 6 * unit_;
        }
        for (const Section& section : document_.sections) {
            if (!section.heading.isEmpty()) {
                ensure(lineHeight(FontRole::Heading) + 2 * lineHeight(FontRole::Text));
                text(QRectF(body_.left(), y_, body_.width(), lineHeight(FontRole::Heading)), section.heading,
                     FontRole::Heading);
                y_ += lineHeight(FontRole::Heading);
            }
            for (const auto& [label, value] : section.fields) {
                field(label, value);
            }
            if (section.hasTable()) {
                table(section.table);
            }
            y_ += 8 * unit_;
        }
        return std::move(pages_);
    }

  private:
    void newPage() {
        pages_.emplace_back();
        y_ = body_.top();
    }
    void ensure(double height) {
        if (y_ + height > body_.bottom() && y_ > body_.top()) {
            newPage();
        }
    }
    void text(const QRectF& rect, const QString& value, FontRole role,
              int flags = Qt::AlignLeft | Qt::AlignVCenter) {
        const QFontMetricsF metrics(font(role), &device_);
        pages_.back().push_back(
            Op{Op::Kind::Text, rect, metrics.elidedText(value, Qt::ElideRight, rect.width()), role, flags});
    }
    void rule(double y) {
        pages_.back().push_back(
            Op{Op::Kind::Rule, QRectF(body_.left(), y, body_.width(), 0), QString(), FontRole::Text});
    }
    void field(const QString& label, const QString& value) {
        const double h = lineHeight(FontRole::Text);
        ensure(h);
        const double labelWidth = std::min(body_.width() * 0.3, 130 * unit_);
        text(QRectF(body_.left(), y_, labelWidth, h), label + u':', FontRole::Bold);
        text(QRectF(body_.left() + labelWidth, y_, body_.width() - labelWidth, h), value, FontRole::Text);
        y_ += h;
    }
    // Column edges over the body width: every column as wide as its widest text (title, cells,
    // totals); when they do not all fit, the narrow ones (codes, dates, values) keep their width and
    // the wide ones (names, histories) share what is left.
    [[nodiscard]] std::vector<double> edges(const Table& t) const {
        const double pad = 4 * unit_;
        const QFontMetricsF text(font(FontRole::Text), &device_);
        const QFontMetricsF bold(font(FontRole::Bold), &device_);
        std::vector<double> natural;
        for (std::size_t i = 0; i < t.columns.size(); ++i) {
            double w = bold.horizontalAdvance(t.columns[i].title);
            for (const auto& cells : t.rows) {
                if (i < cells.size()) {
                    w = std::max(w, text.horizontalAdvance(cells[i]));
                }
            }
            if (i < t.totals.size()) {
                w = std::max(w, bold.horizontalAdvance(t.totals[i]));
            }
            // One point more than the text: an exact fit is elided by rounding.
            natural.push_back(w + pad + unit_);
        }
        const double total = std::accumulate(natural.begin(), natural.end(), 0.0);
        std::vector<double> widths = natural;
        if (total > body_.width()) {
            const double narrow = body_.width() * 0.12;
            double room = body_.width();
            std::vector<std::size_t> wide;
            for (std::size_t i = 0; i < natural.size(); ++i) {
                if (natural[i] <= narrow) {
                    room -= natural[i];
                } else {
                    wide.push_back(i);
                }
            }
            // Narrowest first, each takes what it needs up to an equal share of what is left: a short
            // name stays whole and the long histories share the rest.
            std::sort(wide.begin(), wide.end(),
                      [&](std::size_t a, std::size_t b) { return natural[a] < natural[b]; });
            room = std::max(0.0, room);
            for (std::size_t k = 0; k < wide.size(); ++k) {
                const double share = room / static_cast<double>(wide.size() - k);
                widths[wide[k]] = std::min(natural[wide[k]], share);
                room -= widths[wide[k]];
            }
        } else if (!widths.empty()) {
            // Room to spare goes to the widest column (the history), so the table spans the page.
            *std::max_element(widths.begin(), widths.end()) += body_.width() - total;
        }
        std::vector<double> out{body_.left()};
        for (double w : widths) {
            out.push_back(out.back() + w);
        }
        return out;
    }
    void row(const Table& t, const std::vector<double>& x, const std::vector<QString>& cells, FontRole role) {
        const double h = lineHeight(role);
        const double pad = 2 * unit_;
        for (std::size_t i = 0; i < t.columns.size() && i < cells.size(); ++i) {
            const int align = t.columns[i].align == Align::Right ? Qt::AlignRight : Qt::AlignLeft;
            text(QRectF(x[i] + pad, y_, x[i + 1] - x[i] - 2 * pad, h), cells[i], role,
                 align | Qt::AlignVCenter);
        }
        y_ += h;
    }
    void titles(const Table& t, const std::vector<double>& x) {
        std::vector<QString> cells;
        for (const report::Column& c : t.columns) {
            cells.push_back(c.title);
        }
        row(t, x, cells, FontRole::Bold);
        rule(y_);
        y_ += 1 * unit_;
    }
    void table(const Table& t) {
        const std::vector<double> x = edges(t);
        const double h = lineHeight(FontRole::Text);
        ensure(lineHeight(FontRole::Bold) + 2 * h);
        titles(t, x);
        for (const auto& cells : t.rows) {
            if (y_ + h > body_.bottom()) {
                newPage();
                titles(t, x);
            }
            row(t, x, cells, FontRole::Text);
        }
        if (!t.totals.empty()) {
            ensure(lineHeight(FontRole::Bold) + 2 * unit_);
            rule(y_);
            y_ += 1 * unit_;
            row(t, x, t.totals, FontRole::Bold);
        }
    }

    const Document& document_;
    QPagedPaintDevice& device_;
    double unit_ = 1;
    QRectF body_;
    double y_ = 0;
    std::vector<Page> pages_;
};

void paintOp(QPainter& painter, const Layout& layout, const Op& op) {
    if (op.kind == Op::Kind::Rule) {
        painter.drawLine(op.rect.topLeft(), op.rect.topRight());
        return;
    }
    painter.setFont(layout.font(op.font));
    painter.drawText(op.rect, op.flags, op.text);
}

}  // namespace

int paintReport(const Document& document, QPagedPaintDevice& device) {
    QPageLayout pageLayout(QPageSize(QPageSize::A4),
                           document.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                           QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    device.setPageLayout(pageLayout);
    Layout layout(document, device);
    const std::vector<Page> pages = layout.run();
    QPainter painter;
    if (!painter.begin(&device)) {
        return 0;
    }
    const double width = device.width();
    const double height = device.height();
    const double unit = device.logicalDpiY() / 72.0;
    const int count = static_cast<int>(pages.size());
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            device.newPage();
        }
        // Every page: title and subtitle over a rule, footer and page number under one.
        const double titleHeight = layout.lineHeight(FontRole::Title);
        const double subtitleHeight = layout.lineHeight(FontRole::Subtitle);
        paintOp(painter, layout,
                Op{Op::Kind::Text, QRectF(0, 0, width, titleHeight), document.title, FontRole::Title});
        paintOp(painter, layout,
                Op{Op::Kind::Text, QRectF(0, titleHeight, width, subtitleHeight), document.subtitle,
                   FontRole::Subtitle});
        painter.drawLine(QPointF(0, titleHeight + subtitleHeight + 2 * unit),
                         QPointF(width, titleHeight + subtitleHeight + 2 * unit));
        const double footHeight = layout.lineHeight(FontRole::Small);
        const double footTop = height - footHeight;
        painter.drawLine(QPointF(0, footTop - 2 * unit), QPointF(width, footTop - 2 * unit));
        paintOp(painter, layout,
                Op{Op::Kind::Text, QRectF(0, footTop, width * 0.7, footHeight), document.footer,
                   FontRole::Small});
        paintOp(painter, layout,
                Op{Op::Kind::Text, QRectF(width * 0.7, footTop, width * 0.3, footHeight),
                   report::pageLabel(i + 1, count), FontRole::Small, Qt::AlignRight | Qt::AlignVCenter});
        for (const Op& op : pages[static_cast<std::size_t>(i)]) {
            paintOp(painter, layout, op);
        }
    }
    painter.end();
    return count;
}

bool writeReportPdf(const Document& document, const QString& path) {
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setTitle(document.title);
    writer.setCreator(QStringLiteral("CTB"));
    return paintReport(document, writer) > 0;
}

void PrintPreview::show(const Document& document, QWidget* parent, const std::function<int(QDialog&)>& exec) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(document.title);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("printPreview"));
    dialog.setWindowTitle(QStringLiteral("Visualizar impressão — %1").arg(document.title));
    dialog.resize(900, 700);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&document](QPrinter* target) { paintReport(document, *target); });
    exec(dialog);
}

}  // namespace ctb::qt
