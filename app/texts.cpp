#include "app/texts.h"

#include "common/code_page.h"

QString TextFor(const BilingualText& text, int codePage) {
  if (codePage == CODE_PAGE_KOREAN && text.korean != nullptr) return QString::fromUtf8(text.korean);
  return QString::fromUtf8(text.english);
}
