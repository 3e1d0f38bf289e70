#include "course/courseWindow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cctype>
#include <filesystem>

#include "course/coursePainter.h"
#include "course/coursePlotFile.h"
#include "course/coursePrint.h"
#include "course/courseScan.h"
#include "course/courseText.h"
#include "data/safeFile.h"
#include "platform/dialogs.h"
#include "platform/progressBox.h"
#include "platform/qtText.h"

namespace course {

namespace fs = std::filesystem;

namespace {

// A scan of more files than this shows its progress.
constexpr std::size_t kProgressFrom = 100;

const QColor kFlaggedCell(255, 214, 214);

// The table's columns: a measure, or one of the course's own figures.
enum Column { cTreatment, cDate, cTime, cCharge, cEeg, cEmg, cEcg, cSuppression, cEnergy, cCoherence, cPeakHr, cDays, cChange, cFlags, cFile, kColumns };
const char* const kHeads[kColumns] = {"Treatment", "Date", "Time", "Charge mC", "EEG s", "EMG s", "ECG s", "PSI %", "SEI",
                                      "Coherence %", "Peak HR", "Days", "Charge %", "Flags", "File"};

// The flags that mark each column's cell.
unsigned flagsOf(Column c)
{
    switch (c) {
    case cTreatment: return restim;
    case cEeg: return missed | shortEegFlag | prolongedFlag | afterDoseUp;
    case cEmg: return shortEmgFlag;
    case cChange: return doseUp | doseDown;
    case cDays: return gap;
    case cFlags: return interruptedFlag;
    default: return 0;
    }
}

std::string cellText(const CourseRow& row, Column c)
{
    const CourseRecording& r = row.rec;
    switch (c) {
    case cTreatment: return row.treatment;
    case cDate: return r.when.isoDate();
    case cTime: return r.when.clock();
    case cCharge: return r.values[charge];
    case cEeg: return r.seizureMissed ? "missed" : r.values[eegEndpoint];
    case cEmg: return r.values[emgEndpoint];
    case cEcg: return r.values[ecgEndpoint];
    case cSuppression: return r.values[postictalSuppression];
    case cEnergy: return r.values[seizureEnergyIndex];
    case cCoherence: return r.values[sustainedCoherence];
    case cPeakHr: return r.values[peakHeartRate];
    case cDays: return row.daysSincePrevious ? std::to_string(*row.daysSincePrevious) : std::string();
    case cChange: return row.chargeChange ? percentChange(*row.chargeChange) : std::string();
    case cFlags: return flagWords(row.flags);
    case cFile: return r.path;
    default: return std::string();
    }
}

// The panels, drawn by the one painter of the image, the PDF and the printer.
class PanelsView : public QWidget {
public:
    PanelsView(const Course& course, QWidget* parent) : QWidget(parent), course_(course)
    {
        setMinimumHeight(360);
        setAccessibleName("Treatment course panels");
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        drawCoursePanels(painter, QRectF(rect()).adjusted(8, 4, -8, -4), course_);
    }

private:
    const Course& course_;
};

}  // namespace

CourseWindow::CourseWindow(QWidget* owner, CourseQuery query, std::function<void(const std::string&)> openRecording)
    : QWidget(owner, Qt::Window), query_(std::move(query)), openRecording_(std::move(openRecording))
{
    setObjectName("CourseWindow");
    auto* layout = new QVBoxLayout(this);
    auto* folderRow = new QHBoxLayout;
    folderLabel_ = new QLabel(this);
    folderLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* change = new QPushButton("Change &Folder...", this);
    recursive_ = new QCheckBox("Search &subfolders", this);
    recursive_->setChecked(query_.recursive);
    folderRow->addWidget(folderLabel_, 1);
    folderRow->addWidget(change);
    folderRow->addWidget(recursive_);
    layout->addLayout(folderRow);
    summary_ = new QLabel(this);
    layout->addWidget(summary_);

    auto* split = new QSplitter(Qt::Vertical, this);
    table_ = new QTableWidget(0, kColumns, split);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->setVisible(false);
    table_->setAccessibleName("Treatment course table");
    for (int c = 0; c < kColumns; ++c)
        table_->setHorizontalHeaderItem(c, new QTableWidgetItem(kHeads[c]));
    panels_ = new PanelsView(course_, split);
    split->addWidget(table_);
    split->addWidget(panels_);
    layout->addWidget(split, 1);

    auto* buttons = new QHBoxLayout;
    auto* text = new QPushButton("Save As &Text...", this);
    auto* image = new QPushButton("Save As &Image...", this);
    auto* printButton = new QPushButton("&Print...", this);
    auto* close = new QPushButton("&Close", this);
    buttons->addWidget(text);
    buttons->addWidget(image);
    buttons->addWidget(printButton);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(change, &QPushButton::clicked, this, [this] { changeFolder(); });
    connect(recursive_, &QCheckBox::toggled, this, [this](bool on) { setRecursive(on); });
    connect(text, &QPushButton::clicked, this, [this] { saveAsText(); });
    connect(image, &QPushButton::clicked, this, [this] { saveAsImage(); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { openRow(row); });
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    resize(1100, 760);
}

CourseWindow::~CourseWindow() = default;

void CourseWindow::scan()
{
    const std::string who = query_.patientId.empty() ? query_.patientName : query_.patientId;
    setWindowTitle(platform::fromWindows1252("Treatment Course - " + who));
    folderLabel_->setText("Folder: " + QString::fromLocal8Bit(query_.folder.c_str()));
    std::vector<std::string> unopened;
    const std::vector<std::string> files = filesUnder({query_.folder}, query_.recursive, unopened);
    std::unique_ptr<platform::ProgressBox> progress;
    if (files.size() > kProgressFrom)
        progress = std::make_unique<platform::ProgressBox>(this, "Treatment Course", static_cast<int>(files.size()));
    const ScanResult scan = scanFiles(files, [&](std::size_t done, std::size_t total) {
        return !progress || progress->step(static_cast<int>(done), static_cast<int>(total),
                                           QString("Reading %1 of %2 files...").arg(done).arg(total));
    });
    progress.reset();
    std::vector<std::string> warnings;
    std::string problem;
    std::vector<CourseRecording> chosen = query_.patientId.empty()
                                              ? recordingsNamed(scan.recordings, query_.patientName, warnings, problem)
                                              : recordingsOfPatient(scan.recordings, query_.patientId);
    course_ = buildCourse(std::move(chosen), {});
    std::string text = "Patient " + who + ": " + std::to_string(course_.rows.size()) +
                       (course_.rows.size() == 1 ? " recording" : " recordings");
    if (!course_.excluded.empty())
        text += "; " + std::to_string(course_.excluded.size()) + " monitoring left out";
    if (!scan.skipped.empty())
        text += "; " + std::to_string(scan.skipped.size()) + " files skipped (no data files, or damaged)";
    if (!warnings.empty())
        text += "; " + std::to_string(warnings.size()) + " without a patient ID, taken by the name";
    if (!unopened.empty())
        text += "; the folder cannot be opened";
    if (scan.cancelled)
        text += " (reading cancelled)";
    if (!problem.empty())
        text = problem;
    status_ = text;
    summary_->setText(platform::fromWindows1252(text));
    fillTable();
    panels_->update();
}

void CourseWindow::fillTable()
{
    table_->setRowCount(static_cast<int>(course_.rows.size()));
    for (int r = 0; r < static_cast<int>(course_.rows.size()); ++r) {
        const CourseRow& row = course_.rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < kColumns; ++c) {
            auto* item = new QTableWidgetItem(platform::fromWindows1252(cellText(row, static_cast<Column>(c))));
            const unsigned marked = row.flags & flagsOf(static_cast<Column>(c));
            if (marked) {
                item->setBackground(kFlaggedCell);
                item->setToolTip(QString::fromStdString(flagWords(marked)));
            }
            if (c != cFlags && c != cFile)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(r, c, item);
        }
    }
    table_->resizeColumnsToContents();
}

void CourseWindow::changeFolder()
{
    platform::FileRequest r;
    r.owner = this;
    r.title = "Treatment Course Folder";
    r.filters = {{"Data Files (*.dat,*.edt,*.mon)", "*.dat;*.edt;*.mon"}, {"All Files (*.*)", "*.*"}};
    r.folder = query_.folder;
    r.acceptLabel = "&Use Folder";
    r.onAccept = [](const std::string& chosen) {
        std::error_code error;
        return fs::is_directory(chosen, error) ? chosen : fs::path(chosen).parent_path().string();
    };
    const std::string folder = platform::fileDialog(r);
    if (folder.empty())
        return;
    query_.folder = folder;
    scan();
}

void CourseWindow::setRecursive(bool on)
{
    if (query_.recursive == on)
        return;
    query_.recursive = on;
    recursive_->setChecked(on);
    scan();
}

void CourseWindow::tell(const std::string& text)
{
    platform::messageBox(this, text, "Ozmar", platform::Buttons::ok, platform::Icon::exclamation);
}

platform::FileRequest CourseWindow::saveRequest(const std::string& title, const std::string& filter,
                                               const std::string& extension) const
{
    platform::FileRequest r;
    r.owner = this;
    r.save = true;
    r.title = title;
    r.filters = {{filter, "*." + extension}, {"All Files (*.*)", "*.*"}};
    r.defaultExtension = extension;
    r.folder = query_.folder;
    std::string id;
    for (char c : query_.patientId.empty() ? query_.patientName : query_.patientId)
        id += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    r.name = "course-" + id + "." + extension;
    return r;
}

void CourseWindow::saveAsText()
{
    const std::string path = platform::fileDialog(saveRequest("Save Treatment Course As Text", "CSV Files (*.csv)", "csv"));
    const std::string csv = courseCsv(course_);
    if (!path.empty() && !data::writeWholeFile(path, csv.data(), csv.size()))
        tell(platform::format("Cannot write file %s", path));
}

void CourseWindow::saveAsImage()
{
    platform::FileRequest r = saveRequest("Save Treatment Course As Image", "PNG Files (*.png)", "png");
    r.filters.insert(r.filters.begin() + 1, {"PDF Files (*.pdf)", "*.pdf"});
    const std::string path = platform::fileDialog(r);
    if (path.empty())
        return;
    if (const std::string problem = writeCoursePlot(course_, path); !problem.empty())
        tell(platform::format("Cannot write file %s", path) + ": " + problem);
}

void CourseWindow::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle());
    platform::PrintRequest request;
    request.owner = this;
    request.printer = &printer;
    request.title = "Print " + platform::toWindows1252(windowTitle());
    request.pagesEnabled = false;
    if (!platform::printDialogAccepted(request))
        return;
    std::string target, temporary;
    if (request.chosen.printToFile) {
        target = request.chosen.fileName;
        if (target.empty())
            target = platform::fileDialog(saveRequest("Print To File", "PDF Files (*.pdf)", "pdf"));
        if (target.empty())
            return;
        temporary = data::temporaryNameFor(target);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromLocal8Bit(temporary.c_str()));
    } else {
        printer.setOutputFileName(QString());
        if (!request.chosen.printerName.empty())
            printer.setPrinterName(QString::fromStdString(request.chosen.printerName));
    }
    const bool printed = printCourse(printer, course_);
    if (!temporary.empty() && !data::finishTemporary(temporary, target, printed))
        tell(platform::format("Cannot write file %s", target));
    else if (!printed)
        platform::tellPrintFailed(this);
}

void CourseWindow::openRow(int row)
{
    if (row >= 0 && row < static_cast<int>(course_.rows.size()) && openRecording_)
        openRecording_(course_.rows[static_cast<std::size_t>(row)].rec.path);
}

}  // namespace course
