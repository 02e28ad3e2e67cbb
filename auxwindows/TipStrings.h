#pragma once
// The tips of the day, numbered 0 to kLastTip, each one paragraph that fits
// the tip window's label.
#include <QString>

namespace vc {

constexpr int kLastTip = 26;

// Tip id; an id without a tip reads as empty text.
QString tipString(int id);

}  // namespace vc
