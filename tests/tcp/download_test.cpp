// The firmware download: header and reply codecs, and the exchange on loopback against
// printer-sim's download service and against printers scripted by the test.
#include <gtest/gtest.h>
#include <unistd.h>

#ifndef _WIN32
#include <sys/ioctl.h>
#endif

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <future>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/byte_reader.h"
#include "common/checksum32.h"
#include "sim/tcp_services.h"
#include "tcp/firmware_download.h"
#include "tests/tcp/loopback_peer.h"

namespace {

std::vector<uint8_t> Image(const std::string& text) { return {text.begin(), text.end()}; }

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(DownloadHeader, CarriesLengthChecksumsAndTheMaskedRandomBytes) {
  const std::vector<uint8_t> image = Image("abc");
  const DownloadHeader header = BuildDownloadHeader(image.data(), image.size(), 42);
  EXPECT_EQ(0x02, header[0]);
  EXPECT_EQ(0x20, header[1]);
  for (int i = 0; i < 5; ++i) {
    EXPECT_NE(0, header[2 + i]);
    EXPECT_EQ(header[2 + i] ^ "TALVO"[i], header[7 + i]);
  }
  EXPECT_EQ("00000003", std::string(header.begin() + 12, header.begin() + 20));
  EXPECT_EQ("031a73ae", std::string(header.begin() + 20, header.begin() + 28));
  EXPECT_EQ(Checksum32(header.data(), 28), LoadLe32(header.data() + 28));
  uint32_t length = 0, checksum = 0;
  EXPECT_TRUE(ParseDownloadHeader(header.data(), header.size(), &length, &checksum));
  EXPECT_EQ(3u, length);
  EXPECT_EQ(0x031A73AEu, checksum);

  const DownloadHeader other = BuildDownloadHeader(image.data(), image.size(), 43);
  for (size_t i = 0; i < header.size(); ++i) {
    if ((i >= 2 && i <= 11) || i >= 28) continue;
    EXPECT_EQ(header[i], other[i]) << "byte " << i;
  }
  const DownloadHeader empty = BuildDownloadHeader(nullptr, 0, 1);
  EXPECT_EQ("0000000000000000", std::string(empty.begin() + 12, empty.begin() + 28));

  DownloadHeader spoiled = header;
  spoiled[9] ^= 1;
  EXPECT_FALSE(ParseDownloadHeader(spoiled.data(), spoiled.size(), &length, &checksum));
}

TEST(DownloadReply, IsCheckedByCountStartAndByteSix) {
  const DownloadReply ack = BuildDownloadReply(REPLY_ACK, 5);
  uint8_t status = 0;
  EXPECT_TRUE(IsDownloadReply(ack.data(), 32, &status));
  EXPECT_EQ(REPLY_ACK, status);
  EXPECT_FALSE(IsDownloadReply(ack.data(), 31, &status));
  EXPECT_FALSE(IsDownloadReply(ack.data(), 33, &status));
  DownloadReply bad = ack;
  bad[6] ^= 1;
  EXPECT_FALSE(IsDownloadReply(bad.data(), 32, &status));
}

// printer-sim's download service on `address`:26600 (a loopback address) for one test.
class DownloadPeer {
 public:
  explicit DownloadPeer(DownloadFaults faults, uint32_t address = LOOPBACK_ADDRESS)
      : m_service(faults) {
    uint16_t port = 0;
    m_listener = ListenLoopback(DOWNLOAD_PORT, &port, address);
    m_thread = std::thread([this] { m_service.Serve(m_listener, m_stop); });
  }
  ~DownloadPeer() {
    m_stop = true;
    m_thread.join();
    CloseSocket(m_listener);
  }
  // The downloads served so far, once at least `count` have finished (or after 2 s).
  std::vector<DownloadRecord> Downloads(size_t count) const {
    for (int tries = 0; tries < 200 && m_service.Downloads().size() < count; ++tries) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return m_service.Downloads();
  }

 private:
  DownloadService m_service;
  SocketHandle m_listener;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

// A file in the shared temporary folder under this run's own name (test programs run side
// by side), removed when the test ends.
class TempFile {
 public:
  TempFile(const std::string& name, const std::vector<uint8_t>& bytes)
      : m_strPath(::testing::TempDir() + std::to_string(getpid()) + "-" + name) {
    std::ofstream(m_strPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  ~TempFile() { std::remove(m_strPath.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const std::string& Path() const { return m_strPath; }

 private:
  std::string m_strPath;
};

std::vector<uint8_t> PatternImage() {
  std::vector<uint8_t> image(200000);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
  return image;
}

TEST(RunFirmwareDownload, EachPrinterAnswerGivesItsOutcome) {
  const std::vector<uint8_t> image = PatternImage();
  const TempFile file("QNEther_v1.bin", image);
  const std::string& path = file.Path();
  struct Row {
    const char* name;
    void (*fault)(DownloadFaults*);
    DownloadOutcome outcome;
  } rows[] = {
      {"accepted", [](DownloadFaults*) {}, DownloadOutcome::kAccepted},
      // A printer may take its time, with the header and with the image.
      {"ready reply after 700 ms", [](DownloadFaults* f) { f->readyDelayMs = 700; },
       DownloadOutcome::kAccepted},
      {"final reply after 700 ms", [](DownloadFaults* f) { f->finalDelayMs = 700; },
       DownloadOutcome::kAccepted},
      {"final reply of 31 bytes", [](DownloadFaults* f) { f->finalLength = 31; },
       DownloadOutcome::kNoAnswer},
      {"final reply of 33 bytes", [](DownloadFaults* f) { f->finalLength = 33; },
       DownloadOutcome::kNoAnswer},
      {"final reply fails the byte-6 check", [](DownloadFaults* f) { f->badByte6 = true; },
       DownloadOutcome::kNoAnswer},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DownloadFaults faults;
    row.fault(&faults);
    DownloadPeer peer(faults);
    CTcpLink link;
    std::vector<DownloadStep> steps;
    const DownloadResult result =
        RunFirmwareDownload(&link, "127.0.0.1", image, path, 7,
                            [&](DownloadStep step, long) { steps.push_back(step); });
    EXPECT_EQ(row.outcome, result.outcome);
    EXPECT_EQ(TCP_OK, result.connectResult);
    EXPECT_TRUE(result.readyReplyValid);
    EXPECT_EQ(static_cast<long>(image.size()), result.bodyBytesSent);
    EXPECT_TRUE(result.bodyComplete);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(5u, steps.size());
  }
}

TEST(RunFirmwareDownload, ABodyThePrinterCutsShortIsReported) {
  // Larger than the socket buffers of both ends, so the send cannot complete unread.
  const std::vector<uint8_t> image(FILE_BODY_MAX, 0xA5);
  const TempFile file("QNEther_v6.bin", image);
  const std::string& path = file.Path();
  DownloadFaults faults;
  faults.cutBody = true;  // the printer resets the connection after 4096 bytes
  DownloadPeer peer(faults);
  CTcpLink link;
  const DownloadResult result = RunFirmwareDownload(&link, "127.0.0.1", image, path, 8, nullptr);
  EXPECT_TRUE(result.readyReplyValid);
  EXPECT_FALSE(result.bodyComplete);
  EXPECT_LT(result.bodyBytesSent, static_cast<long>(image.size()));
  EXPECT_EQ(DownloadOutcome::kNoAnswer, result.outcome);
  const std::vector<DownloadRecord> downloads = peer.Downloads(1);
  ASSERT_EQ(1u, downloads.size());
  EXPECT_EQ(SIM_CUT_BODY_BYTES, downloads[0].receivedLength);
}

// The long waits, each against its own printer on its own loopback address, side by side.
TEST(RunFirmwareDownload, TheFinalReplyIsAwaitedForTenSeconds) {
  const std::vector<uint8_t> image = PatternImage();
  const TempFile file("QNEther_v5.bin", image);
  const std::string& path = file.Path();
  struct Row {
    const char* name;
    uint32_t finalDelayMs;
    const char* address;
    DownloadOutcome outcome;
    double minSeconds;
    double maxSeconds;
  } rows[] = {
      {"final reply after 9 s", 9000, "127.0.0.1", DownloadOutcome::kAccepted, 9.0, 9.8},
      {"final reply after 11 s", 11000, "127.0.0.2", DownloadOutcome::kNoAnswer, 10.0, 10.9},
  };
  std::vector<std::unique_ptr<DownloadPeer>> peers;
  std::vector<std::future<std::pair<DownloadResult, double>>> downloads;
  for (const Row& row : rows) {
    DownloadFaults faults;
    faults.finalDelayMs = row.finalDelayMs;
    uint32_t address = 0;
    ASSERT_TRUE(ParseIpv4(row.address, &address));
    peers.push_back(std::make_unique<DownloadPeer>(faults, address));
    downloads.push_back(std::async(std::launch::async, [&image, &path, &row] {
      CTcpLink link;
      const auto start = std::chrono::steady_clock::now();
      const DownloadResult result =
          RunFirmwareDownload(&link, row.address, image, path, 9, nullptr);
      return std::make_pair(result, SecondsSince(start));
    }));
  }
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].name);
    const auto [result, seconds] = downloads[i].get();
    EXPECT_EQ(rows[i].outcome, result.outcome);
    EXPECT_EQ(static_cast<long>(image.size()), result.bodyBytesSent);
    EXPECT_GE(seconds, rows[i].minSeconds);
    EXPECT_LT(seconds, rows[i].maxSeconds);
  }
}

// A printer scripted by the test on 127.0.0.1:26600. It reads the header and answers with
// `ready`; once the client has taken that reply (`readyTaken`, set by the download's step
// observer), it reads the `bodyBytes` the client must send, answers with `final`, and then
// counts every byte of the body until the client closes.
void ServeScripted(SocketHandle connection, const std::vector<uint8_t>& ready,
                   const DownloadReply& final, const std::shared_future<void>& readyTaken,
                   size_t bodyBytes, size_t* received) {
  ASSERT_TRUE(SetReceiveTimeout(connection, 3000));  // a client that stops cannot hang it
  uint8_t buffer[65536];
  size_t header = 0;
  while (header < DOWNLOAD_HEADER_SIZE) {
    const long got = ReceiveStream(connection, buffer, DOWNLOAD_HEADER_SIZE - header);
    if (got <= 0) return;
    header += static_cast<size_t>(got);
  }
  ASSERT_EQ(static_cast<long>(ready.size()), SendStream(connection, ready.data(), ready.size()));
  ASSERT_EQ(std::future_status::ready, readyTaken.wait_for(std::chrono::seconds(15)));
  long got = 0;
  while (*received < bodyBytes && (got = ReceiveStream(connection, buffer, sizeof buffer)) > 0) {
    *received += static_cast<size_t>(got);
  }
  ASSERT_EQ(32, SendStream(connection, final.data(), final.size()));
  while ((got = ReceiveStream(connection, buffer, sizeof buffer)) > 0) {
    *received += static_cast<size_t>(got);
  }
}

TEST(RunFirmwareDownload, OnlyAWholeReadyReplyLetsTheBodyGoAndTheFinalWaitFollowsAlways) {
  const std::vector<uint8_t> image(1000, 0x5A);
  const TempFile file("QNEther_v3.bin", image);
  const std::string& path = file.Path();
  const TempFile grownFile("QNEther_v4.bin", std::vector<uint8_t>(FILE_BODY_MAX + 1));
  const std::string& grown = grownFile.Path();
  const DownloadReply ready = BuildDownloadReply(REPLY_READY, 1);
  const DownloadReply nak = BuildDownloadReply(REPLY_NAK, 2);
  const auto changed = [&ready](size_t index, uint8_t value) {
    std::vector<uint8_t> reply(ready.begin(), ready.end());
    reply[index] = value;
    return reply;
  };
  const std::vector<uint8_t> whole(ready.begin(), ready.end());
  std::vector<uint8_t> longer = whole;
  longer.push_back(0);
  struct Row {
    const char* name;
    std::vector<uint8_t> ready;
    std::string path;
    bool readyValid;
    size_t bodyBytes;
  } rows[] = {
      {"ready", whole, path, true, image.size()},
      {"status NAK", changed(11, REPLY_NAK), path, false, 0},
      {"status ACK", changed(11, REPLY_ACK), path, false, 0},
      {"byte 0 not 0x02", changed(0, 0x03), path, false, 0},
      {"byte 6 fails the mask check", changed(6, ready[6] ^ 0x01), path, false, 0},
      {"31 bytes", {whole.begin(), whole.end() - 1}, path, false, 0},
      {"33 bytes", longer, path, false, 0},
      {"the file on disk grew past the body buffer", whole, grown, true, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    size_t received = 0;
    DownloadResult result;
    CTcpLink link;
    std::promise<void> readyTaken;
    {
      LoopbackPeer printer(
          [&, taken = readyTaken.get_future().share()](SocketHandle connection) {
            ServeScripted(connection, row.ready, nak, taken, row.bodyBytes, &received);
          },
          DOWNLOAD_PORT);
      result = RunFirmwareDownload(&link, "127.0.0.1", image, row.path, 5,
                                   [&readyTaken](DownloadStep step, long) {
                                     if (step == DownloadStep::kReadyReply) readyTaken.set_value();
                                   });
    }  // the printer has counted everything once its thread has ended
    EXPECT_EQ(row.readyValid, result.readyReplyValid);
    EXPECT_EQ(row.bodyBytes, received);
    EXPECT_EQ(row.bodyBytes > 0 ? static_cast<long>(row.bodyBytes) : -1, result.bodyBytesSent);
    EXPECT_EQ(row.bodyBytes > 0, result.bodyComplete);
    EXPECT_EQ(DownloadOutcome::kRefused, result.outcome);  // the final NAK was waited for
    EXPECT_FALSE(link.IsOpen());
  }
}

TEST(RunFirmwareDownload, SendsTheFileAsItIsNowAndThePrinterRefusesAChangedOne) {
  const std::vector<uint8_t> loaded = Image("firmware image as loaded");
  const TempFile file("QNEther_v2.bin", Image("firmware image, changed!"));
  const std::string& path = file.Path();
  DownloadPeer peer({});
  CTcpLink link;
  const DownloadResult result = RunFirmwareDownload(&link, "127.0.0.1", loaded, path, 3, nullptr);
  EXPECT_EQ(DownloadOutcome::kRefused, result.outcome);  // the image checksum no longer matches
  const std::vector<DownloadRecord> downloads = peer.Downloads(1);
  ASSERT_EQ(1u, downloads.size());
  EXPECT_EQ(loaded.size(), downloads[0].announcedLength);
  EXPECT_EQ(REPLY_NAK, downloads[0].finalStatus);
}

#ifndef _WIN32
// On Windows the unbuffered send gives this by itself; wine's sockets do not, so the test
// runs where the link waits for the hand-over.
TEST(SendFileBody, ReturnsOnceThePrinterHasTakenTheWholeBody) {
  const std::vector<uint8_t> body(1 << 20, 0x3C);
  const TempFile file("QNEther_v5.bin", body);
  const std::string& path = file.Path();
  std::atomic<SocketHandle> printer{INVALID_SOCKET_HANDLE};
  std::atomic<size_t> read{0};
  std::atomic<bool> checked{false};
  LoopbackPeer peer([&](SocketHandle connection) {
    printer = connection;
    // A printer that takes the body slowly, a block at a time.
    std::vector<uint8_t> buffer(64 * 1024);
    for (long got; read < body.size() &&
                   (got = ReceiveStream(connection, buffer.data(), buffer.size())) > 0;) {
      read += static_cast<size_t>(got);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    while (!checked) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  // Lets the printer go (after the checks, or when one fails) before the link closes.
  struct Release {
    std::atomic<bool>* checked;
    ~Release() { *checked = true; }
  } release{&checked};
  CTcpLink link;
  ASSERT_EQ(TCP_OK, link.ConnectWithTimeout("127.0.0.1", peer.Port()));

  bool complete = false;
  EXPECT_EQ(static_cast<long>(body.size()), SendFileBody(&link, path, &complete));
  EXPECT_TRUE(complete);
  // What waits in the printer's receive queue first, then what it has read: a byte read in
  // between counts twice, never not at all.
  int waiting = 0;
  ASSERT_EQ(0, ioctl(printer.load(), FIONREAD, &waiting));
  EXPECT_GE(static_cast<size_t>(waiting) + read.load(), body.size());
}
#endif

TEST(WaitForDownloadReply, PausesFiftyTimesAfterThePrinterClosedItsSide) {
  LoopbackPeer peer([](SocketHandle) {});  // accepts, then closes at once
  CTcpLink link;
  ASSERT_EQ(TCP_OK, link.ConnectWithTimeout("127.0.0.1", peer.Port()));
  uint8_t buffer[256];
  std::memset(buffer, 0xEE, sizeof buffer);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(0, WaitForDownloadReply(&link, buffer, sizeof buffer));
  const double waited = SecondsSince(start);
  EXPECT_GE(waited, 4.9);  // 50 pauses of 100 ms, 51 receives
  EXPECT_LT(waited, 8.0);
  EXPECT_EQ(std::vector<uint8_t>(sizeof buffer, 0), std::vector<uint8_t>(buffer, buffer + 256));
}

TEST(RunFirmwareDownload, RefusesWhatItCannotSend) {
  CTcpLink link;
  const std::vector<uint8_t> tooLarge(FILE_BODY_MAX + 1);
  DownloadResult result = RunFirmwareDownload(&link, "127.0.0.1", tooLarge, "unused", 1, nullptr);
  EXPECT_EQ(DownloadOutcome::kTooLarge, result.outcome);
  EXPECT_EQ(0, result.connectResult);  // nothing was attempted

  result = RunFirmwareDownload(&link, "127.0.0.1", Image("abc"), "unused", 1,
                               nullptr);  // nobody listens
  EXPECT_EQ(DownloadOutcome::kNotConnected, result.outcome);
  EXPECT_EQ(TCP_ERR_TIMEOUT, result.connectResult);
}

}  // namespace
