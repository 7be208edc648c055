// The firmware download of the largest image (1,572,864 bytes) to printer-sim's download
// service, from connect to ACK, beside the floor: one plain blocking send of the same bytes
// over a fresh TCP connection, timed until the receiver has taken them all. The two take
// turns; prints medians, spreads and the ratio.
//   build/bin/netvora-download-bench [RUNS]
//       on loopback, against a download service and a receiver of its own
//   build/bin/netvora-download-bench --to ADDRESS FLOOR_PORT [RUNS]
//       against printer-sim at ADDRESS and `netvora-plain-send receive FLOOR_PORT` there
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/plain_send.h"
#include "sim/tcp_services.h"
#include "tcp/firmware_download.h"

namespace {

constexpr uint32_t LOOPBACK = 0x0100007F;  // 127.0.0.1 in network order

// printer-sim's download service and a plain receiver on loopback, while it lives.
class LoopbackPrinter {
 public:
  LoopbackPrinter()
      : m_listener(ListenTcp(LOOPBACK, DOWNLOAD_PORT, &m_nPort)), m_sink(LOOPBACK, 0) {
    if (IsListening()) m_thread = std::thread([this] { m_service.Serve(m_listener, m_bStop); });
  }
  ~LoopbackPrinter() {
    m_bStop = true;
    if (m_thread.joinable()) m_thread.join();
    CloseSocket(m_listener);
  }
  bool IsListening() const { return m_listener != INVALID_SOCKET_HANDLE && m_sink.IsListening(); }
  uint16_t SinkPort() const { return m_sink.Port(); }

 private:
  uint16_t m_nPort = 0;
  SocketHandle m_listener;
  PlainSink m_sink;
  DownloadService m_service{{}};
  std::atomic<bool> m_bStop{false};
  std::thread m_thread;
};

// In milliseconds to the microsecond: a loopback download takes about one.
void PrintFigure(const char* what, const std::vector<double>& seconds) {
  const auto [least, most] = std::minmax_element(seconds.begin(), seconds.end());
  std::printf("%s: median %.3f ms (%.3f to %.3f) over %zu runs\n", what, Median(seconds) * 1e3,
              *least * 1e3, *most * 1e3, seconds.size());
}

int Usage() {
  std::fprintf(stderr, "usage: netvora-download-bench [RUNS] | --to ADDRESS FLOOR_PORT [RUNS]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const bool remote = argc > 1 && std::strcmp(argv[1], "--to") == 0;
  if ((remote && (argc < 4 || argc > 5)) || (!remote && argc > 2)) return Usage();
  const char* runsText = remote ? (argc == 5 ? argv[4] : nullptr) : (argc == 2 ? argv[1] : nullptr);
  const int runs = runsText != nullptr ? std::max(1, std::atoi(runsText)) : 15;
  const std::string address = remote ? argv[2] : "127.0.0.1";
  uint32_t networkAddress = 0;
  if (!ParseIpv4(address.c_str(), &networkAddress)) return Usage();

  std::unique_ptr<LoopbackPrinter> local;
  uint16_t floorPort = 0;
  if (remote) {
    floorPort = static_cast<uint16_t>(std::atoi(argv[3]));
  } else {
    local = std::make_unique<LoopbackPrinter>();
    if (!local->IsListening()) {
      std::fprintf(stderr, "cannot listen on loopback (is port 26600 free?)\n");
      return 1;
    }
    floorPort = local->SinkPort();
  }

  const std::vector<uint8_t> image = BenchImage();
  const std::string path = "/tmp/QNEther_vbench.bin";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));
  std::vector<double> downloads, floors;
  bool failed = false;
  for (int run = 0; run < runs && !failed; ++run) {
    CTcpLink link;
    const auto start = std::chrono::steady_clock::now();
    const DownloadResult result = RunFirmwareDownload(&link, address, image, path, run, nullptr);
    downloads.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    floors.push_back(TimePlainSend(networkAddress, floorPort, image));
    if (result.outcome != DownloadOutcome::kAccepted || floors.back() < 0) {
      std::fprintf(stderr, "run %d: the download was not accepted or the plain send failed\n", run);
      failed = true;
    }
  }
  std::remove(path.c_str());
  if (failed) return 1;
  PrintFigure("download of 1572864 bytes, connect to ACK", downloads);
  PrintFigure("floor: plain blocking send until the receiver has it", floors);
  std::printf("ratio: %.2f\n", Median(downloads) / Median(floors));
  return 0;
}
