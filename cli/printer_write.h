// Stores new network settings in one found printer as Save does, for `set` and `apply`:
// the settings write exchange for a configuration-protocol printer, TXT_SET and its
// acknowledgement for a text-protocol printer, each sent along the scope's routes (or, with
// --to, directed). Every write that goes out appends its line to the change log. Blocking;
// not thread-safe.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/change_log.h"
#include "cli/found_printers.h"
#include "cli/send_scope.h"

enum class WriteOutcome {
  kStored,    // the printer answered with the new settings, or acknowledged them
  kRefused,   // the printer refused the password
  kNoAnswer,  // no answer in time
  kRejected,  // not sent: the settings fail the write's own checks
  kFailed,    // not sent: a local socket failure
};

struct WriteResult {
  WriteOutcome outcome;
  std::vector<std::string> messages;  // what the window would show, one per line
  int socketError;                    // kFailed: the socket error
  FoundPrinters stored;               // kStored: the printer as it now stands
};

// Where writes are logged: the verb that makes them and the open log.
struct WriteLog {
  const char* verb;
  ChangeLog* log;
};

// Writes `wanted` (its dhcp is not used) into the printer `found` with `password`, or with
// the password it reported when none is given.
WriteResult WriteConfigPrinter(const SendScope& scope, const FoundConfig& found,
                               const PrinterValues& wanted,
                               const std::optional<std::string>& password, const WriteLog& log);

// Writes `wanted` (dhcp: the printer's own when not given) into the text printer that sent
// `found`'s reply, waiting up to seven seconds for its acknowledgement.
WriteResult WriteTextPrinter(const SendScope& scope, const FoundText& found,
                             const PrinterValues& wanted, const WriteLog& log);

// The change log's word for a write's outcome: "stored", "refused by the printer", "no
// answer".
const char* OutcomeWord(WriteOutcome outcome);
