// Handing many messages from the network thread to the window's thread.
#include "board/qt/gathering_poster.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QThread>
#include <thread>

namespace pump::board::qt {
namespace {

using namespace std::chrono_literals;

TEST(GatheringPoster, ABurstFromAnotherThreadRunsInOrderOnTheWindowsThreadInFewBatches) {
  GatheringPoster poster(40ms);
  std::vector<int> ran;
  std::vector<QThread*> threads;
  int batches = 0;
  std::size_t lastSize = 0;
  std::thread network([&, post = poster.post()] {
    for (int i = 0; i < 500; ++i)
      post([&ran, &threads, i] {
        ran.push_back(i);
        threads.push_back(QThread::currentThread());
      });
  });
  network.join();
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        if (ran.size() != lastSize) ++batches, lastSize = ran.size();
        return ran.size() == 500;
      },
      5000));
  for (int i = 0; i < 500; ++i) ASSERT_EQ(ran[i], i);
  for (QThread* thread : threads) ASSERT_EQ(thread, QThread::currentThread());
  EXPECT_LE(batches, 2) << "the burst should reach the window together";
}

TEST(GatheringPoster, TasksStillWaitingWhenThePosterGoesAreDropped) {
  bool ran = false;
  {
    GatheringPoster poster(40ms);
    poster.post()([&ran] { ran = true; });
  }
  QTest::qWait(100);
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace pump::board::qt
