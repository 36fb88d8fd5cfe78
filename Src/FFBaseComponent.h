#pragma once
// The common base of the media components, and the seek flags they take.
#include <cstdint>

#include "base/Component.h"
#include "base/Set.h"

class TFFBaseComponent : public TComponent {
public:
  explicit TFFBaseComponent(TComponent* AOwner) : TComponent(AOwner) {}
};

enum TSeekFlag { sfBackward, sfByte, sfAny, sfFrame };
using TSeekFlags = TSet<TSeekFlag>;

// The libraries' seek flags: backward 1, byte 2, any 4, frame 8.
int32_t SeekFlagsToInt(TSeekFlags AFlags);
