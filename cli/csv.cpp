#include "cli/csv.h"

namespace {

bool NeedsQuotes(const std::string& text) {
  if (!text.empty() && (text.front() == ' ' || text.back() == ' ')) return true;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == ',' || c == '"' || byte < 0x20 || byte >= 0x7F) return true;
  }
  return false;
}

}  // namespace

std::string CsvField(const std::string& text) {
  if (!NeedsQuotes(text)) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string CsvRecord(const std::vector<std::string>& fields) {
  std::string record;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) record += ',';
    record += CsvField(fields[i]);
  }
  return record + "\r\n";
}

bool ReadCsv(const std::string& text, std::vector<CsvRow>* rows, std::string* error) {
  rows->clear();
  int line = 1;
  size_t at = 0;
  const size_t end = text.size();
  // Steps over a line end at `at` (CRLF, LF or CR); false when there is none.
  const auto lineEnd = [&] {
    if (at < end && text[at] == '\r') {
      ++at;
      if (at < end && text[at] == '\n') ++at;
    } else if (at < end && text[at] == '\n') {
      ++at;
    } else {
      return false;
    }
    ++line;
    return true;
  };
  const auto fail = [&](int where, const std::string& what) {
    *error = "line " + std::to_string(where) + ": " + what;
    return false;
  };
  while (at < end) {
    CsvRow row{line, {}};
    for (;;) {  // one field per turn
      std::string field;
      if (at < end && text[at] == '"') {
        const int opened = line;
        ++at;
        for (;;) {
          if (at == end) return fail(opened, "a quoted field never closes");
          const char c = text[at];
          if (c == '"' && at + 1 < end && text[at + 1] == '"') {
            field += '"';
            at += 2;
          } else if (c == '"') {
            ++at;
            break;
          } else {
            if (c == '\n' || (c == '\r' && (at + 1 == end || text[at + 1] != '\n'))) ++line;
            field += c;
            ++at;
          }
        }
        if (at < end && text[at] != ',' && text[at] != '\r' && text[at] != '\n')
          return fail(line, "text after a closing double quote");
      } else {
        while (at < end && text[at] != ',' && text[at] != '\r' && text[at] != '\n') {
          if (text[at] == '"') return fail(line, "a double quote inside an unquoted field");
          field += text[at++];
        }
      }
      row.fields.push_back(std::move(field));
      if (at < end && text[at] == ',') {
        ++at;
        continue;
      }
      lineEnd();
      break;
    }
    rows->push_back(std::move(row));
  }
  return true;
}
