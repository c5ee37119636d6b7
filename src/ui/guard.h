#pragma once

#include <exception>

#include "common/error.h"
#include "ui/error_box.h"

namespace quellar {

// Every event handler runs its body through Guarded, so that no exception crosses
// Qt's event dispatch: the handler ends at the failing step and the failure is
// shown in the error box, after which the program goes on.
template <typename Body>
void Guarded(Body&& body) noexcept {
  try {
    body();
  } catch (const std::exception&) {
    ShowErrorBox(HandledFailureMessage());
  }
}

}  // namespace quellar
