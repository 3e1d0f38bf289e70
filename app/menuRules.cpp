#include "app/menuRules.h"

#include <cstdio>

#include "app/documentState.h"
#include "state/portTable.h"
#include "state/settings.h"
#include "data/recordingStore.h"
#include "monitor/guiRecordingRead.h"
#include "monitor/monitorState.h"

namespace app {

using state::settings;
using state::kNoPort;
using state::portNumber;

namespace {

struct Facts {
    bool live, playing, autoUpload;
    bool eegData, eegOrFft, anyChannelOn;
};

Facts facts()
{
    const auto& m = monitor::monitorState;
    bool anyOn = false;
    for (const auto& c : settings.channelSettings)
        anyOn = anyOn || c.on;
    // While a transfer fills the recording it holds nothing to show yet.
    bool eeg = false, fft = false;
    monitor::readPrimaryFromGui([&](const data::Recording& rec) {
        eeg = rec.rawChannels[0].count > 0 || (rec.contentFlags() & data::content::rawEeg);
        fft = (rec.contentFlags() & data::content::fftData) != 0;
    });
    return {m.liveSession, m.playThreadRunning, m.autoUploadActive, eeg, eeg || fft, anyOn};
}

ItemState fileItem(int id, const MenuContext& c, const Facts& f)
{
    const DocumentState& d = document;
    const bool graphOrFft = c.menu == MenuKind::GraphMenu || c.menu == MenuKind::FFTMenu;
    switch (id) {
    case 1:
    case 2: return {!f.live, false, {}};
    case 3: return {!f.live && d.dataModified && !(d.playbackEdited && !d.dataUnsaved), false, {}};
    case 4: return {!f.live && (d.dataPresent || d.patientInfoModified), false, {}};
    case 40004: {
        bool enabled = !f.live && !f.playing;
        if (c.menu == MenuKind::GraphMenu)
            enabled = enabled && f.eegData;
        else if (c.menu == MenuKind::FFTMenu)
            enabled = false;
        else if (c.menu == MenuKind::CORVANE)
            enabled = enabled && c.reportShowsPatientBandsOrSpectrum;
        return {enabled, false, {}};
    }
    case 40047: return {!f.live && !f.playing, false, {}};
    case kExportEdf: return {!f.live && f.eegData, false, {}};
    case 40013: return {!f.playing && f.anyChannelOn, false, {}};
    case 7: {
        bool enabled = c.printerKnown && c.menu != MenuKind::Init1;
        if (graphOrFft)
            enabled = enabled && !f.playing && f.anyChannelOn;
        if (c.menu == MenuKind::CORVANE)
            enabled = enabled && c.reportHasPrintable;
        return {enabled, false, {}};
    }
    case 6: return {c.printerKnown, false, {}};
    default: return {};
    }
}

ItemState connectItem(int id, const MenuContext& c, const Facts& f)
{
    if (id == 11)
        return {!f.live && document.sendable && c.portOpen, false, {}};
    if (id == 12 || id == 13)
        return {!f.live && c.portOpen, false, {}};
    if (id == 40005)
        return {c.portOpen, f.autoUpload, {}};
    return {!f.live, settings.portBase != kNoPort && portNumber(settings.portBase) == id - 813, {}};
}

ItemState toolsItem(int id, const MenuContext& c, const Facts& f)
{
    switch (id) {
    case 455:
    case 457: return {f.eegOrFft && c.playControlExists && !f.live, false, {}};
    case 456: return {c.playControlExists, false, {}};
    case 458: return {c.playControlExists && !document.nameSending && !f.autoUpload && c.portOpen, false, {}};
    case 23: return {c.channelSettingsExists, settings.showChannelSettings, {}};
    case 24: return {c.playControlExists, settings.showPlayControl, {}};
    default: return {!f.live, settings.playSpeedIndex == id - 480, {}};  // 480 to 485
    }
}

ItemState formatItem(int id, const MenuContext& c)
{
    char text[64];
    switch (id) {
    case 40019: return {true, c.reportPatientInfo, {}};
    case 40020: return {true, c.reportBands, {}};
    case 40021: return {true, c.reportSpectrum, {}};
    case 40040: return {true, c.reportColor, {}};
    case 40022:
        std::snprintf(text, sizeof text, "&Graph \t%d sec", c.reportSecondsPerRow);
        return {true, c.reportGraph, text};
    case 40027:
        std::snprintf(text, sizeof text, "&Seconds... \t%d - %d", c.reportGraphFrom, c.reportGraphTo);
        return {true, false, text};
    case 40034: return {c.reportTimeScale > 0, false, "Time Scale &Down\tAlt+DOWN"};
    case 40035: return {c.reportTimeScale < 8, false, "Time Scale &Up\tAlt+UP"};
    default: return {};
    }
}

}  // namespace

ItemState itemState(int id, const MenuContext& c)
{
    const Facts f = facts();
    if ((id >= 1 && id <= 8) || id == 40004 || id == 40013 || id == 40047 || id == kExportEdf)
        return fileItem(id, c, f);
    if ((id >= 11 && id <= 13) || id == 40005 || (id >= 814 && id <= 821))
        return connectItem(id, c, f);
    if ((id >= 455 && id <= 458) || id == 23 || id == 24 || (id >= 480 && id <= 485))
        return toolsItem(id, c, f);
    if (id >= 40 && id <= 45)
        return {id == 40 || data::recordings.primary.header[data::hw::channelMode] == 1, c.tablePair == id - 40, {}};
    if (id == 46 || id == 47) {
        const bool current = c.tableCurrentSegment >= 0 ? c.tableCurrentSegment == 1 : settings.spectrumCurrentSegment;
        return {true, current == (id == 47), {}};
    }
    if (id >= 50 && id <= 55 && static_cast<std::size_t>(id - 50) < c.bandItemTexts.size())
        return {true, false, c.bandItemTexts[static_cast<std::size_t>(id - 50)]};
    if (id == 40019 || id == 40020 || id == 40021 || id == 40022 || id == 40027 || id == 40034 || id == 40035 || id == 40040)
        return formatItem(id, c);
    switch (id) {
    case 40002: return {!c.reportOpen, false, {}};
    case 25: return {!c.graphOpen, false, {}};
    case 28: return {!c.fftOpen, false, {}};
    case 26: return {!c.bandsCreationFailed, false, {}};
    case 27: return {!c.spectrumCreationFailed, false, {}};
    default: return {};
    }
}

}  // namespace app
