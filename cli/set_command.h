// netvora-cli set: changes the network settings of one printer, found by its MAC address.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// `set --mac MAC [--ip A] [--mask M] [--gateway G] [--port P] [--password TEXT]
//  [--dhcp on|off] [--interface NAME]... [--to ADDRESS]... [--log FILE]`:
// 0 when the printer stored the settings, 1 when it was not found or refused them, 2 on
// bad usage or a local failure. Every argument is checked, and the change log opened,
// before anything is sent.
[[nodiscard]] int RunSet(const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err);
