#include <gtest/gtest.h>

#include <thread>

#include "base/DynLib.h"

TEST(DynLib, LoadsSystemLibrariesAndCallsThem) {
  TLibHandle m = LoadLibrary("libm.so.6");
  ASSERT_NE(m, nullptr) << GetLastLoadError();
  EXPECT_EQ(GetLastLoadError(), "");
  auto cbrtFn = GetProcAddressAs<double (*)(double)>(m, "cbrt");
  ASSERT_NE(cbrtFn, nullptr);
  EXPECT_DOUBLE_EQ(cbrtFn(27.0), 3.0);

  TLibHandle z = LoadLibrary("libz.so.1");
  ASSERT_NE(z, nullptr) << GetLastLoadError();
  auto zlibVersion = GetProcAddressAs<const char* (*)()>(z, "zlibVersion");
  ASSERT_NE(zlibVersion, nullptr);
  EXPECT_EQ(zlibVersion()[0], '1');
  EXPECT_TRUE(FreeLibrary(z));
  EXPECT_TRUE(FreeLibrary(m));
}

TEST(DynLib, FailuresAnswerNullWithTheLoadersMessage) {
  EXPECT_EQ(LoadLibrary("libdoes-not-exist-ombrel.so.9"), nullptr);
  EXPECT_NE(GetLastLoadError().find("libdoes-not-exist-ombrel.so.9"), std::string::npos) << GetLastLoadError();
  // Read twice: the message is kept, not consumed.
  EXPECT_NE(GetLastLoadError().find("libdoes-not-exist-ombrel.so.9"), std::string::npos);
  EXPECT_EQ(LoadLibrary(""), nullptr);
  EXPECT_FALSE(GetLastLoadError().empty());

  TLibHandle m = LoadLibrary("libm.so.6");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(GetProcAddress(m, "no_such_symbol_ombrel"), nullptr);
  EXPECT_NE(GetLastLoadError().find("no_such_symbol_ombrel"), std::string::npos) << GetLastLoadError();
  // Each thread keeps its own message.
  std::string other = "unset";
  std::thread([&] { other = GetLastLoadError(); }).join();
  EXPECT_EQ(other, "");
  EXPECT_EQ(GetProcAddress(nullptr, "cbrt"), nullptr);
  EXPECT_FALSE(FreeLibrary(nullptr));
  EXPECT_TRUE(FreeLibrary(m));
}
