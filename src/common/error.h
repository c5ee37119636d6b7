#pragma once

#include <exception>
#include <new>
#include <stdexcept>
#include <string>

namespace quellar {

// A failure that ends the current action and is shown to the user as it stands.
// The message is Windows-1251 text, like every other core text.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// The message of the exception being handled, as the user is shown it: an
// Error's own text, "Out of memory" for a failed allocation, and any other
// exception's description. Called only inside a catch block.
inline std::string HandledFailureMessage() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return "Out of memory";
  } catch (const std::exception& error) {
    return error.what();
  }
}

}  // namespace quellar
