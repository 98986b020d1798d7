// Prints what the man page and the shell completion say about the tests and the settings, read
// from the one table of the tests and the one header of the limits, so that neither document can
// fall behind them. One NAME=VALUE line each, for packaging/ConfigureFromFacts.cmake.

#include <iostream>

#include "TestTable.h"
#include "SettingsLimits.h"

int main() {
  std::cout << "SIZE_MINIMUM=" << BlockSizeLimits.Minimum << "\n"
            << "SIZE_MAXIMUM=" << BlockSizeLimits.Maximum << "\n"
            << "SIZE_DEFAULT=" << BlockSizeLimits.Default << "\n"
            << "PASSES_MINIMUM=" << PassesLimits.Minimum << "\n"
            << "PASSES_MAXIMUM=" << PassesLimits.Maximum << "\n"
            << "PASSES_DEFAULT=" << PassesLimits.Default << "\n"
            << "GPU_WORK_ITEMS=" << GPUDefaultWorkItems << "\n";
  // Every name --test takes but 'all', in the table's order: the name, a tab, the line of --help.
  for (const TTestName& Name : TestNames()) std::cout << "TEST=" << Name.Name << "\t" << Name.Description << "\n";
  return 0;
}
