#include "remote/recent_requests.h"

#include <gtest/gtest.h>

namespace pump::remote {
namespace {

using namespace std::chrono_literals;

const RecentRequests::Clock::time_point kStart{};

TEST(RecentRequests, AnIdIsKnownAgainWithItsFirstAnswerAndWhetherItCameWithTheSameCommand) {
  RecentRequests recent;
  EXPECT_FALSE(recent.find(R"("a")", "set_flow", R"({"ml_min":1,"request_id":"a"})", kStart));
  recent.remember(R"("a")", "set_flow", R"({"ml_min":1,"request_id":"a"})",
                  {false, "no port is open"}, kStart);
  const auto again = recent.find(R"("a")", "set_flow", R"({"ml_min":1,"request_id":"a"})", kStart);
  ASSERT_TRUE(again);
  EXPECT_TRUE(again->sameCommand);
  EXPECT_FALSE(again->answer.ok);
  EXPECT_EQ(again->answer.error, "no port is open");
  EXPECT_FALSE(
      recent.find(R"("a")", "set_flow", R"({"ml_min":2,"request_id":"a"})", kStart)->sameCommand);
  EXPECT_FALSE(
      recent.find(R"("a")", "run", R"({"ml_min":1,"request_id":"a"})", kStart)->sameCommand);
  EXPECT_FALSE(recent.find("7", "run", "{}", kStart)) << "another id";
}

TEST(RecentRequests, IdsAreForgottenAfterTenMinutesAndBeyondTheLastThousand) {
  RecentRequests recent;
  recent.remember("0", "run", "{}", {}, kStart);
  EXPECT_TRUE(recent.find("0", "run", "{}", kStart + 10min));
  EXPECT_FALSE(recent.find("0", "run", "{}", kStart + 10min + 1ms));

  for (int id = 1; id <= 1001; ++id) recent.remember(std::to_string(id), "run", "{}", {}, kStart);
  EXPECT_FALSE(recent.find("1", "run", "{}", kStart)) << "the oldest gave way";
  EXPECT_TRUE(recent.find("2", "run", "{}", kStart));
  EXPECT_TRUE(recent.find("1001", "run", "{}", kStart));
}

}  // namespace
}  // namespace pump::remote
