// Keeps the test executable buildable until the layer has tests of its own.
#include <gtest/gtest.h>
