#pragma once
// The main window: the settings of a run, the six buttons that start runs, the log, the five
// peak labels, the menu and the link label. It prepares the shared objects at creation, starts
// one worker thread per run and shows what the tests post back through Qt's event queue.

#include <QDateTime>
#include <QElapsedTimer>
#include <QMainWindow>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

#include "BenchmarkMessages.h"
#include "BenchmarkModel.h"
#include "BenchmarkReporter.h"
#include "CL.h"
#include "RunRecords.h"
#include "SpinEdit.h"

struct TCoreCountOffers;

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QShortcut;
class TVraxDirect3D9;
class TFormVelmora;
class TResultsMenu;
class TViewMenu;

// The unit-level variables of the window.
extern TFormVelmora* FormVelmora;      // the window, once start-up made it
extern TVraxDirect3D9* VideoMemory;     // the one video memory allocator, owned by the window
extern int ScreenDPI;                   // the DPI the window scales itself by (96: not at all)
extern TFormVelmora* MainFormHandle;    // where Log and SendResult post to

// What the window needs from the outside, replaceable by the tests: nothing here may open a
// browser, show a modal box or need a device in a test that does not want it.
struct TFormVelmoraServices {
  std::function<void(const std::string& Address)> OpenUrl;        // the default browser
  std::function<void(const std::string& Message)> ReportError;    // the top-level error report
  std::function<std::unique_ptr<TVraxDirect3D9>()> CreateVideoMemory;
  std::function<bool(const std::string& FileName)> LoadOpenCLLibrary;
  // What a run's worker calls: the chosen tests in the order of a full run.
  std::function<void(TBenchmarkType, const TBenchmarkSettings&, TBenchmarkReporter&, TVraxDirect3D9*)> RunTests;
  std::string OpenCLLibraryName = DefaultOpenCLLibraryName;
  std::string ExecutablePath = "/proc/self/exe";  // whose version information the title shows

  // The real ones: the browser, a message box, Vulkan, the OpenCL runtime.
  static TFormVelmoraServices Defaults();
};

class TFormVelmora : public QMainWindow, public TBenchmarkReporter {
 public:
  explicit TFormVelmora(TFormVelmoraServices Services = TFormVelmoraServices::Defaults(), QWidget* Parent = nullptr);
  ~TFormVelmora() override;

  // The reporter (FormMessages.cpp). Posts to MainFormHandle; callable from any thread, never blocks.
  void Log(const std::string& Text) override;
  void SendResult(const std::string& Text, TBenchmarkType BenchmarkType, bool Finished) override;
  // The record-keeping calls go to MainFormHandle's record of the run, posted like the lines;
  // callable from any thread, never block.
  void TestStarted(TBenchmarkType BenchmarkType, std::int64_t BlockSize) override;
  void GFXBlockUsed(const TGFXBlockRecord& Block) override;
  void OpenCLDeviceUsed(const TOpenCLRecord& Device) override;
  void ThreadsUsed(const TThreadsRecord& Threads) override;
  void ReasonLogged(const std::string& Line) override;
  void PassTimed(const TPassRecord& Pass) override;
  void TestEnded(TTestStatus Status, const std::string& Message) override;

  // The runner (BenchmarkRunner.cpp). While a run is active, "Run benchmark" is its Stop button
  // (Esc).
  void DoBenchmark(TBenchmarkType BenchmarkType);
  void EnableControls();
  void DisableControls();
  // Asks the active run to end after its current pass; returns at once.
  void StopBenchmark();
  void ProcessResult(const TBenchmarkResultMessage& BenchmarkResultMessage);

  // The OpenCL lists (OpenCLSelection.cpp).
  void OpenCLListPlatforms();
  void OpenCLListDevices();
  // The core-count box's items for the chosen device (see CoreCountOffers).
  void OfferCoreCounts(const TCoreCountOffers& Offers);
  void OfferCoreCountsForDevice();

  // Whether a run's worker thread is still at work: closing the window then ends the process
  // at once instead of destroying what the worker uses.
  bool HasRunningWorker() const { return FRunningWorkers.load() > 0; }

  // The eleven controls a run locks, in locking order. The twelfth of the original, "Run
  // benchmark", stays usable during a run as its Stop button.
  std::array<QWidget*, 11> LockedControls() const;

  // Components, under their designer names.
  QGroupBox* GroupBox1;
  QGroupBox* GroupBox3;
  QLabel* Label1;
  TSpinEdit* SpinEditRAMSize;
  QLabel* Label2;
  QLabel* Label3;
  TSpinEdit* SpinEditPasses;
  QPushButton* ButtonBenchmark;
  QGroupBox* GroupBox10;
  QLabel* Label6;
  QComboBox* ComboBoxOpenCLPlatform;
  QLabel* Label7;
  QComboBox* ComboBoxOpenCLDevice;
  QLabel* Label11;
  QComboBox* ComboBoxCores;
  QGroupBox* GroupBox2;
  QPushButton* ButtonWriteGFXRAM;
  QPushButton* ButtonReadGFXRAM;
  QPushButton* ButtonOpenCLReadWrite;
  QGroupBox* GroupBox4;
  QPushButton* ButtonWriteSystemRAM;
  QPushButton* ButtonReadSystemRAM;
  QPlainTextEdit* Memo1;
  QGroupBox* GroupBox5;
  QLabel* LabelPeakGFXWrite;
  QGroupBox* GroupBox6;
  QLabel* LabelPeakGFXRead;
  QGroupBox* GroupBox9;
  QLabel* LabelPeakGFXOCLReadWrite;
  QGroupBox* GroupBox8;
  QLabel* LabelPeakSYSWrite;
  QGroupBox* GroupBox7;
  QLabel* LabelPeakSYSRead;
  QLabel* Label4;
  QPushButton* ButtonExit;
  QMenu* File1;
  QAction* Exit1;
  QMenu* Help1;
  QAction* OnlineHelp1;
  QAction* PrivacyPolicy1;
  QAction* About1;  // Help > About Velmora: the version, the licence, the home page

 protected:
  // Receives the benchmark messages (the form's window procedure, FormMessages.cpp).
  bool event(QEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void showEvent(QShowEvent* Event) override;

 private:
  // The components and their places (FormControls.cpp).
  void CreateControls();
  void ScaleForm(double Factor);
  // Where a text needs more room than the design gives it with this machine's fonts, its control
  // grows into the free space to its right: the spin edits to show their largest value, the link
  // label its whole caption.
  void FitControlsToTexts();
  // Tab follows the layout; Enter presses a focused button.
  void SetKeyboardOrder();
  // Creation and the small handlers (Unit1.cpp).
  void FormCreate();

  // Event handlers.
  void ButtonBenchmarkClick();
  void Button4Click();
  void Button3Click();
  void ButtonOpenCLReadWriteClick();
  void Button8Click();
  void Button9Click();
  void ButtonExitClick();
  void ComboBoxOpenCLPlatformSelect(int Index);
  void ComboBoxOpenCLDeviceSelect(int Index);
  void Label4Click();
  void Label4MouseEnter();
  void Label4MouseLeave();
  void OnlineHelp1Click();
  void PrivacyPolicy1Click();
  void About1Click();

  void AppendToMemo(const std::string& Text);
  // The button and the result box of each test that has them, in the layout's order.
  struct TTestControls {
    TBenchmarkType Type;
    QPushButton* Button;
    QLabel* Result;
  };
  std::array<TTestControls, 5> TestControls() const;
  QLabel* ResultLabel(TBenchmarkType BenchmarkType) const;
  // The button that runs a test of this type alone (ButtonBenchmark for bmAll); null where none does.
  QPushButton* RunButton(TBenchmarkType BenchmarkType) const;
  // After a run, the result boxes of its tests: a fresh figure explained on hover, an older one
  // marked as older where the test gave none this time.
  void ExplainResults(const TRunRecord& Run);
  // A box's figure as fresh, with what it is made of on hover; as older than the last run of its test.
  void ShowResultAsFresh(QLabel& Label, const std::string& ToolTip);
  void ShowResultAsOlder(QLabel& Label, const std::string& ToolTip);
  // The full names of the OpenCL lists' entries on hover, and popups as wide as their longest entry.
  void ShowFullNames();
  // The run's final message arrived: the record of the run is closed and the window is at rest.
  void EndRun();

  TFormVelmoraServices FServices;
  std::string FProgramVersion;  // as the title line shows it
  TRunRecords FRunRecords;      // what the chart draws and File > Save writes
  // When each result box's figure was measured: the tooltip of a figure that is older than the
  // last run of its test says so.
  std::map<TBenchmarkType, QDateTime> FMeasured;
  TResultsMenu* FResultsMenu = nullptr;
  TViewMenu* FViewMenu = nullptr;
  std::unique_ptr<TVraxDirect3D9> FVideoMemory;
  std::atomic<int> FRunningWorkers{0};
  std::optional<std::stop_source> FRunStop;  // the active run's; empty at rest
  QElapsedTimer FRunClock;                   // since the active run started
  QShortcut* FStopShortcut = nullptr;        // Esc, enabled during a run
  QPushButton* FRunButton = nullptr;         // the button that started the active run, which gets the focus back
  bool FCentred = false;
};
