// The system's ANSI code page (GetACP): on Windows the system's own; on POSIX 949 when the
// user's locale language is Korean, else 1252, with the locale read from the environment as
// text: LC_ALL, else LC_CTYPE, else LANG (e.g. "ko_KR.UTF-8"). Thread-safe as long as
// nobody changes the environment meanwhile.
#pragma once

#include <string>

constexpr int CODE_PAGE_KOREAN = 949;
constexpr int CODE_PAGE_WESTERN = 1252;

int SystemCodePage();

// The code page of a locale name such as "ko_KR.UTF-8" or "C".
int CodePageOfLocale(const char* locale);

// The UTF-8 text as code page 949 bytes (the Korean labels a printer prints); characters
// that code page lacks become '?'.
std::string ToCodePage949(const std::string& utf8);
