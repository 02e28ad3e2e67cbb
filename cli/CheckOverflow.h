#pragma once
// The overflow part of `formtext check`: the preview's fit check, which
// needs Qt. CheckOverflow.cpp, built only with the preview library, fills it
// in; without it the check runs without that part.
#include "translation/TranslationChecks.h"

namespace vc::cli {

// The layout behind the overflow check; empty when formtext has none.
OverflowCheck& overflowCheck();

struct OverflowCheckRegistrar {
  explicit OverflowCheckRegistrar(OverflowCheck check) { overflowCheck() = std::move(check); }
};

}  // namespace vc::cli
