#pragma once
// A spin edit that takes what the user types: a number outside its range becomes the nearest
// limit and an emptied box its value again, when the box loses the focus or a run reads it. Qt's
// own spin box refuses a keystroke that leaves its range (20000 stops at 2000) and throws away a
// value it cannot use (100 in a box from 256 keeps the old value).

#include <QSpinBox>

class TSpinEdit : public QSpinBox {
 public:
  explicit TSpinEdit(QWidget* Parent = nullptr);

  // Wide enough to show its largest value whole, and never narrower than it is.
  void FitToRange();

 protected:
  QValidator::State validate(QString& Input, int& Position) const override;
  void fixup(QString& Input) const override;
};
