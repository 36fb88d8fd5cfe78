#include "lib/skin/kxSkinKeys.h"

#include <algorithm>

namespace {

constexpr const char* kCommandWords[] = {"cmclose", "cmmaximize", "cmminimize", "cmsysmenu",
                                         "cmdefault", "cmrollup", "cmminimizetotray"};

bool SameRect(const TRect& a, const TRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

std::string StdCommandToStr(TkxStdCommand Value) { return Value <= cmMinimizeToTray ? kCommandWords[Value] : ""; }

TkxStdCommand StrToStdCommand(const std::string& S) {
  for (int i = cmClose; i <= cmRollUp; ++i)
    if (S == kCommandWords[i]) return TkxStdCommand(i);
  return cmMinimizeToTray;
}

TkxKeyTable::TkxKeyTable(std::initializer_list<TkxSkinKey> Keys) : FKeys(Keys) {
  for (const TkxSkinKey& k : FKeys) {
    FRead.push_back(&k);
    FWrite.push_back(&k);
  }
  std::stable_sort(FRead.begin(), FRead.end(), [](auto* a, auto* b) { return a->Read < b->Read; });
  std::stable_sort(FWrite.begin(), FWrite.end(), [](auto* a, auto* b) { return a->Write < b->Write; });
}

void kxkeys::LoadKeys(TCustomIniFile& Ini, const std::string& Section, const TkxKeyTable& Table, void* R) {
  for (const TkxSkinKey* k : Table.ReadOrder()) {
    switch (k->Kind) {
      case TkxValueKind::Integer: k->Ref<int32_t>(R) = Ini.ReadInteger(Section, k->Key, k->IntDefault); break;
      case TkxValueKind::String: k->Ref<std::string>(R) = Ini.ReadString(Section, k->Key, k->StrDefault); break;
      case TkxValueKind::Flag: k->Ref<bool>(R) = ReadBoolean(Ini, Section, k->Key); break;
      case TkxValueKind::Rect: ReadRect(Ini, Section, k->Key, k->Ref<TRect>(R)); break;
      case TkxValueKind::Point: ReadPoint(Ini, Section, k->Key, k->Ref<TPoint>(R)); break;
      case TkxValueKind::FontStyles: k->Ref<TFontStyles>(R) = ReadFontStyles(Ini, Section, k->Key); break;
      case TkxValueKind::Alignment: k->Ref<TAlignment>(R) = ReadAlignment(Ini, Section, k->Key); break;
      case TkxValueKind::StretchType: k->Ref<TkxStretchType>(R) = ReadStretchType(Ini, Section, k->Key); break;
      case TkxValueKind::MorphKind: k->Ref<TkxMorphKind>(R) = ReadMorphKind(Ini, Section, k->Key); break;
      case TkxValueKind::InActiveEffect: k->Ref<TkxInActiveEffect>(R) = ReadInActiveEffect(Ini, Section, k->Key); break;
      case TkxValueKind::Command:
        k->Ref<TkxStdCommand>(R) = StrToStdCommand(Ini.ReadString(Section, k->Key, "cmdefault"));
        break;
    }
  }
}

void kxkeys::SaveKeys(TCustomIniFile& Ini, const std::string& Section, const TkxKeyTable& Table, void* R) {
  for (const TkxSkinKey* k : Table.WriteOrder()) {
    switch (k->Kind) {
      case TkxValueKind::Integer: Ini.WriteInteger(Section, k->Key, k->Ref<int32_t>(R)); break;
      case TkxValueKind::String: Ini.WriteString(Section, k->Key, k->Ref<std::string>(R)); break;
      case TkxValueKind::Flag: WriteBoolean(Ini, Section, k->Key, k->Ref<bool>(R)); break;
      case TkxValueKind::Rect: WriteRect(Ini, Section, k->Key, k->Ref<TRect>(R)); break;
      case TkxValueKind::Point: WritePoint(Ini, Section, k->Key, k->Ref<TPoint>(R)); break;
      case TkxValueKind::FontStyles: WriteFontStyles(Ini, Section, k->Key, k->Ref<TFontStyles>(R)); break;
      case TkxValueKind::Alignment: WriteAlignment(Ini, Section, k->Key, k->Ref<TAlignment>(R)); break;
      case TkxValueKind::StretchType: WriteStretchType(Ini, Section, k->Key, k->Ref<TkxStretchType>(R)); break;
      case TkxValueKind::MorphKind: WriteMorphKind(Ini, Section, k->Key, k->Ref<TkxMorphKind>(R)); break;
      case TkxValueKind::InActiveEffect: WriteInActiveEffect(Ini, Section, k->Key, k->Ref<TkxInActiveEffect>(R)); break;
      case TkxValueKind::Command: Ini.WriteString(Section, k->Key, StdCommandToStr(k->Ref<TkxStdCommand>(R))); break;
    }
  }
}

bool kxkeys::SameKeys(const std::vector<const TkxKeyTable*>& Tables, void* A, void* B) {
  for (const TkxKeyTable* t : Tables) {
    for (const TkxSkinKey& k : t->Keys()) {
      bool same = true;
      switch (k.Kind) {
        case TkxValueKind::Integer: same = k.Ref<int32_t>(A) == k.Ref<int32_t>(B); break;
        case TkxValueKind::String: same = k.Ref<std::string>(A) == k.Ref<std::string>(B); break;
        case TkxValueKind::Flag: same = k.Ref<bool>(A) == k.Ref<bool>(B); break;
        case TkxValueKind::Rect: same = SameRect(k.Ref<TRect>(A), k.Ref<TRect>(B)); break;
        case TkxValueKind::Point: same = k.Ref<TPoint>(A).x == k.Ref<TPoint>(B).x && k.Ref<TPoint>(A).y == k.Ref<TPoint>(B).y; break;
        case TkxValueKind::FontStyles: same = k.Ref<TFontStyles>(A).Bits() == k.Ref<TFontStyles>(B).Bits(); break;
        case TkxValueKind::Alignment: same = k.Ref<TAlignment>(A) == k.Ref<TAlignment>(B); break;
        case TkxValueKind::StretchType: same = k.Ref<TkxStretchType>(A) == k.Ref<TkxStretchType>(B); break;
        case TkxValueKind::MorphKind: same = k.Ref<TkxMorphKind>(A) == k.Ref<TkxMorphKind>(B); break;
        case TkxValueKind::InActiveEffect: same = k.Ref<TkxInActiveEffect>(A) == k.Ref<TkxInActiveEffect>(B); break;
        case TkxValueKind::Command: same = k.Ref<TkxStdCommand>(A) == k.Ref<TkxStdCommand>(B); break;
      }
      if (!same) return false;
    }
  }
  return true;
}
