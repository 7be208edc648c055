#include "common/net_interfaces.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr unsigned REQUIRED_FLAGS = IFF_UP | IFF_RUNNING | IFF_BROADCAST;

uint32_t Ipv4Of(const sockaddr* address) {
  return address != nullptr && address->sa_family == AF_INET
             ? reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr
             : 0;
}

// A message of one block to or from `peer`, with room for one IN_PKTINFO control message.
msghdr Message(sockaddr_in* peer, iovec* part, char* control, size_t controlSize) {
  msghdr message{};
  message.msg_name = peer;
  message.msg_namelen = sizeof *peer;
  message.msg_iov = part;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = controlSize;
  return message;
}

}  // namespace

bool ListBroadcastInterfaces(std::vector<NetInterface>* interfaces, int* error) {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) {
    *error = errno;
    return false;
  }
  interfaces->clear();
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET ||
        (entry->ifa_flags & REQUIRED_FLAGS) != REQUIRED_FLAGS ||
        (entry->ifa_flags & IFF_LOOPBACK) != 0) {
      continue;
    }
    // An interface's further addresses follow its primary one; labelled ones ("eth0:1")
    // have no index of their own.
    const uint32_t index = if_nametoindex(entry->ifa_name);
    const bool listed = std::any_of(interfaces->begin(), interfaces->end(),
                                    [index](const NetInterface& i) { return i.index == index; });
    if (index == 0 || listed) continue;
    interfaces->push_back(
        {entry->ifa_name, index, Ipv4Of(entry->ifa_addr), Ipv4Of(entry->ifa_netmask)});
  }
  freeifaddrs(list);
  *error = 0;
  return true;
}

bool EnableArrivalInterface(SocketHandle socket) {
  const int on = 1;
  return setsockopt(socket, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) == 0;
}

long SendDatagramAlong(SocketHandle socket, const uint8_t* data, size_t length,
                       const DatagramRoute& route, uint16_t port) {
  if (route.via.index == 0) return SendDatagram(socket, data, length, route.destination, port);
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_addr.s_addr = route.destination;
  peer.sin_port = htons(port);
  iovec part{const_cast<uint8_t*>(data), length};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
  msghdr message = Message(&peer, &part, control, sizeof control);
  cmsghdr* header = CMSG_FIRSTHDR(&message);
  header->cmsg_level = IPPROTO_IP;
  header->cmsg_type = IP_PKTINFO;
  header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
  in_pktinfo info{};
  info.ipi_ifindex = static_cast<int>(route.via.index);
  info.ipi_spec_dst.s_addr = route.via.address;
  std::memcpy(CMSG_DATA(header), &info, sizeof info);
  return static_cast<long>(sendmsg(socket, &message, 0));
}

long ReceiveDatagramOn(SocketHandle socket, uint8_t* buffer, size_t capacity,
                       uint32_t* sourceAddress, uint32_t* interfaceIndex) {
  sockaddr_in peer{};
  iovec part{buffer, capacity};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
  msghdr message{};
  ssize_t received;
  do {
    message = Message(&peer, &part, control, sizeof control);
    // MSG_TRUNC makes Linux return the datagram's real length, so truncation shows.
    received = recvmsg(socket, &message, MSG_TRUNC);
  } while (received < 0 && errno == EINTR);
  if (received < 0) return RECEIVE_FAILED;
  if (static_cast<size_t>(received) > capacity) return DATAGRAM_TOO_LONG;
  if (sourceAddress != nullptr) *sourceAddress = peer.sin_addr.s_addr;
  if (interfaceIndex != nullptr) {
    *interfaceIndex = 0;
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header)) {
      if (header->cmsg_level != IPPROTO_IP || header->cmsg_type != IP_PKTINFO) continue;
      in_pktinfo info;
      std::memcpy(&info, CMSG_DATA(header), sizeof info);
      *interfaceIndex = static_cast<uint32_t>(info.ipi_ifindex);
    }
  }
  return static_cast<long>(received);
}
