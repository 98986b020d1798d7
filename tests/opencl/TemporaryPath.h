#pragma once
// Scratch files of the OpenCL tests, named per process so that suites running side by side do not
// share them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

inline std::filesystem::path TemporaryPath(const std::string& Name) {
  return std::filesystem::path(testing::TempDir()) / (std::to_string(getpid()) + "_" + Name);
}
