#include "ConsoleAdapters.h"

#include <vector>

#include "HelperQuobix.h"
#include "StartupLines.h"

void ListGraphicsAdapters(const std::unique_ptr<TGraphicsInterface>& Graphics, std::ostream& Out) {
  if (!Graphics) {
    Out << "No Vulkan loader or driver could be opened, so there is no graphics adapter.\n";
    return;
  }
  const std::vector<TAdapterDescription> Adapters = Graphics->Adapters();
  if (Adapters.empty()) Out << "The Vulkan driver reports no graphics adapter.\n";
  for (std::size_t Index = 0; Index < Adapters.size(); ++Index) {
    const TAdapterDescription& Adapter = Adapters[Index];
    Out << "Vulkan adapter " << Index << ": " << Adapter.Name << " - " << Adapter.Kind
        << (Adapter.IsDefault ? " (the GFX tests' adapter)" : "") << ", free texture memory "
        << FormatByteSize(static_cast<std::int64_t>(Adapter.Memory.DeviceLocalFree)) << "\n"
        << "  " << ReachLine(Adapter.Memory) << "\n";
  }
}
