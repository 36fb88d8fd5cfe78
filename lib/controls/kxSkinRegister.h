#pragma once
// Makes the skin data classes readable from form descriptions (TkxSkinData,
// TkxCompressedStoredSkin, TkxCompressedSkinList with its items, TkxResourceStrData).
// Call once before reading a form that holds them.
void RegisterSkinDataFormClasses();
// The bases of the skinned controls (TkxSkinControl, TkxSkinCustomControl and their windowless
// twins) with their published properties; also registers the skin data classes.
void RegisterSkinControlFormClasses();
