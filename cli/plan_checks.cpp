#include "cli/plan_checks.h"

#include <algorithm>

#include "cli/printer_rows.h"
#include "protocol/settings_write.h"
#include "protocol/texts.h"

namespace {

std::string LineText(int line) { return "line " + std::to_string(line); }

// The address conflicts of one row whose ip cell names an address.
void CheckAddress(const PlannedPrinter& row, const std::vector<PlannedPrinter>& planned,
                  const std::vector<KeptPrinter>& kept, std::vector<PlanFinding>* findings) {
  const std::string address = Dotted(row.after.ip);
  for (const PlannedPrinter& other : planned) {
    if (&other == &row || other.after.ip != row.after.ip) continue;
    if (!other.ipGiven) {
      findings->push_back({row.line, true,
                           address + " goes to " + row.mac + ", but " + other.mac + " (" +
                               LineText(other.line) + ") holds it and keeps it"});
    } else if (other.line < row.line) {
      findings->push_back({row.line, true,
                           address + " goes to two printers: " + other.mac + " (" +
                               LineText(other.line) + ") and " + row.mac});
    }
  }
  for (const KeptPrinter& other : kept) {
    if (other.ip != row.after.ip) continue;
    findings->push_back(
        {row.line, true,
         address + " goes to " + row.mac + ", but " + other.mac + " holds it and keeps it"});
  }
}

// The checks of a row that changes its printer.
void CheckChangedRow(const PlannedPrinter& row, std::vector<PlanFinding>* findings) {
  PrinterInfo record{};
  record.ipAddress = row.after.ip;
  record.subnetMask = row.after.mask;
  if (!IsUsableHostAddress(record)) {
    findings->push_back({row.line, true,
                         Dotted(row.after.ip) + " is not usable with mask " +
                             Dotted(row.after.mask) + " (" + MSG_WRONG_LOCAL_IP + ")"});
  }
  const uint32_t mask = row.after.mask;
  if (row.after.gateway != 0 && (row.after.gateway & mask) != (row.after.ip & mask)) {
    findings->push_back({row.line, false,
                         "gateway " + Dotted(row.after.gateway) + " is outside the subnet of " +
                             Dotted(row.after.ip) + " with mask " + Dotted(mask)});
  }
}

}  // namespace

std::vector<PlanFinding> CheckPlan(const std::vector<PlannedPrinter>& planned,
                                   const std::vector<KeptPrinter>& kept) {
  std::vector<PlanFinding> findings;
  for (const PlannedPrinter& row : planned) {
    if (row.textFamily && row.passwordGiven) {
      findings.push_back({row.line, true,
                          "password applies to configuration-protocol printers only; " + row.mac +
                              " is a text-protocol printer"});
    }
    if (!row.textFamily && row.dhcpGiven) {
      findings.push_back({row.line, true,
                          "dhcp applies to text-protocol printers only; " + row.mac +
                              " is a configuration-protocol printer"});
    }
    if (row.ipGiven) CheckAddress(row, planned, kept, &findings);
    if (!(row.after == row.before)) CheckChangedRow(row, &findings);
  }
  std::stable_sort(findings.begin(), findings.end(),
                   [](const PlanFinding& a, const PlanFinding& b) { return a.line < b.line; });
  return findings;
}
