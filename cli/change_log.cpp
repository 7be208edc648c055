#include "cli/change_log.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "cli/printer_rows.h"

namespace {

std::string ValuesJson(const PrinterValues& values) {
  std::string json = "{\"ip\": \"" + Dotted(values.ip) + "\", \"mask\": \"" + Dotted(values.mask) +
                     "\", \"gateway\": \"" + Dotted(values.gateway) +
                     "\", \"port\": " + std::to_string(values.port);
  if (values.dhcp) json += std::string(", \"dhcp\": ") + (*values.dhcp ? "true" : "false");
  return json + "}";
}

std::string UtcTime(std::time_t when) {
  char text[32] = {};
  const std::tm* utc = std::gmtime(&when);
  if (utc == nullptr || std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", utc) == 0)
    return "unknown";
  return text;
}

}  // namespace

std::string DefaultChangeLogPath() {
  const struct {
    const char* variable;
    const char* below;
  } places[] = {{"XDG_STATE_HOME", ""}, {"HOME", "/.local/state"}, {"LOCALAPPDATA", ""}};
  for (const auto& place : places) {
    const char* value = std::getenv(place.variable);
    if (value != nullptr && *value != '\0')
      return std::string(value) + place.below + "/netvora/changes.jsonl";
  }
  return "";
}

std::string ChangeLine(const ChangeRecord& record, std::time_t when) {
  return "{\"time\": \"" + UtcTime(when) + "\", \"verb\": " + JsonString(record.verb) +
         ", \"mac\": " + JsonString(record.mac) + ", \"family\": " + JsonString(record.family) +
         ", \"before\": " + ValuesJson(record.before) + ", \"after\": " + ValuesJson(record.after) +
         ", \"outcome\": " + JsonString(record.outcome) + "}";
}

bool ChangeLog::Open(const std::string& path, bool createFolders, std::string* error) {
  if (path.empty()) {
    *error = "no place for the change log: set XDG_STATE_HOME or HOME, or give --log FILE";
    return false;
  }
  std::error_code failure;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (createFolders && !folder.empty()) std::filesystem::create_directories(folder, failure);
  m_file.open(path, std::ios::app | std::ios::binary);
  if (failure || !m_file.is_open()) {
    *error = "cannot write the change log " + path +
             (failure ? ": " + failure.message() : std::string());
    return false;
  }
  m_strPath = path;
  return true;
}

bool ChangeLog::Append(const ChangeRecord& record) {
  m_file << ChangeLine(record, std::time(nullptr)) << '\n';
  m_file.flush();
  return m_file.good();
}
