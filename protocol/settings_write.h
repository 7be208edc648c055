// WritePrinterSettings: stores a changed PrinterInfo in one printer (UDP port 50005) and
// takes back the record the printer then holds; with the checks that a record must pass
// first. Blocks the calling thread until the answer or 3 s of silence. Thread-compatible.
#pragma once

#include <cstdint>
#include <vector>

#include "protocol/exchange.h"

constexpr int WRITE_MODE_BROADCAST = 0;
constexpr int WRITE_MODE_DIRECTED = 1;
constexpr uint32_t WRITE_REPLY_WAIT_MS = 3000;

constexpr int SET_ERR_PASSWORD = -100;
constexpr int SET_ERR_NO_RESPONSE = -200;
constexpr int SET_ERR_BAD_ADDRESS = -300;
constexpr int SET_ERR_EXPRESSION = -400;
constexpr int SET_ERR_RANGE_OVERLAP = -500;

// False when the IP address is the broadcast address of its class A, B or C network, or
// when every host bit under the subnet mask is set.
[[nodiscard]] bool IsUsableHostAddress(const PrinterInfo& info);

// Enciphered settings-write request for the context's request record: header (with the
// record's mac and the payload's check word) and element list in the send buffer.
void BuildSetRequest(ExchangeContext* context);

// mode 0 broadcasts, mode 1 sends to info->replyAddress. A record with a non-zero password
// gets `password` in its place first (the caller's record keeps that change). Returns 1
// with *error = 0 when the target answered: *info then holds the answer. Returns -1 with
// *error one of SET_ERR_*, a socket error, or EINVAL for a mode other than 0 or 1.
// SET_ERR_PASSWORD comes only from a reply that carries the target's hardware address.
[[nodiscard]] int WritePrinterSettings(int mode, PrinterInfo* info,
                                       const uint8_t password[PASSWORD_SIZE], int* error);

// WritePrinterSettings in mode 0 (not directed) with the request sent along every route on
// the one socket, each route a limited broadcast out of its interface. Same checks, results
// and errors; EINVAL also for no route.
[[nodiscard]] int WritePrinterSettingsAlong(const std::vector<DatagramRoute>& routes,
                                            PrinterInfo* info,
                                            const uint8_t password[PASSWORD_SIZE], int* error);
