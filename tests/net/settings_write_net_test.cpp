// The settings write exchange on a real network against printer-sim.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "protocol/discovery.h"
#include "protocol/settings_write.h"
#include "tests/net/sim_peer.h"

namespace {

constexpr const char* TARGET =
    "mac=02:00:00:00:00:01,ip=198.51.100.10,mask=255.255.255.0,gateway=198.51.100.1,"
    "port=9100,model=16,password=secret";

struct WriteResult {
  int result = 0;
  int error = -7;
  double seconds = 0;
};

WriteResult Write(int mode, PrinterInfo* record, const char* password) {
  uint8_t padded[PASSWORD_SIZE] = {};
  std::memcpy(padded, password, std::strlen(password));
  WriteResult out;
  const auto start = std::chrono::steady_clock::now();
  out.result = WritePrinterSettings(mode, record, padded, &out.error);
  out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return out;
}

// The target's record as a search delivers it, with new settings.
PrinterInfo ChangedRecord(const SimPeer& peer) {
  PrinterInfo record = peer.Printers().front();
  record.replyAddress = Ipv4(LAB_PRINTER_ADDRESS);
  record.ipAddress = Ipv4("198.51.100.77");
  SetPrintPort(&record, 9300);
  return record;
}

TEST(WritePrinterSettings, StoresTheRecordFoundBySearchAndTakesBackTheAnswer) {
  NETVORA_START_PEER(peer, {"--printer", TARGET, "--printer", "mac=02:00:00:00:00:02"});
  auto table = std::make_unique<PrinterInfo[]>(MAX_PRINTERS);
  int count = 0;
  int error = 0;
  ASSERT_EQ(1, SearchPrinters(SEARCH_MODE_BROADCAST, 0, table.get(), &count, &error));
  ASSERT_EQ(2, count);
  for (int mode : {WRITE_MODE_BROADCAST, WRITE_MODE_DIRECTED}) {
    SCOPED_TRACE(mode);
    // The printer answers both copies of a request, and an answer carries nothing that ties
    // it to one request: a write started within milliseconds of the last one could take the
    // late answer to the last one's second copy. Let it arrive first.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    PrinterInfo record = table[0];
    const uint16_t port = static_cast<uint16_t>(9200 + mode);
    SetPrintPort(&record, port);
    record.ipAddress = Ipv4(mode == 0 ? "198.51.100.77" : "198.51.100.78");
    const WriteResult written = Write(mode, &record, "secret");
    ASSERT_EQ(1, written.result);
    EXPECT_EQ(0, written.error);
    EXPECT_EQ(port, GetPrintPort(record));
    EXPECT_EQ(Ipv4(LAB_PRINTER_ADDRESS), record.replyAddress);
    const PrinterInfo stored = peer->Printers().front();
    EXPECT_EQ(record.ipAddress, stored.ipAddress);
    EXPECT_EQ(port, GetPrintPort(stored));
  }
}

TEST(WritePrinterSettings, PasswordMismatchReportsMinus100WithThePrintersRecord) {
  NETVORA_START_PEER(peer, {"--printer", TARGET});
  PrinterInfo record = ChangedRecord(*peer);
  const WriteResult written = Write(WRITE_MODE_BROADCAST, &record, "wrong");
  EXPECT_EQ(-1, written.result);
  EXPECT_EQ(SET_ERR_PASSWORD, written.error);
  // The printer's answer, carrying its unchanged settings, has replaced the record.
  EXPECT_EQ(Ipv4("198.51.100.10"), record.ipAddress);
  EXPECT_EQ(9100, GetPrintPort(record));
  EXPECT_EQ(Ipv4("198.51.100.10"), peer->Printers().front().ipAddress);
}

TEST(WritePrinterSettings, ADatagramTooLongForTheBufferDoesNotEndTheWait) {
  NETVORA_START_PEER(peer, {"--printer", std::string(TARGET) + ",delay=500", "--stray-datagram"});
  PrinterInfo record = ChangedRecord(*peer);
  const WriteResult written = Write(WRITE_MODE_BROADCAST, &record, "secret");
  EXPECT_EQ(1, written.result);
  EXPECT_EQ(0, written.error);
  EXPECT_EQ(Ipv4("198.51.100.77"), peer->Printers().front().ipAddress);
}

TEST(WritePrinterSettings, SilenceGivesMinus200AfterThreeSeconds) {
  struct Row {
    const char* name;
    std::vector<std::string> args;
  } rows[] = {
      {"nobody answers", {"--printer", TARGET, "--silent"}},
      // A password mismatch concerns the target only when its own answer says so.
      {"only another printer answers, with status 2",
       {"--printer", TARGET, "--silent", "--stranger-mismatch"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    NETVORA_START_PEER(peer, row.args);
    PrinterInfo record = ChangedRecord(*peer);
    const WriteResult written = Write(WRITE_MODE_BROADCAST, &record, "secret");
    EXPECT_EQ(-1, written.result);
    EXPECT_EQ(SET_ERR_NO_RESPONSE, written.error);
    EXPECT_GE(written.seconds, 2.9);
    EXPECT_LT(written.seconds, 5.0);
    EXPECT_EQ(Ipv4("198.51.100.77"), record.ipAddress);
  }
}

TEST(WritePrinterSettings, AStrangersReplyDoesNotEndTheWait) {
  NETVORA_START_PEER(peer,
                     {"--printer", std::string(TARGET) + ",delay=2500", "--stranger-on-write"});
  PrinterInfo record = ChangedRecord(*peer);
  const WriteResult written = Write(WRITE_MODE_BROADCAST, &record, "secret");
  EXPECT_EQ(1, written.result);
  EXPECT_EQ(0, written.error);
  EXPECT_GE(written.seconds, 2.4);
  EXPECT_EQ(1, record.mac[5]);
  EXPECT_EQ(Ipv4("198.51.100.77"), peer->Printers().front().ipAddress);
}

}  // namespace
