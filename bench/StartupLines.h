#pragma once
// The lines that open every log: the title with the version, the graphics adapter with its free
// memory, the processor, and what of the adapter's memory the GFX tests can touch. The window
// writes them at creation, the console before any test.

#include <cstdint>
#include <string>

#include "AdapterMemory.h"

// The maker's web addresses.
extern const char* const HomePageAddress;
extern const char* const HelpPageAddress;
extern const char* const PrivacyPolicyAddress;

// The licence Velmora is released under, as the About box and --version name it.
extern const char* const LicenceNotice;

// What the About box says under the version: what Velmora does, its licence, its home page.
std::string AboutText();

// "Velmora 1.0.0.0 Linux64 - (c) 2025-2026 Quobix, https://www.quobix.com/"
std::string TitleLine(const std::string& FileVersion);

// "<description> - Free texture memory: 3.87 GB"
std::string AdapterLine(const std::string& Description, std::uint64_t FreeTextureMemory);

// After the allocator's error, which names Direct3D as the original's does, one line in Linux terms:
// what is missing and which package provides it. Empty for any other error.
std::string GraphicsUnavailableLine(const std::string& AllocatorError);

// "GFX memory the processor can reach: 256.00 MB of 8.00 GB (resizable BAR off), PCIe 4.0 x16"
std::string ReachLine(const TAdapterMemory& Memory);

// The "model name" of /proc/cpuinfo (or of the given file), empty when it cannot be read.
std::string GetProcessorName(const std::string& CpuInfoPath = "/proc/cpuinfo");
