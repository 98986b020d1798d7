#pragma once
// The three lines that open every log: the title with the version, the graphics adapter with its
// free memory, and the processor. The window writes them at creation, the console before any test.

#include <cstdint>
#include <string>

// The maker's web addresses.
extern const char* const HomePageAddress;
extern const char* const HelpPageAddress;
extern const char* const PrivacyPolicyAddress;

// "Velmora 1.0.0.0 Linux64 - (c) 2025-2026 Quobix, https://www.quobix.com/"
std::string TitleLine(const std::string& FileVersion);

// "<description> - Free texture memory: 3.87 GB"
std::string AdapterLine(const std::string& Description, std::uint64_t FreeTextureMemory);

// The "model name" of /proc/cpuinfo (or of the given file), empty when it cannot be read.
std::string GetProcessorName(const std::string& CpuInfoPath = "/proc/cpuinfo");
