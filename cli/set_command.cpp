#include "cli/set_command.h"

#include "cli/change_log.h"
#include "cli/exit_codes.h"
#include "cli/option_parser.h"
#include "cli/printer_rows.h"
#include "cli/printer_write.h"
#include "cli/search_command.h"
#include "cli/settings_change.h"
#include "protocol/texts.h"

namespace {

constexpr const char* SET_HELP =
    "Usage: netvora-cli set --mac MAC [--ip A] [--mask M] [--gateway G] [--port P]\n"
    "                       [--password TEXT] [--dhcp on|off] [--interface NAME]...\n"
    "                       [--to ADDRESS]... [--log FILE]\n"
    "Searches for the printer with that MAC address, changes the settings given and\n"
    "stores them in the printer (either family).\n"
    "  --mac MAC          the printer, as 02:00:00:00:00:01\n"
    "  --ip A, --mask M, --gateway G   dotted IPv4 addresses\n"
    "  --port P           print port, 1024..50000\n"
    "  --password TEXT    configuration printers: the password, up to 10 bytes (default:\n"
    "                     the one the printer reported)\n"
    "  --dhcp on|off      text-protocol printers: the DHCP switch\n"
    "  --interface NAME   broadcast out of this interface only (repeatable)\n"
    "  --to ADDRESS       reach the printer at this address (or subnet broadcast\n"
    "                     address) behind a router, without broadcasting (repeatable)\n"
    "  --log FILE         the change log (default:\n"
    "                     $XDG_STATE_HOME/netvora/changes.jsonl)\n"
    "Exit status: 0 stored, 1 printer not found or refused, 2 bad usage or local failure.\n";

bool ReadChange(const ParsedOptions& options, SettingsChange* change, std::string* error) {
  const auto value = [&](const char* name) -> const std::string* {
    const auto it = options.values.find(name);
    return it == options.values.end() ? nullptr : &it->second;
  };
  if (value("--mac") == nullptr) {
    *error = "--mac is required";
    return false;
  }
  if (!ReadMacValue(*value("--mac"), change->mac, error)) return false;
  const struct {
    const char* name;
    std::optional<uint32_t>* field;
  } addresses[] = {
      {"--ip", &change->ip}, {"--mask", &change->mask}, {"--gateway", &change->gateway}};
  for (const auto& address : addresses) {
    if (value(address.name) &&
        !ReadAddressValue(address.name, *value(address.name), address.field, error)) {
      return false;
    }
  }
  return (!value("--port") || ReadPortValue(*value("--port"), &change->port, error)) &&
         (!value("--password") ||
          ReadPasswordValue(*value("--password"), &change->password, error)) &&
         (!value("--dhcp") || ReadDhcpValue("--dhcp", *value("--dhcp"), &change->dhcp, error));
}

// The exit status of a write, after its messages.
int Report(const WriteResult& result, std::ostream& out, std::ostream& err) {
  for (const std::string& message : result.messages) err << message << "\n";
  switch (result.outcome) {
    case WriteOutcome::kStored:
      out << MSG_SAVE_COMPLETED << "\n";
      PrintPrinterTable(result.stored, out);
      return EXIT_FOUND;
    case WriteOutcome::kRefused:
    case WriteOutcome::kNoAnswer:
      return EXIT_NOT_FOUND;
    case WriteOutcome::kRejected:
    case WriteOutcome::kFailed:
      return EXIT_USAGE;
  }
  return EXIT_USAGE;
}

}  // namespace

int RunSet(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedOptions options;
  std::string error;
  SettingsChange change;
  const bool parsed = ParseOptions(args,
                                   {{"--mac", OptionKind::kValue},
                                    {"--ip", OptionKind::kValue},
                                    {"--mask", OptionKind::kValue},
                                    {"--gateway", OptionKind::kValue},
                                    {"--port", OptionKind::kValue},
                                    {"--password", OptionKind::kValue},
                                    {"--dhcp", OptionKind::kValue},
                                    {"--interface", OptionKind::kRepeatable},
                                    {"--to", OptionKind::kRepeatable},
                                    {"--log", OptionKind::kValue}},
                                   &options, &error);
  if (parsed && options.Has("--help")) {
    out << SET_HELP;
    return EXIT_FOUND;
  }
  SendScope scope;
  ChangeLog log;
  const bool explicitLog = options.Has("--log");
  if (!parsed || !ReadChange(options, &change, &error) ||
      !log.Open(explicitLog ? options.values["--log"] : DefaultChangeLogPath(), !explicitLog,
                &error) ||
      !ReadSendScope(options, &scope, &error)) {
    err << "netvora-cli set: " << error << "\n";
    return EXIT_USAGE;
  }

  FoundPrinters found;
  if (!SearchAllPrinters(scope, nullptr, &found, err)) return EXIT_USAGE;
  const WriteLog writeLog{"set", &log};
  if (const FoundConfig* config = FindConfig(found, change.mac)) {
    if (change.dhcp) {
      err << "netvora-cli set: --dhcp applies to text-protocol printers only\n";
      return EXIT_USAGE;
    }
    const PrinterValues wanted = change.AppliedTo(ValuesOf(config->record));
    return Report(WriteConfigPrinter(scope, *config, wanted, change.password, writeLog), out, err);
  }
  if (const FoundText* text = FindText(found, change.mac)) {
    if (change.password) {
      err << "netvora-cli set: --password applies to configuration-protocol printers only\n";
      return EXIT_USAGE;
    }
    const PrinterValues wanted = change.AppliedTo(ValuesOf(DecodeTextInfo(text->reply)));
    return Report(WriteTextPrinter(scope, *text, wanted, writeLog), out, err);
  }
  err << MSG_CANNOT_FIND_MAC << "\n";
  return EXIT_NOT_FOUND;
}
