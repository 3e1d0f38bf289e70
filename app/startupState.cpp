#include "app/startupState.h"

namespace app {

StartupState startup;

}  // namespace app
