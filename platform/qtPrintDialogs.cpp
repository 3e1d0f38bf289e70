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
    case QAbstractPrintDialog::Selection: request.chosen.range = PrintRequest::Range::currentView; break;
    case QAbstractPrintDialog::PageRange: request.chosen.range = PrintRequest::Range::pages; break;
    default: request.chosen.range = PrintRequest::Range::all; break;
    }
    request.chosen.fromPage = dialog.fromPage();
    request.chosen.toPage = dialog.toPage();
    request.chosen.copies = printer->copyCount();
    request.chosen.collate = printer->collateCopies();
    request.chosen.printToFile = printer->outputFormat() == QPrinter::PdfFormat;
    request.chosen.fileName = printer->outputFileName().toStdString();
    request.chosen.printerName = printer->printerName().toStdString();
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
