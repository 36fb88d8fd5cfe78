#include "Src/FFBaseComponent.h"

int32_t SeekFlagsToInt(TSeekFlags AFlags) {
  int32_t r = 0;
  if (AFlags.Contains(sfBackward)) r |= 1;
  if (AFlags.Contains(sfByte)) r |= 2;
  if (AFlags.Contains(sfAny)) r |= 4;
  if (AFlags.Contains(sfFrame)) r |= 8;
  return r;
}
