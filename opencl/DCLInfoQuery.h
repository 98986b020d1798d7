#pragma once
// How the classes read an OpenCL text: a size query, then the value query into a text of that size.
// Internal to the layer.

#include <cstddef>
#include <string>

#include "CL.h"

// Query(ValueSize, Value, SizeReturned) is one clGet...Info call on a fixed object and parameter.
// Both codes go to Status in turn. The text keeps every byte the runtime reported, NUL included;
// a text whose size query failed stays empty.
template <typename TQuery>
std::string QueryInfoText(TQuery Query, std::int32_t& Status) {
  std::size_t Size = 0;
  Status = Query(0, nullptr, &Size);
  // A failed call may leave anything in its out-parameter.
  if (Status != CL_SUCCESS) Size = 0;
  std::string Text(Size, '\0');
  Status = Query(Size, Text.data(), nullptr);
  return Text;
}
