#include "common/code_page.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

int CodePageOfLocale(const char* locale) {
  if (locale == nullptr) return CODE_PAGE_WESTERN;
  // The language is the part before "_", "." or "@": "ko", "ko_KR", "ko.UTF-8".
  const size_t length = std::strcspn(locale, "_.@");
  return (length == 2 && std::strncmp(locale, "ko", 2) == 0) ? CODE_PAGE_KOREAN : CODE_PAGE_WESTERN;
}

#ifdef _WIN32

int SystemCodePage() { return static_cast<int>(GetACP()); }

std::string ToCodePage949(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int inLength = static_cast<int>(utf8.size());
  const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, nullptr, 0);
  if (wideLength <= 0) return std::string(utf8.size(), '?');
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, wide.data(), wideLength);
  // Characters that code page 949 lacks become the default character '?'.
  const int outLength =
      WideCharToMultiByte(CODE_PAGE_KOREAN, 0, wide.data(), wideLength, nullptr, 0, "?", nullptr);
  if (outLength <= 0) return std::string(utf8.size(), '?');
  std::string out(static_cast<size_t>(outLength), '\0');
  WideCharToMultiByte(CODE_PAGE_KOREAN, 0, wide.data(), wideLength, out.data(), outLength, "?",
                      nullptr);
  return out;
}

#else

int SystemCodePage() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0') return CodePageOfLocale(value);
  }
  return CODE_PAGE_WESTERN;
}

std::string ToCodePage949(const std::string& utf8) {
  iconv_t converter = iconv_open("CP949", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(utf8.size(), '?');
  std::string out;
  char buffer[256];
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  while (inLeft > 0) {
    char* next = buffer;
    size_t outLeft = sizeof buffer;
    if (iconv(converter, &in, &inLeft, &next, &outLeft) == static_cast<size_t>(-1) &&
        errno != E2BIG) {
      // A character the code page lacks: skip its UTF-8 bytes and write '?'.
      out.append(buffer, next);
      out += '?';
      do {
        ++in;
        --inLeft;
      } while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
      continue;
    }
    out.append(buffer, next);
  }
  iconv_close(converter);
  return out;
}

#endif
