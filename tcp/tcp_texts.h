// The messages of the window's firmware download and test print. They read the same in both
// languages (the connect errors' texts, in both, come with the link). Constant data;
// thread-safe.
#pragma once

namespace texts {

constexpr const char* TYPE_IP_ADDRESS = "Please Type the IP Address";
constexpr const char* DOWNLOAD_REFUSED = "Fail Program Download!";

}  // namespace texts
