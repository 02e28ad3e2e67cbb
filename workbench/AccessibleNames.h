#pragma once
// Names read out by screen readers for the window's controls: each control
// without a name of its own takes its caption, else the short part of its
// hint. Fields that show no caption are named by their caller first.
class QWidget;

namespace vc {

void nameUnnamedControls(QWidget* root);

}  // namespace vc
