#pragma once

#include "platform/report/document.h"

#include <QString>

#include <functional>

class QDialog;
class QPagedPaintDevice;
class QWidget;

namespace ctb::qt {

// Paints a report document on pages: the title and subtitle on every page, the criteria on the
// first, each section's fields and table (its header repeated on every page it runs onto, the
// totals under a rule), the footer and "Página N de M" at the foot of every page. Returns the page
// count. The device is a printer or a PDF writer; its page layout is set from the document.
int paintReport(const report::Document& document, QPagedPaintDevice& device);

// Writes the document as a PDF file; false when the file cannot be written.
[[nodiscard]] bool writeReportPdf(const report::Document& document, const QString& path);

// The print preview (zoom, pages, print to a printer or to a PDF file) of the document, modal.
// `exec` runs the dialog (the UI services' modal loop, so scripts and tests can drive it).
class PrintPreview {
  public:
    static void show(const report::Document& document, QWidget* parent,
                     const std::function<int(QDialog&)>& exec);
};

}  // namespace ctb::qt
