// The plain-send floor between two hosts, for bench/flash_shaped_link:
//   netvora-plain-send receive PORT             takes connections until it is killed
//   netvora-plain-send send ADDRESS PORT FILE   one plain blocking send of FILE's bytes
// `send` prints the seconds from the connect until the receiver had every byte.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "bench/plain_send.h"
#include "common/clock.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: netvora-plain-send receive PORT | send ADDRESS PORT FILE\n");
  return 2;
}

int Receive(uint16_t port) {
  const PlainSink sink(0, port);  // any address
  if (!sink.IsListening()) {
    std::fprintf(stderr, "netvora-plain-send: cannot listen on port %u\n", port);
    return 1;
  }
  for (;;) SleepMilliseconds(1000);
}

int Send(const char* addressText, uint16_t port, const char* path) {
  uint32_t address = 0;
  if (!ParseIpv4(addressText, &address)) return Usage();
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "netvora-plain-send: cannot read %s\n", path);
    return 1;
  }
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
  const double seconds = TimePlainSend(address, port, bytes);
  if (seconds < 0) {
    std::fprintf(stderr, "netvora-plain-send: the send to %s:%u failed\n", addressText, port);
    return 1;
  }
  std::printf("%.6f\n", seconds);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "receive") == 0) {
    return Receive(static_cast<uint16_t>(std::atoi(argv[2])));
  }
  if (argc == 5 && std::strcmp(argv[1], "send") == 0) {
    return Send(argv[2], static_cast<uint16_t>(std::atoi(argv[3])), argv[4]);
  }
  return Usage();
}
