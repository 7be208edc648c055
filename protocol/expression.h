// The expression rules of model-16 printers: each of the eight 64-byte expression fields
// must be a well-formed term over inputs i0..i7 with + * / and parentheses. Pure.
#pragma once

#include <cstdint>

#include "protocol/printer_info.h"

// True when the field (spaces and zero bytes ignored) is empty or well formed.
[[nodiscard]] bool ValidateExpression(const uint8_t field[EXPRESSION_SIZE]);

// 0 when all eight expressions are valid, else the 1-based position of the first invalid one.
[[nodiscard]] int FindInvalidExpression(
    const uint8_t expressions[EXPRESSION_COUNT_MAX][EXPRESSION_SIZE]);
