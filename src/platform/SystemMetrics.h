// Sizes the window system reports.
#pragma once

enum : int { SM_CXSCREEN = 0, SM_CYSCREEN = 1 };

// Width or height of the primary screen in pixels; 0 without a screen.
int GetSystemMetrics(int index);
