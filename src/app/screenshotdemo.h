#pragma once

namespace tw {

class TfrmMain;

// Only when TIDEWICK_SCREENSHOT names a PNG file (scripts/screenshot.sh sets it):
// once the window is up, checks the "C:\" row of the drive cleaner, runs a
// search with its closing box answered, checks a few findings, saves a picture of the window to that
// file and closes the window. Without the variable it does nothing.
void ScheduleScreenshotDemo(TfrmMain& window);

} // namespace tw
