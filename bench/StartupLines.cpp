#include "StartupLines.h"

#include "HelperQuobix.h"
#include "MachineFacts.h"

const char* const HomePageAddress = "https://www.quobix.com/";
const char* const HelpPageAddress = "https://www.quobix.com/velmora/";
const char* const PrivacyPolicyAddress = "https://www.quobix.com/velmora/privacy-policy.txt";

const char* const LicenceNotice =
    "Copyright (c) 2025-2026 Quobix. Velmora is free software under the MIT licence: you may use, copy, change "
    "and pass it on, and it comes with no warranty.";

std::string AboutText() {
  return std::string("Velmora measures how fast this machine moves data to and from memory: the processor ") +
         "writing and reading system RAM and the graphics adapter's memory, and an OpenCL kernel reading and " +
         "writing device memory.\n\n" + LicenceNotice + "\n\nHome page: " + HomePageAddress;
}

std::string TitleLine(const std::string& FileVersion) {
  return "Velmora " + FileVersion + " Linux64 - (c) 2025-2026 Quobix, " + HomePageAddress;
}

std::string AdapterLine(const std::string& Description, std::uint64_t FreeTextureMemory) {
  return Description + " - Free texture memory: " + FormatByteSize(static_cast<std::int64_t>(FreeTextureMemory));
}

std::string GraphicsUnavailableLine(const std::string& AllocatorError) {
  const std::string Driver = "a Vulkan driver, such as Mesa's (package mesa-vulkan-drivers) or the graphics card maker's";
  if (AllocatorError == "Error: Creating D3D Object!")
    return "No Vulkan driver was found: the GFX tests need the Vulkan loader (package libvulkan1) and " + Driver;
  if (AllocatorError == "Error: Creating D3D Device!")
    return "No Vulkan driver could open a graphics adapter: the GFX tests need " + Driver + " for this machine's adapter";
  return "";
}

std::string ReachLine(const TAdapterMemory& Memory) {
  return "GFX memory the processor can reach: " + ReachText(Memory);
}

std::string GetProcessorName(const std::string& CpuInfoPath) { return ReadProcessorModel(CpuInfoPath); }
