/* A stand-in for libavdevice that links nothing. Built complete (both entries, a chosen major
   version) or lacking avdevice_register_all, for the loader's failure paths. */
#ifndef STANDIN_MAJOR
#define STANDIN_MAJOR 59
#endif

unsigned avdevice_version(void) { return (STANDIN_MAJOR << 16) | 42; }

#ifdef STANDIN_COMPLETE
void avdevice_register_all(void) {}
#endif
