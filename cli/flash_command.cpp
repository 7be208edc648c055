#include "cli/flash_command.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <system_error>
#include <thread>

#include "cli/exit_codes.h"
#include "cli/option_parser.h"
#include "common/clock.h"
#include "common/socket_port.h"
#include "tcp/firmware_download.h"
#include "tcp/texts.h"

namespace {

constexpr const char* FLASH_HELP =
    "Usage: netvora-cli flash --ip A [--ip B ...] FILE\n"
    "Downloads FILE into the text-protocol printer at each address (TCP port 26600), at\n"
    "most 8 at a time; with several printers each line starts with the printer's address,\n"
    "and a summary follows. The file's path must contain \"QNEther_v\" and \"bin\"; it may\n"
    "hold at most 1572864 bytes.\n"
    "Exit status: 0 accepted by every printer, 1 refused or no answer, 2 bad usage.\n";

// One line for a step, or "" for a step that has nothing to say.
std::string StepLine(DownloadStep step, long value) {
  switch (step) {
    case DownloadStep::kConnected:
      return value == TCP_OK ? "connected" : "";
    case DownloadStep::kHeaderSent:
      return "header sent: " + std::to_string(value) + " bytes";
    case DownloadStep::kReadyReply:
      return value != 0 ? "ready reply: ready" : "ready reply: missing or not ready; body not sent";
    case DownloadStep::kBodySent:
      return value >= 0 ? "body sent: " + std::to_string(value) + " bytes" : "body not sent";
    case DownloadStep::kFinalReply:
      return "final reply: status " + std::to_string(value);
  }
  return "";
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

// Lines of several downloads, each whole and prefixed, from any thread.
class Reporter {
 public:
  Reporter(std::ostream& out, std::ostream& err, bool prefixed)
      : m_out(out), m_err(err), m_bPrefixed(prefixed) {}
  void Out(const std::string& address, const std::string& line) { Write(m_out, address, line); }
  void Err(const std::string& address, const std::string& line) { Write(m_err, address, line); }

 private:
  void Write(std::ostream& stream, const std::string& address, const std::string& line) {
    if (line.empty()) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bPrefixed) stream << address << ": ";
    stream << line << std::endl;
  }
  std::mutex m_mutex;
  std::ostream& m_out;
  std::ostream& m_err;
  bool m_bPrefixed;
};

// A body that did not go out whole: the printer cannot have the image the header announced.
std::string IncompleteBodyText(long bytesSent) {
  return std::string("netvora-cli: the firmware file did not go out whole: ") +
         (bytesSent < 0 ? "none of it was sent (it could not be read again, or the connection "
                          "failed)"
                        : "the printer took only " + std::to_string(bytesSent) + " bytes of it");
}

// One printer's download with its lines; the outcome.
DownloadOutcome Download(const std::string& address, const std::vector<uint8_t>& image,
                         const std::string& path, unsigned seed, Reporter* report) {
  CTcpLink link;
  const DownloadResult result = RunFirmwareDownload(
      &link, address, image, path, seed,
      [&](DownloadStep step, long value) { report->Out(address, StepLine(step, value)); });
  if (result.readyReplyValid && !result.bodyComplete) {
    report->Err(address, IncompleteBodyText(result.bodyBytesSent));
  }
  switch (result.outcome) {
    case DownloadOutcome::kAccepted:
      report->Out(address, TEXT_DOWNLOAD_COMPLETED.In(false));
      break;
    case DownloadOutcome::kRefused:
      report->Err(address, TEXT_DOWNLOAD_REFUSED.In(false));
      break;
    case DownloadOutcome::kNoAnswer:
      report->Err(address, "netvora-cli: the printer did not confirm the download");
      break;
    case DownloadOutcome::kNotConnected:
      report->Err(address, ConnectErrorText(result.connectResult, false));
      break;
    case DownloadOutcome::kTooLarge:  // the image was checked when it was loaded
      break;
  }
  return result.outcome;
}

const char* OutcomeText(DownloadOutcome outcome) {
  switch (outcome) {
    case DownloadOutcome::kAccepted:
      return "accepted";
    case DownloadOutcome::kRefused:
      return "refused";
    case DownloadOutcome::kNoAnswer:
      return "no answer";
    case DownloadOutcome::kNotConnected:
      return "not connected";
    case DownloadOutcome::kTooLarge:
      return "too large";
  }
  return "failed";
}

}  // namespace

int RunFlash(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedOptions options;
  std::string error;
  if (!ParseOptions(args, {{"--ip", OptionKind::kRepeatable}}, &options, &error, 1)) {
    err << "netvora-cli flash: " << error << "\n";
    return EXIT_USAGE;
  }
  if (options.Has("--help")) {
    out << FLASH_HELP;
    return EXIT_FOUND;
  }
  const std::vector<std::string>& addresses = options.List("--ip");
  for (size_t i = 0; i < addresses.size(); ++i) {
    uint32_t address = 0;
    if (!ParseIpv4(addresses[i].c_str(), &address)) {
      err << "netvora-cli flash: --ip A is required (a dotted IPv4 address), not '" << addresses[i]
          << "'\n";
      return EXIT_USAGE;
    }
    if (std::find(addresses.begin(), addresses.begin() + i, addresses[i]) !=
        addresses.begin() + i) {
      err << "netvora-cli flash: " << addresses[i] << " is given twice\n";
      return EXIT_USAGE;
    }
  }
  if (addresses.empty()) {
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

  const bool several = addresses.size() > 1;
  Reporter report(out, err, several);
  std::vector<DownloadOutcome> outcomes(addresses.size(), DownloadOutcome::kNoAnswer);
  std::atomic<size_t> next{0};
  const unsigned seed = MillisecondClock();
  const auto work = [&] {
    for (size_t i = next++; i < addresses.size(); i = next++) {
      outcomes[i] = Download(addresses[i], image, path, seed + static_cast<unsigned>(i), &report);
    }
  };
  std::vector<std::thread> workers;
  for (size_t n = std::min(FLASH_PARALLEL_MAX, addresses.size()); n > 1; --n) {
    workers.emplace_back(work);
  }
  work();
  for (std::thread& worker : workers) worker.join();

  const size_t accepted =
      static_cast<size_t>(std::count(outcomes.begin(), outcomes.end(), DownloadOutcome::kAccepted));
  if (several) {
    out << accepted << " of " << addresses.size() << " printers accepted the image";
    const char* separator = "; not accepted: ";
    for (size_t i = 0; i < addresses.size(); ++i) {
      if (outcomes[i] == DownloadOutcome::kAccepted) continue;
      out << separator << addresses[i] << " (" << OutcomeText(outcomes[i]) << ")";
      separator = ", ";
    }
    out << "\n";
  }
  return accepted == addresses.size() ? EXIT_FOUND : EXIT_NOT_FOUND;
}
