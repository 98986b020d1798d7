#pragma once
// A fresh directory for one test's files, removed with everything in it when the test ends.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

class TTemporaryDirectory {
 public:
  TTemporaryDirectory() {
    std::string Pattern = (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX").string();
    if (::mkdtemp(Pattern.data()) == nullptr) throw std::runtime_error("cannot make a directory from " + Pattern);
    FPath = Pattern;
  }
  ~TTemporaryDirectory() {
    std::error_code Ignored;
    std::filesystem::remove_all(FPath, Ignored);
  }
  TTemporaryDirectory(const TTemporaryDirectory&) = delete;
  TTemporaryDirectory& operator=(const TTemporaryDirectory&) = delete;

  std::string Path(const std::string& Name) const { return (FPath / Name).string(); }

  // Writes Bytes to the file Name (replacing it) and returns its path.
  std::string Write(const std::string& Name, std::string_view Bytes) const {
    const std::string FileName = Path(Name);
    std::ofstream File(FileName, std::ios::binary | std::ios::trunc);
    File.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    if (!File.flush()) throw std::runtime_error("cannot write " + FileName);
    return FileName;
  }

 private:
  std::filesystem::path FPath;
};
