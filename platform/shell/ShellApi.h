#pragma once
// The shell: a namespace over the file system in the shape the shell controls expect.
//
// The namespace: a virtual Desktop (the empty item-ID list) holding Computer, Home and the XDG
// user folders; Computer holds the mounted volumes; below a volume, Home or a user folder come
// folders and files, one identifier per path component. Folder objects are plain C++ classes bound
// by their absolute item-ID list and re-resolved to a path on every call, so they are cheap to
// copy (Clone) and an object whose folder was renamed or removed simply fails.
//
// Item-ID lists keep the byte format the callers walk: per identifier a 16-bit little-endian count
// that includes itself, then the payload; a 16-bit zero ends the list. Lists are allocated with
// CoTaskMemAlloc (zero-filled) and freed with CoTaskMemFree.
//
// Text is UTF-8. A file name that is not valid UTF-8 keeps its raw bytes from readdir through its
// identifier to every system call, so listing and opening it loses nothing.
//
// Where the environment comes from (HOME, the user-dirs file, the mount table, ...) is settable,
// so tests can run the whole namespace over a temporary tree: see ShellEnvironment.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

namespace win {

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001u);
constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002u);
constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
constexpr HRESULT E_ACCESSDENIED = HRESULT(0x80070005u);
constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }
// An errno as a failure result (the platform's HRESULT_FROM_WIN32 shape).
constexpr HRESULT HResultFromErrno(int e) { return e == 0 ? S_OK : HRESULT(0x80070000u | (uint32_t(e) & 0xFFFF)); }
constexpr int HRESULT_CODE(HRESULT hr) { return hr & 0xFFFF; }

// ---- item-ID lists ----------------------------------------------------------------------------
#pragma pack(push, 1)
struct SHITEMID {
  USHORT cb;      // bytes of this identifier, the count included
  BYTE abID[1];   // payload (cb - 2 bytes)
};
struct ITEMIDLIST {
  SHITEMID mkid;
};
#pragma pack(pop)
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

// The task allocator: zero-filled blocks; nullptr when refused.
void* CoTaskMemAlloc(size_t size);
void CoTaskMemFree(void* p);
class IMalloc {
 public:
  virtual ~IMalloc() = default;
  virtual void* Alloc(size_t size) = 0;
  virtual void Free(void* p) = 0;
};
HRESULT SHGetMalloc(IMalloc** malloc);  // the shared allocator, never freed

// The count of a list read from its unaligned bytes.
inline USHORT ItemIdCb(const void* p) {
  const BYTE* b = static_cast<const BYTE*>(p);
  return USHORT(b[0] | (b[1] << 8));
}
inline void SetItemIdCb(void* p, USHORT cb) {
  BYTE* b = static_cast<BYTE*>(p);
  b[0] = BYTE(cb & 0xFF);
  b[1] = BYTE(cb >> 8);
}

// ---- constants --------------------------------------------------------------------------------
constexpr DWORD SHCONTF_FOLDERS = 0x20, SHCONTF_NONFOLDERS = 0x40, SHCONTF_INCLUDEHIDDEN = 0x80;

constexpr DWORD SFGAO_CANCOPY = 0x1, SFGAO_CANMOVE = 0x2, SFGAO_CANLINK = 0x4, SFGAO_CANRENAME = 0x10,
                SFGAO_CANDELETE = 0x20, SFGAO_HASPROPSHEET = 0x40, SFGAO_DROPTARGET = 0x100,
                SFGAO_GHOSTED = 0x8000, SFGAO_LINK = 0x10000, SFGAO_SHARE = 0x20000,
                SFGAO_READONLY = 0x40000, SFGAO_VALIDATE = 0x1000000, SFGAO_REMOVABLE = 0x2000000,
                SFGAO_FILESYSANCESTOR = 0x10000000, SFGAO_FOLDER = 0x20000000,
                SFGAO_FILESYSTEM = 0x40000000, SFGAO_HASSUBFOLDER = 0x80000000;

constexpr DWORD SHGDN_NORMAL = 0, SHGDN_INFOLDER = 1, SHGDN_FORPARSING = 0x8000;

constexpr UINT STRRET_WSTR = 0, STRRET_OFFSET = 1, STRRET_CSTR = 2;
// A display-name answer. WSTR answers carry UTF-8 in `pOleStr`; CSTR answers in `cStr`; OFFSET
// answers point into the identifier they were asked about.
struct STRRET {
  UINT uType = STRRET_WSTR;
  std::string pOleStr;
  UINT uOffset = 0;
  char cStr[260] = {};
};

// Special folders.
constexpr int CSIDL_DESKTOP = 0, CSIDL_INTERNET = 1, CSIDL_PROGRAMS = 2, CSIDL_CONTROLS = 3,
              CSIDL_PRINTERS = 4, CSIDL_PERSONAL = 5, CSIDL_FAVORITES = 6, CSIDL_STARTUP = 7,
              CSIDL_RECENT = 8, CSIDL_SENDTO = 9, CSIDL_BITBUCKET = 10, CSIDL_STARTMENU = 11,
              CSIDL_DESKTOPDIRECTORY = 16, CSIDL_DRIVES = 17, CSIDL_NETWORK = 18, CSIDL_FONTS = 20,
              CSIDL_TEMPLATES = 21, CSIDL_COMMON_STARTMENU = 22, CSIDL_COMMON_PROGRAMS = 23,
              CSIDL_COMMON_STARTUP = 24, CSIDL_COMMON_DESKTOPDIRECTORY = 25, CSIDL_APPDATA = 26,
              CSIDL_PRINTHOOD = 27;

// Detail columns.
constexpr int LVCFMT_LEFT = 0, LVCFMT_RIGHT = 1, LVCFMT_CENTER = 2;
struct SHELLDETAILS {
  int fmt = LVCFMT_LEFT;
  int cxChar = 0;  // width in characters
  STRRET str;
};
constexpr DWORD SHCOLSTATE_ONBYDEFAULT = 0x10;

// ---- interfaces -------------------------------------------------------------------------------
class IEnumIDList {
 public:
  virtual ~IEnumIDList() = default;
  // Up to `celt` new relative lists (the caller frees each); S_FALSE when fewer were left.
  virtual HRESULT Next(ULONG celt, LPITEMIDLIST* rgelt, ULONG* fetched) = 0;
};

class IContextMenu;
class IShellDetails;
class IShellFolder2;

class IShellFolder {
 public:
  virtual ~IShellFolder() = default;
  virtual std::unique_ptr<IShellFolder> Clone() const = 0;
  // Display name (UTF-8 path, or a "::{...}" name) -> list relative to this folder.
  virtual HRESULT ParseDisplayName(HWND owner, const std::string& name, ULONG* eaten, LPITEMIDLIST* pidl,
                                   ULONG* attributes) = 0;
  // Fails (EACCES, ENOENT, a file) with no enumerator; succeeds with one otherwise.
  virtual HRESULT EnumObjects(HWND owner, DWORD flags, std::unique_ptr<IEnumIDList>* out) = 0;
  virtual HRESULT BindToObject(LPCITEMIDLIST pidl, std::unique_ptr<IShellFolder>* out) = 0;
  virtual HRESULT BindToDetails(LPCITEMIDLIST pidl, std::unique_ptr<IShellDetails>* out) = 0;
  virtual HRESULT BindToFolder2(LPCITEMIDLIST pidl, std::unique_ptr<IShellFolder2>* out) = 0;
  // Column 0: the low 16 bits, read as signed, give the order; exactly 0 only for the same item.
  virtual HRESULT CompareIDs(LPARAM column, LPCITEMIDLIST a, LPCITEMIDLIST b) = 0;
  virtual HRESULT CreateViewObject(HWND owner, std::unique_ptr<IShellDetails>* out) = 0;
  // Every attribute bit is filled whatever the mask asks (callers rely on a mask of 0).
  virtual HRESULT GetAttributesOf(UINT count, const LPCITEMIDLIST* pidls, ULONG* inOut) = 0;
  virtual HRESULT GetUIObjectOf(HWND owner, UINT count, const LPCITEMIDLIST* pidls,
                                std::unique_ptr<IContextMenu>* out) = 0;
  virtual HRESULT GetUIDetailsOf(HWND owner, UINT count, const LPCITEMIDLIST* pidls,
                                 std::unique_ptr<IShellDetails>* out) = 0;
  virtual HRESULT GetDisplayNameOf(LPCITEMIDLIST pidl, DWORD flags, STRRET* name) = 0;
  // Renames within the folder; the new relative list is the caller's.
  virtual HRESULT SetNameOf(HWND owner, LPCITEMIDLIST pidl, const std::string& name, DWORD flags,
                            LPITEMIDLIST* newPidl) = 0;
};

class IShellDetails {
 public:
  virtual ~IShellDetails() = default;
  virtual std::unique_ptr<IShellDetails> CloneDetails() const = 0;
  // pidl nullptr: the column's header; else the item's text. Fails past the last column.
  virtual HRESULT GetDetailsOf(LPCITEMIDLIST pidl, UINT column, SHELLDETAILS* details) = 0;
  virtual HRESULT ColumnClick(UINT column) = 0;
};

class IShellFolder2 : public IShellFolder {
 public:
  virtual std::unique_ptr<IShellFolder2> Clone2() const = 0;
  virtual HRESULT GetDetailsOf(LPCITEMIDLIST pidl, UINT column, SHELLDETAILS* details) = 0;
  virtual HRESULT GetDefaultColumnState(UINT column, DWORD* state) = 0;
};

// ---- context menus ----------------------------------------------------------------------------
constexpr UINT CMF_NORMAL = 0, CMF_EXPLORE = 0x4, CMF_CANRENAME = 0x10;
constexpr UINT GCS_VERBA = 0;
constexpr DWORD CMIC_MASK_ASYNCOK = 0x100000;
struct CMINVOKECOMMANDINFO {
  DWORD fMask = 0;
  HWND hwnd = nullptr;
  // A command offset (below 0x10000) or a verb text.
  uintptr_t verbOffset = 0;
  std::string verb;
  int nShow = 0;
};
// One command a context menu offers (the menu is ours: there is no owner drawing).
struct ShellMenuCommand {
  UINT id = 0;
  std::string caption;
  std::string verb;
  bool isDefault = false;
};
// A popup menu filled by QueryContextMenu: the commands in order.
struct ShellMenu {
  std::vector<ShellMenuCommand> items;
};

class IContextMenu {
 public:
  virtual ~IContextMenu() = default;
  // Adds the commands with ids first.., at most last; answers the number of ids used.
  virtual HRESULT QueryContextMenu(ShellMenu* menu, UINT index, UINT first, UINT last, UINT flags) = 0;
  virtual HRESULT InvokeCommand(const CMINVOKECOMMANDINFO& info) = 0;
  virtual HRESULT GetCommandString(UINT_PTR offset, UINT type, std::string* verb) = 0;
  // Owner-drawn submenus do not exist here: this does nothing and succeeds.
  virtual HRESULT HandleMenuMsg(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
};

// ---- the shell's entry points -----------------------------------------------------------------
HRESULT SHGetDesktopFolder(std::unique_ptr<IShellFolder>* out);
// A new absolute list (caller frees); failure for the special folders that have no equivalent here.
HRESULT SHGetSpecialFolderLocation(HWND owner, int csidl, LPITEMIDLIST* pidl);
// The file-system path of an absolute list; false (and "") for virtual items.
bool SHGetPathFromIDList(LPCITEMIDLIST pidl, std::string* path);

// SHGetFileInfo as the shell controls use it.
constexpr UINT SHGFI_SMALLICON = 0x1, SHGFI_OPENICON = 0x2, SHGFI_PIDL = 0x8, SHGFI_DISPLAYNAME = 0x200,
               SHGFI_TYPENAME = 0x400, SHGFI_SYSICONINDEX = 0x4000;
struct SHFILEINFO {
  int iIcon = 0;
  DWORD dwAttributes = 0;
  std::string szDisplayName;
  std::string szTypeName;
};
struct IMAGELIST;
using HIMAGELIST = IMAGELIST*;
// With SHGFI_PIDL, `path` is an absolute list (pass it through PidlArg); otherwise a path (any path
// does for the image list's handle). With SHGFI_SYSICONINDEX the answer is the shared system image
// list (small with SHGFI_SMALLICON) and `info->iIcon` the item's index; 0 on failure.
uintptr_t SHGetFileInfo(const void* path, DWORD fileAttributes, SHFILEINFO* info, UINT flags);
inline const void* PidlArg(LPCITEMIDLIST pidl) { return pidl; }

// ---- the system image list --------------------------------------------------------------------
// Our own pictures (drawn in code, 32-bit with alpha), 16x16 and 32x32 with the same indexes.
enum SystemIcon : int {
  siFile = 0,  // index 0 is the generic file: the tree reads a selected index of 0 as "none"
  siFolder, siFolderOpen, siDesktop, siComputer, siHome, siDocuments,
  siDriveFixed, siDriveRemovable, siDriveCdrom, siDriveRemote, siDriveRam,
  siVideo, siAudio, siImage, siArchive, siText, siExecutable,
  siCount
};
HIMAGELIST SystemImageList(bool small);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
// B,G,R,A straight (not premultiplied) pixels of one picture, top-down; nullptr outside the list.
const uint32_t* ImageList_Pixels(HIMAGELIST list, int index);
constexpr UINT ILD_NORMAL = 0, ILD_TRANSPARENT = 1;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF colour);
// A new icon the caller destroys.
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);
// A plain alpha blit of the picture.
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC hdc, int x, int y, UINT style);

// ---- launching, trash -------------------------------------------------------------------------
// Opens a file, folder or URL with the desktop's handler (xdg-open, spawned with an argument
// vector). `verb` "open" or empty; the show command has no meaning here. Answers a value above 32
// on success, as the platform does, and 2 (file not found) or 31 (no association) otherwise.
intptr_t ShellExecute(HWND owner, const std::string& verb, const std::string& file,
                      const std::string& parameters, const std::string& directory, int show);
constexpr DWORD SEE_MASK_IDLIST = 0x4, SEE_MASK_INVOKEIDLIST = 0xC;
struct SHELLEXECUTEINFO {
  DWORD fMask = 0;
  HWND hwnd = nullptr;
  std::string lpVerb;
  std::string lpFile;
  LPCITEMIDLIST lpIDList = nullptr;
  int nShow = 0;
};
BOOL ShellExecuteEx(SHELLEXECUTEINFO* info);

// Moves a file or folder into the user's trash ($XDG_DATA_HOME/Trash: files/ and info/*.trashinfo;
// an item on another volume goes to that volume's .Trash-$uid). Answers 0 or an errno; nothing is
// lost on failure.
int MoveToTrash(const std::string& path);

}  // namespace win
