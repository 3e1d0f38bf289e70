#include "report/reportWindow.h"
#include "views/accessibleText.h"
#include "platform/commandIds.h"

#include "report/graphRowPainter.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include "state/settings.h"
#include "state/startupState.h"
#include "data/recordingStore.h"
#include "platform/dialogs.h"
#include "platform/markedText.h"
#include "platform/qtText.h"
#include "views/graphPainter.h"

namespace report {

using platform::fromWindows1252;

ReportWindow::ReportWindow(bool secondary, QWidget* parent) : ScrolledTextArea(parent), page_(secondary)
{
    setObjectName("OrigChild");
    setWindowTitle("Report");
    viewport()->setAutoFillBackground(true);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(palette);
    if (state::startup.reportImages)
        fontChoice_.pointSize = 14;
    font_ = platform::createScaledFont(*this, "Arial", fontChoice_.pointSize * 10);
    measure();
    relayout(true);
}

void ReportWindow::measure()
{
    const QFontMetrics m(font_);
    scroll_.avgChar = std::max(1, m.averageCharWidth());
    scroll_.lineHeight = std::max(1, m.height() + m.leading());
    const bool fixed = QFontInfo(font_).fixedPitch();
    columnStep_ = fixed ? scroll_.avgChar : scroll_.avgChar * 3 / 2;
    tabWidth_ = (fixed ? 10 : 12) * scroll_.avgChar;
}

// Lays the page out and lists what each line of the window shows.
void ReportWindow::relayout(bool resetRange)
{
    page_.layout(resetRange);
    lines_.clear();
    const int patient = page_.patientLineCount();
    for (int i = 0; i < patient; ++i)
        lines_.push_back({PageLine::patient, i, 0});
    if (patient > 0)
        lines_.push_back({PageLine::blank, 0, 0});
    int width = 0;
    for (int i = 0; i < page_.totalLineCount(); ++i) {
        if (!page_.isShown(i))
            continue;
        lines_.push_back({PageLine::list, i, 0});
        width = std::max(width, platform::drawMarkedText(nullptr, font_, 0, 0, tabWidth_,
                                                         fromWindows1252(page_.line(i, ReportMode::Screen)), false));
    }
    if (page_.graphRows() > 0) {
        lines_.push_back({PageLine::blank, 0, 0});
        for (int row = 0; row < page_.graphRows(); ++row)
            for (int l = 0; l < page_.graphLinesPerRow(); ++l)
                lines_.push_back({PageLine::graph, row, l});
        width = std::max(width, 60 * columnStep_ + 4 * scroll_.lineHeight);
    }
    scroll_.textWidth = width + 2 * scroll_.avgChar;
    scroll_.lastLine = static_cast<int>(lines_.size());
    updateScrollBars();
    // The trace rows are drawn, not text: a screen reader hears what they show.
    QString description = views::recordingDescription(page_.recording());
    if (page_.graphRows() > 0)
        description += QString(", with %1 rows of EEG traces, seconds %2 to %3")
                           .arg(page_.graphRows())
                           .arg(page_.graphFrom)
                           .arg(page_.graphTo);
    views::describe(*this, "Report", description);
}

void ReportWindow::paintGraphRow(QPainter& painter, int row, int rowLine, int y) const
{
    // The channel names and scales; the traces are drawn over the whole row afterwards.
    const int x = 3 * scroll_.avgChar - scroll_.leftColumn * scroll_.avgChar;
    int j = 0;
    const bool four = data::recordings.primary.header[data::hw::channelMode] == 1;
    for (int c = 0; c < 4; ++c) {
        const state::ChannelSetting& s = state::settings.channelSettings[c];
        if (!s.on)
            continue;
        if (rowLine == 4 * j + 2)
            painter.drawText(x, y, QString("EEG%1").arg(c + 1));
        if (rowLine == 4 * j + 3)
            painter.drawText(x, y, QString("%1").arg(s.scale * (c >= 2 && !four ? 10 : 1)) + QString::fromUtf8("\u00B5V/div"));
        ++j;
    }
    if (rowLine == page_.graphLinesPerRow() - 1) {
        const int seconds = page_.graphSecondsPerRow();
        for (int k = 0; k <= seconds; ++k) {
            const int number = row * seconds + k + static_cast<int>(page_.graphFrom);
            if (number >= static_cast<int>(page_.wholeSeconds()))
                break;
            const QString label = QString::number(number);
            const int centre = x + 60 * columnStep_ * k / seconds;
            painter.drawText(centre - QFontMetrics(font_).horizontalAdvance(label) / 2, y, label);
        }
    }
}

void ReportWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.setFont(font_);
    painter.setPen(Qt::black);
    const int ascent = QFontMetrics(font_).ascent();
    const int visible = scroll_.clientHeight / scroll_.lineHeight + 2;
    const int x = scroll_.avgChar * (1 - scroll_.leftColumn);
    const auto patient = page_.patientBlock().lines();
    const bool showList = page_.recording().contentFlags() != 0 && page_.showReport;
    for (int n = scroll_.topLine; n < std::min<int>(static_cast<int>(lines_.size()), scroll_.topLine + visible); ++n) {
        const int y = (n - scroll_.topLine) * scroll_.lineHeight + ascent;
        const PageLine& l = lines_[static_cast<std::size_t>(n)];
        if (l.kind == PageLine::patient)
            platform::drawMarkedText(&painter, font_, x, y, tabWidth_, fromWindows1252(patient[static_cast<std::size_t>(l.index)]), true);
        else if (l.kind == PageLine::list && (showList || l.index >= page_.reportLineCount()))
            platform::drawMarkedText(&painter, font_, x, y, tabWidth_, fromWindows1252(page_.line(l.index, ReportMode::Screen)), true);
        else if (l.kind == PageLine::graph)
            paintGraphRow(painter, l.index, l.rowLine, y);
    }
    paintGraphTraces(painter);
}

// The traces of every graph row that reaches into the visible part.
void ReportWindow::paintGraphTraces(QPainter& painter) const
{
    const auto first = std::find_if(lines_.begin(), lines_.end(), [](const PageLine& l) { return l.kind == PageLine::graph; });
    if (first == lines_.end())
        return;
    const int firstLine = static_cast<int>(first - lines_.begin());
    const int perRow = page_.graphLinesPerRow(), seconds = page_.graphSecondsPerRow();
    const int x = 3 * scroll_.avgChar - scroll_.leftColumn * scroll_.avgChar;
    const int height = (perRow - 1) * scroll_.lineHeight;
    for (int row = 0; row < page_.graphRows(); ++row) {
        const int y = (firstLine + row * perRow - scroll_.topLine) * scroll_.lineHeight;
        if (y + height < 0 || y > scroll_.clientHeight)
            continue;
        const int from = static_cast<int>(page_.graphFrom) + row * seconds;
        views::drawReportTraces(painter, QRect(x, y, 60 * columnStep_, height), page_.recording(), from, from + seconds,
                                page_.showGraphColor);
    }
}

void ReportWindow::fillContextMenu(QMenu& menu)
{
    if (addFormatItems)
        addFormatItems(&menu);
    if (!lines_.empty()) {
        menu.addSeparator();
        menu.addAction("&Print")->setData(7);
        menu.addSeparator();
        menu.addAction("&Copy")->setData(40014);
    }
    if (applyFormatRules) {
        applyFormatRules(&menu);
        for (QAction* a : menu.actions())
            if (a->menu())
                applyFormatRules(a->menu());
    }
}

void ReportWindow::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    fillContextMenu(menu);
    QAction* chosen = menu.exec(event->globalPos());
    if (!chosen)
        return;
    const int id = chosen->data().toInt();
    if (id == 7 && sendToFrame)
        sendToFrame(7);
    else
        onCommand(id, 0, 0);
}

std::string ReportWindow::copyText() const
{
    return page_.copyText(windowTitle().toStdString());
}

void ReportWindow::copyToClipboard()
{
    if (lines_.empty())
        return;
    QApplication::clipboard()->setText(fromWindows1252(copyText()));
}

// The font dialog starts from the font in use; OK without a change changes nothing.
void ReportWindow::chooseFont()
{
    if (!platform::chooseFont(this, fontChoice_))
        return;
    font_ = platform::fontOf(*this, fontChoice_);
    measure();
    relayout(false);
}

QImage ReportWindow::graphRowImage(int row) const
{
    const int lh = scroll_.lineHeight;
    QImage image(64 * columnStep_, (page_.graphLinesPerRow() + 1) * lh, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    drawGraphRow(painter, page_, row, {2 * columnStep_, lh, columnStep_, lh}, font_);
    return image;
}

int ReportWindow::initialTextWidth() const
{
    return platform::drawMarkedText(nullptr, font_, 0, 0, tabWidth_, QString("Frequency Hz\t\t\t\tAbsolute"), false) +
           scroll_.avgChar;
}

// The Set Report Graph Seconds dialog: the range box (1067), "seconds" (1069)
// and "All" (1068), which puts the whole recording into the box.
void ReportWindow::setGraphSeconds()
{
    QDialog dialog(this);
    dialog.setObjectName("SETEDIT");
    dialog.setWindowTitle("Set Report Graph Seconds");
    auto* edit = new QLineEdit(QString("%1 - %2").arg(page_.graphFrom).arg(page_.graphTo), &dialog);
    edit->setObjectName("control1067");
    auto* label = new QLabel("seconds", &dialog);
    label->setObjectName("control1069");
    auto* all = new QPushButton("All", &dialog);
    all->setObjectName("control1068");
    connect(all, &QPushButton::clicked, &dialog, [edit] {
        edit->setText(QString("0 - %1").arg(data::recordings.primary.lengthSeconds));
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(edit);
    row->addWidget(label);
    row->addWidget(all);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(row);
    layout->addWidget(buttons);
    if (dialog.exec() == QDialog::Accepted && page_.setGraphRange(edit->text().toStdString()))
        relayout(false);
}

bool ReportWindow::onCommand(int id, long wParam, long lParam)
{
    switch (id) {
    case cmd::relayout:
        // A new recording (Open, New, Receive) starts at the top left.
        if (lParam != 0) {
            scroll_.topLine = 0;
            scroll_.leftColumn = 0;
        }
        relayout(lParam != 0 || wParam != 0);
        return true;
    case cmd::chooseFont: chooseFont(); return true;
    case cmd::reportPatientInfo: page_.togglePatientInfo(); relayout(false); return true;
    case cmd::reportBands: page_.toggleBands(); relayout(false); return true;
    case cmd::reportSpectrum: page_.toggleSpectrum(); relayout(false); return true;
    case cmd::reportGraph: page_.toggleGraph(); relayout(false); return true;
    case cmd::reportGraphColor: page_.toggleGraphColor(); relayout(false); return true;
    case cmd::reportGraphSeconds: setGraphSeconds(); return true;
    case cmd::timeScaleDown: if (page_.timeScaleDown()) relayout(false); return true;
    case cmd::timeScaleUp: if (page_.timeScaleUp()) relayout(false); return true;
    case cmd::copy: copyToClipboard(); return true;
    default: return false;
    }
}

bool ReportWindow::event(QEvent* event)
{
    if (platform::dispatchCommand(*this, event))
        return true;
    return ScrolledTextArea::event(event);
}

}  // namespace report
