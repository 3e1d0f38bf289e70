#include "app/menuTables.h"
#include "platform/commandIds.h"

namespace app {

namespace {

const MenuItem kSeparator{};

MenuItem popup(const std::string& text, std::vector<MenuItem> items) { return MenuItem{0, text, std::move(items)}; }

MenuItem filePopup(MenuKind kind)
{
    std::vector<MenuItem> items = {{cmd::fileNew, "&New   \tCntrl+N", {}}, {cmd::fileOpen, "&Open...\tCntrl+O", {}}, {cmd::fileSave, "&Save\tCntrl+S", {}},
                                   {cmd::fileSaveAs, "Save &As...", {}}, kSeparator};
    if (kind != MenuKind::Init1) {
        items.push_back({cmd::saveAsText, "Save As &Text...", {}});
        items.push_back({kExportEdf, "Export &EDF+...", {}});
        items.push_back({cmd::exportBids, "Export &BIDS...", {}});
        items.push_back({cmd::treatmentCourse, "Treatment &Course...", {}});
    }
    if (kind == MenuKind::GraphMenu || kind == MenuKind::FFTMenu)
        items.push_back({cmd::saveAsImage, "Save As &Image", {}});
    items.push_back({cmd::batchConvert, "Batch Convert...", {}});
    items.insert(items.end(), {kSeparator, {cmd::print, "&Print...\tCntrl+P", {}}, {cmd::pageSetup, "Page Setup", {}}, kSeparator, {cmd::exitProgram, "E&xit", {}}});
    return popup("&File", items);
}

MenuItem connectPopup()
{
    std::vector<MenuItem> ports;
    for (int n = 1; n <= 8; ++n)
        ports.push_back({cmd::firstPort - 1 + n, "COM &" + std::to_string(n), {}});
    return popup("&Connect", {{cmd::sendData, "&Send Data\tCntrl+F2", {}}, {cmd::receiveData, "&Receive Data\tCntrl+F3", {}}, {cmd::sendName, "Send &Name...", {}},
                              kSeparator, {cmd::autoUpload, "Auto &Upload...\tCntrl+U", {}}, popup("Set &Port", ports)});
}

MenuItem toolsPopup(MenuKind kind)
{
    std::vector<MenuItem> items = {{cmd::playBack, "Play&Back\tCntrl+B", {}}, {cmd::resetPlayback, "&Reset\tCntrl+R", {}}, {cmd::rejectEpoch, "Re&ject\tCntrl+J", {}},
                                   {cmd::monitorLive, "&Monitior\tCntrl+T", {}}, kSeparator};
    if (kind != MenuKind::Init1)
        items.push_back(popup("&Speed", {{cmd::speedStep, "Step", {}}, {cmd::speed25, "25%", {}}, {cmd::speed50, "50%", {}}, {cmd::speed100, "100%", {}},
                                         {cmd::speed250, "250%", {}}, {cmd::speed500, "500%", {}}}));
    items.insert(items.end(), {{cmd::channelSettingsWindow, "&Channels Setting", {}}, {cmd::playControlWindow, "&Play Control", {}}});
    return popup("&Tools", items);
}

MenuItem windowPopup(MenuKind kind)
{
    std::vector<MenuItem> items = {{cmd::openReport, "&Report", {}}, {cmd::openGraph, "&Graph", {}}, {cmd::openFft, "&FFT", {}}, {cmd::openBands, "&Bands", {}},
                                   {cmd::openSpectrum, "&Spectrum", {}}};
    if (kind != MenuKind::Init1)
        items.insert(items.end(), {kSeparator, {cmd::cascade, "&Cascade\tShift+F5", {}}, {cmd::tileHorizontally, "Tile &Horizontally\tShift+F4", {}},
                                   {cmd::tileVertically, "Tile &Vertically\tShift+F3", {}}, {cmd::minimizeAll, "&Minimize All", {}}, {cmd::restoreAll, "&Restore All", {}},
                                   {cmd::arrangeIcons, "Arrange &Icons", {}}, {cmd::closeAll, "Close &All", {}}});
    return popup("&Window", items);
}

MenuItem spectrumPopup(MenuKind kind)
{
    std::vector<MenuItem> items;
    if (kind != MenuKind::FFTMenu) {
        const char* pairs[] = {"&1     EEG 1&&2", "&2     EEG 3&&4", "&3     EEG 1&&3", "&4     EEG 1&&4", "&5     EEG 2&&3",
                               "&6     EEG 2&&4"};
        for (int i = 0; i < 6; ++i)
            items.push_back({cmd::firstPair + i, pairs[i], {}});
        items.push_back(kSeparator);
    }
    items.insert(items.end(), {{cmd::accumulatedSpectrum, "&Accumulated Spectrum", {}}, {cmd::currentSegment, "&Current Segment", {}}});
    if (kind == MenuKind::BandsMenu)
        items.insert(items.end(), {kSeparator, popup("Set &Bands", {{cmd::firstBand, "&Delta...", {}}, {51, "&Theta...", {}},
                                                                    {52, "&Alpha...", {}}, {53, "&Beta...", {}},
                                                                    {54, "Band &X...", {}}, {cmd::lastBand, "Band &Y...", {}},
                                                                    kSeparator, {cmd::defaultBands, "A&ll Default", {}}})});
    return popup("&Spectrum", items);
}

MenuItem formatPopup(MenuKind kind)
{
    if (kind != MenuKind::CORVANE)
        return popup("For&mat", {{cmd::chooseFont, "&Font...", {}}});
    return popup("For&mat", {{cmd::chooseFont, "&Font...", {}}, kSeparator, {cmd::reportPatientInfo, "Patient &Info", {}}, {cmd::reportBands, "EEG &Bands", {}},
                             {cmd::reportSpectrum, "EEG &Spectrum", {}},
                             popup("Set &Graph", {{cmd::reportGraph, "&Graph", {}}, {cmd::reportGraphSeconds, "&Seconds...", {}},
                                                  {cmd::timeScaleDown, "Time Scale &Down\tAlt+DOWN", {}},
                                                  {cmd::timeScaleUp, "Time Scale &Up\tAlt+UP", {}}, {cmd::reportGraphColor, "&Color", {}}})});
}

std::vector<MenuItem> makeBar(MenuKind kind)
{
    std::vector<MenuItem> bar = {filePopup(kind), connectPopup(), {cmd::patientInfo, "Patient&Info", {}}};
    const bool spectrum = kind == MenuKind::FFTMenu || kind == MenuKind::BandsMenu || kind == MenuKind::Spectrum;
    if (spectrum)
        bar.push_back(spectrumPopup(kind));
    bar.push_back(toolsPopup(kind));
    if (kind == MenuKind::CORVANE || kind == MenuKind::BandsMenu || kind == MenuKind::Spectrum)
        bar.push_back(formatPopup(kind));
    bar.push_back(windowPopup(kind));
    bar.push_back({cmd::about, "&About", {}});
    return bar;
}

const MenuItem* findIn(const std::vector<MenuItem>& items, int id)
{
    for (const MenuItem& item : items) {
        if (item.id == id && !item.isPopup() && id != 0)
            return &item;
        if (const MenuItem* found = findIn(item.popup, id))
            return found;
    }
    return nullptr;
}

}  // namespace

const std::vector<MenuItem>& menuBar(MenuKind kind)
{
    static const std::vector<MenuItem> bars[] = {makeBar(MenuKind::Init1),     makeBar(MenuKind::CORVANE),
                                                 makeBar(MenuKind::GraphMenu), makeBar(MenuKind::FFTMenu),
                                                 makeBar(MenuKind::BandsMenu), makeBar(MenuKind::Spectrum)};
    return bars[static_cast<int>(kind)];
}

const char* menuName(MenuKind kind)
{
    static const char* const names[] = {"Init1", "CORVANE", "GraphMenu", "FFTMenu", "BandsMenu", "Spectrum"};
    return names[static_cast<int>(kind)];
}

const std::vector<Accelerator>& acceleratorTable()
{
    static const std::vector<Accelerator> table = {
        {"Ctrl+T", cmd::monitorLive}, {"Ctrl+B", cmd::playBack}, {"Ctrl+J", cmd::rejectEpoch}, {"Ctrl+R", cmd::resetPlayback}, {"Shift+F5", cmd::cascade}, {"Ctrl+C", cmd::copy},
        {"Shift+F4", cmd::tileHorizontally}, {"Ctrl+N", cmd::fileNew}, {"Ctrl+O", cmd::fileOpen}, {"Ctrl+P", cmd::print}, {"Ctrl+F3", cmd::receiveData}, {"Ctrl+S", cmd::fileSave},
        {"Ctrl+F2", cmd::sendData}, {"Alt+Down", cmd::timeScaleDown}, {"Alt+Up", cmd::timeScaleUp}, {"Ctrl+U", cmd::autoUpload}, {"Shift+F3", cmd::tileVertically}};
    return table;
}

const MenuItem* findItem(MenuKind kind, int id)
{
    return findIn(menuBar(kind), id);
}

}  // namespace app
