#pragma once
// The message of the error an action raises, or "(no error)", for tests that compare messages.

#include <exception>
#include <functional>
#include <string>

inline std::string ErrorOf(const std::function<void()>& Action) {
  try {
    Action();
  } catch (const std::exception& Error) {
    return Error.what();
  }
  return "(no error)";
}
