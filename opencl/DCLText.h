#pragma once
// OpenCL's 8-bit texts as the layer keeps them: the bytes that a query returned, terminating NUL
// included. Helpers to show them and to split their extension lists.

#include <string>
#include <vector>

// The bytes before the first NUL: what a list or a log line shows.
std::string DisplayText(const std::string& Text);

// The bytes a to z upper-cased and every other byte left as it is, so that extension names compare
// without regard to the case of ASCII letters and of nothing else.
std::string UpperCaseAscii(std::string Text);

// A platform's extension list. Every separator (a space or a NUL) closes one entry, so a separator
// at the start, two adjacent separators and a space before the final NUL each give an empty entry.
std::vector<std::string> SplitPlatformExtensions(const std::string& Text);

// A device's extension list. A run of separators closes one entry; only a separator as the very
// first byte gives an empty entry.
std::vector<std::string> SplitDeviceExtensions(const std::string& Text);

// True when ExtensionName, upper-cased, equals one of the (upper-cased) entries.
bool IsExtensionInList(const std::vector<std::string>& Extensions, const std::string& ExtensionName);
