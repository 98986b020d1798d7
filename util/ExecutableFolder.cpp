#include "ExecutableFolder.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

std::string ExecutableFolder() {
  std::vector<char> Path(4096);
  for (;;) {
    const ssize_t Length = readlink("/proc/self/exe", Path.data(), Path.size());
    if (Length < 0)
      throw std::runtime_error(std::string("Cannot find the program's own folder: ") + std::strerror(errno));
    if (static_cast<std::size_t>(Length) < Path.size()) {
      const std::string Executable(Path.data(), static_cast<std::size_t>(Length));
      return Executable.substr(0, Executable.rfind('/') + 1);
    }
    Path.resize(Path.size() * 2);  // the path filled the buffer: it may have been cut
  }
}
