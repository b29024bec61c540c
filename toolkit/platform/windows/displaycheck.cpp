#include "toolkit/platform/process.h"

namespace toolkit {

// Windows always has its desktop to show the window on: there is nothing to check.
void watchForMissingDisplay(int, char *[]) {}

} // namespace toolkit
