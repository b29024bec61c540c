#include "toolkit/platform/signals.h"

namespace toolkit {

// Qt's Windows platform closes the window when Windows asks (log-off, shutdown, the taskbar's
// close): nothing to add.
void closeWindowsOnSignals() {}

} // namespace toolkit
