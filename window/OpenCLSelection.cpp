// The OpenCL platform and device lists: filled at creation, the device list rebuilt whenever the
// user picks a platform, and the core-count box's items following the device. Each listing makes
// its own enumeration and frees it before returning.

#include <QAbstractItemView>
#include <QComboBox>
#include <QStyle>

#include <algorithm>

#include <memory>

#include "CL.h"
#include "CoreCounts.h"
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
  OfferCoreCountsForDevice();
}

void TFormVelmora::OfferCoreCounts(const TCoreCountOffers& Offers) {
  ComboBoxCores->clear();
  for (const TCoreCountOffer& Item : Offers.Items)
    ComboBoxCores->addItem(QString::fromStdString(Item.Text), QVariant(Item.Count));
  ComboBoxCores->setCurrentIndex(Offers.Selected);
  ShowFullNames();
}

void TFormVelmora::OfferCoreCountsForDevice() {
  const int PlatformIndex = ComboBoxOpenCLPlatform->currentIndex();
  const int DeviceIndex = ComboBoxOpenCLDevice->currentIndex();
  bool IsGPU = true;  // no device: the cards
  std::uint32_t ComputeUnits = 0;
  if (OpenCLLibraryHandle && PlatformIndex >= 0 && DeviceIndex >= 0) {
    const TDCLPlatforms Platforms;
    if (const PDCLPlatform Platform = Platforms.GetPlatform(static_cast<std::uint32_t>(PlatformIndex)))
      if (const PDCLDevice Device = Platform->GetDevice(static_cast<std::uint32_t>(DeviceIndex))) {
        IsGPU = Device->IsGPU();
        ComputeUnits = Device->MaxComputeUnits();
      }
  }
  OfferCoreCounts(CoreCountOffers(IsGPU, ComputeUnits));
}

void TFormVelmora::ShowFullNames() {
  for (QComboBox* Box : {ComboBoxOpenCLPlatform, ComboBoxOpenCLDevice, ComboBoxCores}) {
    Box->setToolTip(Box->currentIndex() >= 0 ? Box->itemText(Box->currentIndex()) : QString());
    // The list that drops down is as wide as its longest entry, the box keeping its designed width.
    QAbstractItemView* List = Box->view();
    const int Entries = List->sizeHintForColumn(0) + 2 * List->frameWidth() +
                        List->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8;
    List->setMinimumWidth(std::max(Entries, Box->width()));
  }
}

void TFormVelmora::ComboBoxOpenCLPlatformSelect(int) { OpenCLListDevices(); }

void TFormVelmora::ComboBoxOpenCLDeviceSelect(int) { OfferCoreCountsForDevice(); }
