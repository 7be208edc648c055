#include "protocol/expression.h"

#include <cstring>

namespace {

bool IsInputDigit(char c) { return c >= '0' && c <= '7'; }
bool IsInputLetter(char c) { return c == 'i' || c == 'I'; }
bool IsAllowed(char c) {
  return IsInputDigit(c) || IsInputLetter(c) || std::strchr("+*/()", c) != nullptr;
}

}  // namespace

bool ValidateExpression(const uint8_t field[EXPRESSION_SIZE]) {
  char text[EXPRESSION_SIZE];
  int length = 0;
  for (int k = 0; k < EXPRESSION_SIZE; ++k) {
    if (field[k] != ' ' && field[k] != 0) text[length++] = static_cast<char>(field[k]);
  }
  for (int k = 0; k < length; ++k) {
    const char c = text[k];
    if (!IsAllowed(c)) return false;
    // An input is a letter i and one digit 0-7, always together.
    if (IsInputLetter(c) && (k + 1 == length || !IsInputDigit(text[k + 1]))) return false;
    if (IsInputDigit(c) && (k == 0 || !IsInputLetter(text[k - 1]))) return false;
  }
  int opened = 0;
  int closed = 0;
  for (int k = 0; k < length; ++k) {
    const char c = text[k];
    const char previous = text[k > 0 ? k - 1 : 0];
    if (c == '(') {
      if (std::strchr("+*/(", previous) == nullptr) return false;
      ++opened;
    } else if (c == ')') {
      if (!IsInputDigit(previous)) return false;
      ++closed;
    } else if (c == '+' || c == '*') {
      if (!IsInputDigit(previous) && previous != ')') return false;
      if (k == length - 1) return false;
    }
  }
  return opened == closed;
}

int FindInvalidExpression(const uint8_t expressions[EXPRESSION_COUNT_MAX][EXPRESSION_SIZE]) {
  for (int i = 0; i < EXPRESSION_COUNT_MAX; ++i) {
    if (!ValidateExpression(expressions[i])) return i + 1;
  }
  return 0;
}
