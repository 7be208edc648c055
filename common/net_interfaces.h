// The machine's IPv4 interfaces that can broadcast, and datagrams interface by interface: a
// datagram sent out of one chosen interface, and each datagram received with the interface
// it came in on (IP_PKTINFO, on both sides). net_interfaces.cpp holds the POSIX side,
// net_interfaces_windows.cpp the Windows side. Thread-safe; each socket belongs to one
// caller at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/socket_port.h"

struct NetInterface {
  std::string name;      // "eth0"; on Windows the adapter's name as the user sees it (UTF-8)
  uint32_t index = 0;    // the system's interface index; 0 for none
  uint32_t address = 0;  // its primary IPv4 address, network order
  uint32_t netmask = 0;  // network order
};

// One way out for a datagram: its destination (network order) and the interface it leaves
// by. A `via` with index 0 leaves the choice to the routing table, as a plain send does.
struct DatagramRoute {
  uint32_t destination;
  NetInterface via;
};

// Every IPv4 interface that is up, running and able to broadcast, loopback excluded, once
// each (with its primary address), in the system's order. On Windows: Ethernet and Wi-Fi
// adapters that are up. False with *error set when the system cannot list them.
[[nodiscard]] bool ListBroadcastInterfaces(std::vector<NetInterface>* interfaces, int* error);

// Switches IP_PKTINFO on, so that ReceiveDatagramOn reports each datagram's interface;
// false when the socket refuses it.
[[nodiscard]] bool EnableArrivalInterface(SocketHandle socket);

// Sends one datagram to route.destination:`port`, out of route.via with its address as the
// source (a limited broadcast then leaves by that interface, whatever the routing table
// says); with route.via.index 0 exactly as SendDatagram. The byte count sent, or -1 with
// the error in LastSocketError.
[[nodiscard]] long SendDatagramAlong(SocketHandle socket, const uint8_t* data, size_t length,
                                     const DatagramRoute& route, uint16_t port);

// ReceiveDatagram, and *interfaceIndex (may be null) receives the index of the interface the
// datagram came in on: 0 when the socket does not report it (EnableArrivalInterface not
// called). Same results: the length, DATAGRAM_TOO_LONG or RECEIVE_FAILED.
[[nodiscard]] long ReceiveDatagramOn(SocketHandle socket, uint8_t* buffer, size_t capacity,
                                     uint32_t* sourceAddress, uint32_t* interfaceIndex);
