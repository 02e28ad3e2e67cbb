#pragma once
// What became of one item among many (a form of a module, a row written
// back, a string of a string table): done, or left out with the reason why.
// A run goes on past an item left out; a fault of the input as a whole is an
// exception instead. Reason is a message (UTF-8) unless a caller needs more,
// as the module's typed errors.
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace vc {

template <class Reason = std::string>
class Outcome {
 public:
  Outcome() = default;  // done
  static Outcome leftOut(Reason reason) {
    Outcome o;
    o.m_reason.emplace(std::move(reason));
    return o;
  }

  bool ok() const noexcept { return !m_reason.has_value(); }
  explicit operator bool() const noexcept { return ok(); }
  // Why the item was left out; asking a done item is a programming error.
  const Reason& reason() const {
    if (!m_reason) throw std::logic_error("no reason: the item was done");
    return *m_reason;
  }

 private:
  std::optional<Reason> m_reason;
};

}  // namespace vc
