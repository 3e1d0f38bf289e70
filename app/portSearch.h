#pragma once

namespace app {

// Start-up's search for a serial port: the port given with /comN (whose
// failure ends the run with exit code 6) or the one stored last time first,
// then, with the user's leave, the others. Without a port the user is told.
void searchPort(const void* owner);

}  // namespace app
