// The framework's own notices that tell a user of the program nothing they can
// act on, kept off standard error; every other framework message passes.
#pragma once
#include "platform/Export.h"

// Installs the filter in front of the current message handler (once; later
// calls do nothing). Call before the application object is created.
VOK_API void QuietFrameworkNotices();
