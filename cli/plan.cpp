#include "cli/plan.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "cli/csv.h"
#include "common/mac_text.h"

namespace {

enum class Column { kMac, kIp, kMask, kGateway, kPort, kDhcp, kPassword };

constexpr struct {
  const char* name;
  Column column;
} COLUMNS[] = {{"mac", Column::kMac},          {"ip", Column::kIp},     {"mask", Column::kMask},
               {"gateway", Column::kGateway},  {"port", Column::kPort}, {"dhcp", Column::kDhcp},
               {"password", Column::kPassword}};

constexpr char UTF8_BOM[] = "\xEF\xBB\xBF";

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// "1 cell", "3 cells".
std::string Count(size_t count, const std::string& thing) {
  return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

std::string At(int line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

// The columns the header names; false after adding its faults.
bool ReadHeader(const CsvRow& header, std::vector<Column>* columns,
                std::vector<std::string>* errors) {
  const size_t before = errors->size();
  for (const std::string& cell : header.fields) {
    const std::string name = Lower(Trimmed(cell));
    const auto known = std::find_if(std::begin(COLUMNS), std::end(COLUMNS),
                                    [&](const auto& c) { return name == c.name; });
    if (known == std::end(COLUMNS)) {
      errors->push_back(At(header.line, "unknown column '" + cell +
                                            "' (columns: mac, ip, mask, gateway, port, dhcp, "
                                            "password)"));
    } else if (std::find(columns->begin(), columns->end(), known->column) != columns->end()) {
      errors->push_back(At(header.line, "column '" + name + "' is named twice"));
    } else {
      columns->push_back(known->column);
    }
  }
  if (std::find(columns->begin(), columns->end(), Column::kMac) == columns->end()) {
    errors->push_back(At(header.line, "the header row must name the column mac"));
  }
  return errors->size() == before;
}

// Reads one cell into the change; false with *error.
bool ReadCell(Column column, const std::string& cell, SettingsChange* change, std::string* error) {
  const std::string value = column == Column::kPassword ? cell : Trimmed(cell);
  if (value.empty()) {
    if (column != Column::kMac) return true;
    *error = "the mac cell is empty";
    return false;
  }
  switch (column) {
    case Column::kMac:
      return ReadMacValue(value, change->mac, error);
    case Column::kIp:
      return ReadAddressValue("ip", value, &change->ip, error);
    case Column::kMask:
      return ReadAddressValue("mask", value, &change->mask, error);
    case Column::kGateway:
      return ReadAddressValue("gateway", value, &change->gateway, error);
    case Column::kPort:
      return ReadPortValue(value, &change->port, error);
    case Column::kDhcp:
      return ReadDhcpValue("dhcp", Lower(value), &change->dhcp, error);
    case Column::kPassword:
      return ReadPasswordValue(value, &change->password, error);
  }
  return false;
}

bool AllEmpty(const CsvRow& row) {
  return std::all_of(row.fields.begin(), row.fields.end(),
                     [](const std::string& cell) { return Trimmed(cell).empty(); });
}

}  // namespace

bool ParsePlan(const std::string& text, std::vector<PlanRow>* rows,
               std::vector<std::string>* errors) {
  rows->clear();
  errors->clear();
  if (text.size() > PLAN_SIZE_MAX) {
    errors->push_back("the plan has more than " + std::to_string(PLAN_SIZE_MAX) + " bytes");
    return false;
  }
  const bool bom = text.compare(0, std::strlen(UTF8_BOM), UTF8_BOM) == 0;
  std::vector<CsvRow> records;
  std::string error;
  if (!ReadCsv(bom ? text.substr(std::strlen(UTF8_BOM)) : text, &records, &error)) {
    errors->push_back(error);
    return false;
  }
  const auto header = std::find_if_not(records.begin(), records.end(), AllEmpty);
  if (header == records.end()) {
    errors->push_back("the plan is empty: its first row must name the columns (mac, ...)");
    return false;
  }
  std::vector<Column> columns;
  if (!ReadHeader(*header, &columns, errors)) return false;

  std::vector<PlanRow> named;  // every row whose MAC could be read
  for (auto record = header + 1; record != records.end(); ++record) {
    if (AllEmpty(*record)) continue;
    if (record->fields.size() != columns.size()) {
      errors->push_back(At(record->line, "the row has " + Count(record->fields.size(), "cell") +
                                             ", but the header names " +
                                             Count(columns.size(), "column")));
      continue;
    }
    PlanRow row{record->line, {}};
    bool good = true;
    bool macRead = false;
    for (size_t i = 0; i < columns.size(); ++i) {
      const bool read = ReadCell(columns[i], record->fields[i], &row.change, &error);
      if (!read) errors->push_back(At(row.line, error));
      good = good && read;
      if (columns[i] == Column::kMac) macRead = read;
    }
    if (!macRead) continue;
    // A row with a fault still names its printer: a later row naming it too is a fault.
    const auto earlier = std::find_if(named.begin(), named.end(), [&](const PlanRow& other) {
      return std::memcmp(other.change.mac, row.change.mac, sizeof row.change.mac) == 0;
    });
    if (earlier != named.end()) {
      errors->push_back(At(row.line, "MAC " + FormatMac(row.change.mac) + " is on line " +
                                         std::to_string(earlier->line) + " already"));
      continue;
    }
    named.push_back(row);
    if (good) rows->push_back(row);
  }
  if (errors->empty() && rows->empty()) errors->push_back("the plan has no printer rows");
  return errors->empty();
}
