// Holds the sockets library for the whole test run, as the programs hold it for theirs: on
// Windows no socket call works before WSAStartup. Linked into every test that opens sockets.
#include <gtest/gtest.h>

#include "common/socket_port.h"

namespace {

class SocketLibrary : public testing::Environment {
 public:
  void SetUp() override {
    int error = 0;
    ASSERT_TRUE(SocketStartup(2, 2, &error)) << "the sockets library refused to start: " << error;
  }
  void TearDown() override { SocketCleanup(); }
};

[[maybe_unused]] const testing::Environment* const g_pSocketLibrary =
    testing::AddGlobalTestEnvironment(new SocketLibrary);

}  // namespace
