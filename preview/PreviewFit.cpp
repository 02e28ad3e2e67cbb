#include "preview/PreviewFit.h"

#include <map>
#include <set>

#include "formstream/Stream.h"
#include "preview/PreviewWindow.h"

namespace vc::preview {

namespace {

// Component paths below the root as the exchange makes them: names joined by
// dots, ":CLASS" for an unnamed one, "~2", "~3"... for repeated names.
void pathsBelow(const Component& c, const std::string& path, std::map<const Component*, std::string>& out) {
  std::set<std::string> taken;
  for (const auto& child : c.children) {
    const std::string segment = child->name.isEmpty() ? ":" + child->className : child->name.toStdString();
    std::string unique = segment;
    for (int i = 2; !taken.insert(unique).second; ++i) unique = segment + "~" + std::to_string(i);
    const std::string full = path.empty() ? unique : path + "." + unique;
    out[child.get()] = full;
    pathsBelow(*child, full, out);
  }
}

}  // namespace

std::vector<OverflowHit> formOverflows(std::string_view stream) {
  PreviewWindow window;
  ReaderHooks hooks;
  hooks.findMethod = [](const std::string&) { return false; };
  hooks.error = [](const QString&) { return true; };
  TReadOnlyMemoryStream input(stream);
  window.read(input, hooks);
  std::map<const Component*, std::string> paths;
  pathsBelow(window.root(), {}, paths);
  std::vector<OverflowHit> hits;
  for (const auto& [component, width] : window.overflowingComponents()) {
    auto it = paths.find(component);
    if (it == paths.end()) continue;  // the form itself
    hits.push_back({it->second, component->className, width});
  }
  return hits;
}

}  // namespace vc::preview
