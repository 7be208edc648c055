// CoreText: one text that the Qt-free core puts before a user (a message, a caption, a
// printed label), English and Korean side by side in UTF-8. Constant data; thread-safe.
#pragma once

struct CoreText {
  const char* english;
  const char* korean;  // nullptr: the English text in both languages

  // The Korean text when `inKorean` and there is one, else the English text.
  constexpr const char* In(bool inKorean) const {
    return inKorean && korean != nullptr ? korean : english;
  }
};
