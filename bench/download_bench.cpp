// The firmware download of the largest image (1,572,864 bytes) to printer-sim's download
// service on loopback, from connect to ACK, beside the floor: one plain blocking send of
// the same bytes over a fresh TCP connection on loopback, timed until the receiver has
// taken them all. Runs them in turns and prints medians, spreads and the ratio.
//   build/bin/netvora-download-bench [RUNS]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/plain_send.h"
#include "sim/tcp_services.h"
#include "tcp/firmware_download.h"

namespace {

constexpr uint32_t LOOPBACK = 0x0100007F;  // 127.0.0.1 in network order

void PrintFigure(const char* what, const std::vector<double>& seconds) {
  const auto [least, most] = std::minmax_element(seconds.begin(), seconds.end());
  std::printf("%s: median %.4f s (%.4f to %.4f) over %zu runs\n", what, Median(seconds), *least,
              *most, seconds.size());
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  const std::vector<uint8_t> image = BenchImage();
  const std::string path = "/tmp/QNEther_vbench.bin";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));

  std::atomic<bool> stop{false};
  uint16_t downloadPort = 0;
  const SocketHandle downloadListener = ListenTcp(LOOPBACK, DOWNLOAD_PORT, &downloadPort);
  PlainSink sink(LOOPBACK, 0);
  if (downloadListener == INVALID_SOCKET_HANDLE || !sink.IsListening()) {
    std::fprintf(stderr, "cannot listen on loopback (is port 26600 free?)\n");
    return 1;
  }
  DownloadService service({});
  std::thread serving([&] { service.Serve(downloadListener, stop); });

  std::vector<double> downloads, floors;
  int failed = 0;
  for (int run = 0; run < runs && failed == 0; ++run) {
    CTcpLink link;
    const auto start = std::chrono::steady_clock::now();
    const DownloadResult result =
        RunFirmwareDownload(&link, "127.0.0.1", image, path, run, nullptr);
    downloads.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (result.outcome != DownloadOutcome::kAccepted) {
      std::fprintf(stderr, "download %d was not accepted\n", run);
      failed = 1;
    }
    floors.push_back(TimePlainSend(LOOPBACK, sink.Port(), image));
    if (floors.back() < 0) {
      std::fprintf(stderr, "plain send %d failed\n", run);
      failed = 1;
    }
  }
  stop = true;
  serving.join();
  CloseSocket(downloadListener);
  std::remove(path.c_str());
  if (failed != 0) return 1;
  PrintFigure("download of 1572864 bytes, connect to ACK", downloads);
  PrintFigure("floor: plain blocking send until the receiver has it", floors);
  std::printf("ratio: %.2f\n", Median(downloads) / Median(floors));
  return 0;
}
