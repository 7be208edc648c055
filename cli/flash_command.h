// netvora-cli flash: downloads a firmware file into text-protocol printers, several at once.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// At most this many downloads run at the same time.
constexpr size_t FLASH_PARALLEL_MAX = 8;

// `flash --ip A [--ip B ...] FILE`: downloads the file into each printer, at most
// FLASH_PARALLEL_MAX at a time, reporting each step as it happens (prefixed by the
// printer's address when there are several) and each outcome, then, for several printers, a
// summary. 0 only when every printer accepted the image (ACK), 1 when any refused it or
// did not answer, 2 on bad usage or a file that cannot be sent.
[[nodiscard]] int RunFlash(const std::vector<std::string>& args, std::ostream& out,
                           std::ostream& err);
