// The checks a record passes before a settings write: usable host address, expressions
// and input ranges; a record that fails them is refused before any socket is opened.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/socket_port.h"
#include "protocol/expression.h"
#include "protocol/settings_write.h"

namespace {

uint32_t Address(const char* text) {
  uint32_t address = 0;
  EXPECT_TRUE(ParseIpv4(text, &address)) << text;
  return address;
}

void SetExpression(PrinterInfo* record, int position, const std::string& text) {
  std::memset(record->expressions[position], 0, EXPRESSION_SIZE);
  std::memcpy(record->expressions[position], text.data(), text.size());
}

TEST(IsUsableHostAddress, RefusesBroadcastAddresses) {
  struct Row {
    const char* ip;
    const char* mask;
    bool usable;
  } rows[] = {
      {"192.168.0.255", "255.255.255.0", false},    // class C broadcast
      {"10.0.0.255", "255.255.255.0", false},       // subnet broadcast
      {"10.255.255.255", "255.255.255.0", false},   // class A broadcast
      {"172.16.255.255", "255.255.0.0", false},     // class B broadcast
      {"198.51.100.10", "255.255.255.255", false},  // no host bits at all
      {"224.0.0.1", "255.255.255.0", true},         // class D skips the class test
      {"198.51.100.10", "255.255.255.0", true},
      {"10.0.1.255", "255.255.0.0", true},  // .255 inside a larger subnet
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.ip) + "/" + row.mask);
    PrinterInfo record{};
    record.ipAddress = Address(row.ip);
    record.subnetMask = Address(row.mask);
    EXPECT_EQ(row.usable, IsUsableHostAddress(record));
  }
}

TEST(ValidateExpression, AcceptsWellFormedTermsOverInputs) {
  struct Row {
    const char* text;
    bool valid;
  } rows[] = {
      {"(i0+i1)*i2", true}, {"/i0", true},    {"i0 + i1", true}, {"I7*i0", true},
      {"i0i1", true},       {"", true},       {"   ", true},     {"i8", false},
      {"i0+", false},       {"+i0", false},   {"(i0", false},    {"i0)", false},
      {"((i0))", false},    {"i0-i1", false}, {"0i", false},     {"i", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    uint8_t field[EXPRESSION_SIZE] = {};
    std::memcpy(field, row.text, std::strlen(row.text));
    EXPECT_EQ(row.valid, ValidateExpression(field));
  }
}

TEST(FindInvalidExpression, NamesTheFirstInvalidPositionFromOne) {
  PrinterInfo record{};
  EXPECT_EQ(0, FindInvalidExpression(record.expressions));
  SetExpression(&record, 2, "i0+");
  SetExpression(&record, 5, "i9");
  EXPECT_EQ(3, FindInvalidExpression(record.expressions));
}

// A model-16 record that passes every check.
PrinterInfo CheckedRecord() {
  PrinterInfo record{};
  record.modelCode = MODEL_EXPRESSION;
  record.ipAddress = Address("198.51.100.10");
  record.subnetMask = Address("255.255.255.0");
  std::memcpy(record.password, "secret", 6);
  return record;
}

void SetRanges(PrinterInfo* record, uint16_t base1, uint16_t base2) {
  record->exprControl[12] = static_cast<uint8_t>(base1);
  record->exprControl[13] = static_cast<uint8_t>(base1 >> 8);
  record->exprControl[14] = static_cast<uint8_t>(base2);
  record->exprControl[15] = static_cast<uint8_t>(base2 >> 8);
}

TEST(WritePrinterSettings, ChecksTheRecordBeforeOpeningASocket) {
  // The test holds the port: a record that passes the checks goes on to open its socket,
  // whose bind then fails as the address is in use; one that fails them never gets that far.
  const SocketHandle holder = CreateUdpSocket();
  ASSERT_NE(INVALID_SOCKET_HANDLE, holder);
  ASSERT_TRUE(BindAnyAddress(holder, CONFIG_PORT)) << "port 50005 is busy on this machine";
  struct Row {
    const char* name;
    void (*change)(PrinterInfo*);
    int error;
  } rows[] = {
      {"class C broadcast address", [](PrinterInfo* r) { r->ipAddress = Address("192.168.0.255"); },
       SET_ERR_BAD_ADDRESS},
      {"invalid third expression, check requested",
       [](PrinterInfo* r) {
         SetExpression(r, 2, "i8");
         r->exprControl[0] = 0x02;
       },
       SET_ERR_EXPRESSION},
      {"ranges 9100 and 9105", [](PrinterInfo* r) { SetRanges(r, 9100, 9105); },
       SET_ERR_RANGE_OVERLAP},
      {"ranges 9105 and 9100", [](PrinterInfo* r) { SetRanges(r, 9105, 9100); },
       SET_ERR_RANGE_OVERLAP},
      {"ranges 9100 and 9108", [](PrinterInfo* r) { SetRanges(r, 9100, 9108); },
       SOCKET_ERR_ADDRESS_IN_USE},
      {"second range 0", [](PrinterInfo* r) { SetRanges(r, 9100, 0); }, SOCKET_ERR_ADDRESS_IN_USE},
      {"invalid expression, check not requested", [](PrinterInfo* r) { SetExpression(r, 0, "i9"); },
       SOCKET_ERR_ADDRESS_IN_USE},
      {"other model skips expression and range checks",
       [](PrinterInfo* r) {
         r->modelCode = MODEL_BLOCK38;
         SetExpression(r, 0, "i9");
         r->exprControl[0] = 0x02;
         SetRanges(r, 9100, 9101);
       },
       SOCKET_ERR_ADDRESS_IN_USE},
      {"multicast address skips the class test",
       [](PrinterInfo* r) { r->ipAddress = Address("224.0.0.1"); }, SOCKET_ERR_ADDRESS_IN_USE},
  };
  const uint8_t password[PASSWORD_SIZE] = {'o', 't', 'h', 'e', 'r'};
  const PrinterInfo original = CheckedRecord();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PrinterInfo record = original;
    row.change(&record);
    int error = 0;
    const int startups = HeldSocketStartups();
    EXPECT_EQ(-1, WritePrinterSettings(WRITE_MODE_BROADCAST, &record, password, &error));
    EXPECT_EQ(row.error, error);
    EXPECT_EQ(startups, HeldSocketStartups());  // released on every way out
    // The password is substituted only once the checks have passed, and then it stays.
    const uint8_t* expected = row.error == SOCKET_ERR_ADDRESS_IN_USE ? password : original.password;
    EXPECT_EQ(0, std::memcmp(expected, record.password, PASSWORD_SIZE));
  }
  CloseSocket(holder);
}

TEST(WritePrinterSettings, RefusesUnknownModes) {
  PrinterInfo record = CheckedRecord();
  const uint8_t password[PASSWORD_SIZE] = {};
  int error = 0;
  EXPECT_EQ(-1, WritePrinterSettings(2, &record, password, &error));
  EXPECT_EQ(EINVAL, error);
}

}  // namespace
