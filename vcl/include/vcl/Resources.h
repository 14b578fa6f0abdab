// Resources compiled into the program (on systems without a resource
// section): each registers itself under its name at start-up.
#pragma once

#include "vcl/SysUtils.h"

#include <cstddef>
#include <optional>

namespace vcl {

class TResourceRegistration {
public:
    TResourceRegistration(const char *name, const unsigned char *data, std::size_t size);
};

// The resource registered under `name` (names compare case-insensitively).
std::optional<String> FindRegisteredResource(const String &name);

} // namespace vcl
