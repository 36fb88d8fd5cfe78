// INI text from outside (option.ini, skin descriptions): reading every section and key, writing
// a key, and the text written back must read as the same document.
#include "base/Exception.h"
#include "base/IniFile.h"
#include "base/StringList.h"
#include "base/Text.h"
#include "fuzz/FuzzCommon.h"

namespace {

// Every section with its "key=value" lines, in order.
std::string Dump(TMemIniFile& AIni) {
  TStringList sections, values;
  AIni.ReadSections(sections);
  std::string out;
  for (int32_t i = 0; i < sections.Count(); ++i) {
    AIni.ReadSectionValues(sections[i], values);
    out += "[" + sections[i] + "]\n" + values.Text();
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  fuzz::TReader r(Data, Size);
  const std::string section = r.Text();
  const std::string key = r.Text();
  const std::string value = r.Text();
  TStringList lines;
  lines.SetText(r.Rest());
  TMemIniFile ini(lines);

  TStringList sections, keys;
  ini.ReadSections(sections);
  for (int32_t i = 0; i < sections.Count(); ++i) {
    ini.ReadSection(sections[i], keys);
    for (int32_t j = 0; j < keys.Count(); ++j) {
      ini.ReadString(sections[i], keys[j], "");
      ini.ReadInteger(sections[i], keys[j], -1);
      ini.ReadBool(sections[i], keys[j], false);
      ini.ValueExists(sections[i], keys[j]);
    }
  }
  try {
    ini.WriteString(section, key, value);
    // Values read back without the blanks (and control characters) around them.
    if (ini.ReadString(section, key, value + "?") != Trim(value)) fuzz::Fail("a written value does not read back");
  } catch (const Exception&) {
  }

  // What the program writes reads back as the same document.
  TStringList written;
  ini.GetStrings(written);
  TMemIniFile again(written);
  if (Dump(again) != Dump(ini)) fuzz::Fail("the written document reads back differently");
  ini.EraseSection(section);
  ini.DeleteKey(section, key);
  return 0;
}
