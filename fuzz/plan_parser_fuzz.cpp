// Fuzzes the plan parser of `netvora-cli apply` with any text: it never reads out of bounds
// or crashes, and what it accepts is a plan whose rows keep their promises (each MAC once,
// lines rising, ports in range, passwords short) and read back the same once written out
// again as CSV.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli/csv.h"
#include "cli/plan.h"
#include "cli/printer_rows.h"
#include "common/mac_text.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string AddressCell(const std::optional<uint32_t>& address) {
  return address ? Dotted(*address) : "";
}

// The rows written out as a plan with every column.
std::string Written(const std::vector<PlanRow>& rows) {
  std::string text = CsvRecord({"mac", "ip", "mask", "gateway", "port", "dhcp", "password"});
  for (const PlanRow& row : rows) {
    const SettingsChange& c = row.change;
    text += CsvRecord({FormatMac(c.mac), AddressCell(c.ip), AddressCell(c.mask),
                       AddressCell(c.gateway), c.port ? std::to_string(*c.port) : "",
                       c.dhcp ? (*c.dhcp ? "on" : "off") : "", c.password.value_or("")});
  }
  return text;
}

bool SameChange(const SettingsChange& a, const SettingsChange& b) {
  return std::memcmp(a.mac, b.mac, sizeof a.mac) == 0 && a.ip == b.ip && a.mask == b.mask &&
         a.gateway == b.gateway && a.port == b.port && a.dhcp == b.dhcp &&
         a.password.value_or("") == b.password.value_or("");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<PlanRow> rows;
  std::vector<std::string> errors;
  const bool parsed = ParsePlan(text, &rows, &errors);
  Check(parsed == errors.empty());
  if (!parsed) return 0;
  Check(!rows.empty());
  for (size_t i = 0; i < rows.size(); ++i) {
    const SettingsChange& change = rows[i].change;
    Check(!change.port || (*change.port >= 1024 && *change.port <= 50000));
    Check(!change.password || change.password->size() <= 10);
    if (i > 0) Check(rows[i - 1].line < rows[i].line);
    for (size_t j = 0; j < i; ++j)
      Check(std::memcmp(rows[j].change.mac, change.mac, sizeof change.mac) != 0);
  }
  const std::string written = Written(rows);
  if (written.size() > PLAN_SIZE_MAX) return 0;  // rows written out grow: too long to read
  std::vector<PlanRow> again;
  Check(ParsePlan(written, &again, &errors));
  Check(again.size() == rows.size());
  for (size_t i = 0; i < rows.size(); ++i) Check(SameChange(rows[i].change, again[i].change));
  return 0;
}
