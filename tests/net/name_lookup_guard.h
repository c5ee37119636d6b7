#pragma once

#include <string>

namespace quellar::test {

// Whether a part of this test program asked the system to look up the host name.
// Only loopback names are really looked up; every other name fails at once as not
// found, so no test can reach a name server.
bool WasLookedUp(const std::string& name);

}  // namespace quellar::test
