#include <gtest/gtest.h>
TEST(Dokumler, Placeholder) {}
