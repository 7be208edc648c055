// netvora-cli flash: downloads a firmware file into a text-protocol printer.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// `flash --ip A FILE`: reports each step as it happens and the outcome; 0 only when the
// printer accepted the image (ACK), 1 when it refused it or did not answer, 2 on bad usage
// or a file that cannot be sent.
[[nodiscard]] int RunFlash(const std::vector<std::string>& args, std::ostream& out,
                           std::ostream& err);
