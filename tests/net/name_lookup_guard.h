#pragma once

#include <string>
#include <vector>

namespace quellar::test {

// Every host name a part of this test program asked the system to look up, in
// order. Only loopback names are really looked up; every other name fails at once
// as not found, so no test can reach a name server.
std::vector<std::string> LookedUpNames();

}  // namespace quellar::test
