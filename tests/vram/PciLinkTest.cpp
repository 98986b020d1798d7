// The PCI Express link as the kernel's sysfs texts describe it, and how the log shows it.
#include "PciLink.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "TemporaryDirectory.h"

namespace {

// The four link files of one device under a sysfs root of the test's own; a null text is no file.
struct TLinkFiles {
  const char* Speed;
  const char* Width;
  const char* MaxSpeed;
  const char* MaxWidth;
};

std::optional<std::string> LinkTextFrom(const TLinkFiles& Files) {
  TTemporaryDirectory Sysfs;
  const std::string Device = "bus/pci/devices/0000:01:00.0";
  std::filesystem::create_directories(Sysfs.Path(Device));
  const std::pair<const char*, const char*> Named[] = {{"current_link_speed", Files.Speed},
                                                       {"current_link_width", Files.Width},
                                                       {"max_link_speed", Files.MaxSpeed},
                                                       {"max_link_width", Files.MaxWidth}};
  for (const auto& [Name, Text] : Named)
    if (Text) Sysfs.Write(Device + "/" + Name, std::string(Text) + "\n");
  const std::optional<TPciLink> Link = ReadPciLink(Sysfs.Path(""), "0000:01:00.0");
  if (!Link) return std::nullopt;
  return PciLinkText(*Link);
}

TEST(PciLink, ReadsTheKernelsTextsOfTheCurrentAndTheLargestLink) {
  struct TCase {
    const char* Name;
    TLinkFiles Files;
    std::optional<std::string> Text;
  };
  const TCase Cases[] = {
      {"full link", {"16.0 GT/s PCIe", "16", "16.0 GT/s PCIe", "16"}, "PCIe 4.0 x16"},
      // Cards drop to the lowest rate while idle: say what the link can do as well.
      {"idle card", {"2.5 GT/s PCIe", "16", "16.0 GT/s PCIe", "16"}, "PCIe 1.1 x16 (up to 4.0 x16)"},
      // Older kernels write the rate without "PCIe"; a x16 card in a x8 slot.
      {"older kernel, narrow slot", {"8 GT/s", "8", "8 GT/s", "16"}, "PCIe 3.0 x8 (up to 3.0 x16)"},
      {"PCIe 5.0 and 2.0", {"5.0 GT/s PCIe", "4", "32.0 GT/s PCIe", "16"}, "PCIe 2.0 x4 (up to 5.0 x16)"},
      {"no largest link", {"8.0 GT/s PCIe", "16", nullptr, nullptr}, "PCIe 3.0 x16"},
      {"a rate of no generation", {"20.0 GT/s PCIe", "4", "Unknown", "4"}, "PCIe 20 GT/s x4"},
      {"link down", {"Unknown", "0", "16.0 GT/s PCIe", "16"}, std::nullopt},
      // Texts no link has: a rate that is no number, and the widths of a link in training ("255")
      // or a sign that would wrap to four billion lanes.
      {"rate nan", {"nan GT/s PCIe", "16", nullptr, nullptr}, std::nullopt},
      {"rate inf", {"inf GT/s PCIe", "16", nullptr, nullptr}, std::nullopt},
      {"width 255", {"8.0 GT/s PCIe", "255", nullptr, nullptr}, std::nullopt},
      {"width -1", {"8.0 GT/s PCIe", "-1", nullptr, nullptr}, std::nullopt},
      {"largest link of no number", {"8.0 GT/s PCIe", "16", "nan GT/s", "-16"}, "PCIe 3.0 x16"},
      // An integrated GPU on the processor's own bus has no link files at all.
      {"no link files", {nullptr, nullptr, nullptr, nullptr}, std::nullopt},
  };
  for (const TCase& Case : Cases) EXPECT_EQ(LinkTextFrom(Case.Files), Case.Text) << Case.Name;
}

// What one direction of a link carries after its line code, the figure the transfer tests' peaks
// are a share of.
TEST(PciLink, ItsRateIsTheTransferRateOfItsLanesLessTheLineCode) {
  struct TCase {
    double Speed;
    std::uint32_t Width;
    std::optional<double> BytesPerSecond;
  };
  const TCase Cases[] = {
      {2.5, 1, 250e6},                       // 8b/10b
      {5.0, 16, 8e9},                        // 8b/10b
      {8.0, 16, 8e9 * 16 / 8 * 128 / 130},   // 128b/130b: 15.75 GB/s
      {16.0, 16, 16e9 * 16 / 8 * 128 / 130}, // 31.51 GB/s
      {32.0, 4, 32e9 * 4 / 8 * 128 / 130},
      {64.0, 16, 128e9},                     // FLIT mode: no line code
      {20.0, 4, std::nullopt},               // a rate of no generation
  };
  for (const TCase& Case : Cases) {
    const std::optional<double> Rate = PciLinkBytesPerSecond({Case.Speed, Case.Width, 0, 0});
    ASSERT_EQ(Rate.has_value(), Case.BytesPerSecond.has_value()) << Case.Speed;
    if (Rate) {
      EXPECT_NEAR(*Rate, *Case.BytesPerSecond, 1.0) << Case.Speed;
    }
  }
}

TEST(PciLink, AddressesAreNamedAsSysfsNamesThem) {
  EXPECT_EQ(PciAddressText(0, 1, 0, 0), "0000:01:00.0");
  EXPECT_EQ(PciAddressText(0x1, 0xc1, 0x1f, 7), "0001:c1:1f.7");
}

}  // namespace
