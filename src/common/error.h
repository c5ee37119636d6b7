#pragma once

#include <stdexcept>
#include <string>

namespace quellar {

// A failure that ends the current action and is shown to the user as it stands.
// The message is Windows-1251 text, like every other core text.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace quellar
