#include "cli/send_scope.h"

#include <algorithm>

#include "common/socket_port.h"

namespace {

std::string Names(const std::vector<NetInterface>& interfaces) {
  std::string names;
  for (const NetInterface& i : interfaces) names += (names.empty() ? "" : ", ") + i.name;
  return names.empty() ? "none" : names;
}

bool ReadDirected(const std::vector<std::string>& texts, std::vector<uint32_t>* addresses,
                  std::string* error) {
  for (const std::string& text : texts) {
    uint32_t address = 0;
    if (!ParseIpv4(text.c_str(), &address) || address == 0 ||
        address == LIMITED_BROADCAST_ADDRESS) {
      *error = "--to takes a host or subnet broadcast address, not '" + text + "'";
      return false;
    }
    if (std::find(addresses->begin(), addresses->end(), address) == addresses->end())
      addresses->push_back(address);
  }
  return true;
}

}  // namespace

std::vector<DatagramRoute> SendScope::Routes() const {
  std::vector<DatagramRoute> routes;
  for (uint32_t address : directed) routes.push_back({address, NetInterface{}});
  if (routes.empty()) {
    for (const NetInterface& via : chosen) routes.push_back({LIMITED_BROADCAST_ADDRESS, via});
  }
  return routes;
}

std::string SendScope::InterfaceName(uint32_t index) const {
  const auto it = std::find_if(all.begin(), all.end(),
                               [index](const NetInterface& i) { return i.index == index; });
  return index != 0 && it != all.end() ? it->name : std::string();
}

bool ReadSendScope(const ParsedOptions& options, SendScope* scope, std::string* error) {
  const std::vector<std::string>& names = options.List("--interface");
  if (!names.empty() && options.Has("--to")) {
    *error = "--to sends to its addresses only; it does not go with --interface";
    return false;
  }
  if (!ReadDirected(options.List("--to"), &scope->directed, error)) return false;
  int listError = 0;
  // With --to the list only names the interfaces that answers come in on.
  if (!ListBroadcastInterfaces(&scope->all, &listError) && !scope->Directed()) {
    *error = "cannot list the network interfaces: " + SocketErrorText(listError);
    return false;
  }
  for (const std::string& name : names) {
    const auto it = std::find_if(scope->all.begin(), scope->all.end(),
                                 [&](const NetInterface& i) { return i.name == name; });
    if (it == scope->all.end()) {
      *error = "no interface '" + name + "' that can broadcast; interfaces: " + Names(scope->all);
      return false;
    }
    const bool chosen = std::any_of(scope->chosen.begin(), scope->chosen.end(),
                                    [&](const NetInterface& i) { return i.name == name; });
    if (!chosen) scope->chosen.push_back(*it);
  }
  if (names.empty() && !scope->Directed()) scope->chosen = scope->all;
  if (scope->chosen.empty() && !scope->Directed()) {
    *error =
        "no network interface is up that can broadcast (give --to ADDRESS to reach "
        "printers through a router)";
    return false;
  }
  return true;
}
