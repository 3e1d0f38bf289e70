#pragma once

#include <QString>
#include <functional>
#include <string>

#include "report/printLayout.h"
#include "report/textPrint.h"

class QPainter;
class QPrinter;
class QWidget;

namespace data {
struct Recording;
}
namespace monitor {
struct PageGeometry;
}
namespace views {
class TableWindow;
}

namespace app {

// What a window prints and how: text pages (Report, Bands, Spectrum) or
// drawn pages scaled onto the printable area (Graph, FFT).
struct PrintJob {
    QString title;
    bool text = false;
    report::TextPrintDocument doc;  // text windows
    int pageCount = 0;              // Graph and FFT windows
    std::function<void(QPainter&, int page, const report::PrintableArea&)> drawPage;  // page -1: the current view
};

// The job of a document window; false when it prints nothing.
bool jobOf(QWidget* window, PrintJob& job);

// The lines of a Bands or Spectrum window as printed text.
report::TextPrintDocument tableDocument(const views::TableWindow& window);

// The Graph pages of a recording (512 samples each) and the FFT pages (one per
// epoch with FFT data), drawn in colour at `geometry`; no current view.
PrintJob graphPagesJob(const data::Recording& rec, const monitor::PageGeometry& geometry);
PrintJob fftPagesJob(data::Recording& rec, const monitor::PageGeometry& geometry);

// The printable area of a Graph or FFT page on the printer.
report::PrintableArea pageArea(const QPrinter& printer);

// Every page of the job on the default page as a PDF at `path`, by way of a
// temporary file (nothing is left under the name when it fails); the pages
// written in `pages`. False when the PDF could not be written.
bool writeJobPdf(const PrintJob& job, const std::string& path, int* pages = nullptr);

}  // namespace app
