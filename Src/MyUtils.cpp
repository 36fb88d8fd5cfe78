#include "Src/MyUtils.h"

#include <unistd.h>

#include <cmath>
#include <ctime>

#include "base/Files.h"
#include "base/Format.h"
#include "base/MainThread.h"

std::string GetExeFileName() { return ExecutableFileName(); }

std::string GetExeFolder() { return ExecutableDir(); }

void SplitFirst(std::string& S, const std::string& ASep, bool ACut, std::string& AHead) {
  const size_t p = ASep.empty() ? std::string::npos : S.find(ASep);
  if (p == std::string::npos) {
    AHead = S;
    if (ACut) S.clear();
    return;
  }
  AHead = S.substr(0, p);
  if (ACut) S = S.substr(p + ASep.size());
}

std::string FormatByteSize(int64_t ASize) {
  if (ASize < 0) return "N/A";  // an unknown size, never "-1 Byte"
  if (ASize > 1073741824) return Format("%.2f GB", static_cast<double>(ASize) / 1073741824.0);
  if (ASize > 1048576) return Format("%.2f MB", static_cast<double>(ASize) / 1048576.0);
  if (ASize > 1024) return Format("%.2f KB", static_cast<double>(ASize) / 1024.0);
  return Format("%d Byte", ASize);
}

double LocalTimeOffset() {
  tzset();
  return -static_cast<double>(timezone) / 86400.0;
}

double UnixToLocalDateTime(int64_t ASeconds) {
  return static_cast<double>(ASeconds) / 86400.0 + 25569.0 + LocalTimeOffset();
}

int64_t LocalDateTimeToUnix(double ADateTime) {
  return static_cast<int64_t>(std::nearbyint((ADateTime - 25569.0 - LocalTimeOffset()) * 86400.0));
}

namespace {

// Civil date of a day count since 1970-01-01 (proleptic Gregorian).
void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

}  // namespace

std::string FormatDateTimeText(const std::string& AFormat, double ADateTime) {
  const int64_t ms = static_cast<int64_t>(std::llround((ADateTime - 25569.0) * 86400000.0));
  int64_t days = ms / 86400000, rest = ms % 86400000;
  if (rest < 0) {
    rest += 86400000;
    --days;
  }
  int y, mo, d;
  CivilFromDays(days, y, mo, d);
  const int h = static_cast<int>(rest / 3600000), mi = static_cast<int>(rest / 60000 % 60),
            s = static_cast<int>(rest / 1000 % 60), z = static_cast<int>(rest % 1000);
  std::string out;
  for (size_t i = 0; i < AFormat.size();) {
    auto at = [&](const char* tok) { return AFormat.compare(i, std::char_traits<char>::length(tok), tok) == 0; };
    if (at("yyyy")) out += Format("%.4d", y), i += 4;
    else if (at("yy")) out += Format("%.2d", y % 100), i += 2;
    else if (at("mm")) out += Format("%.2d", mo), i += 2;
    else if (at("dd")) out += Format("%.2d", d), i += 2;
    else if (at("hh")) out += Format("%.2d", h), i += 2;
    else if (at("nn")) out += Format("%.2d", mi), i += 2;
    else if (at("ss")) out += Format("%.2d", s), i += 2;
    else if (at("zzz")) out += Format("%.3d", z), i += 3;
    else out += AFormat[i++];
  }
  return out;
}

void PumpMessages() {
  if (IsMainThread()) ProcessMessages();
}

void CallInMainThread(const std::function<void()>& AMethod) { Synchronize(AMethod); }
