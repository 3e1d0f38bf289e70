#pragma once

#include <string>

class QWidget;

namespace app {

// The manual's page: where the package installs it beside the program
// (share/doc/ozmar/manual), or where scripts/manual.sh makes it in a build
// folder; "" when there is none.
std::string manualPath(const std::string& programFolder);

// Opens the manual in the desktop's browser, or says where it would be.
void openManual(QWidget* owner);

}  // namespace app
