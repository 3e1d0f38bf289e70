#pragma once

#include <QString>
#include <string>

namespace platform {

// The program's Windows-1252 texts for display, and typed text back.
QString fromWindows1252(const std::string& text);
std::string toWindows1252(const QString& text);

}  // namespace platform
