#pragma once
// Start-up of the window: the DPI the form scales itself by, the form, the event loop, and a
// clean end when the window is closed during a run.

#include <string>

class QApplication;
class TFormVelmora;

// Picks ScreenDPI from the first monitor (or the screen's logical DPI) for an application that
// exists; call before the form is made.
void ChooseFormDPI();

// Runs the event loop until the window closes. If a run's worker is still going, the process
// ends right there: the worker is neither waited for nor left to touch a destroyed window.
int RunMainWindowLoop(QApplication& Application, TFormVelmora& Form);

// The whole windowed program.
int RunWindowApplication(int& argc, char** argv);

// Opens the window as a user would see it (without opening the browser), saves a picture of it
// as PNG once it is up, and quits.
int RunWindowScreenshot(int& argc, char** argv, const std::string& PngPath);
