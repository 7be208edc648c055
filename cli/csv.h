// Comma-separated values as RFC 4180 defines them: quoting fields for output, and reading a
// text into records with the line each starts on. Pure; thread-safe.
#pragma once

#include <string>
#include <vector>

// The field as it is, or in double quotes with each double quote doubled when it holds a
// comma, a double quote, a line break, a byte outside printable ASCII, or space at either
// end; a reader then gets back exactly the bytes written.
std::string CsvField(const std::string& text);

// The fields quoted and joined by commas, ending in CRLF.
std::string CsvRecord(const std::vector<std::string>& fields);

struct CsvRow {
  int line;  // the line the record starts on, counted from 1
  std::vector<std::string> fields;
};

// Reads every record of `text`: fields separated by commas, records ended by CRLF, LF or CR
// (the last one may lack its end); a quoted field may hold commas and line breaks, and a
// doubled double quote stands for one. A blank line is a record of one empty field. False,
// with *error "line N: ...", for a double quote inside an unquoted field, anything but a
// comma or a line end after a closing quote, or a quoted field that never closes.
[[nodiscard]] bool ReadCsv(const std::string& text, std::vector<CsvRow>* rows, std::string* error);
