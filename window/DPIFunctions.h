#pragma once
// The DPI by which the window scales itself. Qt 6 already scales every window by the screen's
// device pixel ratio; what it reports as logical DPI is what is left for the window to do, so the
// form never scales twice what Qt has scaled.

#include <cstdint>

class QScreen;

// The monitor's effective DPI as Qt presents it (0 and 0 without a monitor).
void QueryMonitorDPI(const QScreen* Monitor, std::uint32_t& DpiX, std::uint32_t& DpiY);

// The start-up rule: the screen's pixels per inch when the monitor gave no DpiX, otherwise the
// smaller of DpiX and DpiY.
int ChooseScreenDPI(std::uint32_t DpiX, std::uint32_t DpiY, int ScreenPixelsPerInch);
