// The OpenCL platform and device lists: filled at creation, the device list rebuilt whenever the
// user picks a platform. Each listing makes its own enumeration and frees it before returning.

#include <QComboBox>

#include <memory>

#include "CL.h"
#include "DCLPlatform.h"
#include "DCLText.h"
#include "Unit1.h"

namespace {

// OpenCL names end with their NUL; the list shows the text before it.
QString ListText(const std::string& Name) { return QString::fromLocal8Bit(DisplayText(Name).c_str()); }

}  // namespace

void TFormVelmora::OpenCLListPlatforms() {
  if (!OpenCLLibraryHandle) FServices.LoadOpenCLLibrary(FServices.OpenCLLibraryName);
  if (!OpenCLLibraryHandle) return;
  ComboBoxOpenCLPlatform->clear();
  {
    const TDCLPlatforms Platforms;
    for (std::uint32_t Index = 0; Index < Platforms.PlatformCount(); ++Index)
      ComboBoxOpenCLPlatform->addItem(ListText(Platforms.GetPlatform(Index)->Name()));
  }
  if (ComboBoxOpenCLPlatform->count() > 0) ComboBoxOpenCLPlatform->setCurrentIndex(0);
  OpenCLListDevices();
}

void TFormVelmora::OpenCLListDevices() {
  if (!OpenCLLibraryHandle) FServices.LoadOpenCLLibrary(FServices.OpenCLLibraryName);
  if (!OpenCLLibraryHandle) return;
  const int PlatformIndex = ComboBoxOpenCLPlatform->currentIndex();
  if (PlatformIndex < 0) return;
  ComboBoxOpenCLDevice->clear();
  {
    const TDCLPlatforms Platforms;
    // The same platform again, found by its index in a fresh enumeration.
    if (const PDCLPlatform Platform = Platforms.GetPlatform(static_cast<std::uint32_t>(PlatformIndex)))
      for (std::uint32_t Index = 0; Index < Platform->DeviceCount(); ++Index)
        ComboBoxOpenCLDevice->addItem(ListText(Platform->GetDevice(Index)->Name()));
  }
  if (ComboBoxOpenCLDevice->count() > 0) ComboBoxOpenCLDevice->setCurrentIndex(0);
}

void TFormVelmora::ComboBoxOpenCLPlatformSelect(int) { OpenCLListDevices(); }
