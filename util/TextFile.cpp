#include "TextFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace {

// Closes the descriptor on every path; Close() reports the error a plain close would lose.
class TFileDescriptor {
 public:
  explicit TFileDescriptor(int Descriptor) : FDescriptor(Descriptor) {}
  ~TFileDescriptor() {
    if (FDescriptor >= 0) ::close(FDescriptor);
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  int Get() const { return FDescriptor; }
  // A full disk on a network or delayed-allocation file system is often first reported here.
  void Close() {
    const int Descriptor = FDescriptor;
    FDescriptor = -1;
    if (::close(Descriptor) != 0) Fail();
  }

  [[noreturn]] static void Fail() { throw std::system_error(errno, std::generic_category()); }

 private:
  int FDescriptor;
};

}  // namespace

void WriteTextFile(const std::string& Path, const std::string& Text) {
  TFileDescriptor File(::open(Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (File.Get() < 0) TFileDescriptor::Fail();
  std::size_t Written = 0;
  while (Written < Text.size()) {
    const ssize_t Count = ::write(File.Get(), Text.data() + Written, Text.size() - Written);
    if (Count < 0) {
      if (errno == EINTR) continue;
      TFileDescriptor::Fail();
    }
    Written += static_cast<std::size_t>(Count);
  }
  File.Close();
}

std::string ReadTextFile(const std::string& Path) {
  TFileDescriptor File(::open(Path.c_str(), O_RDONLY | O_CLOEXEC));
  if (File.Get() < 0) TFileDescriptor::Fail();
  std::string Text;
  char Buffer[65536];
  for (;;) {
    const ssize_t Count = ::read(File.Get(), Buffer, sizeof Buffer);
    if (Count < 0) {
      if (errno == EINTR) continue;
      TFileDescriptor::Fail();
    }
    if (Count == 0) break;
    Text.append(Buffer, static_cast<std::size_t>(Count));
  }
  return Text;
}
