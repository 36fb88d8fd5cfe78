#pragma once
// The registration files of the class library's own classes, run once before the first look-up.
#include "classlib/Streaming.h"

void RegisterGraphicsFormClasses();
// The menus and the actions (RegisterMenus.cpp).
void RegisterMenuFormClasses();

void RegisterControlFormClasses();

// The colour names a description may use (clRed, clBtnFace, clNone, ...).
const TIdentMap& ColorIdents();
// The edit, memo and list box (RegisterEditControls.cpp).
void RegisterEditFormClasses();
// The scroll bar, the up/down and the hint window (RegisterScrollControls.cpp).
void RegisterScrollFormClasses();
// The list view, its columns and items (RegisterListView.cpp).
void RegisterListViewFormClasses();
// The tab control, the page control and the tab sheet (RegisterTabControls.cpp).
void RegisterTabControlFormClasses();
// The tree view (RegisterTreeView.cpp).
void RegisterTreeViewFormClasses();
// The combo box, the track bar and the progress bar (RegisterComCtrls.cpp).
void RegisterComCtrlFormClasses();
