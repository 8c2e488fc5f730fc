// The Windows platform's own parts that need no desktop, run under Wine.
#include <gtest/gtest.h>

#include "platform/win32/win32_single_instance.h"

namespace brisel::win32 {
namespace {

TEST(SingleInstance, SecondHolderOfTheNameIsToldAndTheNameIsFreedWithTheFirst) {
  constexpr const char* name = "Local\\Brisel.Test.SingleInstance";
  {
    SingleInstance first(name);
    EXPECT_TRUE(first.first());
    SingleInstance second(name);
    EXPECT_FALSE(second.first());
    SingleInstance other(kInstanceName);
    EXPECT_TRUE(other.first()) << "a different name is a different program";
  }
  SingleInstance again(name);
  EXPECT_TRUE(again.first());
}

}  // namespace
}  // namespace brisel::win32
