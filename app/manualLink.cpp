#include "app/manualLink.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>
#include <filesystem>

#include "platform/dialogs.h"

namespace app {

std::string manualPath(const std::string& programFolder)
{
    namespace fs = std::filesystem;
    const fs::path folder(programFolder);
    for (const fs::path& candidate : {folder / ".." / "share" / "doc" / "ozmar" / "manual" / "manual.html",
                                      folder / "manual" / "manual.html"}) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error))
            return fs::weakly_canonical(candidate, error).string();
    }
    return std::string();
}

void openManual(QWidget* owner)
{
    const std::string path = manualPath(QCoreApplication::applicationDirPath().toStdString());
    if (path.empty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path))))
        platform::messageBox(owner,
                             path.empty() ? "The manual is not installed with this copy of Ozmar. The Debian package "
                                            "installs it in /usr/share/doc/ozmar/manual."
                                          : "No program to show the manual was found. It is the page " + path + ".",
                             "Ozmar", platform::Buttons::ok, platform::Icon::information);
}

}  // namespace app
