#pragma once
// Resources embedded into the executable: every file under resources/ and every file the build
// draws (skins, pictures, the icon: tools/skins), built in at build time (tools/embed.cpp). A
// resource is known by its path below its folder ("icons/MAINICON.ico", "skins/kxSkin0.skn"),
// or, as Windows modules know theirs, by a name and a kind: the file's name without its
// extension, compared without regard to ASCII case, with the extension the kind implies.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/Stream.h"

struct TResource {
  const char* Path;
  const uint8_t* Data;
  size_t Size;
};

// Every embedded resource, sorted by path. Tables register at start-up, before main; a table
// registered later invalidates spans answered before.
std::span<const TResource> EmbeddedResources();

// Adds a table of resources (the generated tables call it at start-up). A path that is already
// known keeps its first table's bytes.
void RegisterResources(std::span<const TResource> table);

// The resource at this path below resources/, or nullptr.
const TResource* FindResourceFile(std::string_view path);

enum class TResourceKind {
  Bitmap,  // a .bmp file
  Icon,    // a .ico file
  Data,    // any other file: the name is matched with its extension (".ini", ".dfm", ...)
};
// The resource of this name and kind anywhere below resources/, or nullptr. Data resources are
// named with their extension; when several folders hold the name, the first path wins.
const TResource* FindResource(std::string_view name, TResourceKind kind);

// The bytes of a bitmap resource as a Windows module holds them: the .bmp file without its
// 14-byte file header, so it begins with the bitmap info header. Empty when not a .bmp file.
std::span<const uint8_t> BitmapResourceBits(const TResource& res);

// A read-only copy of a resource as a stream; raises EResNotFound "Resource %s not found".
class TResourceStream : public TMemoryStream {
public:
  TResourceStream(std::string_view name, TResourceKind kind);
};
