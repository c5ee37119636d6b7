#pragma once

#include <curl/curl.h>

#include <QStringList>
#include <string>

namespace quellar {

// The libcurl functions the HTTP client calls, bound when the first roster is
// fetched instead of when the program starts: libcurl brings in its TLS, LDAP,
// SSH and Kerberos libraries, and loading them all would delay the first window
// for a request that may never be made.
struct CurlLibrary {
  decltype(&::curl_global_init) globalInit;
  decltype(&::curl_easy_init) easyInit;
  decltype(&::curl_easy_setopt) easySetopt;
  decltype(&::curl_easy_perform) easyPerform;
  decltype(&::curl_easy_getinfo) easyGetinfo;
  decltype(&::curl_easy_send) easySend;
  decltype(&::curl_easy_recv) easyRecv;
  decltype(&::curl_easy_strerror) easyStrerror;
  decltype(&::curl_easy_cleanup) easyCleanup;
  decltype(&::curl_slist_append) slistAppend;
  decltype(&::curl_slist_free_all) slistFreeAll;
};

// The names libcurl goes by on this platform, tried in order.
QStringList CurlLibraryNames();

// Loads the first of names that can be loaded and binds every function, with
// curl_global_init already called. Throws Error naming the libraries tried when
// none loads or one lacks a function. The library stays loaded for good.
CurlLibrary LoadCurlLibrary(const QStringList& names);

// libcurl for this process, loaded on the first call; a failed load is tried
// again on the next call.
const CurlLibrary& Curl();

// The message for a connection libcurl could not make, or that failed while
// the client used it, from libcurl's result code and the socket error number it
// saw (0 for none). It is always one of the client's own messages: libcurl's
// descriptions never reach the user.
std::string TransferFailureMessage(CURLcode result, long osErrno);

}  // namespace quellar
