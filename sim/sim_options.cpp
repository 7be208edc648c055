#include "sim/sim_options.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <sstream>
#include <utility>

#include "common/byte_reader.h"
#include "common/mac_text.h"
#include "common/socket_port.h"

namespace {

constexpr int MAX_GENERATED_PRINTERS = 65535;

// A flag item (a key without value) among `flags`: sets it and returns true.
bool SetFlag(const std::string& key, const std::string& value,
             std::initializer_list<std::pair<const char*, bool*>> flags) {
  if (!value.empty()) return false;
  for (const auto& [name, flag] : flags) {
    if (key == name) {
      *flag = true;
      return true;
    }
  }
  return false;
}

// Hands each "key=value" or "flag" item of a comma-separated list to `take`, which returns
// false for an item it does not accept.
bool ForEachItem(const std::string& description, const char* what,
                 const std::function<bool(const std::string& key, const std::string& value)>& take,
                 std::string* error) {
  std::istringstream items(description);
  std::string item;
  while (std::getline(items, item, ',')) {
    const size_t equals = item.find('=');
    if (!take(item.substr(0, equals), equals == std::string::npos ? "" : item.substr(equals + 1))) {
      *error = std::string("bad ") + what + " item '" + item + "'";
      return false;
    }
  }
  return true;
}

bool ParseNumber(const std::string& text, unsigned long max, unsigned long* value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
  *value = std::strtoul(text.c_str(), nullptr, 10);
  return text.size() <= 10 && *value <= max;
}

SimPrinterSettings DefaultSettings(int number) {
  SimPrinterSettings settings{};
  const uint8_t mac[MAC_SIZE] = {
      0x02, 0, 0, 0, static_cast<uint8_t>(number >> 8), static_cast<uint8_t>(number)};
  std::memcpy(settings.mac, mac, MAC_SIZE);
  const uint8_t ip[4] = {198, 51, 100, static_cast<uint8_t>(10 + number % 200)};
  std::memcpy(&settings.ipAddress, ip, 4);
  (void)ParseIpv4("255.255.255.0", &settings.subnetMask);
  (void)ParseIpv4("198.51.100.1", &settings.gateway);
  settings.port = 9100;
  settings.modelCode = number % 2 == 1 ? MODEL_EXPRESSION : MODEL_BLOCK38;
  return settings;
}

// One "key=value,flag,..." printer description.
bool ParsePrinter(const std::string& description, int number, SimPrinter* printer,
                  std::string* error) {
  SimPrinterSettings settings = DefaultSettings(number);
  SimFaults faults;
  const auto take = [&](const std::string& key, const std::string& value) {
    unsigned long numeric = 0;
    if (key == "mac") return ParseMac(value, settings.mac);
    if (key == "ip") return ParseIpv4(value.c_str(), &settings.ipAddress);
    if (key == "mask") return ParseIpv4(value.c_str(), &settings.subnetMask);
    if (key == "gateway") return ParseIpv4(value.c_str(), &settings.gateway);
    if (key == "port" || key == "model") {
      if (!ParseNumber(value, 65535, &numeric)) return false;
      (key == "port" ? settings.port : settings.modelCode) = static_cast<uint16_t>(numeric);
      return true;
    }
    if (key == "password") {
      settings.password = value;
      return value.size() <= PASSWORD_SIZE;
    }
    if (key == "delay") {
      if (!ParseNumber(value, 600000, &numeric)) return false;
      faults.replyDelayMs = static_cast<uint32_t>(numeric);
      return true;
    }
    return SetFlag(key, value,
                   {{"twice", &faults.replyTwice},
                    {"header-only", &faults.headerOnly},
                    {"bad-check-word", &faults.badCheckWord},
                    {"silent", &faults.silent}});
  };
  if (!ForEachItem(description, "printer", take, error)) return false;
  *printer = MakeSimPrinter(settings);
  printer->faults = faults;
  return true;
}

// One "key=value,flag,..." text-protocol printer description.
bool ParseTextPrinter(const std::string& description, SimTextPrinter* printer, std::string* error) {
  printer->settings = TextSettings{"44A8C2000001", 0xC6336414, 0xFFFFFF00, 0xC6336401, 9100, false};
  printer->version = "2.05";
  TextSettings& settings = printer->settings;
  bool hostile = false;
  const auto take = [&](const std::string& key, const std::string& value) {
    uint32_t address = 0;
    unsigned long numeric = 0;
    if (key == "mac") {
      settings.macDigits = value;
      return value.size() == 12 &&
             value.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
    }
    if (key == "ip" || key == "mask" || key == "gateway") {
      uint32_t& field = key == "ip"     ? settings.ipAddress
                        : key == "mask" ? settings.subnetMask
                                        : settings.gateway;
      if (!ParseIpv4(value.c_str(), &address)) return false;
      field = NetworkToHost32(address);
      return true;
    }
    if (key == "port") {
      if (!ParseNumber(value, 65535, &numeric)) return false;
      settings.port = static_cast<uint16_t>(numeric);
      return true;
    }
    if (key == "dhcp") {
      settings.dhcp = value == "on";
      return value == "on" || value == "off";
    }
    if (key == "version") {
      printer->version = value == "none" ? "" : value;
      return value == "none" || (value.size() == 4 && value[1] == '.');
    }
    return SetFlag(key, value,
                   {{"lower-case-digits", &printer->faults.lowerCaseDigits},
                    {"short", &printer->faults.shortReply},
                    {"long", &printer->faults.longReply},
                    {"twice", &printer->faults.replyTwice},
                    {"hostile-text", &hostile}});
  };
  if (!ForEachItem(description, "text printer", take, error)) return false;
  if (hostile) {
    settings.macDigits = SIM_HOSTILE_MAC_TEXT;
    printer->version = SIM_HOSTILE_VERSION;
  }
  return true;
}

}  // namespace

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions* options,
                     std::string* error) {
  SimFaults common;
  unsigned long interval = 0;
  unsigned long generated = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    unsigned long number = 0;
    if (arg == "--help" || arg == "-h") {
      options->help = true;
    } else if (arg == "--version") {
      options->version = true;
    } else if (arg == "--printer" && hasValue) {
      SimPrinter printer;
      if (!ParsePrinter(args[++i], static_cast<int>(options->printers.size()) + 1, &printer,
                        error)) {
        return false;
      }
      options->printers.push_back(printer);
    } else if (arg == "--printers" && hasValue &&
               ParseNumber(args[i + 1], MAX_GENERATED_PRINTERS, &number)) {
      generated = number;
      ++i;
    } else if (arg == "--reply-delay" && hasValue && ParseNumber(args[i + 1], 600000, &number)) {
      common.replyDelayMs = static_cast<uint32_t>(number);
      ++i;
    } else if (arg == "--reply-interval" && hasValue && ParseNumber(args[i + 1], 600000, &number)) {
      interval = number;
      ++i;
    } else if (arg == "--reply-twice") {
      common.replyTwice = true;
    } else if (arg == "--header-only") {
      common.headerOnly = true;
    } else if (arg == "--bad-check-word") {
      common.badCheckWord = true;
    } else if (arg == "--silent") {
      common.silent = true;
    } else if (arg == "--stranger-on-write") {
      options->serviceFaults.strangerOnWrite = true;
    } else if (arg == "--stranger-mismatch") {
      options->serviceFaults.strangerOnWrite = true;
      options->serviceFaults.strangerStatus = STATUS_PASSWORD_MISMATCH;
    } else if (arg == "--stray-datagram") {
      options->serviceFaults.strayDatagram = true;
    } else if (arg == "--text-printer" && hasValue) {
      SimTextPrinter printer;
      if (!ParseTextPrinter(args[++i], &printer, error)) return false;
      options->textPrinters.push_back(printer);
    } else if (arg == "--no-download") {
      options->download = false;
    } else if (arg == "--download-nak-ready") {
      options->downloadFaults.nakReady = true;
    } else if (arg == "--download-final-delay" && hasValue &&
               ParseNumber(args[i + 1], 600000, &number)) {
      options->downloadFaults.finalDelayMs = static_cast<uint32_t>(number);
      ++i;
    } else if (arg == "--download-final-length" && hasValue &&
               ParseNumber(args[i + 1], 64, &number)) {
      options->downloadFaults.finalLength = static_cast<int>(number);
      ++i;
    } else if (arg == "--download-ready-delay" && hasValue &&
               ParseNumber(args[i + 1], 600000, &number)) {
      options->downloadFaults.readyDelayMs = static_cast<uint32_t>(number);
      ++i;
    } else if (arg == "--download-cut-body") {
      options->downloadFaults.cutBody = true;
    } else if (arg == "--download-bad-byte6") {
      options->downloadFaults.badByte6 = true;
    } else if (arg == "--download-unanswered") {
      options->downloadFaults.unanswered = true;
    } else if (arg == "--print-port" && hasValue && ParseNumber(args[i + 1], 65535, &number)) {
      options->printPort = static_cast<uint16_t>(number);
      ++i;
    } else {
      *error = "bad argument '" + arg + "' (see --help)";
      return false;
    }
  }
  const size_t described = options->printers.size();
  for (unsigned long n = 0; n < generated; ++n) {
    options->printers.push_back(
        MakeSimPrinter(DefaultSettings(static_cast<int>(described + n) + 1)));
  }
  if (options->printers.empty()) {
    for (int n = 1; n <= 2; ++n) options->printers.push_back(MakeSimPrinter(DefaultSettings(n)));
  }
  for (size_t k = 0; k < options->printers.size(); ++k) {
    SimFaults& faults = options->printers[k].faults;
    faults.replyDelayMs += common.replyDelayMs + static_cast<uint32_t>(k * interval);
    faults.replyTwice |= common.replyTwice;
    faults.headerOnly |= common.headerOnly;
    faults.badCheckWord |= common.badCheckWord;
    faults.silent |= common.silent;
  }
  return true;
}

const char* SimUsage() {
  return "Usage: printer-sim [options]\n"
         "Plays printers (all from this host's address) until interrupted: the\n"
         "configuration protocol on UDP 50005, the text protocol on UDP 27700, the\n"
         "firmware download on TCP 26600 and a print port. Every stored settings write\n"
         "prints one line:\n"
         "  stored MAC ip=A mask=M gateway=G port=P [dhcp=on|off]\n"
         "\n"
         "Printers (two default printers when none is given):\n"
         "  --printer ITEMS       one printer; ITEMS is a comma-separated list of\n"
         "                        mac=02:00:00:00:00:01 ip=A mask=M gateway=G port=P\n"
         "                        model=N (16, 19 or another) password=TEXT (<= 10 bytes)\n"
         "                        and the per-printer faults delay=MS twice header-only\n"
         "                        bad-check-word silent\n"
         "  --printers N          N more printers, MAC 02:00:00:00:HH:LL numbered on\n"
         "Faults for every printer:\n"
         "  --reply-delay MS      answer MS milliseconds after the request\n"
         "  --reply-interval MS   printer k (counted from 0) answers k*MS later still\n"
         "  --reply-twice         send every answer twice\n"
         "  --header-only         answer with the 32-byte header only\n"
         "  --bad-check-word      corrupt the check word of the last element\n"
         "  --silent              answer nothing\n"
         "  --stranger-on-write   a printer with MAC 02:EE:EE:EE:EE:EE answers every\n"
         "                        settings write first\n"
         "  --stranger-mismatch   as --stranger-on-write, its answer saying password\n"
         "                        mismatch (status 2)\n"
         "  --stray-datagram      a 2000-byte datagram of junk precedes the answers to\n"
         "                        every request, configuration and text protocol alike\n"
         "\n"
         "Text-protocol printers on UDP port 27700 (none unless given):\n"
         "  --text-printer ITEMS  ITEMS: mac=44A8C2000001 (twelve hex digits, sent as given)\n"
         "                        ip=A mask=M gateway=G port=P dhcp=on|off\n"
         "                        version=2.05|none, and the faults lower-case-digits,\n"
         "                        short (127-byte replies), long (4000-byte replies),\n"
         "                        twice, hostile-text (quotes, commas and line breaks as\n"
         "                        MAC and version characters)\n"
         "\n"
         "Firmware download service on TCP port 26600 (an image is accepted when its\n"
         "length and checksum match the header):\n"
         "  --no-download               no download service\n"
         "  --download-nak-ready        answer the header with NAK (and NAK the end)\n"
         "  --download-ready-delay MS   send the ready reply MS milliseconds late\n"
         "  --download-final-delay MS   send the final reply MS milliseconds late\n"
         "  --download-cut-body         reset the connection after 4096 bytes of the body\n"
         "  --download-final-length N   send N bytes of the final reply (31, 33)\n"
         "  --download-bad-byte6        spoil the final reply's byte-6 check\n"
         "  --download-unanswered       accept connections and never answer\n"
         "Print port (prints a line \"printed N bytes\" and the page's text per page):\n"
         "  --print-port N        TCP port of the print service (default 9100, 0 none)\n"
         "  --help                this text\n"
         "  --version             the version\n";
}
