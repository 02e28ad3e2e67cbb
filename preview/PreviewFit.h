#pragma once
// The preview's fit check without a window on screen: a binary form stream
// is built and laid out as the preview does it, and the controls whose text
// does not fit are named as the translation exchange names components. Needs
// a QApplication.
#include <string_view>
#include <vector>

#include "translation/TranslationChecks.h"

namespace vc::preview {

// Raises EReadError when the stream cannot be read.
std::vector<OverflowHit> formOverflows(std::string_view stream);

}  // namespace vc::preview
