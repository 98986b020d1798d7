// The PCI Express link texts of sysfs, four lines of the input in the order current speed, current
// width, maximum speed, maximum width: a link is read only with a finite positive speed and a width
// a PCI Express link can have, and its rate is then a finite positive number of bytes per second.

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "AdapterMemory.h"
#include "FuzzCheck.h"
#include "PciLink.h"

namespace {

const std::string Address = "0000:01:00.0";

// A sysfs tree of one device, made once for the whole run.
const std::string& SysfsRoot() {
  static const std::string Root = [] {
    char Template[] = "/tmp/velmora-fuzz-sysfs-XXXXXX";
    const char* Made = mkdtemp(Template);
    if (!Made) std::abort();
    std::filesystem::create_directories(std::string(Made) + "/bus/pci/devices/" + Address);
    return std::string(Made);
  }();
  return Root;
}

void Write(const char* Name, const std::string& Text) {
  std::ofstream(SysfsRoot() + "/bus/pci/devices/" + Address + "/" + Name, std::ios::trunc) << Text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Input(reinterpret_cast<const char*>(Data), Size);
  const char* Names[] = {"current_link_speed", "current_link_width", "max_link_speed", "max_link_width"};
  std::size_t At = 0;
  for (const char* Name : Names) {
    const std::size_t End = std::min(Input.find('\n', At), Input.size());
    Write(Name, At < Input.size() ? Input.substr(At, End - At) + "\n" : "");
    At = End < Input.size() ? End + 1 : Input.size();
  }
  const std::optional<TPciLink> Link = ReadPciLink(SysfsRoot(), Address);
  if (!Link) return 0;
  FUZZ_CHECK(std::isfinite(Link->Speed) && Link->Speed > 0, "speed %g", Link->Speed);
  FUZZ_CHECK(Link->Width >= 1 && Link->Width <= 32, "width %u", Link->Width);
  FUZZ_CHECK(std::isfinite(Link->MaxSpeed) && Link->MaxSpeed >= 0, "maximum speed %g", Link->MaxSpeed);
  FUZZ_CHECK(Link->MaxWidth <= 32, "maximum width %u", Link->MaxWidth);
  const std::optional<double> Rate = PciLinkBytesPerSecond(*Link);
  FUZZ_CHECK(!Rate || (std::isfinite(*Rate) && *Rate > 0), "rate %g", Rate.value_or(0));
  FUZZ_CHECK(!PciLinkText(*Link).empty(), "an empty link text");
  return 0;
}
