// The firmware download exchange on the link to port 26600, without a window: header,
// ready reply, the file in one send, final reply. Blocks the calling thread (a connect of
// at most 1 s, each reply wait up to 10 s, the body send). Not thread-safe.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tcp/download_header.h"
#include "tcp/tcp_link.h"

enum class DownloadOutcome {
  kAccepted,  // the final reply said ACK (0x06)
  kRefused,   // the final reply said NAK (0x15): "Fail Program Download!"
  kNoAnswer,  // anything else after a successful connect; no message
  kNotConnected,
  kTooLarge,  // the image exceeds FILE_BODY_MAX; nothing was sent
};

// The steps as they happen, for a caller that reports progress.
enum class DownloadStep { kConnected, kHeaderSent, kReadyReply, kBodySent, kFinalReply };

struct DownloadResult {
  DownloadOutcome outcome;
  int connectResult;     // TCP_OK or the connect's TCP_ERR_* code
  bool readyReplyValid;  // the printer said ready, so the body went out
  long bodyBytesSent;    // -1 when the body was not sent
  uint8_t finalStatus;   // byte 11 of a whole final reply, else 0
  bool bodyComplete;     // the body send took the whole file
};

// `value`: the connect result, the header's byte count, 1/0 for a valid ready reply, the
// body's byte count, the final status.
using DownloadObserver = std::function<void(DownloadStep step, long value)>;

// Downloads `image` (as loaded when the file was chosen; it fills the header) to the
// address, sending the body from the file at `path` as it is now. The link is closed on
// every ending after a successful connect.
[[nodiscard]] DownloadResult RunFirmwareDownload(CTcpLink* link, const std::string& address,
                                                 const std::vector<uint8_t>& image,
                                                 const std::string& path, unsigned seed,
                                                 const DownloadObserver& observer);

// Reads the file again and sends it whole in one send, then waits until the printer has
// taken it (CTcpLink::WaitSendHandedOver). Returns the bytes sent; -1 with nothing sent
// when the file cannot be read or now holds more than FILE_BODY_MAX bytes, and -1 when the
// printer did not take what was sent. *complete is true when every byte read was taken.
[[nodiscard]] long SendFileBody(CTcpLink* link, const std::string& path, bool* complete);

// A printer may check a whole image before it answers: a reply wait gives it this long.
constexpr uint32_t DOWNLOAD_REPLY_WAIT_MS = 10000;

// One wait for a reply: receives into the zeroed buffer and ends at the first data. A
// receive that runs out of its 100 ms time-out (or that a signal interrupts) is made again
// until DOWNLOAD_REPLY_WAIT_MS have passed without data; after each 0 (the printer closed
// its side) it pauses 100 ms and receives again, at most 50 times. Returns the last
// receive's result: the count, 0 after the fiftieth pause, or -1 (nothing came in time, or
// the link failed).
[[nodiscard]] long WaitForDownloadReply(CTcpLink* link, uint8_t* buffer, size_t capacity);

// Whether a path names an update file: it contains "QNEther_v" and "bin" anywhere, case
// sensitive (folders included).
bool IsFirmwareFileName(const std::string& path);
