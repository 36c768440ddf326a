#include <gtest/gtest.h>
TEST(Nothing, Yet) {}
