// netvora-cli test-print: prints the test page on one printer, found by its MAC address.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// `test-print --mac MAC [--korean]`: searches, then sends the page to the printer's
// address and print port as the window does. 0 when the whole page went out, 1 when the
// printer was not found or not reachable, 2 on bad usage or a local failure.
[[nodiscard]] int RunTestPrint(const std::vector<std::string>& args, std::ostream& out,
                               std::ostream& err);
