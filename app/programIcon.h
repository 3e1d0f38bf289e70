#pragma once

#include <QIcon>

namespace app {

// The program's icon "Ozmar", drawn from its SVG at the sizes window systems ask for.
QIcon programIcon();

}  // namespace app
