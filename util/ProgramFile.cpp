#include "ProgramFile.h"

#include <filesystem>
#include <system_error>

namespace {

bool IsFile(const std::filesystem::path& Path) {
  std::error_code Ignored;
  return std::filesystem::is_regular_file(Path, Ignored);
}

}  // namespace

std::string FindProgramFile(const std::string& ProgramFolder, const std::string& FileName) {
  const std::string Beside = ProgramFolder + FileName;
  if (IsFile(Beside)) return Beside;
  // The program's folder comes from /proc/self/exe with every link resolved, so ".." can be
  // taken away lexically: /usr/bin/../share/velmora/ is /usr/share/velmora/.
  const std::filesystem::path Shared =
      (std::filesystem::path(ProgramFolder) / ".." / "share" / "velmora" / FileName).lexically_normal();
  if (IsFile(Shared)) return Shared.string();
  return Beside;
}
