#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/menuTables.h"

namespace app {

// What the enabling rules read beside the process-wide state (document flags,
// monitor flags, settings, the primary recording): the windows of the frame.
struct MenuContext {
    MenuKind menu = MenuKind::Init1;
    bool portOpen = false;
    bool printerKnown = true;
    bool playControlExists = false;
    bool channelSettingsExists = false;
    bool reportOpen = false;
    bool graphOpen = false;
    bool fftOpen = false;
    bool bandsCreationFailed = false;
    // The active Bands or Spectrum window: its pair and mode (-1: none active),
    // and (Bands) the texts of its band items 50 to 55.
    int tablePair = -1;
    int tableCurrentSegment = -1;
    std::vector<std::string> bandItemTexts;
    bool spectrumCreationFailed = false;
    // The Report window's state, for the Format popup and its File items.
    bool reportShowsPatientBandsOrSpectrum = false;
    bool reportHasPrintable = false;
    bool reportPatientInfo = false, reportBands = false, reportSpectrum = false, reportGraph = false, reportColor = false;
    int reportTimeScale = 4;
    int reportGraphFrom = 0, reportGraphTo = 0, reportSecondsPerRow = 6;
};

struct ItemState {
    bool enabled = true;
    bool checked = false;
    std::string text;  // empty: the table's text
};

// The state of a menu item when its popup opens.
ItemState itemState(int id, const MenuContext& context);

}  // namespace app
