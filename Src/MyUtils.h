#pragma once
// Small helpers of the media components: program location, text splitting, byte sizes,
// date-time conversions, message pumping and the hand-over to the user-interface thread.
#include <cstdint>
#include <functional>
#include <string>

#include "base/Files.h"  // FileSizeOf

std::string GetExeFileName();
// With its trailing "/".
std::string GetExeFolder();

// AHead := the text of S before the first ASep (all of S when absent); when ACut, S := the
// text after it (empty when absent).
void SplitFirst(std::string& S, const std::string& ASep, bool ACut, std::string& AHead);

// "%.2f GB" / "%.2f MB" / "%.2f KB" above 2^30 / 2^20 / 2^10, else "%d Byte"; "N/A" below 0.
std::string FormatByteSize(int64_t ASize);

// The standard (not daylight-saving) offset of local time from UTC, in days.
double LocalTimeOffset();
// Days since 1899-12-30, local time.
double UnixToLocalDateTime(int64_t ASeconds);
// Seconds since the epoch, rounded half to even.
int64_t LocalDateTimeToUnix(double ADateTime);
// The class library's date-time format: yyyy, yy, mm, dd, hh, nn, ss, zzz; other text kept.
std::string FormatDateTimeText(const std::string& AFormat, double ADateTime);

// Processes the user-interface thread's pending messages and hand-overs.
void PumpMessages();
// Runs AMethod on the user-interface thread and waits for it (at once on that thread).
void CallInMainThread(const std::function<void()>& AMethod);
