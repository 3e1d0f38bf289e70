// Page Setup (6) and Print (7): the active document window printed through
// Qt's print support. Text windows (Report, Bands, Spectrum) print their lines
// in pages with the Report window's graph rows kept whole; the Graph and FFT
// windows print their pages (or the current view) scaled to the paper. A print
// to a file writes PDF by way of a temporary file, so a failed or cancelled
// print leaves nothing under the chosen name.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "app/frameWindow.h"
#include "app/printJobs.h"
#include "data/safeFile.h"
#include "platform/dialogs.h"
#include "report/textPrint.h"

namespace app {

namespace {

namespace fs = std::filesystem;

// The modeless "Printing %s..." box; its Cancel stops the print between pages.
class PrintingBox : public QDialog {
public:
    PrintingBox(QWidget* owner, const QString& document) : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint)
    {
        setObjectName("PrintCancel");
        setWindowTitle(QString("Printing %1...").arg(document));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QString("Printing %1").arg(document), this));
        auto* cancel = new QPushButton("Cancel", this);
        cancel->setObjectName("PrintCancelButton");
        layout->addWidget(cancel);
        connect(cancel, &QPushButton::clicked, this, [this] { cancelled = true; });
        QApplication::setOverrideCursor(Qt::WaitCursor);
        show();
    }
    ~PrintingBox() override { QApplication::restoreOverrideCursor(); }
    // Lets the interface (and the Cancel button) work between pages.
    bool keepGoing()
    {
        QApplication::processEvents();
        return !cancelled;
    }
    bool cancelled = false;
};

}  // namespace

void FrameWindow::pageSetup()
{
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setPageLayout(report::defaultPageLayout());
    }
    enableToolWindows(false);
    platform::pageSetupDialog(this, printer_.get());
    enableToolWindows(true);
}

std::string FrameWindow::choosePrintFile()
{
    platform::FileRequest r;
    r.owner = this;
    r.save = true;
    r.title = "Print To File";
    r.filters = {{"PDF Files (*.pdf)", "*.pdf"}, {"Ptinter Files (*.prn)", "*.prn"}, {"All Files (*.*)", "*.*"}};
    r.defaultExtension = "pdf";
    const fs::path start(lastPrintFile_);
    r.folder = start.parent_path().string();
    r.name = start.filename().string();
    const std::string chosen = platform::fileDialog(r);
    if (!chosen.empty())
        lastPrintFile_ = chosen;
    return chosen;
}

void FrameWindow::printWindow()
{
    QMdiSubWindow* active = mdi_->activeSubWindow();
    PrintJob job;
    if (!active || !active->widget() || !jobOf(active->widget(), job))
        return;
    job.title = active->windowTitle();
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setPageLayout(report::defaultPageLayout());
    }
    QPrinter& printer = *printer_;
    printer.setFullPage(true);
    // The dialog proposes its output file from the document's name.
    printer.setDocName(job.title.simplified());
    enableToolWindows(false);
    struct Enable {
        FrameWindow* frame;
        ~Enable() { frame->enableToolWindows(true); }
    } enableAgain{this};

    platform::PrintRequest request;
    request.owner = this;
    request.printer = &printer;
    request.title = "Print " + job.title.toStdString();
    if (job.text) {
        const int pages = report::layOutText(job.doc, printer).pages.pageCount;
        request.maxPage = std::max(1, pages);
        request.allLabel = "&All: from 1 to " + std::to_string(request.maxPage);
    } else {
        request.maxPage = std::max(1, job.pageCount);
        request.pagesEnabled = job.pageCount > 0;
        request.offerCurrentView = true;
    }
    request.chosen.toPage = request.maxPage;
    if (!platform::printDialogAccepted(request))
        return;
    if (!request.chosen.printToFile)
        printer.setOutputFileName(QString());
    if (!request.chosen.printerName.empty() && !request.chosen.printToFile)
        printer.setPrinterName(QString::fromStdString(request.chosen.printerName));
    // The program prints each copy itself.
    const int copies = std::max(1, request.chosen.copies);
    printer.setCopyCount(1);
    std::string target, temporary;
    if (request.chosen.printToFile) {
        // A dialog with its own output-file field has asked for the file already.
        target = request.chosen.fileName.empty() ? choosePrintFile() : request.chosen.fileName;
        if (target.empty())
            return;
        lastPrintFile_ = target;
        temporary = data::temporaryNameFor(target);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromLocal8Bit(temporary.c_str()));
    }

    std::vector<int> order;
    std::function<void(QPainter&, int)> draw;
    report::TextPrintLayout layout;
    if (job.text) {
        layout = report::layOutText(job.doc, printer);
        if (layout.area.height < layout.lineHeight) {
            platform::messageBox(this, "The page has no room for a line of text.\nMake the margins or the font smaller.",
                                 "Ozmar", platform::Buttons::ok, platform::Icon::exclamation);
            return;
        }
        const auto [first, last] = request.chosen.range == platform::PrintRequest::Range::pages
                                       ? report::printRange(request.chosen.fromPage, request.chosen.toPage, layout.pages.pageCount)
                                       : std::pair{0, layout.pages.pageCount};
        order = report::printOrder(first, last, copies, request.chosen.collate);
        draw = [&](QPainter& painter, int page) { report::drawTextPage(painter, job.doc, layout, page); };
    } else {
        const report::PrintableArea area = pageArea(printer);
        if (request.chosen.range == platform::PrintRequest::Range::currentView || job.pageCount == 0) {
            order = report::printOrder(-1, 0, copies, request.chosen.collate);
        } else {
            const auto [first, last] = request.chosen.range == platform::PrintRequest::Range::pages
                                           ? report::printRange(request.chosen.fromPage, request.chosen.toPage, job.pageCount)
                                           : std::pair{0, job.pageCount};
            order = report::printOrder(first, last, copies, request.chosen.collate);
        }
        draw = [&job, area](QPainter& painter, int page) { job.drawPage(painter, page, area); };
    }
    bool printed = false, cancelled = false;
    {
        ExportGuard guard(*this);  // an arriving recording waits
        printing_ = true;
        PrintingBox box(this, job.title);
        // The documents and menus rest while it prints (the box, a child of the frame, stays enabled).
        mdi_->setEnabled(false);
        menuWidget()->setEnabled(false);
        printed = report::printPages(printer, order, draw, [&box] { return box.keepGoing(); });
        cancelled = box.cancelled;
        mdi_->setEnabled(true);
        menuWidget()->setEnabled(true);
        printing_ = false;
    }
    if (!temporary.empty()) {
        data::finishTemporary(temporary, target, printed);
        if (printer.printerState() != QPrinter::Active) {
            printer.setOutputFormat(QPrinter::NativeFormat);
            printer.setOutputFileName(QString());
        }
    }
    if (!printed && !cancelled) {
        report::renewIfStuck(printer_);
        platform::tellPrintFailed(this);
    }
    // The printed window stays the active one.
    mdi_->setActiveSubWindow(active);
}

}  // namespace app
