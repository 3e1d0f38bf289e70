#include "app/startup.h"

#include <ctime>
#include <filesystem>

#include "app/commandLine.h"
#include "app/configFile.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "data/recordingStore.h"

namespace app {

using state::settings;
using state::startup;

void startUp(const std::vector<std::string>& arguments)
{
    parseCommandLine(arguments);
    applyDefaultConfiguration(settings, data::recordings.primary);
    startup.startTime = std::time(nullptr);
    std::error_code error;
    startup.startDir = std::filesystem::current_path(error).string();
    startup.lastDir = startup.startDir;
    if (!startup.autoUpload && !startup.imageMode())
        startup.uploadDir = startup.startDir;
    if (!startup.noSerial)
        readConfiguration(configurationPath());
}

std::string configurationPath()
{
    return (std::filesystem::path(startup.startDir) / kConfigFileName).string();
}

}  // namespace app
