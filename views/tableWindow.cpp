#include "views/tableWindow.h"
#include "platform/commandIds.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/bandAnalysis.h"
#include "monitor/monitorState.h"
#include "platform/markedText.h"
#include "platform/qtText.h"

namespace views {

using platform::fromWindows1252;

TableWindow::TableWindow(std::unique_ptr<TableLines> table, const char* className, QWidget* parent)
    : ScrolledTextArea(parent), table_(std::move(table))
{
    setObjectName(className);
    // Light grey under the text; a scroll area's viewport fills with its Base colour.
    viewport()->setAutoFillBackground(true);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    palette.setColor(QPalette::Base, QColor(192, 192, 192));
    viewport()->setPalette(palette);
    font_ = platform::createScaledFont(*this, "Arial", 80);
    font_.setBold(true);
    measure();
    refresh();
}

void TableWindow::measure()
{
    const QFontMetrics m(font_);
    scroll_.avgChar = std::max(1, m.averageCharWidth());
    scroll_.lineHeight = std::max(1, m.height() + m.leading());
    tabWidth_ = (QFontInfo(font_).fixedPitch() ? 10 : 12) * scroll_.avgChar;
    scroll_.lastLine = table_->lastLine();
    scroll_.textWidth = platform::drawMarkedText(nullptr, font_, 0, 0, tabWidth_,
                                                 fromWindows1252(table_->line(2, analysis::LineFormat::Tabbed)), false) +
                        scroll_.avgChar;
    updateScrollBars();
}

void TableWindow::refresh()
{
    // The epoch thread recomputes the tables under lock B.
    platform::SectionGuard lockB(monitor::monitorState.lockB);
    table_->refresh();
    setWindowTitle(fromWindows1252(table_->title()));
    viewport()->update();
}

void TableWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.setFont(font_);
    painter.setPen(QColor::fromRgb(fontChoice_.colour));
    platform::SectionGuard lockB(monitor::monitorState.lockB);
    const int ascent = QFontMetrics(font_).ascent();
    const int first = std::max(0, event->rect().top() / scroll_.lineHeight + scroll_.topLine);
    const int last = std::min(scroll_.lastLine, event->rect().bottom() / scroll_.lineHeight + scroll_.topLine);
    const int x = (1 - scroll_.leftColumn) * scroll_.avgChar;
    for (int n = first; n <= last && n < scroll_.lastLine; ++n)
        platform::drawMarkedText(&painter, font_, x, (n - scroll_.topLine) * scroll_.lineHeight + ascent, tabWidth_,
                                 fromWindows1252(table_->line(n, analysis::LineFormat::Tabbed)), true);
}

void TableWindow::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    if (fillContextMenu)
        fillContextMenu(&menu);
    menu.addSeparator();
    menu.addAction("Cop&y")->setData(40014);
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen && chosen->data().toInt() != 0)
        onCommand(chosen->data().toInt(), 0, 0);
}

// The font dialog starts from the font in use; OK without a change changes nothing.
void TableWindow::chooseFont()
{
    platform::FontChoice choice = fontChoice_;
    if (platform::chooseFont(this, choice))
        useFont(choice);
}

// The text is built once and only then replaces the clipboard, so the tables
// changing meanwhile cannot make it inconsistent.
void TableWindow::copyToClipboard()
{
    const QString text = fromWindows1252(copyText());
    QApplication::clipboard()->setText(text);
}

TableWindowSettings TableWindow::settings() const
{
    TableWindowSettings s;
    s.pair = table_->pair;
    s.currentSegment = table_->currentSegment;
    s.fontFamily = fontChoice_.family;
    s.fontPointSize = fontChoice_.pointSize;
    s.fontBold = fontChoice_.bold;
    s.fontItalic = fontChoice_.italic;
    return s;
}

void TableWindow::applySettings(const TableWindowSettings& s)
{
    table_->pair = s.pair <= 5 ? s.pair : 0;
    table_->currentSegment = s.currentSegment;
    if (!s.fontFamily.empty())
        useFont(platform::FontChoice{s.fontFamily, s.fontPointSize, s.fontBold, s.fontItalic, fontChoice_.colour, true});
    refresh();
}

void TableWindow::useFont(const platform::FontChoice& choice)
{
    fontChoice_ = choice;
    font_ = platform::fontOf(*this, choice);
    measure();
    viewport()->update();
}

bool TableWindow::onCommand(int id, long wParam, long lParam)
{
    switch (id) {
    case cmd::relayout: refresh(); return true;
    case cmd::chooseFont: chooseFont(); return true;
    case cmd::copy: copyToClipboard(); return true;
    case cmd::accumulatedSpectrum:
    case cmd::currentSegment:
        if (table_->currentSegment != (id == cmd::currentSegment)) {
            table_->currentSegment = id == cmd::currentSegment;
            refresh();
        }
        return true;
    default: break;
    }
    if (id >= cmd::firstPair && id <= cmd::lastPair) {
        table_->pair = static_cast<unsigned>(id - cmd::firstPair);
        refresh();
        return true;
    }
    return false;
}

bool TableWindow::event(QEvent* event)
{
    if (platform::dispatchCommand(*this, event))
        return true;
    return ScrolledTextArea::event(event);
}

BandsWindow::BandsWindow(QWidget* parent) : TableWindow(std::make_unique<BandsTable>(), "BandsChild", parent)
{
}

TableWindowSettings BandsWindow::settings() const
{
    TableWindowSettings s = TableWindow::settings();
    const auto& bands = static_cast<const BandsTable&>(table()).bands;
    for (int i = 0; i < analysis::kBandsPerGroup; ++i)
        s.limits[static_cast<std::size_t>(i)] = {bands[static_cast<std::size_t>(i)].low, bands[static_cast<std::size_t>(i)].high};
    return s;
}

void BandsWindow::applySettings(const TableWindowSettings& s)
{
    for (int i = 1; i < analysis::kBandsPerGroup; ++i) {
        auto& band = bands().bands[static_cast<std::size_t>(i)];
        const auto [low, high] = s.limits[static_cast<std::size_t>(i)];
        if (bandLimitsValid(low, high)) {
            band.low = low;
            band.high = high;
        }
    }
    TableWindow::applySettings(s);
}

bool BandsWindow::applyBandText(int i, const std::string& text)
{
    if (i < 1 || i > 6)
        return false;
    const auto limits = parseBandLimits(text);
    analysis::BandRecord& band = bands().bands[static_cast<std::size_t>(i)];
    if (!limits || (limits->first == band.low && limits->second == band.high))
        return false;
    band.low = limits->first;
    band.high = limits->second;
    if (bandsChanged)
        bandsChanged();
    refresh();
    return true;
}

void BandsWindow::defaultBands()
{
    for (int i = 1; i < analysis::kBandsPerGroup; ++i) {
        const analysis::BandRecord& d = analysis::bandSets[0][static_cast<std::size_t>(i)];
        bands().bands[static_cast<std::size_t>(i)].low = d.low;
        bands().bands[static_cast<std::size_t>(i)].high = d.high;
    }
    if (bandsChanged)
        bandsChanged();
    refresh();
}

// The SetBands dialog: the limits as text (60), Default (61), Ok and Cancel, "Hz".
void BandsWindow::setBand(int i)
{
    const analysis::BandRecord& band = bands().bands[static_cast<std::size_t>(i)];
    QDialog dialog(this);
    dialog.setObjectName("SetBands");
    dialog.setWindowTitle(fromWindows1252(band.name));
    auto* edit = new QLineEdit(QString::fromLatin1(bandEditText(band.low, band.high).c_str()), &dialog);
    edit->setObjectName("control60");
    auto* defaults = new QPushButton("Default", &dialog);
    defaults->setObjectName("control61");
    connect(defaults, &QPushButton::clicked, &dialog, [edit, name = band.name] {
        for (int k = 1; k < analysis::kBandsPerGroup; ++k) {
            const analysis::BandRecord& d = analysis::bandSets[0][static_cast<std::size_t>(k)];
            if (d.name == name) {
                edit->setText(QString::fromLatin1(bandDefaultText(d.low, d.high).c_str()));
                edit->setFocus();
            }
        }
    });
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton("Ok", QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(edit);
    row->addWidget(new QLabel("Hz", &dialog));
    row->addWidget(defaults);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(row);
    layout->addWidget(buttons);
    QWidget* focus = QApplication::focusWidget();
    if (dialog.exec() == QDialog::Accepted)
        applyBandText(i, edit->text().toStdString());
    if (focus)
        focus->setFocus();
}

bool BandsWindow::onCommand(int id, long wParam, long lParam)
{
    if (id >= cmd::firstBand && id <= cmd::lastBand) {
        setBand(id - cmd::firstBand + 1);
        return true;
    }
    if (id == cmd::defaultBands) {
        defaultBands();
        return true;
    }
    return TableWindow::onCommand(id, wParam, lParam);
}

SpectrumWindow::SpectrumWindow(QWidget* parent) : TableWindow(std::make_unique<SpectrumTable>(), "BinsChild", parent)
{
}

}  // namespace views
