// The firmware download of the largest image (1,572,864 bytes) to printer-sim's download
// service on loopback, from connect to ACK, beside the floor: one plain blocking send of
// the same bytes over a fresh TCP connection on loopback, timed until the receiver has
// taken them all (it closes its side after our end of stream). Prints medians and ratio.
//   build/bin/netvora-download-bench [RUNS]
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "sim/tcp_services.h"
#include "tcp/firmware_download.h"

namespace {

constexpr uint32_t LOOPBACK = 0x0100007F;  // 127.0.0.1 in network order

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  std::vector<uint8_t> image(FILE_BODY_MAX);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 131 + 7);
  const std::string path = "/tmp/QNEther_vbench.bin";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));

  std::atomic<bool> stop{false};
  uint16_t downloadPort = 0;
  const SocketHandle downloadListener = ListenTcp(LOOPBACK, DOWNLOAD_PORT, &downloadPort);
  uint16_t sinkPort = 0;
  const SocketHandle sinkListener = ListenTcp(LOOPBACK, 0, &sinkPort);
  if (downloadListener == INVALID_SOCKET_HANDLE || sinkListener == INVALID_SOCKET_HANDLE) {
    std::fprintf(stderr, "cannot listen on loopback (is port 26600 free?)\n");
    return 1;
  }
  DownloadService service({});
  PrintService sink;  // drains whatever a connection sends
  std::thread serving([&] { service.Serve(downloadListener, stop); });
  std::thread draining([&] { sink.Serve(sinkListener, stop); });

  std::vector<double> downloads, floors;
  for (int run = 0; run < runs; ++run) {
    CTcpLink link;
    auto start = std::chrono::steady_clock::now();
    const DownloadResult result =
        RunFirmwareDownload(&link, "127.0.0.1", image, path, run, nullptr);
    downloads.push_back(Seconds(start));
    if (result.outcome != DownloadOutcome::kAccepted) {
      std::fprintf(stderr, "download %d was not accepted\n", run);
      return 1;
    }
    start = std::chrono::steady_clock::now();
    const SocketHandle plain = CreateTcpSocket();
    uint8_t end = 0;
    if (ConnectIpv4(plain, LOOPBACK, sinkPort) != 0 ||
        SendStream(plain, image.data(), image.size()) != static_cast<long>(image.size()) ||
        shutdown(plain, SHUT_WR) != 0 || ReceiveStream(plain, &end, 1) != 0) {
      std::fprintf(stderr, "plain send failed\n");
      return 1;
    }
    floors.push_back(Seconds(start));
    CloseSocket(plain);
  }
  stop = true;
  serving.join();
  draining.join();
  CloseSocket(downloadListener);
  CloseSocket(sinkListener);
  std::remove(path.c_str());
  const double download = Median(downloads);
  const double floor = Median(floors);
  std::printf("download of %zu bytes, connect to ACK: median %.4f s over %d runs\n", image.size(),
              download, runs);
  std::printf("plain blocking send on a fresh connection: median %.4f s\n", floor);
  std::printf("ratio: %.1f\n", download / floor);
  return 0;
}
