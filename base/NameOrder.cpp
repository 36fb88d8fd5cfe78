#include "base/NameOrder.h"

#include <unicode/ucol.h>
#include <unicode/uscript.h>
#include <unicode/ustring.h>

#include <vector>

namespace {

// ICU's Chinese (pinyin) collation, with numbers compared by value, letter case ignored, and
// Latin moved before Han (the Chinese collation puts Han first). Made once; ICU allows
// concurrent comparisons on one collator.
const UCollator* Collator() {
  static const UCollator* coll = [] {
    UErrorCode err = U_ZERO_ERROR;
    UCollator* c = ucol_open("zh", &err);
    if (U_FAILURE(err)) {
      // Without the Chinese data the root order still gives numbers and letters.
      err = U_ZERO_ERROR;
      c = ucol_open("", &err);
      if (U_FAILURE(err)) return static_cast<UCollator*>(nullptr);
    }
    ucol_setAttribute(c, UCOL_NUMERIC_COLLATION, UCOL_ON, &err);
    ucol_setAttribute(c, UCOL_STRENGTH, UCOL_SECONDARY, &err);
    const int32_t order[] = {USCRIPT_LATIN, USCRIPT_HAN};
    ucol_setReorderCodes(c, order, 2, &err);
    return c;
  }();
  return coll;
}

// UTF-16 for the collator; an invalid byte becomes U+FFFD.
std::u16string ToUtf16(std::string_view s) {
  std::u16string out(s.size() + 1, u'\0');
  int32_t len = 0;
  int32_t subs = 0;
  UErrorCode err = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), int32_t(out.size()), &len, s.data(), int32_t(s.size()),
                       0xFFFD, &subs, &err);
  if (U_FAILURE(err)) return {};
  out.resize(size_t(len));
  return out;
}

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

}  // namespace

int CompareNames(std::string_view a, std::string_view b) {
  if (const UCollator* c = Collator()) {
    UErrorCode err = U_ZERO_ERROR;
    const UCollationResult r = ucol_strcollUTF8(c, a.data(), int32_t(a.size()), b.data(), int32_t(b.size()), &err);
    if (U_SUCCESS(err) && r != UCOL_EQUAL) return r == UCOL_LESS ? -1 : 1;
  }
  return Sign(a.compare(b));
}

std::string NameSortKey(std::string_view name) {
  std::string key;
  if (const UCollator* c = Collator()) {
    const std::u16string u = ToUtf16(name);
    const auto* text = reinterpret_cast<const UChar*>(u.data());
    uint8_t small[256];
    int32_t n = ucol_getSortKey(c, text, int32_t(u.size()), small, int32_t(sizeof small));
    if (n > int32_t(sizeof small)) {
      std::vector<uint8_t> big(static_cast<size_t>(n));
      n = ucol_getSortKey(c, text, int32_t(u.size()), big.data(), n);
      key.assign(reinterpret_cast<const char*>(big.data()), size_t(n));
    } else if (n > 0) {
      key.assign(reinterpret_cast<const char*>(small), size_t(n));
    }
    // The collator's key ends with a 0 byte, which no other key byte is: the raw bytes that
    // follow only decide between names the collator finds equal.
    if (!key.empty() && key.back() != '\0') key.push_back('\0');
  }
  key.append(name);
  return key;
}
