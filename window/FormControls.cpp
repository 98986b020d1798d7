// The window's components with their captions, fonts, defaults, limits and places.

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <cmath>

#include "CoreCounts.h"
#include "SettingsLimits.h"
#include "TestTable.h"
#include "Unit1.h"

namespace {

// The window's font is Tahoma; where it is not installed, DejaVu Sans Condensed is its closest
// relative (both descend from the same humanist design; the plain DejaVu Sans is Verdana-wide).
QFont WindowFont(int PixelHeight, bool Bold) {
  QFont Font;
  Font.setFamilies({"Tahoma", "DejaVu Sans Condensed", "DejaVu Sans", "Liberation Sans", "Arial", "sans-serif"});
  Font.setStyleHint(QFont::SansSerif);
  Font.setPixelSize(PixelHeight);
  Font.setBold(Bold);
  return Font;
}

QFont BoldFont() { return WindowFont(11, true); }
QFont RegularFont() { return WindowFont(11, false); }
QFont ResultFont() { return WindowFont(16, true); }

// The form's own components, which it places and scales; the parts Qt makes inside them (a spin
// box's editor, a memo's viewport) take their font from them and lay themselves out.
constexpr const char* ComponentProperty = "velmoraComponent";
// Labels without a given size take the size of their text, as the designer's auto-size does.
constexpr const char* AutoSizeProperty = "velmoraAutoSize";

template <typename TWidget>
TWidget* Component(TWidget* Widget, const char* Name, const QFont& Font) {
  Widget->setObjectName(QString::fromLatin1(Name));
  Widget->setProperty(ComponentProperty, true);
  Widget->setFont(Font);
  return Widget;
}

template <typename TWidget>
TWidget* Place(TWidget* Widget, const char* Name, int Left, int Top, int Width, int Height, const QFont& Font) {
  Component(Widget, Name, Font)->setGeometry(Left, Top, Width, Height);
  return Widget;
}

QLabel* AutoSizeLabel(QWidget* Parent, const char* Name, const char* Caption, int Left, int Top) {
  auto* Label = Component(new QLabel(QString::fromUtf8(Caption), Parent), Name, RegularFont());
  Label->move(Left, Top);
  Label->setProperty(AutoSizeProperty, true);
  Label->adjustSize();
  return Label;
}

QGroupBox* GroupBox(QWidget* Parent, const char* Name, const QString& Caption, int Left, int Top, int Width,
                    int Height) {
  // Group box titles take "&&" for a literal ampersand.
  auto* Box = new QGroupBox(QString(Caption).replace("&", "&&"), Parent);
  return Place(Box, Name, Left, Top, Width, Height, BoldFont());
}

// The box around a test's result label is captioned with the test's peak caption.
QString PeakBoxCaption(TBenchmarkType Type) {
  return " " + QString::fromUtf8(FindBenchmarkTest(Type)->PeakCaption) + " ";
}

QPushButton* Button(QWidget* Parent, const char* Name, const char* Caption, int Left, int Top, int Width, int Height,
                    const QFont& Font) {
  auto* Push = new QPushButton(QString::fromUtf8(Caption).replace("&", "&&"), Parent);
  Push->setAutoDefault(false);
  return Place(Push, Name, Left, Top, Width, Height, Font);
}

TSpinEdit* SpinEdit(QWidget* Parent, const char* Name, int Left, int Top, int Width, int Height,
                    const TSettingLimits& Limits, int Value) {
  auto* Spin = new TSpinEdit(Parent);
  Spin->setRange(Limits.Minimum, Limits.Maximum);
  Spin->setSingleStep(Limits.Step);
  Spin->setValue(Value);
  return Place(Spin, Name, Left, Top, Width, Height, RegularFont());
}

QComboBox* ComboBox(QWidget* Parent, const char* Name, int Left, int Top, int Width, int Height) {
  return Place(new QComboBox(Parent), Name, Left, Top, Width, Height, RegularFont());
}

QLabel* ResultLabel(QWidget* Parent, const char* Name, int Width) {
  auto* Label = Place(new QLabel("-", Parent), Name, 2, 20, Width, 19, ResultFont());
  Label->setAlignment(Qt::AlignCenter);
  return Label;
}

}  // namespace

void TFormVelmora::CreateControls() {
  setWindowTitle("Quobix's Velmora");
  setWindowIcon(QIcon(":/icons/velmora.svg"));
  setFont(BoldFont());

  auto* Client = new QWidget(this);
  Client->setObjectName("ClientArea");
  Client->setFixedSize(724, 610);
  Client->setAutoFillBackground(true);
  QPalette ButtonFace = Client->palette();
  ButtonFace.setColor(QPalette::Window, ButtonFace.color(QPalette::Button));
  Client->setPalette(ButtonFace);
  setCentralWidget(Client);

  GroupBox1 = GroupBox(Client, "GroupBox1", " Options: ", 0, 0, 722, 569);

  GroupBox3 = GroupBox(GroupBox1, "GroupBox3", " Settings: ", 8, 20, 705, 49);
  Label1 = AutoSizeLabel(GroupBox3, "Label1", "Memory allocation size:", 16, 19);
  SpinEditRAMSize = SpinEdit(GroupBox3, "SpinEditRAMSize", 138, 16, 64, 22, BlockSizeLimits,
                             BlockSizeLimits.Minimum);
  Label2 = AutoSizeLabel(GroupBox3, "Label2", "MB", 208, 19);
  Label3 = AutoSizeLabel(GroupBox3, "Label3", "Number of passes:", 254, 19);
  SpinEditPasses = SpinEdit(GroupBox3, "SpinEditPasses", 354, 16, 51, 22, PassesLimits, PassesLimits.Default);
  ButtonBenchmark = Button(GroupBox3, "ButtonBenchmark", "Run benchmark", 437, 14, 256, 25, BoldFont());

  GroupBox10 = GroupBox(GroupBox1, "GroupBox10", " OpenCL settings: ", 8, 75, 705, 54);
  Label6 = AutoSizeLabel(GroupBox10, "Label6", "Platform:", 16, 23);
  ComboBoxOpenCLPlatform = ComboBox(GroupBox10, "ComboBoxOpenCLPlatform", 70, 20, 152, 21);
  Label7 = AutoSizeLabel(GroupBox10, "Label7", "Device:", 232, 23);
  ComboBoxOpenCLDevice = ComboBox(GroupBox10, "ComboBoxOpenCLDevice", 276, 20, 170, 21);
  Label11 = AutoSizeLabel(GroupBox10, "Label11", "Compute core count:", 456, 23);
  ComboBoxCores = ComboBox(GroupBox10, "ComboBoxCores", 565, 20, 128, 21);
  ComboBoxCores->setEditable(true);
  ComboBoxCores->setInsertPolicy(QComboBox::NoInsert);  // a typed count is used, not added to the list
  // Inline completion would turn a typed 2 into "2560 - RTX 2070 Super" as soon as the box is
  // left: the count the user types is the count that runs.
  ComboBoxCores->setCompleter(nullptr);
  ComboBoxCores->setMaxVisibleItems(32);
  OfferCoreCounts(CoreCountOffers(true, 0));

  GroupBox2 = GroupBox(GroupBox1, "GroupBox2", " GFX memory test: ", 8, 135, 417, 58);
  ButtonWriteGFXRAM = Button(GroupBox2, "ButtonWriteGFXRAM", "Write to GFX RAM", 8, 21, 128, 25, RegularFont());
  ButtonReadGFXRAM = Button(GroupBox2, "ButtonReadGFXRAM", "Read from GFX RAM", 142, 21, 128, 25, RegularFont());
  ButtonOpenCLReadWrite =
      Button(GroupBox2, "ButtonOpenCLReadWrite", "OpenCL r&w GFX RAM", 276, 21, 128, 25, RegularFont());

  GroupBox4 = GroupBox(GroupBox1, "GroupBox4", " System RAM test: ", 431, 135, 282, 58);
  ButtonWriteSystemRAM =
      Button(GroupBox4, "ButtonWriteSystemRAM", "Write to system RAM", 8, 21, 128, 25, RegularFont());
  ButtonReadSystemRAM =
      Button(GroupBox4, "ButtonReadSystemRAM", "Read from system RAM", 142, 21, 128, 25, RegularFont());

  Memo1 = Place(new QPlainTextEdit(GroupBox1), "Memo1", 8, 199, 705, 306, RegularFont());
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The log stays editable, but Tab moves on to the next control, as everywhere else in the window.
  Memo1->setTabChangesFocus(true);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  GroupBox5 = GroupBox(GroupBox1, "GroupBox5", PeakBoxCaption(bmGFXRAMWrite), 8, 511, 137, 50);
  LabelPeakGFXWrite = ::ResultLabel(GroupBox5, "LabelPeakGFXWrite", 133);
  GroupBox6 = GroupBox(GroupBox1, "GroupBox6", PeakBoxCaption(bmGFXRAMRead), 151, 511, 135, 50);
  LabelPeakGFXRead = ::ResultLabel(GroupBox6, "LabelPeakGFXRead", 131);
  GroupBox9 = GroupBox(GroupBox1, "GroupBox9", PeakBoxCaption(bmOpenCLRAMReadWrite), 292, 511, 137, 50);
  LabelPeakGFXOCLReadWrite = ::ResultLabel(GroupBox9, "LabelPeakGFXOCLReadWrite", 133);
  GroupBox8 = GroupBox(GroupBox1, "GroupBox8", PeakBoxCaption(bmSystemRAMWrite), 435, 511, 136, 50);
  LabelPeakSYSWrite = ::ResultLabel(GroupBox8, "LabelPeakSYSWrite", 132);
  GroupBox7 = GroupBox(GroupBox1, "GroupBox7", PeakBoxCaption(bmSystemRAMRead), 577, 511, 138, 50);
  LabelPeakSYSRead = ::ResultLabel(GroupBox7, "LabelPeakSYSRead", 134);

  Label4 = Place(new QLabel("This app. is free. If you like this app., please see my free to try applications...", Client),
                 "Label4", 16, 582, 375, 13, RegularFont());
  QPalette Link = Label4->palette();
  Link.setColor(QPalette::WindowText, Link.color(QPalette::Link));
  Label4->setPalette(Link);
  Label4->setCursor(Qt::PointingHandCursor);
  // Reached with Tab like the buttons, and opened with Enter or Space.
  Label4->setFocusPolicy(Qt::StrongFocus);
  Label4->installEventFilter(this);

  ButtonExit = Button(Client, "ButtonExit", "Exit", 644, 575, 72, 27, BoldFont());

  // The menu stays inside the window, whatever the desktop does with global menus.
  menuBar()->setNativeMenuBar(false);
  menuBar()->setFont(RegularFont());
  // Each menu and item has its mnemonic (Alt+F opens File); the captions are the original's.
  File1 = menuBar()->addMenu("&File");
  File1->setObjectName("File1");
  Exit1 = File1->addAction("E&xit");
  Exit1->setObjectName("Exit1");
  Help1 = menuBar()->addMenu("&Help");
  Help1->setObjectName("Help1");
  OnlineHelp1 = Help1->addAction("&Home Page && Help...");
  OnlineHelp1->setObjectName("OnlineHelp1");
  PrivacyPolicy1 = Help1->addAction("&Privacy Policy...");
  PrivacyPolicy1->setObjectName("PrivacyPolicy1");
  Help1->addSeparator();
  About1 = Help1->addAction("&About Velmora");
  About1->setObjectName("About1");

  SetKeyboardOrder();
  FitControlsToTexts();
  setFixedSize(Client->width(), Client->height() + menuBar()->sizeHint().height());
}

std::array<TFormVelmora::TTestControls, 5> TFormVelmora::TestControls() const {
  return {{{bmGFXRAMWrite, ButtonWriteGFXRAM, LabelPeakGFXWrite},
           {bmGFXRAMRead, ButtonReadGFXRAM, LabelPeakGFXRead},
           {bmOpenCLRAMReadWrite, ButtonOpenCLReadWrite, LabelPeakGFXOCLReadWrite},
           {bmSystemRAMWrite, ButtonWriteSystemRAM, LabelPeakSYSWrite},
           {bmSystemRAMRead, ButtonReadSystemRAM, LabelPeakSYSRead}}};
}

QPushButton* TFormVelmora::RunButton(TBenchmarkType BenchmarkType) const {
  if (BenchmarkType == bmAll) return ButtonBenchmark;
  for (const TTestControls& Controls : TestControls())
    if (Controls.Type == BenchmarkType) return Controls.Button;
  return nullptr;  // a test the window has no button for
}

void TFormVelmora::SetKeyboardOrder() {
  // Tab follows the layout, top to bottom and left to right, down to the link label and Exit.
  QWidget* const Order[] = {SpinEditRAMSize,       SpinEditPasses,       ButtonBenchmark,       ComboBoxOpenCLPlatform,
                            ComboBoxOpenCLDevice,  ComboBoxCores,        ButtonWriteGFXRAM,     ButtonReadGFXRAM,
                            ButtonOpenCLReadWrite, ButtonWriteSystemRAM, ButtonReadSystemRAM,   Memo1,
                            Label4,                ButtonExit};
  for (std::size_t Index = 1; Index < std::size(Order); ++Index)
    setTabOrder(Order[Index - 1], Order[Index]);
  // Enter or Return on a focused button presses it, as Space does.
  for (QPushButton* Push : centralWidget()->findChildren<QPushButton*>()) Push->installEventFilter(this);
}

void TFormVelmora::FitControlsToTexts() {
  SpinEditRAMSize->FitToRange();
  SpinEditPasses->FitToRange();
  const QSize LinkText = Label4->sizeHint();
  Label4->resize(std::max(Label4->width(), LinkText.width()), std::max(Label4->height(), LinkText.height()));
}

void TFormVelmora::ScaleForm(double Factor) {
  auto Scaled = [Factor](int Value) { return static_cast<int>(std::lround(Value * Factor)); };
  QWidget* Client = centralWidget();
  for (QWidget* Widget : Client->findChildren<QWidget*>(Qt::FindChildrenRecursively)) {
    // A part inside a component already has the component's scaled font: scaling it again
    // would make it a quarter larger than the rest at 120 DPI.
    if (!Widget->property(ComponentProperty).toBool()) continue;
    QFont Font = Widget->font();
    if (Font.pixelSize() > 0) Font.setPixelSize(Scaled(Font.pixelSize()));
    Widget->setFont(Font);
    const QRect Bounds = Widget->geometry();
    Widget->setGeometry(Scaled(Bounds.x()), Scaled(Bounds.y()), Scaled(Bounds.width()), Scaled(Bounds.height()));
    if (Widget->property(AutoSizeProperty).toBool()) Widget->adjustSize();
  }
  QFont Font = font();
  Font.setPixelSize(Scaled(Font.pixelSize()));
  setFont(Font);
  QFont MenuFont = menuBar()->font();
  MenuFont.setPixelSize(Scaled(MenuFont.pixelSize()));
  menuBar()->setFont(MenuFont);
  Client->setFixedSize(Scaled(724), Scaled(610));
  FitControlsToTexts();
  setFixedSize(Client->width(), Client->height() + menuBar()->sizeHint().height());
}
