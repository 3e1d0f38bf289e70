#include "views/accessibleText.h"

#include <QWidget>

#include "data/recording.h"
#include "monitor/guiRecordingRead.h"

namespace views {

QString recordingDescription(const data::Recording& rec)
{
    namespace hw = data::hw;
    const std::uint16_t flags = rec.contentFlags();
    const char* kind = flags & data::content::monitoring ? "Monitoring recording"
                       : flags & data::content::report   ? "Treatment recording"
                                                         : "Recording";
    return QString::asprintf("%s of %02u/%02u/%02u %02u:%02u, %d channels", kind, rec.header[hw::month], rec.header[hw::day],
                             rec.header[hw::year] % 100u, rec.header[hw::hour], rec.header[hw::minute],
                             rec.header[hw::channelMode] != 0 ? 4 : 2);
}

QString primaryRecordingDescription()
{
    QString text = "Recording";
    monitor::readPrimaryFromGui([&](const data::Recording& rec) { text = recordingDescription(rec); });
    return text;
}

void describe(QWidget& window, const QString& name, const QString& description)
{
    if (window.accessibleName() != name)
        window.setAccessibleName(name);
    if (window.accessibleDescription() != description)
        window.setAccessibleDescription(description);
}

}  // namespace views
