// How `netvora-cli apply` reports each plan row: its outcome and the fields that change
// (old -> new), as one text line or one JSON object per row. Pure; thread-safe.
#pragma once

#include <string>
#include <vector>

#include "cli/found_printers.h"

// Outcomes of a row.
constexpr const char* ROW_WOULD_CHANGE = "would change";  // dry run
constexpr const char* ROW_CHANGED = "changed";
constexpr const char* ROW_UNCHANGED = "unchanged";
constexpr const char* ROW_NOT_FOUND = "not found";
constexpr const char* ROW_REFUSED = "refused by the printer";
constexpr const char* ROW_NOT_WRITTEN = "not written";
constexpr const char* ROW_NOT_VERIFIED = "not verified";

struct FieldChange {
  std::string field;  // "ip", "mask", "gateway", "port", "dhcp"
  std::string before;
  std::string after;
  bool quoted;  // a text value in JSON (an address), not a number or true/false
};

struct RowReport {
  int line;
  std::string mac;
  std::string family;  // "config", "text", or "" when not found
  std::string outcome;
  std::vector<FieldChange> changes;
  std::string detail;  // why, when the row did not end as planned; may be empty
};

// The fields whose values differ, in the order ip, mask, gateway, port, dhcp.
std::vector<FieldChange> ChangedFields(const PrinterValues& before, const PrinterValues& after);

// "line 2: 02:00:00:00:00:01 changed: ip 198.51.100.10 -> 198.51.100.20, port 9100 -> 9300"
// and " (detail)" after it when there is one.
std::string RowLine(const RowReport& row);

// {"line": 2, "mac": "...", "family": "config", "outcome": "changed", "changes": {"ip":
// ["198.51.100.10", "198.51.100.20"], "port": [9100, 9300]}, "detail": null}
std::string RowJson(const RowReport& row);
