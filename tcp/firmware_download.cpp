#include "tcp/firmware_download.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "common/clock.h"

namespace {

constexpr size_t REPLY_BUFFER_SIZE = 256;
constexpr int MAX_CLOSED_PAUSES = 50;
constexpr uint32_t CLOSED_PAUSE_MS = 100;

void Notify(const DownloadObserver& observer, DownloadStep step, long value) {
  if (observer) observer(step, value);
}

}  // namespace

long WaitForDownloadReply(CTcpLink* link, uint8_t* buffer, size_t capacity) {
  std::memset(buffer, 0, capacity);
  const uint32_t start = MillisecondClock();
  int pauses = 0;
  for (;;) {
    const long received = link->ReceiveBytes(buffer, capacity);
    if (received > 0) return received;
    if (received == 0) {
      if (pauses == MAX_CLOSED_PAUSES) return 0;
      ++pauses;
      SleepMilliseconds(CLOSED_PAUSE_MS);
    } else if (!IsTransientReceiveError(LastSocketError()) ||
               MillisecondClock() - start >= DOWNLOAD_REPLY_WAIT_MS) {
      return received;
    }
  }
}

long SendFileBody(CTcpLink* link, const std::string& path, bool* complete) {
  *complete = false;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) return -1;
  std::vector<uint8_t> body(FILE_BODY_MAX);
  const size_t read = std::fread(body.data(), 1, body.size(), file.get());
  // A file that has grown past the buffer since it was chosen would go out cut short.
  const bool tooLarge = read == body.size() && std::fgetc(file.get()) != EOF;
  if (tooLarge || std::ferror(file.get())) return -1;
  long sent = link->SendBytes(body.data(), read);
  // The body counts as sent once the printer has taken it, not when it is queued.
  if (sent == static_cast<long>(read) && !link->WaitSendHandedOver()) sent = -1;
  *complete = sent == static_cast<long>(read);
  return sent;
}

DownloadResult RunFirmwareDownload(CTcpLink* link, const std::string& address,
                                   const std::vector<uint8_t>& image, const std::string& path,
                                   unsigned seed, const DownloadObserver& observer) {
  DownloadResult result{DownloadOutcome::kNoAnswer, 0, false, -1, 0, false};
  if (image.size() > FILE_BODY_MAX) {
    result.outcome = DownloadOutcome::kTooLarge;
    return result;
  }
  result.connectResult = link->ConnectWithTimeout(address.c_str(), DOWNLOAD_PORT);
  Notify(observer, DownloadStep::kConnected, result.connectResult);
  if (result.connectResult != TCP_OK) {
    result.outcome = DownloadOutcome::kNotConnected;
    return result;
  }
  const DownloadHeader header = BuildDownloadHeader(image.data(), image.size(), seed);
  const long headerSent = link->SendBytes(header.data(), header.size());
  Notify(observer, DownloadStep::kHeaderSent, headerSent);
  if (headerSent != static_cast<long>(header.size())) {
    link->CloseLink();
    return result;
  }

  uint8_t reply[REPLY_BUFFER_SIZE];
  uint8_t status = 0;
  long received = WaitForDownloadReply(link, reply, sizeof reply);
  result.readyReplyValid = IsDownloadReply(reply, received, &status) && status == REPLY_READY;
  Notify(observer, DownloadStep::kReadyReply, result.readyReplyValid ? 1 : 0);
  if (result.readyReplyValid) {
    result.bodyBytesSent = SendFileBody(link, path, &result.bodyComplete);
    Notify(observer, DownloadStep::kBodySent, result.bodyBytesSent);
  }

  received = WaitForDownloadReply(link, reply, sizeof reply);
  if (IsDownloadReply(reply, received, &status)) {
    result.finalStatus = status;
    if (status == REPLY_ACK) result.outcome = DownloadOutcome::kAccepted;
    if (status == REPLY_NAK) result.outcome = DownloadOutcome::kRefused;
  }
  Notify(observer, DownloadStep::kFinalReply, result.finalStatus);
  link->CloseLink();
  return result;
}

bool IsFirmwareFileName(const std::string& path) {
  return path.find("QNEther_v") != std::string::npos && path.find("bin") != std::string::npos;
}
