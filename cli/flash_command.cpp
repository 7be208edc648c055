#include "cli/flash_command.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "cli/exit_codes.h"
#include "cli/option_parser.h"
#include "common/clock.h"
#include "common/socket_port.h"
#include "tcp/firmware_download.h"
#include "tcp/texts.h"

namespace {

constexpr const char* FLASH_HELP =
    "Usage: netvora-cli flash --ip A FILE\n"
    "Downloads FILE into the text-protocol printer at address A (TCP port 26600). The\n"
    "file's path must contain \"QNEther_v\" and \"bin\"; it may hold at most 1572864 bytes.\n"
    "Exit status: 0 accepted by the printer, 1 refused or no answer, 2 bad usage.\n";

void ReportStep(std::ostream& out, DownloadStep step, long value) {
  switch (step) {
    case DownloadStep::kConnected:
      if (value == TCP_OK) out << "connected" << std::endl;
      break;
    case DownloadStep::kHeaderSent:
      out << "header sent: " << value << " bytes" << std::endl;
      break;
    case DownloadStep::kReadyReply:
      out << (value != 0 ? "ready reply: ready"
                         : "ready reply: missing or not ready; body not sent")
          << std::endl;
      break;
    case DownloadStep::kBodySent:
      if (value >= 0) {
        out << "body sent: " << value << " bytes" << std::endl;
      } else {
        out << "body not sent" << std::endl;
      }
      break;
    case DownloadStep::kFinalReply:
      out << "final reply: status " << value << std::endl;
      break;
  }
}

enum class LoadResult { kLoaded, kCannotOpen, kTooLarge };

// Reads the update file after checking its name and size, so that a file larger than the
// body buffer is refused before any of it is read. *size receives the file's size.
LoadResult LoadImage(const std::string& path, std::vector<uint8_t>* image, uintmax_t* size) {
  std::error_code error;
  *size = std::filesystem::file_size(path, error);  // fails for all but regular files
  if (!IsFirmwareFileName(path) || error) return LoadResult::kCannotOpen;
  if (*size > FILE_BODY_MAX) return LoadResult::kTooLarge;
  image->resize(static_cast<size_t>(*size));
  std::ifstream file(path, std::ios::binary);
  const auto length = static_cast<std::streamsize>(image->size());
  if (!file.read(reinterpret_cast<char*>(image->data()), length)) return LoadResult::kCannotOpen;
  return LoadResult::kLoaded;
}

void ReportTooLarge(std::ostream& err, const std::string& path, uintmax_t size) {
  err << "netvora-cli flash: " << path << " has " << size << " bytes; at most " << FILE_BODY_MAX
      << " can be downloaded\n";
}

// A body that did not go out whole: the printer cannot have the image the header announced.
void ReportIncompleteBody(std::ostream& err, long bytesSent) {
  err << "netvora-cli: the firmware file did not go out whole: ";
  if (bytesSent < 0) {
    err << "none of it was sent (it could not be read again, or the connection failed)\n";
  } else {
    err << "the printer took only " << bytesSent << " bytes of it\n";
  }
}

}  // namespace

int RunFlash(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedOptions options;
  std::string error;
  if (!ParseOptions(args, {{"--ip", true}}, &options, &error, 1)) {
    err << "netvora-cli flash: " << error << "\n";
    return EXIT_USAGE;
  }
  if (options.Has("--help")) {
    out << FLASH_HELP;
    return EXIT_FOUND;
  }
  uint32_t address = 0;
  if (!options.Has("--ip") || !ParseIpv4(options.values["--ip"].c_str(), &address)) {
    err << "netvora-cli flash: --ip A is required (a dotted IPv4 address)\n";
    return EXIT_USAGE;
  }
  if (options.positional.empty()) {
    err << "netvora-cli flash: the firmware FILE is required\n";
    return EXIT_USAGE;
  }
  const std::string& path = options.positional.front();
  std::vector<uint8_t> image;
  uintmax_t size = 0;
  switch (LoadImage(path, &image, &size)) {
    case LoadResult::kLoaded:
      break;
    case LoadResult::kCannotOpen:
      err << TEXT_CANNOT_OPEN_FILE.In(false) << " (" << path << ")\n";
      return EXIT_USAGE;
    case LoadResult::kTooLarge:
      ReportTooLarge(err, path, size);
      return EXIT_USAGE;
  }
  CTcpLink link;
  const DownloadResult result =
      RunFirmwareDownload(&link, options.values["--ip"], image, path, MillisecondClock(),
                          [&out](DownloadStep step, long value) { ReportStep(out, step, value); });
  if (result.readyReplyValid && !result.bodyComplete)
    ReportIncompleteBody(err, result.bodyBytesSent);
  switch (result.outcome) {
    case DownloadOutcome::kAccepted:
      out << TEXT_DOWNLOAD_COMPLETED.In(false) << "\n";
      return EXIT_FOUND;
    case DownloadOutcome::kRefused:
      err << TEXT_DOWNLOAD_REFUSED.In(false) << "\n";
      return EXIT_NOT_FOUND;
    case DownloadOutcome::kNoAnswer:
      err << "netvora-cli: the printer did not confirm the download\n";
      return EXIT_NOT_FOUND;
    case DownloadOutcome::kNotConnected:
      err << ConnectErrorText(result.connectResult, false) << "\n";
      return EXIT_NOT_FOUND;
    case DownloadOutcome::kTooLarge:
      ReportTooLarge(err, path, image.size());
      return EXIT_USAGE;
  }
  return EXIT_USAGE;
}
