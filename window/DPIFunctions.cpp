#include "DPIFunctions.h"

#include <QScreen>

#include <algorithm>
#include <cmath>

void QueryMonitorDPI(const QScreen* Monitor, std::uint32_t& DpiX, std::uint32_t& DpiY) {
  DpiX = 0;
  DpiY = 0;
  if (Monitor == nullptr) return;
  DpiX = static_cast<std::uint32_t>(std::lround(std::max(0.0, Monitor->logicalDotsPerInchX())));
  DpiY = static_cast<std::uint32_t>(std::lround(std::max(0.0, Monitor->logicalDotsPerInchY())));
}

int ChooseScreenDPI(std::uint32_t DpiX, std::uint32_t DpiY, int ScreenPixelsPerInch) {
  if (DpiX == 0) return ScreenPixelsPerInch;
  return static_cast<int>(std::min(DpiX, DpiY));
}
