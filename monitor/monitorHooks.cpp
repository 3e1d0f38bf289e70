#include "monitor/monitorHooks.h"

namespace monitor {

MonitorHooks monitorHooks;

}  // namespace monitor
