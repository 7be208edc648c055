// The Windows side of the interface list and of datagrams interface by interface: the IP
// Helper's adapter list, WSASendMsg and WSARecvMsg with IN_PKTINFO.
#include <winsock2.h>
#include <ws2tcpip.h>
// After winsock2.h:
#include <iphlpapi.h>
#include <mswsock.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "common/net_interfaces.h"

namespace {

// The adapter list is asked for with a buffer this large first, as the IP Helper advises.
constexpr ULONG ADAPTER_BUFFER_START = 16 * 1024;
constexpr int ADAPTER_LIST_TRIES = 3;

std::string Utf8Of(const wchar_t* text) {
  if (text == nullptr) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return std::string();
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], size, nullptr, nullptr);
  utf8.resize(static_cast<size_t>(size) - 1);  // without the terminating NUL
  return utf8;
}

// Ethernet and Wi-Fi adapters broadcast; loopback, tunnels and dial-up links do not.
bool CanBroadcast(const IP_ADAPTER_ADDRESSES& adapter) {
  return adapter.OperStatus == IfOperStatusUp &&
         (adapter.IfType == IF_TYPE_ETHERNET_CSMACD || adapter.IfType == IF_TYPE_IEEE80211);
}

uint32_t MaskOfPrefix(unsigned prefixLength) {
  const uint32_t hostOrder = prefixLength == 0 ? 0 : ~0u << (32 - std::min(prefixLength, 32u));
  return htonl(hostOrder);
}

int ClampedLength(size_t length) {
  return length > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(length);
}

// A message of one block to or from `peer`, with room for one IN_PKTINFO control message.
WSAMSG Message(sockaddr_in* peer, WSABUF* part, char* control, ULONG controlSize) {
  WSAMSG message{};
  message.name = reinterpret_cast<sockaddr*>(peer);
  message.namelen = sizeof *peer;
  message.lpBuffers = part;
  message.dwBufferCount = 1;
  message.Control.buf = control;
  message.Control.len = controlSize;
  return message;
}

}  // namespace

bool ListBroadcastInterfaces(std::vector<NetInterface>* interfaces, int* error) {
  const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
  std::vector<unsigned char> buffer(ADAPTER_BUFFER_START);
  ULONG result = ERROR_BUFFER_OVERFLOW;
  for (int tries = 0; tries < ADAPTER_LIST_TRIES && result == ERROR_BUFFER_OVERFLOW; ++tries) {
    ULONG size = static_cast<ULONG>(buffer.size());
    result = GetAdaptersAddresses(AF_INET, flags, nullptr,
                                  reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    if (result == ERROR_BUFFER_OVERFLOW) buffer.resize(size);
  }
  interfaces->clear();
  if (result == ERROR_NO_DATA) {
    *error = 0;
    return true;
  }
  if (result != NO_ERROR) {
    *error = static_cast<int>(result);
    return false;
  }
  for (const IP_ADAPTER_ADDRESSES* adapter =
           reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data());
       adapter != nullptr; adapter = adapter->Next) {
    if (!CanBroadcast(*adapter)) continue;
    for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress;
         unicast != nullptr; unicast = unicast->Next) {
      const sockaddr* address = unicast->Address.lpSockaddr;
      if (address == nullptr || address->sa_family != AF_INET) continue;
      interfaces->push_back({Utf8Of(adapter->FriendlyName), adapter->IfIndex,
                             reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr,
                             MaskOfPrefix(unicast->OnLinkPrefixLength)});
      break;  // the first IPv4 address is the adapter's primary one
    }
  }
  *error = 0;
  return true;
}

bool EnableArrivalInterface(SocketHandle socket) {
  const DWORD on = 1;
  return setsockopt(socket, IPPROTO_IP, IP_PKTINFO, reinterpret_cast<const char*>(&on),
                    sizeof on) == 0;
}

long SendDatagramAlong(SocketHandle socket, const uint8_t* data, size_t length,
                       const DatagramRoute& route, uint16_t port) {
  if (route.via.index == 0) return SendDatagram(socket, data, length, route.destination, port);
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_addr.s_addr = route.destination;
  peer.sin_port = htons(port);
  WSABUF part{static_cast<ULONG>(ClampedLength(length)),
              reinterpret_cast<char*>(const_cast<uint8_t*>(data))};
  alignas(WSACMSGHDR) char control[WSA_CMSG_SPACE(sizeof(IN_PKTINFO))] = {};
  WSAMSG message = Message(&peer, &part, control, sizeof control);
  WSACMSGHDR* header = WSA_CMSG_FIRSTHDR(&message);
  header->cmsg_level = IPPROTO_IP;
  header->cmsg_type = IP_PKTINFO;
  header->cmsg_len = WSA_CMSG_LEN(sizeof(IN_PKTINFO));
  IN_PKTINFO info{};
  info.ipi_addr.s_addr = route.via.address;
  info.ipi_ifindex = route.via.index;
  std::memcpy(WSA_CMSG_DATA(header), &info, sizeof info);
  DWORD sent = 0;
  if (WSASendMsg(socket, &message, 0, &sent, nullptr, nullptr) == SOCKET_ERROR) return -1;
  return static_cast<long>(sent);
}

long ReceiveDatagramOn(SocketHandle socket, uint8_t* buffer, size_t capacity,
                       uint32_t* sourceAddress, uint32_t* interfaceIndex) {
  GUID recvMsgId = WSAID_WSARECVMSG;
  LPFN_WSARECVMSG recvMsg = nullptr;
  DWORD returned = 0;
  if (WSAIoctl(socket, SIO_GET_EXTENSION_FUNCTION_POINTER, &recvMsgId, sizeof recvMsgId, &recvMsg,
               sizeof recvMsg, &returned, nullptr, nullptr) == SOCKET_ERROR) {
    return RECEIVE_FAILED;
  }
  sockaddr_in peer{};
  WSABUF part{static_cast<ULONG>(ClampedLength(capacity)), reinterpret_cast<char*>(buffer)};
  alignas(WSACMSGHDR) char control[WSA_CMSG_SPACE(sizeof(IN_PKTINFO))];
  WSAMSG message{};
  DWORD received = 0;
  int result;
  do {
    message = Message(&peer, &part, control, sizeof control);
    result = recvMsg(socket, &message, &received, nullptr, nullptr);
  } while (result == SOCKET_ERROR && WSAGetLastError() == WSAEINTR);
  // A datagram longer than the buffer fails the call with WSAEMSGSIZE; the rest of it is gone.
  if (result == SOCKET_ERROR) {
    return WSAGetLastError() == WSAEMSGSIZE ? DATAGRAM_TOO_LONG : RECEIVE_FAILED;
  }
  if ((message.dwFlags & MSG_TRUNC) != 0) return DATAGRAM_TOO_LONG;
  if (sourceAddress != nullptr) *sourceAddress = peer.sin_addr.s_addr;
  if (interfaceIndex != nullptr) {
    *interfaceIndex = 0;
    for (WSACMSGHDR* header = WSA_CMSG_FIRSTHDR(&message); header != nullptr;
         header = WSA_CMSG_NXTHDR(&message, header)) {
      if (header->cmsg_level != IPPROTO_IP || header->cmsg_type != IP_PKTINFO) continue;
      IN_PKTINFO info;
      std::memcpy(&info, WSA_CMSG_DATA(header), sizeof info);
      *interfaceIndex = info.ipi_ifindex;
    }
  }
  return static_cast<long>(received);
}
