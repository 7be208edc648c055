#include "cli/flash_command.h"

#include <fstream>
#include <iterator>

#include "cli/option_parser.h"
#include "cli/search_command.h"
#include "common/clock.h"
#include "common/socket_port.h"
#include "tcp/firmware_download.h"

namespace {

constexpr const char* FLASH_HELP =
    "Usage: netvora-cli flash --ip A FILE\n"
    "Downloads FILE into the text-protocol printer at address A (TCP port 26600). The\n"
    "file's path must contain \"QNEther_v\" and \"bin\"; it may hold at most 1572864 bytes.\n"
    "Exit status: 0 accepted by the printer, 1 refused or no answer, 2 bad usage.\n";

constexpr const char* MSG_FIRMWARE_DONE =
    "Firmware downloading is completed.\nPlease turn off the printer and turn it on again.";
constexpr const char* MSG_DOWNLOAD_FAILED = "Fail Program Download!";
constexpr const char* MSG_CANNOT_OPEN = "Can't Open File !";

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
      out << "body sent: " << value << " bytes" << std::endl;
      break;
    case DownloadStep::kFinalReply:
      out << "final reply: status " << value << std::endl;
      break;
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
  std::ifstream file(path, std::ios::binary);
  if (!IsFirmwareFileName(path) || !file) {
    err << MSG_CANNOT_OPEN << " (" << path << ")\n";
    return EXIT_USAGE;
  }
  const std::vector<uint8_t> image((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
  CTcpLink link;
  const DownloadResult result =
      RunFirmwareDownload(&link, options.values["--ip"], image, path, MillisecondClock(),
                          [&out](DownloadStep step, long value) { ReportStep(out, step, value); });
  switch (result.outcome) {
    case DownloadOutcome::kAccepted:
      out << MSG_FIRMWARE_DONE << "\n";
      return EXIT_FOUND;
    case DownloadOutcome::kRefused:
      err << MSG_DOWNLOAD_FAILED << "\n";
      return EXIT_NOT_FOUND;
    case DownloadOutcome::kNoAnswer:
      err << "netvora-cli: the printer did not confirm the download\n";
      return EXIT_NOT_FOUND;
    case DownloadOutcome::kNotConnected:
      err << ConnectErrorText(result.connectResult, false) << "\n";
      return EXIT_NOT_FOUND;
    case DownloadOutcome::kTooLarge:
      err << "netvora-cli flash: " << path << " has " << image.size() << " bytes; at most "
          << FILE_BODY_MAX << " can be downloaded\n";
      return EXIT_USAGE;
  }
  return EXIT_USAGE;
}
