#pragma once
// The shell items of the skin library's shell controls, and the change notifier.
//
// Items of the shell namespace (the desktop, Computer, volumes, folders, files) are named by
// item-ID lists; TkxShellFolder is one item as a tree node, list row or drop-down item keeps it.
// Everything here runs on the user-interface thread, except the notifier's worker.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/Exception.h"
#include "base/Set.h"
#include "base/StringList.h"
#include "base/Sync.h"
#include "base/Thread.h"
#include "classlib/Controls.h"
#include "platform/shell/ChangeNotify.h"
#include "platform/shell/ShellApi.h"

// The class library's OLE error: a failed shell call with its result code.
class EOleSysError : public Exception {
 public:
  EOleSysError(std::string msg, win::HRESULT code) : Exception(std::move(msg)), ErrorCode(code) {}
  win::HRESULT ErrorCode;
};
OMBREL_EXCEPTION(EInvalidPath, Exception)

using PItemIDList = win::LPITEMIDLIST;
using PCItemIDList = win::LPCITEMIDLIST;

// ---- item-ID lists ----------------------------------------------------------------------------
// Zero-filled memory of the shell's task allocator; nullptr when it refuses.
void* ShellAlloc(size_t Size);
void ShellFree(void* P);
PCItemIDList NextItemID(PCItemIDList ID);
int ItemIDCount(PCItemIDList IDList);
int ItemIDListSize(PCItemIDList IDList);  // 0 for none, else with the terminator
PItemIDList CopyItemIDList(PCItemIDList IDList);
PItemIDList ConcatItemIDLists(PCItemIDList First, PCItemIDList Second);
void StripLastItemID(PItemIDList IDList);
PItemIDList CopyLastItemID(PCItemIDList IDList);
// One new list per proper prefix, shortest (the desktop) first; the caller frees them with
// FreeIDLists.
std::vector<PItemIDList> AncestorIDLists(PCItemIDList IDList);
void FreeIDLists(std::vector<PItemIDList>& Lists);
bool SameItemIDLists(PCItemIDList A, PCItemIDList B);
PItemIDList DesktopItemIDList();

// ---- attributes, object types, root names -----------------------------------------------------
enum TkxShellFolderCapability { fcCanCopy, fcCanDelete, fcCanLink, fcCanMove, fcCanRename, fcDropTarget, fcHasPropSheet };
using TkxShellFolderCapabilities = TSet<TkxShellFolderCapability>;
enum TkxShellFolderProperty { fpCut, fpIsLink, fpReadOnly, fpShared, fpFileSystem, fpFileSystemAncestor, fpRemovable, fpValidate };
using TkxShellFolderProperties = TSet<TkxShellFolderProperty>;
enum TShellObjectType { otFolders, otNonFolders, otHidden };
using TShellObjectTypes = TSet<TShellObjectType>;

enum TRootFolder {
  rfDesktop, rfMyComputer, rfNetwork, rfRecycleBin, rfAppData, rfCommonDesktopDirectory, rfCommonPrograms,
  rfCommonStartMenu, rfCommonStartup, rfControlPanel, rfDesktopDirectory, rfFavorites, rfFonts, rfInternet,
  rfPersonal, rfPrinters, rfPrintHood, rfPrograms, rfRecent, rfSendTo, rfStartMenu, rfStartup, rfTemplates
};
using TRoot = std::string;
extern const char* const RootFolderNames[23];
extern const int RootFolderIDs[23];
// The position of a root name (ASCII letters in any case), or -1 for anything else (a path).
int RootFolderIndex(const std::string& Root);

// A control that takes part in the commands of the shell context menu.
class IShellVerbHandler {
 public:
  virtual ~IShellVerbHandler() = default;
  virtual void ExecuteCommand(const std::string& Verb, bool& Handled) = 0;
  virtual void CommandCompleted(const std::string& Verb, bool Succeeded) = 0;
};

// ---- items ------------------------------------------------------------------------------------
class TkxShellFolder : public TObject {
 public:
  // Copies ID; takes SF (none for an item that is no folder).
  TkxShellFolder(TkxShellFolder* AParent, PCItemIDList ID, std::unique_ptr<win::IShellFolder> SF);
  ~TkxShellFolder() override;
  TkxShellFolder(const TkxShellFolder&) = delete;
  TkxShellFolder& operator=(const TkxShellFolder&) = delete;

  PCItemIDList RelativeID() const { return FPIDL; }
  PCItemIDList AbsoluteID() const { return FFullPIDL; }
  TkxShellFolder* Parent() const { return FParent; }
  win::IShellFolder* ShellFolder() const { return FIShellFolder.get(); }
  win::IShellFolder2* ShellFolder2();
  win::IShellDetails* ShellDetails();
  int Level() const { return FLevel; }
  win::HWND ViewHandle() const { return FViewHandle; }
  void SetViewHandle(win::HWND Value) { FViewHandle = Value; }

  win::IShellFolder* ParentShellFolder() const;
  TkxShellFolderCapabilities Capabilities() const;
  TkxShellFolderProperties Properties() const;
  bool SubFolders() const;
  bool IsFolder() const;
  std::string PathName() const;
  std::string FullObjectName() const;
  std::string DisplayName() const;
  int ImageIndex(bool LargeIcon) const;
  bool Rename(const std::string& NewName);
  int ExecuteDefault() const;
  void LoadColumnDetails(TkxShellFolder* RootFolder, win::HWND AHandle, int ColumnCount);
  std::string Details(int Index) const;

 private:
  void GetDetailInterface();

  PItemIDList FPIDL = nullptr;
  PItemIDList FFullPIDL = nullptr;
  TkxShellFolder* FParent = nullptr;
  std::unique_ptr<win::IShellFolder> FIShellFolder;
  std::unique_ptr<win::IShellFolder2> FIShellFolder2;
  std::unique_ptr<win::IShellDetails> FIShellDetails;
  bool FDetailInterface = false;  // a detail interface was found and is cached
  int FLevel = 0;
  win::HWND FViewHandle = nullptr;
  std::unique_ptr<TStringList> FDetails;
};

// ---- unit-wide state and operations -----------------------------------------------------------
// The desktop item, made on first use (never by a static initialiser) and kept to the end.
TkxShellFolder* DesktopFolder();
// Set only while ShowShellContextMenu shows a menu.
extern win::IContextMenu* ActiveContextMenu;
// Guards the directory options of the change threads.
TCriticalSection& ShellChangeLock();

// The desktop's folder; failure raised as EOleSysError.
std::unique_ptr<win::IShellFolder> DesktopShellFolder();
std::unique_ptr<TkxShellFolder> CreateFolderFromAbsoluteID(PCItemIDList AbsoluteID);
// A new root for NewRoot (a root name or a path). On success OldRoot is freed; on failure the
// message "Error setting path: "%s"" is raised, NewRoot is set back to OldRootText and OldRoot
// stays.
std::unique_ptr<TkxShellFolder> CreateRootFolder(std::unique_ptr<TkxShellFolder>& OldRoot,
                                                 const std::string& OldRootText, std::string& NewRoot);
std::unique_ptr<win::IShellFolder> BindShellFolder(win::IShellFolder* AFolder, PCItemIDList ID, win::HWND Owner);
std::unique_ptr<win::IShellDetails> BindShellDetails(win::IShellFolder* AFolder, PCItemIDList ID, win::HWND Owner);
std::unique_ptr<win::IShellFolder2> BindShellFolder2(win::IShellFolder* AFolder, PCItemIDList ID, win::HWND Owner);
std::string ItemDisplayName(win::IShellFolder* AFolder, PCItemIDList ID, uint32_t Flags);
std::string StrRetToText(PCItemIDList ID, const win::STRRET& StrRet);
TkxShellFolderCapabilities ItemCapabilities(win::IShellFolder* AFolder, PCItemIDList ID);
TkxShellFolderProperties ItemProperties(win::IShellFolder* AFolder, PCItemIDList ID);
bool ItemIsFolder(win::IShellFolder* AFolder, PCItemIDList ID);
bool ItemHasSubFolders(win::IShellFolder* AFolder, PCItemIDList ID);
bool FolderHasSubItems(win::IShellFolder* AFolder, uint32_t Flags);
int SystemImageIndex(PCItemIDList AbsoluteID, bool Large, bool Open);
uint32_t ObjectTypesToEnumFlags(TShellObjectTypes ObjectTypes);
// The shell's context menu of an item at P (client coordinates of Control).
void ShowShellContextMenu(TWinControl* Control, TkxShellFolder* Item, TPoint P);
void InvokeContextMenuVerb(TkxShellFolder* Item, const std::string& Verb);
[[noreturn]] void RaiseDetailsError(TkxShellFolder* Item, int Code);

// How ShowShellContextMenu shows its popup and learns the chosen command (0 for none). The skinned
// popup menu installs one; without it no command is chosen.
using TShellMenuTracker = std::function<uint32_t(TWinControl* Control, const win::ShellMenu& Menu, TPoint ScreenPos)>;
void SetShellMenuTracker(TShellMenuTracker Tracker);

// The order of two children of one folder by its CompareIDs (negative: A first).
int CompareChildren(win::IShellFolder* Folder, PCItemIDList A, PCItemIDList B);

// ---- change notifier --------------------------------------------------------------------------
enum TNotifyFilter { nfFileNameChange, nfDirNameChange, nfAttributeChange, nfSizeChange, nfWriteChange, nfSecurityChange };
using TNotifyFilters = TSet<TNotifyFilter>;
using TThreadMethod = std::function<void()>;
uint32_t NotifyOptionFlags(TNotifyFilters Filters);

// Watches one folder and hands each change to the user-interface thread. Its notifier owns it and
// waits for its end; a change already handed over when the notifier goes away runs as nothing.
class TkxShellChangeThread : public TThread {
 public:
  explicit TkxShellChangeThread(TThreadMethod ChangeEvent);
  ~TkxShellChangeThread() override;
  TThreadMethod ChangeEvent() const;
  void SetChangeEvent(TThreadMethod Value);
  // Hands over new options and wakes the thread, which arms them at once.
  void SetDirectoryOptions(const std::string& Directory, bool WatchSubTree, uint32_t NotifyOptionFlags);
  // Arms the options now, on the calling thread (before Start); false when the folder cannot be
  // watched. Without it the thread arms them itself when it starts.
  bool ArmNow();
  // Voids every change not yet run, asks the thread to stop and wakes it.
  void Stop();
  // Whether the thread waits in a hand-over to the user-interface thread now.
  bool InHandOver() const { return FInHandOver.load(); }
  // Whether its change method runs now (on the user-interface thread).
  bool InChange() const { return FInChange; }

 protected:
  void Execute() override;

 private:
  void Arm();
  void RunChange();

  win::shell::WakeEvent FWake;  // in place of the wake-up mutex
  std::unique_ptr<win::shell::ChangeWatch> FWaitHandle;
  TThreadMethod FChangeEvent;
  std::string FDirectory;
  bool FWatchSubTree = false;
  bool FWaitChanged = false;
  uint32_t FNotifyOptionFlags = 0;
  bool FVoid = false;
  std::atomic<bool> FInHandOver{false};
  bool FInChange = false;  // user-interface thread only
};

class TkxCustomShellChangeNotifier : public TComponent {
 public:
  explicit TkxCustomShellChangeNotifier(TComponent* AOwner);
  ~TkxCustomShellChangeNotifier() override;

  TNotifyFilters NotifyFilters() const { return FFilters; }
  void SetNotifyFilters(TNotifyFilters Value);
  const TRoot& Root() const { return FRoot; }
  void SetRoot(const TRoot& Value);
  bool WatchSubTree() const { return FWatchSubTree; }
  void SetWatchSubTree(bool Value);
  const TThreadMethod& OnChange() const { return FOnChange; }
  void SetOnChange(TThreadMethod Value);
  // Whether a thread watches now.
  bool Watching();

 protected:
  void UpdateThreadOptions();
  void StartThread();
  TkxShellChangeThread* ChangeThread() const { return FThread.get(); }

 private:
  void StopThread();

  TNotifyFilters FFilters{nfFileNameChange, nfDirNameChange};
  bool FWatchSubTree = true;
  // No folder until one is given: a default would watch a whole drive.
  TRoot FRoot;
  std::unique_ptr<TkxShellChangeThread> FThread;
  TThreadMethod FOnChange;
};

class TkxShellChangeNotifier : public TkxCustomShellChangeNotifier {
 public:
  using TkxCustomShellChangeNotifier::TkxCustomShellChangeNotifier;
};
