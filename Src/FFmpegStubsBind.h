#pragma once
// The bind and clear procedure of each library's cells, for the loader's table. Free of any
// media header so that the loader's table needs none.
#include <string>

void FixupLibC(const std::string& ALibFileName, void* AHandle);
void UnfixLibC();
void FixupAVUtil(const std::string& ALibFileName, void* AHandle);
void UnfixAVUtil();
void FixupSwScale(const std::string& ALibFileName, void* AHandle);
void UnfixSwScale();
void FixupSwResample(const std::string& ALibFileName, void* AHandle);
void UnfixSwResample();
void FixupAVFormat(const std::string& ALibFileName, void* AHandle);
void UnfixAVFormat();
void FixupAVFilter(const std::string& ALibFileName, void* AHandle);
void UnfixAVFilter();
void FixupAVCodec(const std::string& ALibFileName, void* AHandle);
void UnfixAVCodec();
void FixupAVDevice(const std::string& ALibFileName, void* AHandle);
void UnfixAVDevice();
void FixupSDL(const std::string& ALibFileName, void* AHandle);
void UnfixSDL();
