// Velmora's entry point.

#include <iostream>
#include <string>
#include <vector>

#include "ConsoleFrontEnd.h"
#include "FormatSettings.h"

int main(int argc, char** argv) {
  InitFormatSettingsFromLocale();
  const std::vector<std::string> Arguments(argv + 1, argv + argc);
  return RunConsole("velmora", Arguments, std::cout, std::cerr);
}
