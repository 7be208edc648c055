#include "cli/apply_command.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

#include "cli/change_log.h"
#include "cli/exit_codes.h"
#include "cli/option_parser.h"
#include "cli/plan.h"
#include "cli/plan_checks.h"
#include "cli/plan_report.h"
#include "cli/printer_write.h"
#include "cli/search_command.h"
#include "common/mac_text.h"

namespace {

constexpr const char* APPLY_HELP =
    "Usage: netvora-cli apply [--dry-run] [--json] [--interface NAME]... [--log FILE]\n"
    "                         PLAN.csv\n"
    "Sets up the printers that a plan names. PLAN.csv is CSV with a header row naming\n"
    "any of the columns mac, ip, mask, gateway, port, dhcp, password (mac required) and\n"
    "one row per printer; an empty cell keeps the printer's value. Every row is checked,\n"
    "the printers are searched and a plan whose addresses conflict is refused before\n"
    "anything is sent; then each printer that changes is written, the printers are\n"
    "searched again and every planned value is verified.\n"
    "  --dry-run          show each field that would change (old -> new); write nothing\n"
    "  --json             one JSON object per row instead of a line\n"
    "  --interface NAME   broadcast out of this interface only (repeatable)\n"
    "  --log FILE         the change log (default:\n"
    "                     $XDG_STATE_HOME/netvora/changes.jsonl)\n"
    "Exit status: 0 every row changed or unchanged and verified, 1 any other ending, 2\n"
    "bad usage, a plan refused by its checks (nothing sent), or a local failure.\n";

// A plan row with the printer the search found for it (none when not found).
struct Target {
  const PlanRow* row;
  const FoundConfig* config;
  const FoundText* text;
  PrinterValues before;
  PrinterValues after;

  bool Found() const { return config != nullptr || text != nullptr; }
  bool Changes() const { return Found() && !(after == before); }
  const char* Family() const { return config ? "config" : text ? "text" : ""; }
};

bool ReadPlanFile(const std::string& path, std::string* text, std::string* error) {
  std::error_code failure;
  const uintmax_t size = std::filesystem::file_size(path, failure);  // regular files only
  if (failure) {
    *error = "cannot read the plan " + path + ": " + failure.message();
    return false;
  }
  if (size > PLAN_SIZE_MAX) {
    *error = "the plan " + path + " has more than " + std::to_string(PLAN_SIZE_MAX) + " bytes";
    return false;
  }
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  if (!file) {
    *error = "cannot read the plan " + path;
    return false;
  }
  *text = content.str();
  return true;
}

Target Match(const PlanRow& row, const FoundPrinters& found) {
  Target target{&row, FindConfig(found, row.change.mac), nullptr, {}, {}};
  if (target.config != nullptr) {
    target.before = ValuesOf(target.config->record);
  } else if ((target.text = FindText(found, row.change.mac)) != nullptr) {
    target.before = ValuesOf(DecodeTextInfo(target.text->reply));
  }
  target.after = row.change.AppliedTo(target.before);
  return target;
}

// The found printers that no row names, each keeping its address.
std::vector<KeptPrinter> KeptPrinters(const FoundPrinters& found,
                                      const std::vector<PlanRow>& rows) {
  const auto planned = [&](const uint8_t mac[6]) {
    return std::any_of(rows.begin(), rows.end(), [&](const PlanRow& row) {
      return std::memcmp(row.change.mac, mac, 6) == 0;
    });
  };
  std::vector<KeptPrinter> kept;
  for (const FoundConfig& config : found.configs) {
    if (!planned(config.record.mac))
      kept.push_back({FormatMac(config.record.mac), config.record.ipAddress});
  }
  for (const FoundText& text : found.texts) {
    const TextInfo info = DecodeTextInfo(text.reply);
    uint8_t mac[6];
    if (!ParseMac(info.macText, mac) || !planned(mac))
      kept.push_back({info.macText, ValuesOf(info).ip});
  }
  return kept;
}

std::vector<PlannedPrinter> PlannedPrinters(const std::vector<Target>& targets) {
  std::vector<PlannedPrinter> planned;
  for (const Target& target : targets) {
    if (!target.Found()) continue;
    const SettingsChange& change = target.row->change;
    planned.push_back({target.row->line, FormatMac(change.mac), target.text != nullptr,
                       target.before, target.after, change.ip.has_value(), change.dhcp.has_value(),
                       change.password.has_value()});
  }
  return planned;
}

// Whether the printer, as a later search found it, holds every value the row gives.
bool Verified(const Target& target, const FoundPrinters& found, std::string* detail) {
  const PlanRow& row = *target.row;
  std::optional<PrinterValues> now;
  if (target.config != nullptr) {
    if (const FoundConfig* config = FindConfig(found, row.change.mac))
      now = ValuesOf(config->record);
  } else if (const FoundText* text = FindText(found, row.change.mac)) {
    now = ValuesOf(DecodeTextInfo(text->reply));
  }
  if (!now) {
    *detail = "not found again";
    return false;
  }
  const std::vector<FieldChange> differences = ChangedFields(target.after, *now);
  if (differences.empty()) return true;
  *detail = "the printer now has";
  for (const FieldChange& difference : differences)
    *detail += " " + difference.field + " " + difference.after;
  return false;
}

std::string Joined(const std::vector<std::string>& messages) {
  std::string text;
  for (const std::string& message : messages) text += (text.empty() ? "" : " ") + message;
  return text;
}

void Print(const RowReport& report, bool json, std::ostream& out) {
  out << (json ? RowJson(report) : RowLine(report)) << "\n";
}

}  // namespace

int RunApply(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedOptions options;
  std::string error;
  const bool parsed = ParseOptions(args,
                                   {{"--dry-run", OptionKind::kFlag},
                                    {"--json", OptionKind::kFlag},
                                    {"--interface", OptionKind::kRepeatable},
                                    {"--log", OptionKind::kValue}},
                                   &options, &error, 1);
  if (parsed && options.Has("--help")) {
    out << APPLY_HELP;
    return EXIT_FOUND;
  }
  if (parsed && options.positional.empty()) error = "the PLAN file is required";
  std::string text;
  if (!error.empty() || !ReadPlanFile(options.positional.front(), &text, &error)) {
    err << "netvora-cli apply: " << error << "\n";
    return EXIT_USAGE;
  }
  const std::string& path = options.positional.front();
  std::vector<PlanRow> rows;
  std::vector<std::string> faults;
  if (!ParsePlan(text, &rows, &faults)) {
    for (const std::string& fault : faults)
      err << "netvora-cli apply: " << path << ": " << fault << "\n";
    err << "netvora-cli apply: nothing was sent\n";
    return EXIT_USAGE;
  }
  const bool dryRun = options.Has("--dry-run");
  const bool json = options.Has("--json");
  SendScope scope;
  ChangeLog log;
  const bool explicitLog = options.Has("--log");
  if ((!dryRun && !log.Open(explicitLog ? options.values["--log"] : DefaultChangeLogPath(),
                            !explicitLog, &error)) ||
      !ReadSendScope(options, &scope, &error)) {
    err << "netvora-cli apply: " << error << "\n";
    return EXIT_USAGE;
  }

  FoundPrinters found;
  if (!SearchAllPrinters(scope, nullptr, &found, err)) return EXIT_USAGE;
  std::vector<Target> targets;
  for (const PlanRow& row : rows) targets.push_back(Match(row, found));
  bool refused = false;
  for (const PlanFinding& finding :
       CheckPlan(PlannedPrinters(targets), KeptPrinters(found, rows))) {
    err << "netvora-cli apply: " << path << ": " << (finding.refusal ? "" : "warning: ") << "line "
        << finding.line << ": " << finding.text << "\n";
    refused = refused || finding.refusal;
  }
  if (refused) {
    err << "netvora-cli apply: the plan is refused; nothing was written\n";
    return EXIT_USAGE;
  }

  std::vector<RowReport> reports;
  for (const Target& target : targets) {
    RowReport report{target.row->line,
                     FormatMac(target.row->change.mac),
                     target.Family(),
                     ROW_NOT_FOUND,
                     {},
                     ""};
    if (target.Found()) {
      report.changes = ChangedFields(target.before, target.after);
      report.outcome = !target.Changes() ? ROW_UNCHANGED : dryRun ? ROW_WOULD_CHANGE : ROW_CHANGED;
    }
    reports.push_back(report);
  }
  if (dryRun) {
    for (const RowReport& report : reports) Print(report, json, out);
    return EXIT_FOUND;
  }

  // Writes, then one search for every verification.
  bool sent = false;
  bool localFailure = false;
  const WriteLog writeLog{"apply", &log};
  for (size_t i = 0; i < targets.size(); ++i) {
    const Target& target = targets[i];
    if (!target.Changes()) continue;
    const WriteResult result = target.config
                                   ? WriteConfigPrinter(scope, *target.config, target.after,
                                                        target.row->change.password, writeLog)
                                   : WriteTextPrinter(scope, *target.text, target.after, writeLog);
    RowReport& report = reports[i];
    report.detail = Joined(result.messages);
    switch (result.outcome) {
      case WriteOutcome::kStored:
      case WriteOutcome::kNoAnswer:
        sent = true;  // an answer may be lost while the printer stored the settings
        break;
      case WriteOutcome::kRefused:
        sent = true;
        report.outcome = ROW_REFUSED;
        break;
      case WriteOutcome::kFailed:
        localFailure = true;
        report.outcome = ROW_NOT_WRITTEN;
        break;
      case WriteOutcome::kRejected:
        report.outcome = ROW_NOT_WRITTEN;
        break;
    }
  }
  FoundPrinters after;
  if (sent && !SearchAllPrinters(scope, nullptr, &after, err)) localFailure = true;
  bool allGood = true;
  for (size_t i = 0; i < targets.size(); ++i) {
    RowReport& report = reports[i];
    const bool verifiable = report.outcome == ROW_CHANGED || report.outcome == ROW_UNCHANGED;
    std::string detail;
    if (verifiable && !Verified(targets[i], sent ? after : found, &detail)) {
      report.outcome = ROW_NOT_VERIFIED;
      report.detail += (report.detail.empty() ? "" : "; ") + detail;
    } else if (report.outcome == ROW_CHANGED) {
      report.detail.clear();  // a lost answer that the search made good
    }
    allGood = allGood && (report.outcome == ROW_CHANGED || report.outcome == ROW_UNCHANGED);
    Print(report, json, out);
  }
  if (localFailure) return EXIT_USAGE;
  return allGood ? EXIT_FOUND : EXIT_NOT_FOUND;
}
