#include "net/curl_library.h"

#include <gtest/gtest.h>

#include <string>

#include "common/error.h"

namespace quellar {
namespace {

std::string LoadFailure(const QStringList& names) {
  try {
    LoadCurlLibrary(names);
  } catch (const Error& error) {
    return error.what();
  }
  return "(loaded)";
}

TEST(CurlLibrary, noNameToTry_failsSayingSo) {
  EXPECT_EQ(LoadFailure({}), "Unable to load libcurl (): no name to try");
}

TEST(CurlLibrary, aMissingLibrary_failsNamingEveryNameTriedAndTheLoadersReason) {
  const std::string message = LoadFailure(
      {QStringLiteral("libquellar-missing-a.so"), QStringLiteral("libquellar-missing-b.so")});

  EXPECT_TRUE(message.starts_with(
      "Unable to load libcurl (libquellar-missing-a.so, libquellar-missing-b.so): "))
      << message;
  EXPECT_NE(message.find("libquellar-missing-b.so", message.find("): ")), std::string::npos)
      << message;
}

TEST(CurlLibrary, aLibraryWithoutCurlsFunctions_failsNamingTheFirstMissingOne) {
#ifdef _WIN32
  const std::string message = LoadFailure({QStringLiteral("kernel32")});
#else
  const std::string message = LoadFailure({QStringLiteral("libz.so.1")});
#endif

  EXPECT_TRUE(message.starts_with("Unable to load libcurl: ")) << message;
  EXPECT_TRUE(message.ends_with(" lacks curl_global_init")) << message;
}

TEST(CurlLibrary, namesThatFailAreSkippedUntilOneLoads) {
  QStringList names{QStringLiteral("libquellar-missing.so")};
  names << CurlLibraryNames();

  const CurlLibrary curl = LoadCurlLibrary(names);

  EXPECT_STREQ(curl.easyStrerror(CURLE_OK), "No error");
  CURL* easy = curl.easyInit();
  ASSERT_NE(easy, nullptr);
  EXPECT_EQ(curl.easySetopt(easy, CURLOPT_URL, "http://127.0.0.1/"), CURLE_OK);
  curl.easyCleanup(easy);
}

TEST(CurlLibrary, theProcessWideLibraryIsLoadedOnceAndKept) {
  const CurlLibrary& first = Curl();
  const CurlLibrary& second = Curl();

  EXPECT_EQ(&first, &second);
  EXPECT_NE(first.easyPerform, nullptr);
  EXPECT_NE(first.slistFreeAll, nullptr);
}

}  // namespace
}  // namespace quellar
