#pragma once

#include <QString>

class QWidget;

namespace data {
struct Recording;
}

namespace views {

// The recording as a screen reader reads it: its kind, date and time and channels.
QString recordingDescription(const data::Recording& rec);

// The same of the program's primary recording, read from the user-interface
// thread while the live reader or a transfer may be changing it ("Recording"
// while a transfer holds it).
QString primaryRecordingDescription();

// Gives a custom-drawn window its accessible name and description; changes
// them (and so tells a screen reader) only when the text differs.
void describe(QWidget& window, const QString& name, const QString& description);

}  // namespace views
