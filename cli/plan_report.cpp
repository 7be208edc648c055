#include "cli/plan_report.h"

#include "cli/printer_rows.h"

namespace {

std::string OnOff(bool on) { return on ? "on" : "off"; }

}  // namespace

std::vector<FieldChange> ChangedFields(const PrinterValues& before, const PrinterValues& after) {
  std::vector<FieldChange> changes;
  const struct {
    const char* field;
    uint32_t before;
    uint32_t after;
  } addresses[] = {{"ip", before.ip, after.ip},
                   {"mask", before.mask, after.mask},
                   {"gateway", before.gateway, after.gateway}};
  for (const auto& address : addresses) {
    if (address.before != address.after)
      changes.push_back({address.field, Dotted(address.before), Dotted(address.after), true});
  }
  if (before.port != after.port)
    changes.push_back({"port", std::to_string(before.port), std::to_string(after.port), false});
  if (before.dhcp && after.dhcp && *before.dhcp != *after.dhcp)
    changes.push_back({"dhcp", OnOff(*before.dhcp), OnOff(*after.dhcp), false});
  return changes;
}

std::string RowLine(const RowReport& row) {
  std::string line = "line " + std::to_string(row.line) + ": " + row.mac + " " + row.outcome;
  const char* separator = ": ";
  for (const FieldChange& change : row.changes) {
    line += separator + change.field + " " + change.before + " -> " + change.after;
    separator = ", ";
  }
  if (!row.detail.empty()) line += " (" + row.detail + ")";
  return line;
}

std::string RowJson(const RowReport& row) {
  const auto value = [](const FieldChange& change, const std::string& text) {
    if (change.quoted) return JsonString(text);
    if (change.field == "dhcp") return std::string(text == "on" ? "true" : "false");
    return text;
  };
  std::string json =
      "{\"line\": " + std::to_string(row.line) + ", \"mac\": " + JsonString(row.mac) +
      ", \"family\": " + (row.family.empty() ? std::string("null") : JsonString(row.family)) +
      ", \"outcome\": " + JsonString(row.outcome) + ", \"changes\": {";
  const char* separator = "";
  for (const FieldChange& change : row.changes) {
    json += separator + JsonString(change.field) + ": [" + value(change, change.before) + ", " +
            value(change, change.after) + "]";
    separator = ", ";
  }
  return json +
         "}, \"detail\": " + (row.detail.empty() ? std::string("null") : JsonString(row.detail)) +
         "}";
}
