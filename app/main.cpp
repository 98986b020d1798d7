// Velmora's entry point: the window where there is a display, the console front-end otherwise
// or when asked for.

#include <fcntl.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "ConsoleFrontEnd.h"
#include "FormatSettings.h"
#include "WindowMain.h"

namespace {

bool HasDisplay() {
  for (const char* Variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* Value = std::getenv(Variable);
    if (Value != nullptr && *Value != '\0') return true;
  }
  return false;
}

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
  if (Arguments.size() == 2 && Arguments[0] == "--screenshot") return RunWindowScreenshot(argc, argv, Arguments[1]);
  if (Arguments.empty() && HasDisplay()) return RunWindowApplication(argc, argv);
  return RunConsole("velmora", Arguments, std::cout, std::cerr);
}
