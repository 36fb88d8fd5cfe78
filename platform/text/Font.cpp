#include <memory>

#include "platform/Gdi.h"

namespace win::text {
class RealFont {};
std::shared_ptr<RealFont> Realize(const LOGFONT&) { return nullptr; }
}  // namespace win::text
