#include "app/menuTables.h"

namespace app {

namespace {

const MenuItem kSeparator{};

MenuItem popup(const std::string& text, std::vector<MenuItem> items) { return MenuItem{0, text, std::move(items)}; }

MenuItem filePopup(MenuKind kind)
{
    std::vector<MenuItem> items = {{1, "&New   \tCntrl+N", {}}, {2, "&Open...\tCntrl+O", {}}, {3, "&Save\tCntrl+S", {}},
                                   {4, "Save &As...", {}}, kSeparator};
    if (kind != MenuKind::Init1) {
        items.push_back({40004, "Save As &Text...", {}});
        items.push_back({kExportEdf, "Export &EDF+...", {}});
    }
    if (kind == MenuKind::GraphMenu || kind == MenuKind::FFTMenu)
        items.push_back({40013, "Save As &Image", {}});
    items.push_back({40047, "Batch Convert...", {}});
    items.insert(items.end(), {kSeparator, {7, "&Print...\tCntrl+P", {}}, {6, "Page Setup", {}}, kSeparator, {8, "E&xit", {}}});
    return popup("&File", items);
}

MenuItem connectPopup()
{
    std::vector<MenuItem> ports;
    for (int n = 1; n <= 8; ++n)
        ports.push_back({813 + n, "COM &" + std::to_string(n), {}});
    return popup("&Connect", {{11, "&Send Data\tCntrl+F2", {}}, {12, "&Receive Data\tCntrl+F3", {}}, {13, "Send &Name...", {}},
                              kSeparator, {40005, "Auto &Upload...\tCntrl+U", {}}, popup("Set &Port", ports)});
}

MenuItem toolsPopup(MenuKind kind)
{
    std::vector<MenuItem> items = {{455, "Play&Back\tCntrl+B", {}}, {456, "&Reset\tCntrl+R", {}}, {457, "Re&ject\tCntrl+J", {}},
                                   {458, "&Monitior\tCntrl+T", {}}, kSeparator};
    if (kind != MenuKind::Init1)
        items.push_back(popup("&Speed", {{480, "Step", {}}, {481, "25%", {}}, {482, "50%", {}}, {483, "100%", {}},
                                         {484, "250%", {}}, {485, "500%", {}}}));
    items.insert(items.end(), {{23, "&Channels Setting", {}}, {24, "&Play Control", {}}});
    return popup("&Tools", items);
}

MenuItem windowPopup(MenuKind kind)
{
    std::vector<MenuItem> items = {{40002, "&Report", {}}, {25, "&Graph", {}}, {28, "&FFT", {}}, {26, "&Bands", {}},
                                   {27, "&Spectrum", {}}};
    if (kind != MenuKind::Init1)
        items.insert(items.end(), {kSeparator, {700, "&Cascade\tShift+F5", {}}, {701, "Tile &Horizontally\tShift+F4", {}},
                                   {702, "Tile &Vertically\tShift+F3", {}}, {703, "&Minimize All", {}}, {704, "&Restore All", {}},
                                   {705, "Arrange &Icons", {}}, {706, "Close &All", {}}});
    return popup("&Window", items);
}

MenuItem spectrumPopup(MenuKind kind)
{
    std::vector<MenuItem> items;
    if (kind != MenuKind::FFTMenu) {
        const char* pairs[] = {"&1     EEG 1&&2", "&2     EEG 3&&4", "&3     EEG 1&&3", "&4     EEG 1&&4", "&5     EEG 2&&3",
                               "&6     EEG 2&&4"};
        for (int i = 0; i < 6; ++i)
            items.push_back({40 + i, pairs[i], {}});
        items.push_back(kSeparator);
    }
    items.insert(items.end(), {{46, "&Accumulated Spectrum", {}}, {47, "&Current Segment", {}}});
    if (kind == MenuKind::BandsMenu)
        items.insert(items.end(), {kSeparator, popup("Set &Bands", {{50, "&Delta...", {}}, {51, "&Theta...", {}},
                                                                    {52, "&Alpha...", {}}, {53, "&Beta...", {}},
                                                                    {54, "Band &X...", {}}, {55, "Band &Y...", {}},
                                                                    kSeparator, {56, "A&ll Default", {}}})});
    return popup("&Spectrum", items);
}

MenuItem formatPopup(MenuKind kind)
{
    if (kind != MenuKind::CORVANE)
        return popup("For&mat", {{32, "&Font...", {}}});
    return popup("For&mat", {{32, "&Font...", {}}, kSeparator, {40019, "Patient &Info", {}}, {40020, "EEG &Bands", {}},
                             {40021, "EEG &Spectrum", {}},
                             popup("Set &Graph", {{40022, "&Graph", {}}, {40027, "&Seconds...", {}},
                                                  {40034, "Time Scale &Down\tAlt+DOWN", {}},
                                                  {40035, "Time Scale &Up\tAlt+UP", {}}, {40040, "&Color", {}}})});
}

std::vector<MenuItem> makeBar(MenuKind kind)
{
    std::vector<MenuItem> bar = {filePopup(kind), connectPopup(), {31, "Patient&Info", {}}};
    const bool spectrum = kind == MenuKind::FFTMenu || kind == MenuKind::BandsMenu || kind == MenuKind::Spectrum;
    if (spectrum)
        bar.push_back(spectrumPopup(kind));
    bar.push_back(toolsPopup(kind));
    if (kind == MenuKind::CORVANE || kind == MenuKind::BandsMenu || kind == MenuKind::Spectrum)
        bar.push_back(formatPopup(kind));
    bar.push_back(windowPopup(kind));
    bar.push_back({40001, "&About", {}});
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
        {"Ctrl+T", 458}, {"Ctrl+B", 455}, {"Ctrl+J", 457}, {"Ctrl+R", 456}, {"Shift+F5", 700}, {"Ctrl+C", 40014},
        {"Shift+F4", 701}, {"Ctrl+N", 1}, {"Ctrl+O", 2}, {"Ctrl+P", 7}, {"Ctrl+F3", 12}, {"Ctrl+S", 3},
        {"Ctrl+F2", 11}, {"Alt+Down", 40034}, {"Alt+Up", 40035}, {"Ctrl+U", 40005}, {"Shift+F3", 702}};
    return table;
}

const MenuItem* findItem(MenuKind kind, int id)
{
    return findIn(menuBar(kind), id);
}

}  // namespace app
