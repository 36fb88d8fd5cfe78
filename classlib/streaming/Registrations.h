#pragma once
// The registration files of the class library's own classes, run once before the first look-up.

void RegisterGraphicsFormClasses();
void RegisterControlFormClasses();
