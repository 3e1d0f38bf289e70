// The print and page-setup dialogs of the desktop program: Qt's own, on the
// printer the frame keeps, with the program's labels and page limits.
#include <QAbstractButton>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSpinBox>

#include "platform/qtResponder.h"

namespace platform {

namespace {

QWidget* ownerWidget(const void* owner) { return static_cast<QWidget*>(const_cast<void*>(owner)); }

void relabel(QPrintDialog& dialog, const char* name, const std::string& text)
{
    if (auto* button = dialog.findChild<QAbstractButton*>(name); button && !text.empty())
        button->setText(QString::fromStdString(text));
}

}  // namespace

PrintAnswer QtResponder::printDialog(PrintRequest& request)
{
    auto* printer = static_cast<QPrinter*>(request.printer);
    if (!printer)
        return PrintAnswer::failed;
    QPrintDialog dialog(printer, ownerWidget(request.owner));
    dialog.setWindowTitle(QString::fromStdString(request.title));
    QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintCollateCopies;
    if (request.pagesEnabled)
        options |= QAbstractPrintDialog::PrintPageRange;
    if (request.offerCurrentView)
        options |= QAbstractPrintDialog::PrintSelection;
    dialog.setOptions(options);
    dialog.setMinMax(request.minPage, request.maxPage);
    printer->setFromTo(request.minPage, request.maxPage);
    printer->setPrintRange(QPrinter::AllPages);
    printer->setCopyCount(1);
    printer->setCollateCopies(true);
    relabel(dialog, "printAll", request.allLabel);
    relabel(dialog, "printSelection", request.offerCurrentView ? "Current &View" : "");
    if (dialog.exec() != QDialog::Accepted)
        return PrintAnswer::cancelled;
    switch (dialog.printRange()) {
    case QAbstractPrintDialog::Selection: request.range = PrintRequest::Range::currentView; break;
    case QAbstractPrintDialog::PageRange: request.range = PrintRequest::Range::pages; break;
    default: request.range = PrintRequest::Range::all; break;
    }
    request.fromPage = dialog.fromPage();
    request.toPage = dialog.toPage();
    request.copies = printer->copyCount();
    request.collate = printer->collateCopies();
    request.printToFile = printer->outputFormat() == QPrinter::PdfFormat;
    request.fileName = printer->outputFileName().toStdString();
    request.printerName = printer->printerName().toStdString();
    return PrintAnswer::ok;
}

bool QtResponder::pageSetupDialog(const void* owner, void* printer)
{
    if (!printer)
        return false;
    QPageSetupDialog dialog(static_cast<QPrinter*>(printer), ownerWidget(owner));
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace platform
