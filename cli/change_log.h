// The change log of netvora-cli: one JSON line for every settings write that `set` or
// `apply` makes, appended to $XDG_STATE_HOME/netvora/changes.jsonl (by default
// ~/.local/state/netvora/changes.jsonl) or to the file that --log names. Nothing else
// writes there. Not thread-safe.
#pragma once

#include <ctime>
#include <fstream>
#include <string>

#include "cli/found_printers.h"

struct ChangeRecord {
  std::string verb;      // "set" or "apply"
  std::string mac;       // as the printer gave it
  std::string family;    // "config" or "text"
  PrinterValues before;  // as the search found them
  PrinterValues after;   // as the write asked for them
  std::string outcome;   // "stored", "refused by the printer", "no answer" or "failed: ..."
};

// The log's place when --log names none: $XDG_STATE_HOME/netvora/changes.jsonl, else
// $HOME/.local/state/netvora/changes.jsonl, else %LOCALAPPDATA%/netvora/changes.jsonl; ""
// when none of them is set.
std::string DefaultChangeLogPath();

// One line of the log, without its line end: {"time": "2024-05-01T12:00:00Z", "verb": ...,
// "mac": ..., "family": ..., "before": {...}, "after": {...}, "outcome": ...}, the values
// as {"ip", "mask", "gateway", "port"[, "dhcp"]}; the time in UTC.
std::string ChangeLine(const ChangeRecord& record, std::time_t when);

class ChangeLog {
 public:
  // Opens the file for appending, creating it; with `createFolders` also the folders on its
  // path. False with *error saying why.
  [[nodiscard]] bool Open(const std::string& path, bool createFolders, std::string* error);
  // Appends the record's line, stamped with the current time, and flushes it to the file;
  // false when it could not be written.
  [[nodiscard]] bool Append(const ChangeRecord& record);
  const std::string& Path() const { return m_strPath; }

 private:
  std::ofstream m_file;
  std::string m_strPath;
};
