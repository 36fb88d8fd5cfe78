#pragma once
// Makes the skin data classes readable from form descriptions (TkxSkinData,
// TkxCompressedStoredSkin, TkxCompressedSkinList with its items, TkxResourceStrData).
// Call once before reading a form that holds them.
void RegisterSkinDataFormClasses();
