#pragma once
// File names for forms written into a folder: what `formtext extract` and the
// translation exchange name a module's forms.
#include <set>
#include <string>

namespace vc {

// A file name stem from a form name (CP950 bytes) that stays inside the
// folder: separators, characters some file systems refuse and control bytes
// become "_", a leading "." too, and it is cut to a length every file system
// takes. The stem is UTF-8.
std::string safeFileStem(const std::string& name);

// stem, or stem "~2", "~3", ... when used (compared ignoring ASCII case)
// already holds it; the result is added to used.
std::string uniqueStem(const std::string& stem, std::set<std::string>& used);

}  // namespace vc
