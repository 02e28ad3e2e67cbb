#pragma once
// Base of every error the system raises: it carries only the user's message,
// as UTF-8 text (bytes of form data in a message are decoded from CP950 first).
#include <stdexcept>
#include <string>

namespace vc {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  const std::string message() const { return what(); }
};

}  // namespace vc
