#pragma once
// What every fuzz target shares: a property check that stops the run with the input's finding, and
// the input as a file for the readers that take a path.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

// A property the output must have; a violation is a finding, reported and kept by libFuzzer.
#define FUZZ_CHECK(Condition, ...)                                               \
  do {                                                                           \
    if (!(Condition)) {                                                          \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #Condition); \
      std::fprintf(stderr, __VA_ARGS__);                                         \
      std::fprintf(stderr, "\n");                                                \
      std::abort();                                                              \
    }                                                                            \
  } while (false)

// The input as a file in memory, named by a path under /proc/self/fd while the object lives.
class TFuzzFile {
 public:
  explicit TFuzzFile(std::string_view Bytes) : FDescriptor(memfd_create("fuzz-input", MFD_CLOEXEC)) {
    if (FDescriptor < 0) throw std::runtime_error("memfd_create failed");
    for (std::size_t Done = 0; Done < Bytes.size();) {
      const ssize_t Written = write(FDescriptor, Bytes.data() + Done, Bytes.size() - Done);
      if (Written <= 0) throw std::runtime_error("cannot write the fuzz input");
      Done += static_cast<std::size_t>(Written);
    }
  }
  ~TFuzzFile() { close(FDescriptor); }
  TFuzzFile(const TFuzzFile&) = delete;
  TFuzzFile& operator=(const TFuzzFile&) = delete;

  std::string Path() const { return "/proc/self/fd/" + std::to_string(FDescriptor); }

 private:
  int FDescriptor;
};
