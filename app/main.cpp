// Velmora's entry point: the window where there is a display, the console front-end otherwise
// or when asked for. A console-only build (VELMORA_WITH_WINDOW not defined) has no window.

#include <fcntl.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "CL.h"
#include "ConsoleFrontEnd.h"
#include "FormatSettings.h"
#ifdef VELMORA_WITH_WINDOW
#include "ChartPicture.h"
#include "WindowMain.h"
#endif

#ifdef VELMORA_WITH_WINDOW
namespace {

bool HasDisplay() {
  for (const char* Variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* Value = std::getenv(Variable);
    if (Value != nullptr && *Value != '\0') return true;
  }
  return false;
}

}  // namespace
#endif

namespace {

// A standard descriptor the caller closed (velmora >&-) is taken by /dev/null opened for reading
// only: every write to it still fails as on a closed one, so the console can say so, and no file
// the program opens later can land on it and receive the log.
void HoldClosedStandardDescriptors() {
  for (int Descriptor = 0; Descriptor <= 2; ++Descriptor)
    if (fcntl(Descriptor, F_GETFD) == -1 && errno == EBADF) open("/dev/null", O_RDONLY);
}

}  // namespace

int main(int argc, char** argv) {
  HoldClosedStandardDescriptors();
  InitFormatSettingsFromLocale();
  const std::vector<std::string> Arguments(argv + 1, argv + argc);
#ifdef VELMORA_WITH_WINDOW
  if (Arguments.size() == 2 && Arguments[0] == "--screenshot") return RunWindowScreenshot(argc, argv, Arguments[1]);
  if (Arguments.empty() && HasDisplay()) return RunWindowApplication(argc, argv);
#else
  if (!Arguments.empty() && Arguments[0] == "--screenshot") {
    std::cerr << "velmora: this velmora was built without its window, so there is nothing to take a picture "
                 "of; run velmora --console\n";
    return 2;
  }
#endif
#ifdef VELMORA_WITH_WINDOW
  return RunConsole("velmora", Arguments, std::cout, std::cerr, OpenDefaultGraphicsInterface, DefaultOpenCLLibraryName,
                    ConsolePassChartPng);
#else
  return RunConsole("velmora", Arguments, std::cout, std::cerr);
#endif
}
