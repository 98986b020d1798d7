#include "WindowMain.h"

#include <QApplication>
#include <QFile>
#include <QImageWriter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <vector>

#include "DPIFunctions.h"
#include "Unit1.h"

namespace {

// What Qt says while it connects to the display. Held back, because when the connection fails one
// line of ours replaces them; passed on once the application is up.
struct TStartMessage {
  QtMsgType Type;
  QString Category;
  QString Text;
};
std::vector<TStartMessage>* HeldStartMessages = nullptr;

// The display variables that are set, as "DISPLAY=:1, WAYLAND_DISPLAY=wayland-0".
std::string DisplaySettings() {
  std::string Settings;
  for (const char* Variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* Value = std::getenv(Variable);
    if (Value == nullptr || *Value == '\0') continue;
    Settings += (Settings.empty() ? "" : ", ") + std::string(Variable) + "=" + Value;
  }
  return Settings.empty() ? "no DISPLAY or WAYLAND_DISPLAY set" : Settings;
}

void HoldStartMessage(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
  if (Type == QtFatalMsg) {
    // Qt could not start any platform: it would abort, advising to reinstall the program. Its first
    // word on the connection says what went wrong ("could not connect to display :1").
    const QString Reason = HeldStartMessages->empty() ? "no platform could start"
                                                      : HeldStartMessages->front().Text.trimmed();
    std::cerr << "velmora: no usable display: " << Reason.toStdString() << " (" << DisplaySettings()
              << "). Run 'velmora --console' to run the tests in this terminal." << std::endl;
    std::_Exit(1);
  }
  HeldStartMessages->push_back({Type, QString::fromUtf8(Context.category), Text});
}

// The application object of the window, or one line and status 1 when there is no usable display.
std::unique_ptr<QApplication> StartApplication(int& argc, char** argv) {
  std::vector<TStartMessage> Held;
  HeldStartMessages = &Held;
  const QtMessageHandler Previous = qInstallMessageHandler(HoldStartMessage);
  auto Application = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(Previous);
  HeldStartMessages = nullptr;
  for (const TStartMessage& Message : Held) {
    const QByteArray Category = Message.Category.toUtf8();
    qt_message_output(Message.Type, QMessageLogContext(nullptr, 0, nullptr, Category.constData()), Message.Text);
  }
  return Application;
}

// Saves the picture, or says on standard error why it could not be saved.
bool SavePicture(const QPixmap& Picture, const std::string& PngPath) {
  QFile File(QString::fromStdString(PngPath));
  QString Reason;
  if (!File.open(QIODevice::WriteOnly)) {
    Reason = File.errorString();
  } else {
    QImageWriter Writer(&File, "PNG");
    if (Writer.write(Picture.toImage())) return true;
    Reason = Writer.errorString();
  }
  std::cerr << "velmora: cannot save the screenshot as " << PngPath << ": " << Reason.toStdString() << std::endl;
  return false;
}

}  // namespace

void ChooseFormDPI() {
  std::uint32_t DpiX = 0;
  std::uint32_t DpiY = 0;
  const QList<QScreen*> Monitors = QGuiApplication::screens();
  QueryMonitorDPI(Monitors.isEmpty() ? nullptr : Monitors.first(), DpiX, DpiY);
  const QScreen* Primary = QGuiApplication::primaryScreen();
  const int ScreenPixelsPerInch = Primary != nullptr ? static_cast<int>(std::lround(Primary->logicalDotsPerInch())) : 96;
  ScreenDPI = ChooseScreenDPI(DpiX, DpiY, ScreenPixelsPerInch);
}

int RunMainWindowLoop(QApplication& Application, TFormVelmora& Form) {
  const int Result = Application.exec();
  if (Form.HasRunningWorker()) {
    std::fflush(nullptr);
    std::_Exit(Result);
  }
  return Result;
}

int RunWindowApplication(int& argc, char** argv) {
  const std::unique_ptr<QApplication> Application = StartApplication(argc, argv);
  QGuiApplication::setDesktopFileName(VELMORA_APP_ID);  // the desktop shows the entry's name and icon
  ChooseFormDPI();
  TFormVelmora Form;
  FormVelmora = &Form;
  Form.show();
  return RunMainWindowLoop(*Application, Form);
}

int RunWindowScreenshot(int& argc, char** argv, const std::string& PngPath) {
  const std::unique_ptr<QApplication> Application = StartApplication(argc, argv);
  ChooseFormDPI();
  TFormVelmoraServices Services = TFormVelmoraServices::Defaults();
  Services.OpenUrl = [](const std::string&) {};
  TFormVelmora Form(std::move(Services));
  FormVelmora = &Form;
  Form.show();
  int Result = 0;
  QTimer::singleShot(1000, [&] {
    if (!SavePicture(Form.grab(), PngPath)) Result = 1;
    Application->quit();
  });
  Application->exec();
  return Result;
}
