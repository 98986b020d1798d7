#include "WindowMain.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "DPIFunctions.h"
#include "Unit1.h"

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
  QApplication Application(argc, argv);
  QGuiApplication::setDesktopFileName(VELMORA_APP_ID);  // the desktop shows the entry's name and icon
  ChooseFormDPI();
  TFormVelmora Form;
  FormVelmora = &Form;
  Form.show();
  return RunMainWindowLoop(Application, Form);
}

int RunWindowScreenshot(int& argc, char** argv, const std::string& PngPath) {
  QApplication Application(argc, argv);
  ChooseFormDPI();
  TFormVelmoraServices Services = TFormVelmoraServices::Defaults();
  Services.OpenUrl = [](const std::string&) {};
  TFormVelmora Form(std::move(Services));
  FormVelmora = &Form;
  Form.show();
  int Result = 0;
  QTimer::singleShot(1000, [&] {
    if (!Form.grab().save(QString::fromStdString(PngPath), "PNG")) Result = 1;
    Application.quit();
  });
  Application.exec();
  return Result;
}
