#pragma once
// The post hooks a conversion run calls for every encoded picture, apart from the engine so
// that the task component's header names them without the media headers.
#include <array>

enum TPostHook { phPreview, phBitmap, phHBITMAP };
// A set of post hooks, indexed by TPostHook.
using TPostHooks = std::array<bool, 3>;
