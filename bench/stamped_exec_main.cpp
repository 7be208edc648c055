// stamped-exec: starts a program with the moment it was started in its environment, so that
// a start-up probe can time itself from there with the monotonic clock's resolution.
//   stamped-exec PROGRAM [ARGUMENT...]
// Sets NETVORA_START_NS and replaces itself by PROGRAM (execv: no fork, the same process), so
// the time counted is the program's own start: the kernel loading it, the dynamic linker
// loading its libraries, and everything the program does until it reads the clock again.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/start_stamp.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: stamped-exec PROGRAM [ARGUMENT...]\n");
    return 2;
  }
  const std::string stamp = std::to_string(MonotonicNanoseconds());
  if (setenv(START_STAMP_VARIABLE, stamp.c_str(), 1) != 0) {
    std::fprintf(stderr, "stamped-exec: setenv: %s\n", std::strerror(errno));
    return 2;
  }
  execv(argv[1], argv + 1);
  std::fprintf(stderr, "stamped-exec: %s: %s\n", argv[1], std::strerror(errno));
  return 2;
}
