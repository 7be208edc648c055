// netvora-cli apply on a real network: the plan's checks against the printers found, the
// dry run, writes with verification, printers that refuse or cannot be verified, and the
// change log. The real executables, in a namespace lab.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/cli_lab.h"

namespace {

constexpr const char* PRINTERS =
    "--printer mac=02:00:00:00:00:01,ip=198.51.100.10,model=16,password=secret "
    "--printer mac=02:00:00:00:00:02,ip=198.51.100.11,model=19 "
    "--printer mac=02:00:00:00:00:03,header-only "
    "--text-printer mac=44A8C2000001,ip=198.51.100.20";

// A plan file of this test program's own, removed with the object.
class PlanFile {
 public:
  explicit PlanFile(const std::string& text) : m_strPath(TempPath("plan.csv")) {
    std::ofstream(m_strPath, std::ios::binary) << text;
  }
  ~PlanFile() { std::remove(m_strPath.c_str()); }
  const std::string& Path() const { return m_strPath; }

 private:
  std::string m_strPath;
};

std::vector<std::string> Lines(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class ApplyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_pLab = CreateLabOrSkip();
    if (!m_pLab) {
      if (!HasFailure()) GTEST_SKIP() << "network namespaces unavailable";
      return;
    }
    m_pSim = std::make_unique<SimProcess>(*m_pLab, PRINTERS);
    ASSERT_TRUE(m_pSim->Listening());
    std::remove(m_strLog.c_str());
  }
  void TearDown() override { std::remove(m_strLog.c_str()); }

  CliResult Apply(const std::string& options, const std::string& plan) {
    const PlanFile file(plan);
    return RunCli(*m_pLab, "apply --log " + m_strLog + " " + options + " " + file.Path());
  }
  std::string SimLog() const { return m_pSim->Log(); }
  std::vector<std::string> ChangeLog() const { return Lines(ReadFile(m_strLog)); }

 private:
  std::unique_ptr<NetnsLab> m_pLab;
  std::unique_ptr<SimProcess> m_pSim;
  const std::string m_strLog = TempPath("changes.jsonl");
};

TEST_F(ApplyTest, APlanWhoseAddressesConflictIsRefusedBeforeAnythingIsWritten) {
  struct Row {
    const char* name;
    const char* plan;
    const char* finding;
  } rows[] = {
      {"two printers given one address",
       "mac,ip\n02:00:00:00:00:01,198.51.100.50\n02:00:00:00:00:02,198.51.100.50\n",
       "line 3: 198.51.100.50 goes to two printers: 02:00:00:00:00:01 (line 2) and "
       "02:00:00:00:00:02\n"},
      {"an address that another printer holds and keeps",
       "mac,port,ip\n02:00:00:00:00:01,9300,198.51.100.11\n",
       "line 2: 198.51.100.11 goes to 02:00:00:00:00:01, but 02:00:00:00:00:02 holds it and "
       "keeps it\n"},
      {"an address that a text printer holds", "MAC,IP\n02:00:00:00:00:02,198.51.100.20\n",
       "but 44:A8:C2:00:00:01 holds it and keeps it\n"},
      {"an address not usable under its mask",
       "mac,ip,mask\n44:A8:C2:00:00:01,198.51.100.127,255.255.255.128\n",
       "line 2: 198.51.100.127 is not usable with mask 255.255.255.128 (Wrong Local IP "
       "address.)\n"},
      {"DHCP for a configuration printer", "mac,dhcp\n02:00:00:00:00:02,on\n",
       "line 2: dhcp applies to text-protocol printers only"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const CliResult apply = Apply("", row.plan);
    EXPECT_EQ(2, apply.status);
    EXPECT_NE(std::string::npos, apply.err.find(row.finding)) << apply.err;
    EXPECT_NE(std::string::npos, apply.err.find("the plan is refused; nothing was written"));
    EXPECT_EQ("", apply.out);
  }
  EXPECT_EQ(std::string::npos, SimLog().find("stored")) << SimLog();
  EXPECT_TRUE(ChangeLog().empty());
}

constexpr const char* PLAN =
    "mac,ip,port,dhcp,password\r\n"
    "02:00:00:00:00:01,198.51.100.40,9300,,secret\r\n"
    "02:00:00:00:00:02,,,,\r\n"
    "44:a8:c2:00:00:01, 198.51.100.41 ,9400,on,\r\n";

TEST_F(ApplyTest, ADryRunShowsEachChangeAndWritesNothing) {
  const CliResult dry =
      Apply("--dry-run", std::string(PLAN) + "02:00:00:00:00:09,,,,\r\n02:00:00:00:00:03,,,,\r\n");
  EXPECT_EQ(0, dry.status) << dry.err;
  EXPECT_EQ(
      "line 2: 02:00:00:00:00:01 would change: ip 198.51.100.10 -> 198.51.100.40, port 9100 -> "
      "9300\n"
      "line 3: 02:00:00:00:00:02 unchanged\n"
      "line 4: 44:A8:C2:00:00:01 would change: ip 198.51.100.20 -> 198.51.100.41, port 9100 -> "
      "9400, dhcp off -> on\n"
      "line 5: 02:00:00:00:00:09 not found\n"
      "line 6: 02:00:00:00:00:03 unchanged\n",
      dry.out);

  const CliResult json = Apply("--dry-run --json", "mac,gateway\n02:00:00:00:00:02,192.0.2.1\n");
  EXPECT_EQ(0, json.status) << json.err;
  EXPECT_EQ(
      "{\"line\": 2, \"mac\": \"02:00:00:00:00:02\", \"family\": \"config\", \"outcome\": "
      "\"would change\", \"changes\": {\"gateway\": [\"198.51.100.1\", \"192.0.2.1\"]}, "
      "\"detail\": null}\n",
      json.out);
  EXPECT_NE(std::string::npos,
            json.err.find("warning: line 2: gateway 192.0.2.1 is outside the subnet of "
                          "198.51.100.11 with mask 255.255.255.0"))
      << json.err;
  EXPECT_EQ(std::string::npos, SimLog().find("stored")) << SimLog();
  EXPECT_TRUE(ChangeLog().empty());
}

TEST_F(ApplyTest, AppliesThePlanVerifiesItAndLogsEachWrite) {
  const CliResult apply = Apply("", PLAN);
  EXPECT_EQ(0, apply.status) << apply.err;
  EXPECT_EQ(
      "line 2: 02:00:00:00:00:01 changed: ip 198.51.100.10 -> 198.51.100.40, port 9100 -> 9300\n"
      "line 3: 02:00:00:00:00:02 unchanged\n"
      "line 4: 44:A8:C2:00:00:01 changed: ip 198.51.100.20 -> 198.51.100.41, port 9100 -> 9400, "
      "dhcp off -> on\n",
      apply.out);
  EXPECT_NE(std::string::npos,
            SimLog().find("stored 02:00:00:00:00:01 ip=198.51.100.40 mask=255.255.255.0 "
                          "gateway=198.51.100.1 port=9300"))
      << SimLog();
  EXPECT_NE(std::string::npos, SimLog().find("stored 44A8C2000001 ip=198.51.100.41 "
                                             "mask=255.255.255.0 gateway=198.51.100.1 port=9400 "
                                             "dhcp=on"))
      << SimLog();
  const std::vector<std::string> log = ChangeLog();
  ASSERT_EQ(2u, log.size());
  EXPECT_NE(std::string::npos,
            log[0].find("\"verb\": \"apply\", \"mac\": \"02:00:00:00:00:01\", \"family\": "
                        "\"config\", \"before\": {\"ip\": \"198.51.100.10\""))
      << log[0];
  EXPECT_NE(std::string::npos,
            log[1].find("\"after\": {\"ip\": \"198.51.100.41\", \"mask\": \"255.255.255.0\", "
                        "\"gateway\": \"198.51.100.1\", \"port\": 9400, \"dhcp\": true}, "
                        "\"outcome\": \"stored\"}"))
      << log[1];

  // The same plan again finds nothing to change, and writes nothing.
  const CliResult again = Apply("--json", PLAN);
  EXPECT_EQ(0, again.status) << again.err;
  for (const std::string& line : Lines(again.out))
    EXPECT_NE(std::string::npos, line.find("\"outcome\": \"unchanged\"")) << line;
  EXPECT_EQ(3u, Lines(again.out).size());
  EXPECT_EQ(2u, ChangeLog().size());
}

TEST_F(ApplyTest, RowsThatDoNotEndAsPlannedFailTheRun) {
  const CliResult apply = Apply("",
                                "mac,ip,mask,port,password\n"
                                "02:00:00:00:00:01,,,9500,wrong\n"
                                "02:00:00:00:00:09,,,9500,\n"
                                "02:00:00:00:00:02,,,9600,\n"
                                "02:00:00:00:00:03,198.51.100.60,255.255.255.0,,\n");
  EXPECT_EQ(1, apply.status) << apply.err;
  EXPECT_EQ(
      "line 2: 02:00:00:00:00:01 refused by the printer: port 9100 -> 9500 (Password mismatch "
      "error occured.)\n"
      "line 3: 02:00:00:00:00:09 not found\n"
      "line 4: 02:00:00:00:00:02 changed: port 9100 -> 9600\n"
      // A printer that reports no settings cannot show that it took them.
      "line 5: 02:00:00:00:00:03 not verified: ip 0.0.0.0 -> 198.51.100.60, mask 0.0.0.0 -> "
      "255.255.255.0 (the printer now has ip 0.0.0.0 mask 0.0.0.0)\n",
      apply.out);
  const std::vector<std::string> log = ChangeLog();
  ASSERT_EQ(3u, log.size());
  EXPECT_NE(std::string::npos, log[0].find("\"outcome\": \"refused by the printer\"}"));
  EXPECT_NE(std::string::npos, log[1].find("\"mac\": \"02:00:00:00:00:02\""));
  EXPECT_NE(std::string::npos, log[2].find("\"mac\": \"02:00:00:00:00:03\""));
}

}  // namespace
