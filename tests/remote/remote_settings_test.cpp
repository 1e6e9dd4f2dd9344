#include "remote/remote_settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "remote/broker_connection.h"
#include "remote/command_line.h"
#include "tests/support/test_broker.h"

namespace pump::remote {
namespace {

struct UrlRow {
  std::string url;
  std::optional<BrokerAddress> address;
};

void PrintTo(const UrlRow& row, std::ostream* os) { *os << '"' << row.url << '"'; }

class BrokerUrls : public ::testing::TestWithParam<UrlRow> {};

TEST_P(BrokerUrls, AreTakenApartOrRefused) {
  const auto address = ParseBrokerUrl(GetParam().url);
  ASSERT_EQ(address.has_value(), GetParam().address.has_value());
  if (!address) return;
  EXPECT_EQ(address->host, GetParam().address->host);
  EXPECT_EQ(address->port, GetParam().address->port);
  EXPECT_EQ(address->tls, GetParam().address->tls);
}

const std::optional<BrokerAddress> kRefused;

INSTANTIATE_TEST_SUITE_P(
    Urls, BrokerUrls,
    ::testing::Values(UrlRow{"mqtt://broker.lab", BrokerAddress{"broker.lab", 1883, false}},
                      UrlRow{"mqtts://broker.lab", BrokerAddress{"broker.lab", 8883, true}},
                      UrlRow{"mqtt://10.0.0.5:1884/", BrokerAddress{"10.0.0.5", 1884, false}},
                      UrlRow{"mqtts://[::1]:9000", BrokerAddress{"::1", 9000, true}},
                      UrlRow{"mqtt://[fe80::1]", BrokerAddress{"fe80::1", 1883, false}},
                      UrlRow{"mqtt://host:65535", BrokerAddress{"host", 65535, false}},
                      UrlRow{"", kRefused}, UrlRow{"broker.lab:1883", kRefused},
                      UrlRow{"http://broker.lab", kRefused}, UrlRow{"mqtt://", kRefused},
                      UrlRow{"mqtt://host:", kRefused}, UrlRow{"mqtt://host:0", kRefused},
                      UrlRow{"mqtt://host:65536", kRefused}, UrlRow{"mqtt://host:12ab", kRefused},
                      UrlRow{"mqtt://host/path", kRefused}, UrlRow{"mqtt://us er@host", kRefused},
                      UrlRow{"mqtt://[::1", kRefused}, UrlRow{"mqtt://[::1]x", kRefused},
                      UrlRow{"mqtt://::1:1883", kRefused}));

TEST(RemoteSettings, PumpIdAndTopicPrefixDefaultToTheHostName) {
  RemoteSettings settings;
  EXPECT_EQ(EffectivePumpId(settings), HostName());
  EXPECT_EQ(EffectiveTopicPrefix(settings), "pumps/" + HostName());
  settings.pumpId = "bench-3";
  EXPECT_EQ(EffectiveTopicPrefix(settings), "pumps/bench-3");
  settings.topicPrefix = "lab/west/p3";
  EXPECT_EQ(EffectiveTopicPrefix(settings), "lab/west/p3");
  EXPECT_FALSE(settings.allowRemoteControl);
}

TEST(RemoteSettings, UnusableSettingsSayWhy) {
  RemoteSettings settings;
  EXPECT_FALSE(SettingsProblem(settings)) << "no URL switches remote monitoring off";
  settings.brokerUrl = "tcp://host";
  EXPECT_TRUE(SettingsProblem(settings));
  settings.brokerUrl = "mqtt://host";
  EXPECT_FALSE(SettingsProblem(settings));
  settings.caFile = "/etc/ca.crt";
  EXPECT_TRUE(SettingsProblem(settings)) << "a CA file on a plain connection";
  settings.brokerUrl = "mqtts://host";
  EXPECT_FALSE(SettingsProblem(settings));
  for (const char* prefix : {"pumps/#", "pumps/+/x", "/pumps", "pumps/"}) {
    settings.topicPrefix = prefix;
    EXPECT_TRUE(SettingsProblem(settings)) << prefix;
  }
  settings.topicPrefix.clear();
  settings.pumpId = "a+b";
  EXPECT_TRUE(SettingsProblem(settings)) << "a wildcard in the pump id reaches the prefix";
}

TEST(CommandLine, EveryListedOptionIsKeptInAPlaceOfItsOwn) {
  std::vector<CommandLine> lines;
  for (const auto& option : ConsoleOptions()) {
    CommandLine line;
    EXPECT_FALSE(SetOption(line, option.name, option.valueName.empty() ? "" : "v"));
    EXPECT_NE(line, CommandLine{}) << option.name << " is listed but not kept";
    for (const auto& other : lines) EXPECT_NE(line, other) << option.name << " shares a place";
    lines.push_back(line);
  }
  CommandLine line;
  SetOption(line, "mqtt-url", "mqtt://first");
  SetOption(line, "mqtt-url", "mqtt://second");
  EXPECT_EQ(line.remote.brokerUrl, "mqtt://second") << "the last value given wins";
}

TEST(CommandLine, OverridesReplaceOnlyWhatWasGivenAndReadThePasswordFile) {
  pump::testing::ScratchFolder folder;
  const std::string passwordFile = folder.path() + "/password";
  std::ofstream(passwordFile) << "s3cret pass\r\nsecond line\n";
  RemoteSettings stored;
  stored.brokerUrl = "mqtt://old";
  stored.user = "stored-user";
  stored.pumpId = "stored-id";
  stored.allowRemoteControl = true;
  RemoteOverrides overrides;
  overrides.allowRemoteControl = false;
  overrides.brokerUrl = "mqtt://new:1999";
  overrides.passwordFile = passwordFile;
  const auto applied = ApplyOverrides(stored, overrides);
  ASSERT_FALSE(applied.error) << *applied.error;
  EXPECT_EQ(applied.settings.brokerUrl, "mqtt://new:1999");
  EXPECT_EQ(applied.settings.user, "stored-user");
  EXPECT_EQ(applied.settings.pumpId, "stored-id");
  EXPECT_EQ(applied.settings.password, "s3cret pass");
  EXPECT_FALSE(applied.settings.allowRemoteControl) << "a stored yes is switched off";
}

TEST(CommandLine, AMissingPasswordFileOrABadUrlIsAnError) {
  RemoteOverrides overrides;
  overrides.passwordFile = "/nonexistent/password";
  EXPECT_TRUE(ApplyOverrides({}, overrides).error);
  RemoteOverrides badUrl;
  badUrl.brokerUrl = "broker:1883";
  EXPECT_TRUE(ApplyOverrides({}, badUrl).error);
}

TEST(ReconnectDelay, DoublesFromOneSecondUpToThirtyAndStartsOverAfterAConnection) {
  ReconnectDelay delay;
  std::vector<int> seen;
  for (int i = 0; i < 8; ++i) seen.push_back(delay.nextSeconds());
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 4, 8, 16, 30, 30, 30}));
  delay.reset();
  EXPECT_EQ(delay.nextSeconds(), 1);
}

}  // namespace
}  // namespace pump::remote
