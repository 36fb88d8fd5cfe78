#pragma once
// The registration files of the class library's own classes, run once before the first look-up.
#include "classlib/Streaming.h"

void RegisterGraphicsFormClasses();
void RegisterControlFormClasses();

// The colour names a description may use (clRed, clBtnFace, clNone, ...).
const TIdentMap& ColorIdents();
// The edit, memo and list box (RegisterEditControls.cpp).
void RegisterEditFormClasses();
// The tree view (RegisterTreeView.cpp).
void RegisterTreeViewFormClasses();
