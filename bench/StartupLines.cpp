#include "StartupLines.h"

#include "HelperQuobix.h"
#include "MachineFacts.h"

const char* const HomePageAddress = "https://www.quobix.com/";
const char* const HelpPageAddress = "https://www.quobix.com/velmora/";
const char* const PrivacyPolicyAddress = "https://www.quobix.com/velmora/privacy-policy.txt";

std::string TitleLine(const std::string& FileVersion) {
  return "Velmora " + FileVersion + " Linux64 - (c) 2025-2026 Quobix, " + HomePageAddress;
}

std::string AdapterLine(const std::string& Description, std::uint64_t FreeTextureMemory) {
  return Description + " - Free texture memory: " + FormatByteSize(static_cast<std::int64_t>(FreeTextureMemory));
}

std::string ReachLine(const TAdapterMemory& Memory) {
  return "GFX memory the processor can reach: " + ReachText(Memory);
}

std::string GetProcessorName(const std::string& CpuInfoPath) { return ReadProcessorModel(CpuInfoPath); }
