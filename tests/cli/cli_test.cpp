// netvora-cli without a network: argument checking and the printed rows.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/apply_command.h"
#include "cli/change_log.h"
#include "cli/csv.h"
#include "cli/exit_codes.h"
#include "cli/flash_command.h"
#include "cli/printer_rows.h"
#include "cli/search_command.h"
#include "cli/set_command.h"
#include "cli/test_print_command.h"
#include "common/socket_port.h"
#include "operations/text_message.h"
#include "protocol/config_header.h"
#include "tcp/download_header.h"

namespace {

// A file name of this test run's own in the shared temporary folder, so that test programs
// running side by side never write or remove each other's files.
std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + std::to_string(getpid()) + "-" + name;
}

// Holds both protocols' ports, so that a search or write that a missing check let through
// fails to bind before it sends anything; the message then shows which check answered.
class PortHolder {
 public:
  PortHolder() {
    for (uint16_t port : {CONFIG_PORT, TEXT_PORT}) {
      m_sockets.push_back(CreateUdpSocket());
      EXPECT_TRUE(BindAnyAddress(m_sockets.back(), port))
          << "port " << port << " is busy on this machine";
    }
  }
  ~PortHolder() {
    for (SocketHandle socket : m_sockets) CloseSocket(socket);
  }

 private:
  std::vector<SocketHandle> m_sockets;
};

TEST(RunSet, RefusesBadArgumentsBeforeTouchingTheNetwork) {
  const PortHolder ports;
  struct Row {
    const char* name;
    std::vector<std::string> args;
    const char* message;
  } rows[] = {
      {"no MAC", {"--ip", "198.51.100.7"}, "--mac is required"},
      {"short MAC", {"--mac", "02:00:00:00:01"}, "bad MAC address"},
      {"MAC with a bad digit", {"--mac", "02:00:00:00:00:0G"}, "bad MAC address"},
      {"bad IP", {"--mac", "02:00:00:00:00:01", "--ip", "198.51.100.256"}, "bad address for --ip"},
      {"bad mask", {"--mac", "02:00:00:00:00:01", "--mask", "255.255.0"}, "bad address for --mask"},
      {"port below range", {"--mac", "02:00:00:00:00:01", "--port", "1023"}, "port must be"},
      {"port above range", {"--mac", "02:00:00:00:00:01", "--port", "50001"}, "port must be"},
      {"port not a number", {"--mac", "02:00:00:00:00:01", "--port", "91oo"}, "port must be"},
      {"password too long",
       {"--mac", "02:00:00:00:00:01", "--password", "12345678901"},
       "at most 10"},
      {"unknown option",
       {"--mac", "02:00:00:00:00:01", "--speed", "9"},
       "unknown argument '--speed'"},
      {"DHCP neither on nor off",
       {"--mac", "02:00:00:00:00:01", "--dhcp", "yes"},
       "--dhcp takes on or off"},
      {"stray argument", {"--mac", "02:00:00:00:00:01", "extra"}, "unknown argument 'extra'"},
      {"missing value", {"--mac"}, "needs a value"},
      {"repeated option",
       {"--mac", "02:00:00:00:00:01", "--mac", "02:00:00:00:00:02"},
       "given twice"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::ostringstream out, err;
    EXPECT_EQ(EXIT_USAGE, RunSet(row.args, out, err));
    EXPECT_NE(std::string::npos, err.str().find(row.message)) << err.str();
    EXPECT_EQ("", out.str());
  }
}

TEST(RunVerbs, OtherVerbsRefuseBadArgumentsBeforeTouchingTheNetwork) {
  const PortHolder ports;
  const std::string firmware = TempPath("QNEther_v210.bin");
  std::ofstream(firmware) << "abc";
  // A pipe by an update file's name: reading it would wait for a writer that never comes.
  const std::string pipe = TempPath("QNEther_v211.bin");
  std::remove(pipe.c_str());
  ASSERT_EQ(0, mkfifo(pipe.c_str(), 0600));
  struct Row {
    const char* name;
    int (*run)(const std::vector<std::string>&, std::ostream&, std::ostream&);
    std::vector<std::string> args;
    const char* message;
  } rows[] = {
      {"search: unknown option", RunSearch, {"--jsn"}, "unknown argument '--jsn'"},
      {"search: bad MAC", RunSearch, {"--mac", "44:A8:C2"}, "bad MAC address"},
      {"flash: no address", RunFlash, {firmware}, "--ip A is required"},
      {"flash: bad address", RunFlash, {"--ip", "198.51.100", firmware}, "--ip A is required"},
      {"flash: no file", RunFlash, {"--ip", "127.0.0.1"}, "FILE is required"},
      {"flash: not an update file name",
       RunFlash,
       {"--ip", "127.0.0.1", "/tmp/qnether_v210.bin"},
       "Can't Open File !"},
      {"flash: missing file",
       RunFlash,
       {"--ip", "127.0.0.1", "/nonexistent/QNEther_v1.bin"},
       "Can't Open File !"},
      {"flash: two files", RunFlash, {"--ip", "127.0.0.1", firmware, firmware}, "unknown argument"},
      {"flash: not a regular file", RunFlash, {"--ip", "127.0.0.1", pipe}, "Can't Open File !"},
      {"test-print: no MAC", RunTestPrint, {"--korean"}, "--mac MAC is required"},
      {"test-print: --to",
       RunTestPrint,
       {"--mac", "02:00:00:00:00:01", "--to", "192.0.2.1"},
       "unknown argument '--to'"},
      {"search: JSON and CSV", RunSearch, {"--json", "--csv"}, "do not go together"},
      {"search: --to a short address",
       RunSearch,
       {"--to", "198.51.100"},
       "--to takes a host or subnet broadcast address, not '198.51.100'"},
      {"search: --to the limited broadcast",
       RunSearch,
       {"--to", "255.255.255.255"},
       "--to takes a host or subnet broadcast address"},
      {"search: --to with --interface",
       RunSearch,
       {"--to", "198.51.100.2", "--interface", "lan0"},
       "does not go with --interface"},
      {"search: an unknown interface",
       RunSearch,
       {"--interface", "nvnone0"},
       "no interface 'nvnone0' that can broadcast; interfaces: "},
      {"set: a change log that cannot be written",
       RunSet,
       {"--mac", "02:00:00:00:00:01", "--log", "/nonexistent/folder/changes.jsonl"},
       "cannot write the change log /nonexistent/folder/changes.jsonl"},
      {"flash: an address twice",
       RunFlash,
       {"--ip", "127.0.0.1", "--ip", "127.0.0.2", "--ip", "127.0.0.1", firmware},
       "127.0.0.1 is given twice"},
      {"flash: a bad second address",
       RunFlash,
       {"--ip", "127.0.0.1", "--ip", "127.0.0", firmware},
       "not '127.0.0'"},
      {"apply: no plan", RunApply, {"--dry-run"}, "the PLAN file is required"},
      {"apply: a missing plan", RunApply, {"/nonexistent/plan.csv"}, "cannot read the plan"},
      {"apply: two plans", RunApply, {firmware, firmware}, "unknown argument"},
      {"apply: --to", RunApply, {"--to", "192.0.2.1", firmware}, "unknown argument '--to'"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::ostringstream out, err;
    EXPECT_EQ(EXIT_USAGE, row.run(row.args, out, err));
    EXPECT_NE(std::string::npos, err.str().find(row.message)) << err.str();
  }
  std::remove(pipe.c_str());
  std::remove(firmware.c_str());
}

// Bytes this process has read through system calls so far (rchar of /proc/self/io).
long long BytesReadByThisProcess() {
  std::ifstream io("/proc/self/io");
  std::string name;
  long long value = -1;
  while (io >> name >> value) {
    if (name == "rchar:") return value;
  }
  ADD_FAILURE() << "no rchar in /proc/self/io";
  return -1;
}

TEST(RunFlash, RefusesAFileTooLargeWithoutReadingIt) {
  const PortHolder ports;
  const std::string firmware = TempPath("QNEther_v9.bin");
  const uintmax_t size = 8 * FILE_BODY_MAX;
  std::ofstream(firmware).close();
  std::filesystem::resize_file(firmware, size);  // sparse: nothing to read from the disk
  std::ostringstream out, err;
  const long long before = BytesReadByThisProcess();
  EXPECT_EQ(EXIT_USAGE, RunFlash({"--ip", "127.0.0.1", firmware}, out, err));
  EXPECT_LT(BytesReadByThisProcess() - before, 65536);
  EXPECT_NE(std::string::npos, err.str().find("has 12582912 bytes; at most 1572864")) << err.str();
  EXPECT_EQ("", out.str());  // nothing was attempted
  std::remove(firmware.c_str());
}

TEST(RunVerbs, HelpDescribesTheVerbWithoutSearching) {
  for (auto run : {RunSearch, RunSet, RunApply, RunFlash, RunTestPrint}) {
    std::ostringstream out, err;
    EXPECT_EQ(EXIT_FOUND, run({"--help"}, out, err));
    EXPECT_NE(std::string::npos, out.str().find("Usage: netvora-cli "));
    EXPECT_EQ("", err.str());
  }
}

PrinterInfo Record(uint8_t macFirst, uint8_t macLast, const char* ip, uint16_t port) {
  PrinterInfo record{};
  record.mac[0] = macFirst;
  record.mac[5] = macLast;
  EXPECT_TRUE(ParseIpv4(ip, &record.ipAddress));
  EXPECT_TRUE(ParseIpv4("255.255.255.0", &record.subnetMask));
  EXPECT_TRUE(ParseIpv4("198.51.100.1", &record.gateway));
  SetPrintPort(&record, port);
  record.modelCode = 19;
  return record;
}

TEST(PrinterRows, SortByMacComparesBytesUnsigned) {
  std::vector<FoundConfig> records = {{Record(0x80, 1, "198.51.100.3", 9100), ""},
                                      {Record(0x02, 2, "198.51.100.2", 9100), ""},
                                      {Record(0x7F, 0, "198.51.100.4", 9100), ""},
                                      {Record(0x02, 1, "198.51.100.1", 9100), ""}};
  SortByMac(&records);
  const uint8_t expectedFirst[] = {0x02, 0x02, 0x7F, 0x80};
  const uint8_t expectedLast[] = {1, 2, 0, 1};
  for (size_t i = 0; i < records.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(expectedFirst[i], records[i].record.mac[0]);
    EXPECT_EQ(expectedLast[i], records[i].record.mac[5]);
  }
}

TEST(PrinterRows, PrintsBothFamiliesConfigurationRowsFirst) {
  FoundPrinters found;
  found.configs = {{Record(0x02, 0xAB, "198.51.100.10", 9100), "lan0"},
                   {Record(0x02, 0x01, "198.51.100.11", 50000), ""}};
  found.texts = {
      {BuildTextInfo(TextSettings{"44a8c2000001", 0xC6336414, 0xFFFFFF00, 0xC6336401, 9100, true},
                     "2.05", 1),
       "lan1"},
      {BuildTextInfo(TextSettings{"44A8C2000002", 0xC6336415, 0xFFFFFF00, 0xC6336401, 9300, false},
                     "", 2),
       "lan0"}};
  std::ostringstream table;
  PrintPrinterTable(found, table);
  EXPECT_EQ(
      "MAC                IP address       Subnet mask      Gateway          Port   Interface  "
      "Family\n"
      "02:00:00:00:00:AB  198.51.100.10    255.255.255.0    198.51.100.1     9100   lan0       "
      "config\n"
      "02:00:00:00:00:01  198.51.100.11    255.255.255.0    198.51.100.1     50000  -          "
      "config\n"
      "44:a8:c2:00:00:01  198.51.100.20    255.255.255.0    198.51.100.1     9100   lan1       "
      "text, DHCP on, F/W 2.05\n"
      "44:A8:C2:00:00:02  198.51.100.21    255.255.255.0    198.51.100.1     9300   lan0       "
      "text, DHCP off\n",
      table.str());

  std::ostringstream json;
  PrintPrinterJson(found, json);
  EXPECT_EQ(
      "[\n"
      "  {\"family\": \"config\", \"mac\": \"02:00:00:00:00:AB\", \"ip\": \"198.51.100.10\", "
      "\"mask\": \"255.255.255.0\", \"gateway\": \"198.51.100.1\", \"port\": 9100, \"model\": "
      "19, \"interface\": \"lan0\"},\n"
      "  {\"family\": \"config\", \"mac\": \"02:00:00:00:00:01\", \"ip\": \"198.51.100.11\", "
      "\"mask\": \"255.255.255.0\", \"gateway\": \"198.51.100.1\", \"port\": 50000, \"model\": "
      "19, \"interface\": null},\n"
      "  {\"family\": \"text\", \"mac\": \"44:a8:c2:00:00:01\", \"ip\": \"198.51.100.20\", "
      "\"mask\": \"255.255.255.0\", \"gateway\": \"198.51.100.1\", \"port\": 9100, \"dhcp\": true, "
      "\"firmware\": \"2.05\", \"interface\": \"lan1\"},\n"
      "  {\"family\": \"text\", \"mac\": \"44:A8:C2:00:00:02\", \"ip\": \"198.51.100.21\", "
      "\"mask\": \"255.255.255.0\", \"gateway\": \"198.51.100.1\", \"port\": 9300, \"dhcp\": "
      "false, "
      "\"firmware\": null, \"interface\": \"lan0\"}\n"
      "]\n",
      json.str());
  std::ostringstream empty;
  PrintPrinterJson({}, empty);
  EXPECT_EQ("[]\n", empty.str());

  std::ostringstream csv;
  PrintPrinterCsv(found, csv);
  EXPECT_EQ(
      "family,mac,ip,mask,gateway,port,model,dhcp,firmware,interface\r\n"
      "config,02:00:00:00:00:AB,198.51.100.10,255.255.255.0,198.51.100.1,9100,19,,,lan0\r\n"
      "config,02:00:00:00:00:01,198.51.100.11,255.255.255.0,198.51.100.1,50000,19,,,\r\n"
      "text,44:a8:c2:00:00:01,198.51.100.20,255.255.255.0,198.51.100.1,9100,,on,2.05,lan1\r\n"
      "text,44:A8:C2:00:00:02,198.51.100.21,255.255.255.0,198.51.100.1,9300,,off,,lan0\r\n",
      csv.str());
}

// A text-protocol reply whose twelve MAC characters and three version characters
// (positions 61, 63 and 64) are replaced by `mac` and `version`.
std::string OddReply(const std::string& mac, const std::string& version) {
  std::string reply = BuildTextInfo(
      TextSettings{"44a8c2000001", 0xC6336414, 0xFFFFFF00, 0xC6336401, 9100, false}, "2.05", 1);
  reply.replace(TXT_POS_MAC, 12, mac);
  reply[TXT_POS_VERSION + 1] = version[0];
  reply[TXT_POS_VERSION + 3] = version[1];
  reply[TXT_POS_VERSION + 4] = version[2];
  return reply;
}

TEST(PrinterRows, PrinterTextIsEscapedInEveryOutput) {
  struct Row {
    const char* name;
    std::string mac;
    std::string version;
    const char* json;   // the text printer's members as the JSON array shows them
    const char* table;  // the start of its row in the table, and its family column
    const char* family;
  } rows[] = {
      {"quote and backslash", "\"\\a8c2000001", "\"\\5",
       R"("mac": "\"\\:a8:c2:00:00:01", "ip": "198.51.100.20")",
       R"("\\:a8:c2:00:00:01  198.51.100.20)", R"(F/W ".\\5)"},
      {"comma and control characters", std::string(",\x01\x1F\x7F", 4) + "a8c20000", ",\n\x80",
       R"("mac": ",\u0001:\u001f\u007f:a8:c2:00:00", "ip": "198.51.100.20")",
       R"(,\x01:\x1F\x7F:a8:c2:00:00  198.51.100.20)", R"(F/W ,.\x0A\x80)"},
  };
  const char* firmware[] = {R"("firmware": "\".\\5",)", R"("firmware": ",.\u000a\u0080",)"};
  for (size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE(row.name);
    const FoundPrinters found{{}, {{OddReply(row.mac, row.version), ""}}};
    std::ostringstream json;
    PrintPrinterJson(found, json);
    EXPECT_NE(std::string::npos, json.str().find(row.json)) << json.str();
    EXPECT_NE(std::string::npos, json.str().find(firmware[i])) << json.str();
    std::ostringstream table;
    PrintPrinterTable(found, table);
    EXPECT_NE(std::string::npos, table.str().find(row.table)) << table.str();
    EXPECT_NE(std::string::npos, table.str().find(row.family)) << table.str();
    // Nothing the printer sent reaches the output raw: no control or non-ASCII bytes.
    for (char c : json.str() + table.str()) {
      const auto byte = static_cast<unsigned char>(c);
      EXPECT_TRUE(c == '\n' || (byte >= 0x20 && byte < 0x7F)) << "raw byte " << int{byte};
    }
  }
}

TEST(PrinterRows, CsvReadsBackEveryByteThePrinterSent) {
  const struct {
    const char* name;
    std::string mac;  // twelve characters
    std::string version;
    std::string interfaceName;
  } rows[] = {
      {"quotes and commas", "\"a\",\"\"b,c,d,", "\",\"", "lan \"0\", x"},
      {"line breaks, NUL and spaces", std::string(" \r\n\"\0,;=x  y", 12), "\r\n ", " eth0\r\n"},
      {"bytes above ASCII",
       "\x80\xFF\xC3\xA9"
       "abcdefgh",
       "\xE9\x7F\x01", "Ethernet \xC3\xA9"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string reply = OddReply(row.mac, row.version);
    std::ostringstream csv;
    PrintPrinterCsv({{}, {{reply, row.interfaceName}}}, csv);
    std::vector<CsvRow> records;
    std::string error;
    ASSERT_TRUE(ReadCsv(csv.str(), &records, &error)) << error;
    ASSERT_EQ(2u, records.size());
    const std::vector<std::string>& fields = records[1].fields;
    ASSERT_EQ(10u, fields.size());
    const TextInfo info = DecodeTextInfo(reply);
    EXPECT_EQ(info.macText, fields[1]);
    EXPECT_EQ(info.version.substr(1), fields[8]);
    EXPECT_EQ(row.interfaceName, fields[9]);
    EXPECT_EQ("9100", fields[5]);  // the fields after the hostile ones stay in their columns
  }
}

TEST(RunApply, APlanWithFaultsIsRefusedWithEveryLineBeforeTheNetwork) {
  const PortHolder ports;
  const std::string plan = TempPath("plan.csv");
  std::ofstream(plan) << "mac,ip,port\n"
                         "02:00:00:00:00:01,198.51.100.300,9100\n"
                         "02:00:00:00:00:02,,99999\n"
                         "02:00:00:00:00:01,,\n";
  std::ostringstream out, err;
  EXPECT_EQ(EXIT_USAGE, RunApply({plan}, out, err));
  EXPECT_EQ("netvora-cli apply: " + plan + ": line 2: bad address for ip: '198.51.100.300'\n" +
                "netvora-cli apply: " + plan +
                ": line 3: port must be a number from 1024 to 50000, not '99999'\n" +
                "netvora-cli apply: " + plan +
                ": line 4: MAC 02:00:00:00:00:01 is on line 2 already\n" +
                "netvora-cli apply: nothing was sent\n",
            err.str());
  EXPECT_EQ("", out.str());
  std::remove(plan.c_str());
}

// Sets an environment variable for the life of the object, then restores it.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : m_pName(name) {
    const char* old = std::getenv(name);
    if (old != nullptr) m_old = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (m_old) {
      setenv(m_pName, m_old->c_str(), 1);
    } else {
      unsetenv(m_pName);
    }
  }

 private:
  const char* m_pName;
  std::optional<std::string> m_old;
};

TEST(ChangeLog, OneJsonLinePerWriteInItsPlace) {
  uint32_t ip = 0, mask = 0, gateway = 0;
  ASSERT_TRUE(ParseIpv4("198.51.100.20", &ip) && ParseIpv4("255.255.255.0", &mask) &&
              ParseIpv4("198.51.100.1", &gateway));
  const ChangeRecord record{"apply",
                            "44:a8:\"c2:00:00:01",
                            "text",
                            {ip, mask, gateway, 9100, false},
                            {ip, mask, 0, 9300, true},
                            "stored"};
  EXPECT_EQ(
      "{\"time\": \"1970-01-02T03:04:05Z\", \"verb\": \"apply\", \"mac\": "
      "\"44:a8:\\\"c2:00:00:01\", \"family\": \"text\", \"before\": {\"ip\": "
      "\"198.51.100.20\", \"mask\": \"255.255.255.0\", \"gateway\": \"198.51.100.1\", "
      "\"port\": 9100, \"dhcp\": false}, \"after\": {\"ip\": \"198.51.100.20\", \"mask\": "
      "\"255.255.255.0\", \"gateway\": \"0.0.0.0\", \"port\": 9300, \"dhcp\": true}, "
      "\"outcome\": \"stored\"}",
      ChangeLine(record, 86400 + 3 * 3600 + 4 * 60 + 5));

  {
    const ScopedVariable state("XDG_STATE_HOME", "/x/state");
    const ScopedVariable home("HOME", "/home/admin");
    const ScopedVariable local("LOCALAPPDATA", "/l");
    EXPECT_EQ("/x/state/netvora/changes.jsonl", DefaultChangeLogPath());
    const ScopedVariable noState("XDG_STATE_HOME", "");
    EXPECT_EQ("/home/admin/.local/state/netvora/changes.jsonl", DefaultChangeLogPath());
    const ScopedVariable noHome("HOME", nullptr);
    EXPECT_EQ("/l/netvora/changes.jsonl", DefaultChangeLogPath());
    const ScopedVariable noLocal("LOCALAPPDATA", nullptr);
    EXPECT_EQ("", DefaultChangeLogPath());
    ChangeLog nowhere;
    std::string error;
    EXPECT_FALSE(nowhere.Open(DefaultChangeLogPath(), true, &error));
    EXPECT_NE(std::string::npos, error.find("give --log FILE")) << error;
  }

  // The default place's folders are made; lines are appended to what is there.
  const std::string folder = TempPath("state");
  const std::string path = folder + "/netvora/changes.jsonl";
  for (int run = 0; run < 2; ++run) {
    ChangeLog log;
    std::string error;
    ASSERT_TRUE(log.Open(path, true, &error)) << error;
    EXPECT_TRUE(log.Append(record));
  }
  std::ifstream file(path);
  std::string line;
  int lines = 0;
  while (std::getline(file, line)) {
    EXPECT_EQ(0u, line.find("{\"time\": \"")) << line;
    ++lines;
  }
  EXPECT_EQ(2, lines);
  std::filesystem::remove_all(folder);
}

}  // namespace
