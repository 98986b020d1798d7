#pragma once
// How the classes read an OpenCL text: a size query, then the value query into a text of that size.
// Internal to the layer.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "CL.h"

// Far above what any working runtime reports (names and extension lists of a few kilobytes, a
// handful of platforms and devices). A larger answer comes from a broken runtime, and holding what
// it claims would take all memory or end in an allocation error that names nothing.
inline constexpr std::size_t MaxOpenCLTextSize = std::size_t{16} << 20;
inline constexpr std::uint32_t MaxOpenCLObjectCount = 4096;

// Raised for a size or a count beyond those limits, naming what the runtime reported.
class EOpenCLAbsurdAnswer : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Count objects of the kind named by What ("platforms"), as the runtime reported them.
inline void CheckOpenCLObjectCount(std::uint64_t Count, const char* What) {
  if (Count > MaxOpenCLObjectCount)
    throw EOpenCLAbsurdAnswer("The OpenCL runtime reported " + std::to_string(Count) + " " + What);
}

// Query(ValueSize, Value, SizeReturned) is one clGet...Info call on a fixed object and parameter.
// Both codes go to Status in turn. The text keeps every byte the runtime reported, NUL included;
// a text whose size query failed stays empty. An absurd size raises EOpenCLAbsurdAnswer.
template <typename TQuery>
std::string QueryInfoText(TQuery Query, std::int32_t& Status) {
  std::size_t Size = 0;
  Status = Query(0, nullptr, &Size);
  // A failed call may leave anything in its out-parameter.
  if (Status != CL_SUCCESS) Size = 0;
  if (Size > MaxOpenCLTextSize)
    throw EOpenCLAbsurdAnswer("The OpenCL runtime reported a text of " + std::to_string(Size) + " bytes");
  std::string Text(Size, '\0');
  Status = Query(Size, Text.data(), nullptr);
  return Text;
}
