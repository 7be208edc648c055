// The discovery exchange on a real network: our client in the lab's client namespace,
// printer-sim's configuration service on the printer side.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>

#include "protocol/discovery.h"
#include "tests/net/sim_peer.h"

namespace {

struct SearchResult {
  int result = 0;
  int count = -7;  // untouched when the search fails
  int error = -7;
  double seconds = 0;
  std::unique_ptr<PrinterInfo[]> table{new PrinterInfo[MAX_PRINTERS]()};
};

SearchResult Search(int mode, uint32_t address = 0) {
  SearchResult out;
  const auto start = std::chrono::steady_clock::now();
  out.result = SearchPrinters(mode, address, out.table.get(), &out.count, &out.error);
  out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return out;
}

uint8_t MacLast(const PrinterInfo& info) { return info.mac[5]; }

TEST(SearchPrinters, BroadcastFilesTheFirstReplyOfEachPrinterDecoded) {
  NETVORA_START_PEER(peer, {"--printer",
                            "mac=02:00:00:00:00:01,ip=198.51.100.10,mask=255.255.255.0,"
                            "gateway=198.51.100.1,port=9300,model=16",
                            "--printer", "mac=02:00:00:00:00:02,ip=198.51.100.11,model=19,twice",
                            "--printer", "mac=02:00:00:00:00:01,ip=198.51.100.99,delay=300"});
  const SearchResult found = Search(SEARCH_MODE_BROADCAST);
  ASSERT_EQ(1, found.result);
  // Our own broadcast request reaches our socket too and must not be filed.
  ASSERT_EQ(2, found.count);
  const PrinterInfo& first = found.table[0];
  EXPECT_EQ(1, MacLast(first));
  EXPECT_EQ(Ipv4("198.51.100.10"), first.ipAddress);  // not the later .99 reply
  EXPECT_EQ(Ipv4("255.255.255.0"), first.subnetMask);
  EXPECT_EQ(Ipv4("198.51.100.1"), first.gateway);
  EXPECT_EQ(Ipv4(LAB_PRINTER_ADDRESS), first.replyAddress);
  EXPECT_EQ(9300, GetPrintPort(first));
  EXPECT_EQ(MODEL_EXPRESSION, first.modelCode);
  EXPECT_EQ(1u, first.hasExpressionBlock);
  EXPECT_EQ(2, MacLast(found.table[1]));
  EXPECT_EQ(MODEL_BLOCK38, found.table[1].modelCode);
  EXPECT_EQ(0, found.table[2].mac[0]);  // the rest of the table stays zero
}

TEST(SearchPrinters, FilesHeaderOnlyRepliesAndDropsBadCheckWords) {
  NETVORA_START_PEER(peer, {"--printer", "mac=02:00:00:00:00:03,header-only", "--printer",
                            "mac=02:00:00:00:00:04,bad-check-word", "--printer",
                            "mac=02:00:00:00:00:05,ip=198.51.100.15"});
  const SearchResult found = Search(SEARCH_MODE_BROADCAST);
  ASSERT_EQ(1, found.result);
  ASSERT_EQ(2, found.count);
  const PrinterInfo& headerOnly = found.table[0];
  EXPECT_EQ(3, MacLast(headerOnly));
  EXPECT_EQ(Ipv4(LAB_PRINTER_ADDRESS), headerOnly.replyAddress);
  EXPECT_EQ(0u, headerOnly.ipAddress);
  EXPECT_EQ(0, GetPrintPort(headerOnly));
  EXPECT_EQ(5, MacLast(found.table[1]));
  EXPECT_EQ(Ipv4("198.51.100.15"), found.table[1].ipAddress);
}

TEST(SearchPrinters, DirectedSearchFilesOneReplyPerSourceAddress) {
  NETVORA_START_PEER(peer, {});  // two printers, both answering from one address
  const SearchResult found = Search(SEARCH_MODE_DIRECTED, Ipv4(LAB_PRINTER_ADDRESS));
  ASSERT_EQ(1, found.result);
  ASSERT_EQ(1, found.count);
  EXPECT_EQ(1, MacLast(found.table[0]));
  EXPECT_EQ(Ipv4(LAB_PRINTER_ADDRESS), found.table[0].replyAddress);
}

TEST(SearchPrinters, ADatagramTooLongForTheBufferIsDroppedAndTheSearchGoesOn) {
  // 2,000 bytes of junk reach our socket before the two printers' replies.
  NETVORA_START_PEER(peer, {"--stray-datagram"});
  const SearchResult found = Search(SEARCH_MODE_BROADCAST);
  ASSERT_EQ(1, found.result);
  EXPECT_EQ(2, found.count);
  EXPECT_GE(found.seconds, 1.9);  // still ended by two quiet seconds
}

TEST(SearchPrinters, ThreeHundredPrintersFillTheTableWithTheFirst256) {
  NETVORA_START_PEER(peer, {"--printers", "300"});
  const SearchResult found = Search(SEARCH_MODE_BROADCAST);
  ASSERT_EQ(1, found.result);
  ASSERT_EQ(MAX_PRINTERS, found.count);
  for (int i = 0; i < MAX_PRINTERS; ++i) {
    const int number = (found.table[i].mac[4] << 8) | found.table[i].mac[5];
    ASSERT_EQ(i + 1, number) << "entry " << i;
  }
}

TEST(SearchPrinters, EveryReplyRestartsTheQuietTime) {
  NETVORA_START_PEER(peer, {"--printers", "3", "--reply-interval", "1500"});
  const SearchResult found = Search(SEARCH_MODE_BROADCAST);
  ASSERT_EQ(1, found.result);
  EXPECT_EQ(3, found.count);
  // The last reply comes 3 s after the request; the search ends 2 s later.
  EXPECT_GE(found.seconds, 4.9);
  EXPECT_LT(found.seconds, 7.0);
}

TEST(SearchPrinters, NoReplyEndsAfterTwoQuietSecondsWithNothingFiled) {
  NETVORA_START_PEER(peer, {"--silent"});
  const SearchResult found = Search(SEARCH_MODE_BROADCAST);
  EXPECT_EQ(1, found.result);
  EXPECT_EQ(0, found.count);
  EXPECT_GE(found.seconds, 1.9);
  EXPECT_LT(found.seconds, 4.0);
}

TEST(SearchPrinters, PortInUseFailsWithTheBindErrorAndLeavesTheCount) {
  NETVORA_START_PEER(peer, {});
  const SocketHandle holder = CreateUdpSocket();
  ASSERT_TRUE(BindAnyAddress(holder, CONFIG_PORT));
  const SearchResult found = Search(SEARCH_MODE_BROADCAST);
  CloseSocket(holder);
  EXPECT_EQ(-1, found.result);
  EXPECT_EQ(EADDRINUSE, found.error);
  EXPECT_EQ(-7, found.count);
  EXPECT_LT(found.seconds, 1.0);
}

}  // namespace
