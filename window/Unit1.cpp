// The window's creation and its small handlers.

#include "Unit1.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSpinBox>
#include <QTimer>
#include <QUrl>

#include <exception>

#include "BenchmarkRun.h"
#include "CL.h"
#include "FileInformation.h"
#include "ProcessPriority.h"
#include "ResultsMenu.h"
#include "SettingsLimits.h"
#include "StartupLines.h"
#include "ViewMenu.h"
#include "VraxDirect3D9.h"

TFormVelmora* FormVelmora = nullptr;
TVraxDirect3D9* VideoMemory = nullptr;
int ScreenDPI = 96;
TFormVelmora* MainFormHandle = nullptr;

TFormVelmoraServices TFormVelmoraServices::Defaults() {
  TFormVelmoraServices Services;
  Services.OpenUrl = [](const std::string& Address) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(Address)));  // a failure is ignored
  };
  Services.ReportError = [](const std::string& Message) {
    // Shown once the window is up, without holding up its creation.
    QTimer::singleShot(0, [Text = QString::fromStdString(Message)] {
      QMessageBox::critical(FormVelmora, "Quobix's Velmora", Text);
    });
  };
  Services.CreateVideoMemory = [] { return std::make_unique<TVraxDirect3D9>(false); };
  Services.LoadOpenCLLibrary = [](const std::string& FileName) { return LoadOpenCL(FileName); };
  Services.RunTests = RunBenchmarkTests;
  return Services;
}

TFormVelmora::TFormVelmora(TFormVelmoraServices Services, QWidget* Parent)
    : QMainWindow(Parent), FServices(std::move(Services)) {
  CreateControls();

  connect(ButtonBenchmark, &QPushButton::clicked, this, &TFormVelmora::ButtonBenchmarkClick);
  FStopShortcut = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  FStopShortcut->setEnabled(false);
  connect(FStopShortcut, &QShortcut::activated, this, &TFormVelmora::StopBenchmark);
  connect(ButtonWriteGFXRAM, &QPushButton::clicked, this, &TFormVelmora::Button4Click);
  connect(ButtonReadGFXRAM, &QPushButton::clicked, this, &TFormVelmora::Button3Click);
  connect(ButtonOpenCLReadWrite, &QPushButton::clicked, this, &TFormVelmora::ButtonOpenCLReadWriteClick);
  connect(ButtonWriteSystemRAM, &QPushButton::clicked, this, &TFormVelmora::Button8Click);
  connect(ButtonReadSystemRAM, &QPushButton::clicked, this, &TFormVelmora::Button9Click);
  connect(ButtonExit, &QPushButton::clicked, this, &TFormVelmora::ButtonExitClick);
  connect(Exit1, &QAction::triggered, this, &TFormVelmora::ButtonExitClick);
  connect(OnlineHelp1, &QAction::triggered, this, &TFormVelmora::OnlineHelp1Click);
  connect(PrivacyPolicy1, &QAction::triggered, this, &TFormVelmora::PrivacyPolicy1Click);
  connect(About1, &QAction::triggered, this, &TFormVelmora::About1Click);
  // F10 opens the menu bar at its first menu, as desktops do.
  connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this,
          [this] { menuBar()->setActiveAction(File1->menuAction()); });
  // Each box names its whole entry on hover, however narrow the box.
  for (QComboBox* Box : {ComboBoxOpenCLPlatform, ComboBoxOpenCLDevice, ComboBoxCores})
    connect(Box, &QComboBox::currentIndexChanged, this, [this] { ShowFullNames(); });
  // Only a choice of the user's refills the device list, not the listing's own selection.
  connect(ComboBoxOpenCLPlatform, &QComboBox::activated, this, &TFormVelmora::ComboBoxOpenCLPlatformSelect);
  connect(ComboBoxOpenCLDevice, &QComboBox::activated, this, &TFormVelmora::ComboBoxOpenCLDeviceSelect);
  FResultsMenu = new TResultsMenu(*File1, Exit1, *this, FRunRecords, FServices.ReportError,
                                  [this](const std::string& Line) { AppendToMemo(Line); });
  FViewMenu = new TViewMenu(*menuBar(), *Help1, *this, FRunRecords, FServices.ReportError);

  try {
    FormCreate();
  } catch (const std::exception& Error) {
    // Creation stops at the failed step; the window still opens with what was done.
    FServices.ReportError(Error.what());
  }
}

TFormVelmora::~TFormVelmora() {
  if (MainFormHandle == this) MainFormHandle = nullptr;
  if (FormVelmora == this) FormVelmora = nullptr;
  if (VideoMemory == FVideoMemory.get()) VideoMemory = nullptr;
}

void TFormVelmora::FormCreate() {
  if (ScreenDPI != 96) ScaleForm(ScreenDPI / 96.0);
  RaiseProcessPriority();
  const TEXEVersionData VersionData = ReadEXEVersionData(FServices.ExecutablePath);
  FProgramVersion = VersionData.FileVersion;
  SpinEditRAMSize->setValue(BlockSizeLimits.Default);
  AppendToMemo(TitleLine(VersionData.FileVersion));
  try {
    FVideoMemory = FServices.CreateVideoMemory();
  } catch (const EVraxError& Error) {
    // Where Windows always has Direct3D, a Linux machine often lacks a Vulkan driver: the window
    // says so in its log, as the console does, and goes on, so that the OpenCL and system RAM tests
    // still run; the GFX tests each say that they have no allocator.
    AppendToMemo(Error.what());
    if (const std::string Why = GraphicsUnavailableLine(Error.what()); !Why.empty()) AppendToMemo(Why);
  }
  VideoMemory = FVideoMemory.get();
  if (VideoMemory) AppendToMemo(AdapterLine(VideoMemory->D3DADAPTER_ID.Description, VideoMemory->MemoryAvailable()));
  AppendToMemo(GetProcessorName());
  if (VideoMemory) AppendToMemo(ReachLine(VideoMemory->AdapterMemory()));
  OpenCLListPlatforms();
  ShowFullNames();
  FServices.OpenUrl(HomePageAddress);
  MainFormHandle = this;
}

void TFormVelmora::ButtonExitClick() { close(); }

void TFormVelmora::showEvent(QShowEvent* Event) {
  if (!FCentred) {
    FCentred = true;
    if (const QScreen* Screen = screen()) {
      QRect Frame = frameGeometry();
      Frame.moveCenter(Screen->availableGeometry().center());
      move(Frame.topLeft());
    }
  }
  QMainWindow::showEvent(Event);
}

void TFormVelmora::Label4Click() { FServices.OpenUrl(HomePageAddress); }
void TFormVelmora::OnlineHelp1Click() { FServices.OpenUrl(HelpPageAddress); }
void TFormVelmora::PrivacyPolicy1Click() { FServices.OpenUrl(PrivacyPolicyAddress); }

void TFormVelmora::About1Click() {
  QMessageBox Box(QMessageBox::Information, "About Velmora",
                  QString::fromStdString("Velmora " + FProgramVersion + " for Linux"), QMessageBox::Close, this);
  Box.setObjectName("AboutBox");
  Box.setInformativeText(QString::fromStdString(AboutText()));
  QPushButton* HomePage = Box.addButton("&Home Page", QMessageBox::ActionRole);
  Box.exec();
  if (Box.clickedButton() == HomePage) FServices.OpenUrl(HomePageAddress);
}

void TFormVelmora::Label4MouseEnter() {
  QFont Font = Label4->font();
  Font.setUnderline(true);
  Label4->setFont(Font);
}

void TFormVelmora::Label4MouseLeave() {
  QFont Font = Label4->font();
  Font.setUnderline(false);
  Label4->setFont(Font);
}

namespace {

bool IsEnterOrSpace(QEvent* Event, bool WithSpace) {
  if (Event->type() != QEvent::KeyPress) return false;
  const int Key = static_cast<QKeyEvent*>(Event)->key();
  return Key == Qt::Key_Return || Key == Qt::Key_Enter || (WithSpace && Key == Qt::Key_Space);
}

}  // namespace

bool TFormVelmora::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == Label4) {
    switch (Event->type()) {
      case QEvent::Enter:
      case QEvent::FocusIn:  // the keyboard's user sees where the focus is as the mouse's does
        Label4MouseEnter();
        break;
      case QEvent::Leave:
      case QEvent::FocusOut:
        if (!Label4->hasFocus() && !Label4->underMouse()) Label4MouseLeave();
        break;
      case QEvent::MouseButtonRelease:
        Label4Click();
        break;
      default:
        if (IsEnterOrSpace(Event, true)) {
          Label4Click();
          return true;
        }
        break;
    }
  } else if (auto* Push = qobject_cast<QPushButton*>(Watched); Push != nullptr && IsEnterOrSpace(Event, false)) {
    // A window's buttons take Enter only in dialogs; here a focused button is pressed by it too.
    if (Push->isEnabled()) Push->click();
    return true;
  }
  return QMainWindow::eventFilter(Watched, Event);
}
