#include "app/menuRules.h"
#include "platform/commandIds.h"

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
    case cmd::saveAsText: {
        bool enabled = !f.live && !f.playing;
        if (c.menu == MenuKind::GraphMenu)
            enabled = enabled && f.eegData;
        else if (c.menu == MenuKind::FFTMenu)
            enabled = false;
        else if (c.menu == MenuKind::CORVANE)
            enabled = enabled && c.reportShowsPatientBandsOrSpectrum;
        return {enabled, false, {}};
    }
    case cmd::batchConvert: return {!f.live && !f.playing, false, {}};
    case kExportEdf: return {!f.live && f.eegData, false, {}};
    case cmd::treatmentCourse: return {!f.live && d.dataPresent, false, {}};
    case cmd::exportBids: return {!f.live && f.eegData, false, {}};
    case cmd::saveAsImage: return {!f.playing && f.anyChannelOn, false, {}};
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
    if (id == cmd::sendData)
        return {!f.live && document.sendable && c.portOpen, false, {}};
    if (id == cmd::receiveData || id == cmd::sendName)
        return {!f.live && c.portOpen, false, {}};
    if (id == cmd::autoUpload)
        return {c.portOpen, f.autoUpload, {}};
    return {!f.live, settings.portBase != kNoPort && portNumber(settings.portBase) == id - cmd::firstPort + 1, {}};
}

ItemState toolsItem(int id, const MenuContext& c, const Facts& f)
{
    switch (id) {
    case cmd::playBack:
    case cmd::rejectEpoch: return {f.eegOrFft && c.playControlExists && !f.live, false, {}};
    case cmd::resetPlayback: return {c.playControlExists, false, {}};
    case cmd::monitorLive: return {c.playControlExists && !document.nameSending && !f.autoUpload && c.portOpen, false, {}};
    case cmd::channelSettingsWindow: return {c.channelSettingsExists, settings.showChannelSettings, {}};
    case cmd::playControlWindow: return {c.playControlExists, settings.showPlayControl, {}};
    default: return {!f.live, settings.playSpeedIndex == id - cmd::speedStep, {}};  // 480 to 485
    }
}

ItemState formatItem(int id, const MenuContext& c)
{
    char text[64];
    switch (id) {
    case cmd::reportPatientInfo: return {true, c.reportPatientInfo, {}};
    case cmd::reportBands: return {true, c.reportBands, {}};
    case cmd::reportSpectrum: return {true, c.reportSpectrum, {}};
    case cmd::reportGraphColor: return {true, c.reportColor, {}};
    case cmd::reportGraph:
        std::snprintf(text, sizeof text, "&Graph \t%d sec", c.reportSecondsPerRow);
        return {true, c.reportGraph, text};
    case cmd::reportGraphSeconds:
        std::snprintf(text, sizeof text, "&Seconds... \t%d - %d", c.reportGraphFrom, c.reportGraphTo);
        return {true, false, text};
    case cmd::timeScaleDown: return {c.reportTimeScale > 0, false, "Time Scale &Down\tAlt+DOWN"};
    case cmd::timeScaleUp: return {c.reportTimeScale < 8, false, "Time Scale &Up\tAlt+UP"};
    default: return {};
    }
}

}  // namespace

ItemState itemState(int id, const MenuContext& c)
{
    const Facts f = facts();
    if ((id >= 1 && id <= 8) || id == cmd::saveAsText || id == cmd::saveAsImage || id == cmd::batchConvert || id == kExportEdf ||
        id == cmd::treatmentCourse || id == cmd::exportBids)
        return fileItem(id, c, f);
    if ((id >= cmd::sendData && id <= cmd::sendName) || id == cmd::autoUpload || (id >= cmd::firstPort && id <= cmd::lastPort))
        return connectItem(id, c, f);
    if ((id >= cmd::playBack && id <= cmd::monitorLive) || id == cmd::channelSettingsWindow || id == cmd::playControlWindow || (id >= cmd::speedStep && id <= cmd::speed500))
        return toolsItem(id, c, f);
    if (id >= cmd::firstPair && id <= cmd::lastPair)
        return {id == cmd::firstPair || data::recordings.primary.header[data::hw::channelMode] == 1, c.tablePair == id - cmd::firstPair, {}};
    if (id == cmd::accumulatedSpectrum || id == cmd::currentSegment) {
        const bool current = c.tableCurrentSegment >= 0 ? c.tableCurrentSegment == 1 : settings.spectrumCurrentSegment;
        return {true, current == (id == cmd::currentSegment), {}};
    }
    if (id >= cmd::firstBand && id <= cmd::lastBand && static_cast<std::size_t>(id - cmd::firstBand) < c.bandItemTexts.size())
        return {true, false, c.bandItemTexts[static_cast<std::size_t>(id - cmd::firstBand)]};
    if (id == cmd::reportPatientInfo || id == cmd::reportBands || id == cmd::reportSpectrum || id == cmd::reportGraph || id == cmd::reportGraphSeconds || id == cmd::timeScaleDown || id == cmd::timeScaleUp || id == cmd::reportGraphColor)
        return formatItem(id, c);
    switch (id) {
    case cmd::openReport: return {!c.reportOpen, false, {}};
    case cmd::openGraph: return {!c.graphOpen, false, {}};
    case cmd::openFft: return {!c.fftOpen, false, {}};
    case cmd::openBands: return {!c.bandsCreationFailed, false, {}};
    case cmd::openSpectrum: return {!c.spectrumCreationFailed, false, {}};
    default: return {};
    }
}

}  // namespace app
