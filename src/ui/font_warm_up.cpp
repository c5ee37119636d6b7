#include "ui/font_warm_up.h"

#if QUELLAR_FONTCONFIG
#include <fontconfig/fontconfig.h>

#include <clocale>
#include <system_error>
#endif

namespace quellar {

FontConfigWarmUp::FontConfigWarmUp() {
#if QUELLAR_FONTCONFIG
  // The application object sets the locale from the environment as it starts,
  // and fontconfig reads numbers by the locale's decimal point: setting it first
  // keeps the thread from reading it while it changes.
  std::setlocale(LC_ALL, "");
  try {
    thread_ = std::thread([] { FcInit(); });
  } catch (const std::system_error&) {
    // No thread to be had: Qt reads the configuration itself, as it always could.
  }
#endif
}

void FontConfigWarmUp::Wait() {
  if (thread_.joinable())
    thread_.join();
}

}  // namespace quellar
