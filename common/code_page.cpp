#include "common/code_page.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

int CodePageOfLocale(const char* locale) {
  if (locale == nullptr) return CODE_PAGE_WESTERN;
  // The language is the part before "_", "." or "@": "ko", "ko_KR", "ko.UTF-8".
  const size_t length = std::strcspn(locale, "_.@");
  return (length == 2 && std::strncmp(locale, "ko", 2) == 0) ? CODE_PAGE_KOREAN : CODE_PAGE_WESTERN;
}

int SystemCodePage() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0') return CodePageOfLocale(value);
  }
  return CODE_PAGE_WESTERN;
}
