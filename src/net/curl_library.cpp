#include "net/curl_library.h"

#include <QLibrary>
#include <mutex>
#include <optional>
#include <string>

#include "common/cp1251.h"
#include "common/error.h"
#include "net/socket_error.h"

namespace quellar {
namespace {

template <typename Function>
void Bind(QLibrary& library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(library.resolve(name));
  if (function == nullptr)
    throw Error(ToCp1251(QStringLiteral("Unable to load libcurl: %1 lacks %2")
                             .arg(library.fileName(), QLatin1String(name))));
}

}  // namespace

QStringList CurlLibraryNames() {
#if defined(Q_OS_WIN)
  return {QStringLiteral("libcurl"), QStringLiteral("libcurl-x64"), QStringLiteral("libcurl-4")};
#elif defined(Q_OS_MACOS)
  return {QStringLiteral("libcurl.4.dylib"), QStringLiteral("libcurl.dylib")};
#else
  return {QStringLiteral("libcurl.so.4"), QStringLiteral("libcurl-gnutls.so.4")};
#endif
}

CurlLibrary LoadCurlLibrary(const QStringList& names) {
  QLibrary library;
  QStringList failures;
  for (const QString& name : names) {
    library.setFileName(name);
    if (library.load())
      break;
    failures << library.errorString();
  }
  if (!library.isLoaded()) {
    throw Error(ToCp1251(
        QStringLiteral("Unable to load libcurl (%1): %2")
            .arg(names.join(QStringLiteral(", ")),
                 failures.isEmpty() ? QStringLiteral("no name to try") : failures.last())));
  }

  CurlLibrary curl{};
  Bind(library, "curl_global_init", curl.globalInit);
  Bind(library, "curl_easy_init", curl.easyInit);
  Bind(library, "curl_easy_setopt", curl.easySetopt);
  Bind(library, "curl_easy_perform", curl.easyPerform);
  Bind(library, "curl_easy_getinfo", curl.easyGetinfo);
  Bind(library, "curl_easy_send", curl.easySend);
  Bind(library, "curl_easy_recv", curl.easyRecv);
  Bind(library, "curl_easy_strerror", curl.easyStrerror);
  Bind(library, "curl_easy_cleanup", curl.easyCleanup);
  Bind(library, "curl_slist_append", curl.slistAppend);
  Bind(library, "curl_slist_free_all", curl.slistFreeAll);
  curl.globalInit(CURL_GLOBAL_DEFAULT);
  return curl;
}

const CurlLibrary& Curl() {
  static std::mutex mutex;
  static std::optional<CurlLibrary> loaded;
  const std::lock_guard lock(mutex);
  if (!loaded)
    loaded = LoadCurlLibrary(CurlLibraryNames());
  return *loaded;
}

std::string TransferFailureMessage(CURLcode result, long osErrno) {
  switch (result) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    // A URL libcurl cannot read names a host that cannot be looked up.
    case CURLE_URL_MALFORMAT:
      return SocketErrorMessage(kHostNotFoundError);
    case CURLE_GOT_NOTHING:
      return std::string(kClosedGracefullyMessage);
    case CURLE_OPERATION_TIMEDOUT:
      return SocketErrorMessage(kTimedOutError);
    case CURLE_OUT_OF_MEMORY:
      return "Out of memory.";
    default:
      // Whatever libcurl says about it in its own words, the client reports the
      // socket error it saw, or else the close.
      return ConnectionFailureMessage(static_cast<int>(osErrno));
  }
}

}  // namespace quellar
