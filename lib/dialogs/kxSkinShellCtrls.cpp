// Shell items: item-ID list operations, TkxShellFolder, root names, names, attributes, icons,
// details, rename and the shell context menu.
#include "lib/dialogs/kxSkinShellCtrls.h"

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include <fmt/format.h>

#include "base/Format.h"

using namespace win;

// ---- item-ID lists ----------------------------------------------------------------------------

namespace {
IMalloc* Allocator() {
  IMalloc* m = nullptr;
  HRESULT hr = SHGetMalloc(&m);
  if (FAILED(hr) || !m) throw EOleSysError("The shell's allocator is not available", hr);
  return m;
}
USHORT Cb(PCItemIDList p) { return ItemIdCb(p); }
}  // namespace

void* ShellAlloc(size_t Size) { return Allocator()->Alloc(Size); }
void ShellFree(void* P) {
  if (P) Allocator()->Free(P);
}

PCItemIDList NextItemID(PCItemIDList ID) {
  return reinterpret_cast<PCItemIDList>(reinterpret_cast<const BYTE*>(ID) + Cb(ID));
}

int ItemIDCount(PCItemIDList IDList) {
  int n = 0;
  if (!IDList) return 0;
  for (PCItemIDList p = IDList; Cb(p) != 0; p = NextItemID(p)) ++n;
  return n;
}

int ItemIDListSize(PCItemIDList IDList) {
  if (!IDList) return 0;
  int size = 2;
  for (PCItemIDList p = IDList; Cb(p) != 0; p = NextItemID(p)) size += Cb(p);
  return size;
}

PItemIDList CopyItemIDList(PCItemIDList IDList) {
  int size = ItemIDListSize(IDList);
  if (size == 0) return nullptr;
  void* p = ShellAlloc(size_t(size));
  if (p) memcpy(p, IDList, size_t(size));
  return static_cast<PItemIDList>(p);
}

PItemIDList ConcatItemIDLists(PCItemIDList First, PCItemIDList Second) {
  if (!First) return CopyItemIDList(Second);
  const int a = ItemIDListSize(First) - 2;
  const int b = ItemIDListSize(Second);
  BYTE* p = static_cast<BYTE*>(ShellAlloc(size_t(a + (b ? b : 2))));
  if (!p) return nullptr;
  memcpy(p, First, size_t(a));
  if (b) memcpy(p + a, Second, size_t(b));  // without a second list the zeroed block ends it
  return reinterpret_cast<PItemIDList>(p);
}

void StripLastItemID(PItemIDList IDList) {
  if (!IDList || Cb(IDList) == 0) return;
  BYTE* last = reinterpret_cast<BYTE*>(IDList);
  for (BYTE* p = last; Cb(reinterpret_cast<PCItemIDList>(p)) != 0; p += Cb(reinterpret_cast<PCItemIDList>(p)))
    last = p;
  SetItemIdCb(last, 0);
}

PItemIDList CopyLastItemID(PCItemIDList IDList) {
  if (!IDList) return nullptr;
  PCItemIDList last = IDList;
  for (PCItemIDList p = IDList; Cb(p) != 0; p = NextItemID(p)) last = p;
  const int cb = Cb(last);
  BYTE* out = static_cast<BYTE*>(ShellAlloc(size_t(cb + 2)));
  if (out && cb) memcpy(out, last, size_t(cb));
  return reinterpret_cast<PItemIDList>(out);
}

std::vector<PItemIDList> AncestorIDLists(PCItemIDList IDList) {
  std::vector<PItemIDList> out;
  if (!IDList || Cb(IDList) == 0) return out;
  PItemIDList cur = CopyItemIDList(IDList);
  while (cur && Cb(cur) != 0) {
    StripLastItemID(cur);
    out.insert(out.begin(), cur);
    cur = CopyItemIDList(cur);
  }
  // The last copy is an empty list that nobody holds.
  if (cur && (out.empty() || out.front() != cur)) ShellFree(cur);
  return out;
}

void FreeIDLists(std::vector<PItemIDList>& Lists) {
  for (PItemIDList p : Lists) ShellFree(p);
  Lists.clear();
}

bool SameItemIDLists(PCItemIDList A, PCItemIDList B) {
  auto desktop = DesktopShellFolder();
  return desktop->CompareIDs(0, A, B) == 0;
}

PItemIDList DesktopItemIDList() {
  PItemIDList p = nullptr;
  HRESULT hr = SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &p);
  if (FAILED(hr)) throw EOleSysError("The desktop's item-ID list is not available", hr);
  return p;
}

// ---- root names -------------------------------------------------------------------------------

const char* const RootFolderNames[23] = {
    "rfDesktop",     "rfMyComputer",   "rfNetwork",      "rfRecycleBin",        "rfAppData",
    "rfCommonDesktopDirectory", "rfCommonPrograms", "rfCommonStartMenu", "rfCommonStartup", "rfControlPanel",
    "rfDesktopDirectory", "rfFavorites", "rfFonts",     "rfInternet",          "rfPersonal",
    "rfPrinters",    "rfPrintHood",    "rfPrograms",     "rfRecent",            "rfSendTo",
    "rfStartMenu",   "rfStartup",      "rfTemplates"};
const int RootFolderIDs[23] = {CSIDL_DESKTOP, CSIDL_DRIVES, CSIDL_NETWORK, CSIDL_BITBUCKET, CSIDL_APPDATA,
                               CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTMENU,
                               CSIDL_COMMON_STARTUP, CSIDL_CONTROLS, CSIDL_DESKTOPDIRECTORY, CSIDL_FAVORITES,
                               CSIDL_FONTS, CSIDL_INTERNET, CSIDL_PERSONAL, CSIDL_PRINTERS, CSIDL_PRINTHOOD,
                               CSIDL_PROGRAMS, CSIDL_RECENT, CSIDL_SENDTO, CSIDL_STARTMENU, CSIDL_STARTUP,
                               CSIDL_TEMPLATES};

int RootFolderIndex(const std::string& Root) {
  for (int i = 0; i < 23; ++i) {
    const char* n = RootFolderNames[i];
    if (Root.size() != strlen(n)) continue;
    bool same = true;
    for (size_t k = 0; k < Root.size() && same; ++k) {
      char a = Root[k], b = n[k];
      if (a >= 'A' && a <= 'Z') a = char(a + 32);
      if (b >= 'A' && b <= 'Z') b = char(b + 32);
      same = a == b;
    }
    if (same) return i;
  }
  return -1;
}

// ---- unit-wide state --------------------------------------------------------------------------

IContextMenu* ActiveContextMenu = nullptr;

namespace {
bool g_makingDesktop = false;
}  // namespace

TkxShellFolder* DesktopFolder() {
  static std::unique_ptr<TkxShellFolder> desktop = [] {
    PItemIDList list = DesktopItemIDList();
    g_makingDesktop = true;
    std::unique_ptr<TkxShellFolder> item;
    try {
      item = std::make_unique<TkxShellFolder>(nullptr, list, DesktopShellFolder());
    } catch (...) {
      g_makingDesktop = false;
      ShellFree(list);
      throw;
    }
    g_makingDesktop = false;
    ShellFree(list);
    return item;
  }();
  return desktop.get();
}

std::unique_ptr<IShellFolder> DesktopShellFolder() {
  std::unique_ptr<IShellFolder> f;
  HRESULT hr = SHGetDesktopFolder(&f);
  if (FAILED(hr) || !f) throw EOleSysError("The desktop folder is not available", FAILED(hr) ? hr : E_FAIL);
  return f;
}

namespace {
TShellMenuTracker& Tracker() {
  static TShellMenuTracker t;
  return t;
}
}  // namespace

void SetShellMenuTracker(TShellMenuTracker T) { Tracker() = std::move(T); }

int CompareChildren(IShellFolder* Folder, PCItemIDList A, PCItemIDList B) {
  if (!Folder) return 0;
  return int16_t(Folder->CompareIDs(0, A, B) & 0xFFFF);
}

// ---- binding ----------------------------------------------------------------------------------

std::unique_ptr<IShellFolder> BindShellFolder(IShellFolder* AFolder, PCItemIDList ID, HWND Owner) {
  std::unique_ptr<IShellFolder> out;
  if (AFolder && FAILED(AFolder->BindToObject(ID, &out))) {
    // The shell's other two ways give no folder object here.
    out.reset();
  }
  if (!out) DesktopShellFolder()->BindToObject(ID, &out);
  return out;
}

std::unique_ptr<IShellDetails> BindShellDetails(IShellFolder* AFolder, PCItemIDList ID, HWND Owner) {
  std::unique_ptr<IShellDetails> out;
  if (AFolder && FAILED(AFolder->BindToDetails(ID, &out))) {
    LPCITEMIDLIST one = ID;
    std::unique_ptr<IShellDetails> ui;
    if (SUCCEEDED(AFolder->GetUIDetailsOf(Owner, 1, &one, &ui)) && ui) out = std::move(ui);
    std::unique_ptr<IShellDetails> view;
    if (SUCCEEDED(AFolder->CreateViewObject(Owner, &view)) && view) out = std::move(view);
  }
  if (!out) DesktopShellFolder()->BindToDetails(ID, &out);
  return out;
}

std::unique_ptr<IShellFolder2> BindShellFolder2(IShellFolder* AFolder, PCItemIDList ID, HWND) {
  // The layer reports version 6.1, so the version test always passes.
  std::unique_ptr<IShellFolder2> out;
  if (FAILED(DesktopShellFolder()->BindToFolder2(ID, &out)) && AFolder) {
    out.reset();
    AFolder->BindToFolder2(ID, &out);
  }
  return out;
}

// ---- names ------------------------------------------------------------------------------------

std::string StrRetToText(PCItemIDList ID, const STRRET& StrRet) {
  std::string text;
  switch (StrRet.uType) {
    case STRRET_WSTR: text = StrRet.pOleStr; break;
    case STRRET_OFFSET:
      if (ID && StrRet.uOffset < Cb(ID)) {
        // Up to the end of the first identifier, stopping at a terminating zero.
        const char* p = reinterpret_cast<const char*>(ID) + StrRet.uOffset;
        size_t n = Cb(ID) - StrRet.uOffset;
        text.assign(p, strnlen(p, n));
      }
      break;
    case STRRET_CSTR: text.assign(StrRet.cStr, strnlen(StrRet.cStr, sizeof StrRet.cStr)); break;
    default: break;
  }
  if (text.size() > 1 && text[0] == '?' && text[1] >= '0' && text[1] <= '9') {
    std::string out;
    for (char c : text)
      if (c != '?') out += c;
    text = out;
  }
  return text;
}

std::string ItemDisplayName(IShellFolder* AFolder, PCItemIDList ID, uint32_t Flags) {
  if (!AFolder) return "parentfolder = nil";
  STRRET s;
  std::string text;
  if (SUCCEEDED(AFolder->GetDisplayNameOf(ID, Flags, &s))) text = StrRetToText(ID, s);
  if (text.rfind("::{", 0) == 0) {
    STRRET n;
    text.clear();
    if (SUCCEEDED(AFolder->GetDisplayNameOf(ID, SHGDN_NORMAL, &n))) text = StrRetToText(ID, n);
  }
  return text;
}

// ---- attributes -------------------------------------------------------------------------------

namespace {
ULONG Attributes(IShellFolder* AFolder, PCItemIDList ID, ULONG mask) {
  ULONG a = mask;
  LPCITEMIDLIST one = ID;
  if (!AFolder || FAILED(AFolder->GetAttributesOf(1, &one, &a))) return 0;
  return a;
}
}  // namespace

TkxShellFolderCapabilities ItemCapabilities(IShellFolder* AFolder, PCItemIDList ID) {
  TkxShellFolderCapabilities r;
  ULONG a = Attributes(AFolder, ID, 0x177);
  if (a & SFGAO_CANCOPY) r.Include(fcCanCopy);
  if (a & SFGAO_CANDELETE) r.Include(fcCanDelete);
  if (a & SFGAO_CANLINK) r.Include(fcCanLink);
  if (a & SFGAO_CANMOVE) r.Include(fcCanMove);
  if (a & SFGAO_CANRENAME) r.Include(fcCanRename);
  if (a & SFGAO_DROPTARGET) r.Include(fcDropTarget);
  if (a & SFGAO_HASPROPSHEET) r.Include(fcHasPropSheet);
  return r;
}

TkxShellFolderProperties ItemProperties(IShellFolder* AFolder, PCItemIDList ID) {
  TkxShellFolderProperties r;
  if (!AFolder) return r;
  ULONG a = Attributes(AFolder, ID, 0xFC000);
  if (a & SFGAO_GHOSTED) r.Include(fpCut);
  if (a & SFGAO_LINK) r.Include(fpIsLink);
  if (a & SFGAO_READONLY) r.Include(fpReadOnly);
  if (a & SFGAO_SHARE) r.Include(fpShared);
  // Asked with an empty mask: the provider answers with every bit.
  ULONG b = Attributes(AFolder, ID, 0);
  if (b & SFGAO_FILESYSTEM) r.Include(fpFileSystem);
  if (b & SFGAO_FILESYSANCESTOR) r.Include(fpFileSystemAncestor);
  if (b & SFGAO_REMOVABLE) r.Include(fpRemovable);
  if (b & SFGAO_VALIDATE) r.Include(fpValidate);
  return r;
}

bool ItemIsFolder(IShellFolder* AFolder, PCItemIDList ID) { return (Attributes(AFolder, ID, SFGAO_FOLDER) & SFGAO_FOLDER) != 0; }

bool ItemHasSubFolders(IShellFolder* AFolder, PCItemIDList ID) {
  return (Attributes(AFolder, ID, SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER) != 0;
}

bool FolderHasSubItems(IShellFolder* AFolder, uint32_t Flags) {
  if (!AFolder) return false;
  // An unready drive opens no box here, so there is no error mode to switch.
  std::unique_ptr<IEnumIDList> e;
  if (FAILED(AFolder->EnumObjects(nullptr, Flags, &e)) || !e) return false;
  LPITEMIDLIST one = nullptr;
  ULONG n = 0;
  bool any = e->Next(1, &one, &n) == S_OK;
  ShellFree(one);
  return any;
}

int SystemImageIndex(PCItemIDList AbsoluteID, bool Large, bool Open) {
  SHFILEINFO info;
  UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX;
  if (Open) flags |= SHGFI_OPENICON;
  if (!Large) flags |= SHGFI_SMALLICON;
  SHGetFileInfo(PidlArg(AbsoluteID), 0, &info, flags);
  return info.iIcon;
}

uint32_t ObjectTypesToEnumFlags(TShellObjectTypes ObjectTypes) {
  uint32_t f = 0;
  if (ObjectTypes.Contains(otFolders)) f |= SHCONTF_FOLDERS;
  if (ObjectTypes.Contains(otNonFolders)) f |= SHCONTF_NONFOLDERS;
  if (ObjectTypes.Contains(otHidden)) f |= SHCONTF_INCLUDEHIDDEN;
  return f;
}

// ---- items ------------------------------------------------------------------------------------

TkxShellFolder::TkxShellFolder(TkxShellFolder* AParent, PCItemIDList ID, std::unique_ptr<IShellFolder> SF)
    : FParent(AParent), FIShellFolder(std::move(SF)), FDetails(std::make_unique<TStringList>()) {
  FPIDL = CopyItemIDList(ID);
  if (AParent) {
    FFullPIDL = ConcatItemIDLists(AParent->FFullPIDL, ID);
  } else {
    PItemIDList desktop = DesktopItemIDList();
    FFullPIDL = ConcatItemIDLists(desktop, ID);
    ShellFree(desktop);
  }
  // The desktop item itself is made while DesktopFolder is still being made: it has no parent.
  if (!FParent && !g_makingDesktop) FParent = DesktopFolder();
  for (TkxShellFolder* p = AParent; p; p = p->FParent)
    if (p->FParent) ++FLevel;
}

TkxShellFolder::~TkxShellFolder() {
  ShellFree(FPIDL);
  ShellFree(FFullPIDL);
}

IShellFolder* TkxShellFolder::ParentShellFolder() const {
  if (FParent) return FParent->ShellFolder();
  return DesktopFolder()->ShellFolder();
}

TkxShellFolderCapabilities TkxShellFolder::Capabilities() const { return ItemCapabilities(ParentShellFolder(), FPIDL); }
TkxShellFolderProperties TkxShellFolder::Properties() const { return ItemProperties(ParentShellFolder(), FPIDL); }
bool TkxShellFolder::SubFolders() const { return ItemHasSubFolders(ParentShellFolder(), FPIDL); }

bool TkxShellFolder::IsFolder() const {
  if (!ItemIsFolder(ParentShellFolder(), FPIDL)) return false;
  std::string name = FullObjectName();
  size_t dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
  for (char& c : ext)
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  return ext != ".ZIP";
}

std::string TkxShellFolder::PathName() const {
  return ItemDisplayName(DesktopFolder()->ShellFolder(), FFullPIDL, SHGDN_FORPARSING);
}

std::string TkxShellFolder::FullObjectName() const {
  std::string path;
  if (!SHGetPathFromIDList(FFullPIDL, &path)) return {};
  return path;  // no length limit: any path the system can hold
}

std::string TkxShellFolder::DisplayName() const {
  IShellFolder* f = FParent ? ParentShellFolder() : DesktopFolder()->ShellFolder();
  return ItemDisplayName(f, FPIDL, SHGDN_INFOLDER);
}

int TkxShellFolder::ImageIndex(bool LargeIcon) const { return SystemImageIndex(FFullPIDL, LargeIcon, false); }

bool TkxShellFolder::Rename(const std::string& NewName) {
  if (!Capabilities().Contains(fcCanRename)) return false;
  IShellFolder* parent = ParentShellFolder();
  PItemIDList newPidl = nullptr;
  if (!parent || FAILED(parent->SetNameOf(nullptr, FPIDL, NewName, 0, &newPidl)) || !newPidl)
    throw Exception(Format("Rename to %s failed", NewName));
  ShellFree(FPIDL);
  ShellFree(FFullPIDL);
  FPIDL = newPidl;
  FFullPIDL = FParent ? ConcatItemIDLists(FParent->AbsoluteID(), newPidl) : CopyItemIDList(newPidl);
  return true;
}

int TkxShellFolder::ExecuteDefault() const {
  SHELLEXECUTEINFO sei;
  sei.fMask = SEE_MASK_INVOKEIDLIST;
  sei.lpIDList = FFullPIDL;
  sei.nShow = 5;  // SW_SHOW
  return ShellExecuteEx(&sei) ? 1 : 0;
}

void TkxShellFolder::GetDetailInterface() {
  if (FDetailInterface || !FIShellFolder) return;
  FIShellDetails = BindShellDetails(FIShellFolder.get(), FFullPIDL, FViewHandle);
  if (!FIShellDetails) {
    FIShellFolder2 = BindShellFolder2(FIShellFolder.get(), FFullPIDL, FViewHandle);
    if (!FIShellFolder2)
      if (auto* f2 = dynamic_cast<IShellFolder2*>(FIShellFolder.get())) FIShellFolder2 = f2->Clone2();
  }
  FDetailInterface = FIShellFolder2 || FIShellDetails;
}

IShellFolder2* TkxShellFolder::ShellFolder2() {
  GetDetailInterface();
  return FIShellFolder2.get();
}

IShellDetails* TkxShellFolder::ShellDetails() {
  GetDetailInterface();
  return FIShellDetails.get();
}

namespace {

// Days since 30 December 1899, the date library's epoch.
double EncodeDateTime(const struct tm& t) {
  struct tm u = t;
  u.tm_isdst = 0;
  // Days from the civil date, independent of the time zone.
  int y = u.tm_year + 1900, m = u.tm_mon + 1, d = u.tm_mday;
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long days = long(era) * 146097 + doe - 719468;  // since 1970-01-01
  return double(days + 25569) + (u.tm_hour * 3600 + u.tm_min * 60 + u.tm_sec) / 86400.0;
}

std::string DateTimeText(double v) {
  // Whole days and the time of day; -1.0 is 29 December 1899, midnight.
  long days = long(std::floor(v));
  double frac = v - double(days);
  if (v < 0) {
    days = long(std::ceil(v));
    frac = double(days) - v;
  }
  long z = days - 25569 + 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long y = yoe + era * 400;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const long d = doy - (153 * mp + 2) / 5 + 1;
  const long m = mp + (mp < 10 ? 3 : -9);
  y += m <= 2;
  long secs = long(std::lround(frac * 86400.0));
  return fmt::format("{:04}-{:02}-{:02} {:02}:{:02}:{:02}", y, m, d, secs / 3600, secs / 60 % 60, secs % 60);
}

// The last-write time through local time and the DOS date and time (two-second steps); -1.0 when
// it cannot be held (before 1980 or after 2107).
double DosDateTimeOf(time_t t) {
  struct tm lt {};
  if (!localtime_r(&t, &lt)) return -1.0;
  if (lt.tm_year < 80 || lt.tm_year > 207) return -1.0;
  lt.tm_sec -= lt.tm_sec % 2;
  return EncodeDateTime(lt);
}

struct FindData {
  bool directory = false;
  uint64_t size = 0;
  time_t mtime = 0;
  uint32_t attributes = 0;
  std::string name;
};

FindData GetFindData(TkxShellFolder* item) {
  const std::string path = item->PathName();
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) RaiseDetailsError(item, errno);
  FindData fd;
  fd.directory = S_ISDIR(st.st_mode);
  fd.size = uint64_t(st.st_size);
  fd.mtime = st.st_mtime;
  fd.name = path.substr(path.rfind('/') + 1);
  // read-only 1, hidden 2, directory 16; a file with none of them is "normal" (128).
  if (access(path.c_str(), W_OK) != 0) fd.attributes |= 1;
  if (!fd.name.empty() && fd.name[0] == '.') fd.attributes |= 2;
  if (fd.directory) fd.attributes |= 16;
  if (fd.attributes == 0) fd.attributes = 128;
  return fd;
}

std::string FindDataColumnText(const FindData& fd, int k) {
  switch (k) {
    case 1: return fd.directory ? "-1" : std::to_string(fd.size);
    case 2: {
      size_t dot = fd.name.rfind('.');
      return dot == std::string::npos ? std::string() : fd.name.substr(dot);
    }
    case 3: return DateTimeText(fd.directory ? -1.0 : DosDateTimeOf(fd.mtime));
    case 4: return std::to_string(fd.attributes);
    default: return {};
  }
}

}  // namespace

void TkxShellFolder::LoadColumnDetails(TkxShellFolder* RootFolder, HWND AHandle, int ColumnCount) {
  if (!FDetails || FDetails->Count() >= ColumnCount || !RootFolder) return;
  FDetails->Clear();
  FViewHandle = AHandle;
  SHELLDETAILS sd;
  if (IShellFolder2* f2 = RootFolder->ShellFolder2()) {
    for (int k = 1; k <= ColumnCount; ++k)
      FDetails->Add(SUCCEEDED(f2->GetDetailsOf(FPIDL, UINT(k), &sd)) ? StrRetToText(FPIDL, sd.str) : std::string());
  } else if (IShellDetails* d = RootFolder->ShellDetails()) {
    for (int k = 1; k <= ColumnCount; ++k)
      FDetails->Add(SUCCEEDED(d->GetDetailsOf(FPIDL, UINT(k), &sd)) ? StrRetToText(FPIDL, sd.str) : std::string());
  } else if (Properties().Contains(fpFileSystem)) {
    FindData fd = GetFindData(this);
    for (int k = 1; k <= ColumnCount; ++k) FDetails->Add(FindDataColumnText(fd, k));
  }
}

std::string TkxShellFolder::Details(int Index) const {
  if (FDetails->Count() == 0) throw Exception(Format("%s: Missing call to LoadColumnDetails", DisplayName()));
  // Columns that were not loaded are empty.
  if (Index < 1 || Index > FDetails->Count()) return {};
  return FDetails->Get(Index - 1);
}

void RaiseDetailsError(TkxShellFolder* Item, int Code) {
  throw EInvalidPath(
      Format("Unable to retrieve folder details for \"%s\". Error code $%x", Item->DisplayName(), Code));
}

// ---- roots ------------------------------------------------------------------------------------

std::unique_ptr<TkxShellFolder> CreateFolderFromAbsoluteID(PCItemIDList AbsoluteID) {
  auto desktop = DesktopShellFolder();
  std::unique_ptr<IShellFolder> sf = BindShellFolder(desktop.get(), AbsoluteID, nullptr);
  // Only the desktop itself lists the desktop's children: a folder that cannot be bound (a file,
  // a folder that is gone) gets no folder object, so it lists nothing rather than the wrong things.
  if (!sf && ItemIDCount(AbsoluteID) == 0) sf = std::move(desktop);
  return std::make_unique<TkxShellFolder>(DesktopFolder(), AbsoluteID, std::move(sf));
}

std::unique_ptr<TkxShellFolder> CreateRootFolder(std::unique_ptr<TkxShellFolder>& OldRoot,
                                                 const std::string& OldRootText, std::string& NewRoot) {
  PItemIDList list = nullptr;
  HRESULT hr = E_FAIL;
  const int index = RootFolderIndex(NewRoot);
  if (index >= 0) {
    hr = SHGetSpecialFolderLocation(nullptr, RootFolderIDs[index], &list);
  } else if (!NewRoot.empty()) {
    // A drive letter's colon needs no separator added here: every root path starts at "/".
    hr = DesktopShellFolder()->ParseDisplayName(nullptr, NewRoot, nullptr, &list, nullptr);
  }
  if (FAILED(hr) || !list) {
    ShellFree(list);
    const std::string failed = NewRoot;
    NewRoot = OldRootText;
    throw Exception(Format("Error setting path: \"%s\"", failed));
  }
  std::unique_ptr<TkxShellFolder> root;
  try {
    root = CreateFolderFromAbsoluteID(list);
  } catch (...) {
    ShellFree(list);
    throw;
  }
  ShellFree(list);
  OldRoot.reset();
  return root;
}

// ---- context menus ----------------------------------------------------------------------------

void ShowShellContextMenu(TWinControl* Control, TkxShellFolder* Item, TPoint P) {
  if (!Item || !Control) return;
  IShellFolder* parent = Item->ParentShellFolder();
  if (!parent) return;
  std::unique_ptr<IContextMenu> menu;
  LPCITEMIDLIST one = Item->RelativeID();
  HWND wnd = Control->Handle();
  if (FAILED(parent->GetUIObjectOf(wnd, 1, &one, &menu)) || !menu) return;
  const TPoint screen = Control->ClientToScreen(P);
  ShellMenu popup;
  menu->QueryContextMenu(&popup, 0, 1, 0x7FFF, CMF_EXPLORE | CMF_CANRENAME);
  uint32_t chosen = 0;
  ActiveContextMenu = menu.get();
  try {
    if (Tracker()) chosen = Tracker()(Control, popup, screen);
  } catch (...) {
    ActiveContextMenu = nullptr;
    throw;
  }
  ActiveContextMenu = nullptr;
  if (chosen == 0) return;
  std::string verb;
  if (FAILED(menu->GetCommandString(chosen - 1, GCS_VERBA, &verb))) verb.clear();
  auto* handler = dynamic_cast<IShellVerbHandler*>(Control);
  bool handled = false;
  if (handler) handler->ExecuteCommand(verb, handled);
  bool ok = handled;
  if (!handled) {
    CMINVOKECOMMANDINFO info;
    info.hwnd = wnd;
    info.verbOffset = chosen - 1;
    info.nShow = 1;  // SW_SHOWNORMAL
    ok = SUCCEEDED(menu->InvokeCommand(info));
  }
  if (handler) handler->CommandCompleted(verb, ok);
}

void InvokeContextMenuVerb(TkxShellFolder* Item, const std::string& Verb) {
  if (!Item) return;
  IShellFolder* parent = Item->ParentShellFolder();
  if (!parent) return;
  std::unique_ptr<IContextMenu> menu;
  LPCITEMIDLIST one = Item->RelativeID();
  if (FAILED(parent->GetUIObjectOf(nullptr, 1, &one, &menu)) || !menu) return;
  CMINVOKECOMMANDINFO info;
  info.fMask = CMIC_MASK_ASYNCOK;
  info.verb = Verb;
  info.nShow = 1;
  menu->InvokeCommand(info);
}
