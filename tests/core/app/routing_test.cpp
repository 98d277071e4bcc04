#include <gtest/gtest.h>

#include "app/command_router.h"

namespace tamso {
namespace {

TEST(CommandRouter, FirstTargetAlongTheChainWins) {
  CommandMap view, doc, child, frame, app;
  std::vector<std::string> log;
  view.On(1, [&](int) { log.push_back("view"); });
  frame.On(1, [&](int) { log.push_back("frame"); });
  frame.On(2, [&](int) { log.push_back("frame"); });
  app.On(2, [&](int) { log.push_back("app"); });
  app.On(3, [&](int) { log.push_back("app"); });

  CommandRouter router([&] { return CommandRouter::Chain{&view, &doc, &child, &frame, &app}; });
  EXPECT_TRUE(router.Execute(1));
  EXPECT_TRUE(router.Execute(2));
  EXPECT_TRUE(router.Execute(3));
  EXPECT_EQ(log, (std::vector<std::string>{"view", "frame", "app"}));
  EXPECT_EQ(router.TargetOf(2), &frame);
}

TEST(CommandRouter, NoHandlerMeansDisabledAndNothingRuns) {
  CommandMap app;
  CommandRouter router([&] { return CommandRouter::Chain{nullptr, nullptr, &app}; });
  EXPECT_FALSE(router.Update(57643).enabled);
  EXPECT_FALSE(router.Execute(57643));
}

TEST(CommandRouter, UpdateHandlerDecidesStateAndGuardsExecution) {
  CommandMap app;
  bool enabled = false;
  int runs = 0;
  app.On(
      5, [&](int) { ++runs; },
      [&](int) {
        return CommandState{enabled, true};
      });
  app.On(6, [&](int) { ++runs; });
  CommandRouter router([&] { return CommandRouter::Chain{&app}; });

  EXPECT_FALSE(router.Update(5).enabled);
  EXPECT_TRUE(router.Update(5).checked);
  EXPECT_FALSE(router.Execute(5));  // a disabled command does not run by a key either
  enabled = true;
  EXPECT_TRUE(router.Execute(5));
  // A handler without an update handler is enabled and unchecked.
  EXPECT_TRUE(router.Update(6).enabled);
  EXPECT_FALSE(router.Update(6).checked);
  EXPECT_TRUE(router.Execute(6));
  EXPECT_EQ(runs, 2);
}

TEST(CommandRouter, ChainIsAskedAtEveryCommand) {
  CommandMap java, app;
  java.On(32776, [](int) {});
  CommandMap* active = nullptr;
  CommandRouter router([&] { return CommandRouter::Chain{active, &app}; });
  EXPECT_FALSE(router.Update(32776).enabled);
  active = &java;
  EXPECT_TRUE(router.Update(32776).enabled);
}

TEST(CommandMap, RangesReplacementAndRemoval) {
  CommandMap m;
  int got = 0;
  m.OnRange(10, 19, [&](int id) { got = id; });
  EXPECT_TRUE(m.HandlesCommand(15));
  EXPECT_FALSE(m.HandlesCommand(20));
  m.OnCommand(17);
  EXPECT_EQ(got, 17);

  m.On(30, [&](int) { got = 1; });
  m.On(30, [&](int) { got = 2; });
  m.OnCommand(30);
  EXPECT_EQ(got, 2);
  m.Remove(30);
  EXPECT_FALSE(m.HandlesCommand(30));
}

}  // namespace
}  // namespace tamso
