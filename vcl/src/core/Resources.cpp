#include "vcl/Resources.h"

#include "vcl/DfmReader.h"

#include <string_view>
#include <vector>

namespace vcl {
namespace {

struct Entry {
    const char *name;
    const unsigned char *data;
    std::size_t size;
};

std::vector<Entry> &Registry()
{
    static std::vector<Entry> registry;
    return registry;
}

} // namespace

TResourceRegistration::TResourceRegistration(const char *name, const unsigned char *data,
                                             std::size_t size)
{
    Registry().push_back({name, data, size});
}

std::optional<String> FindRegisteredResource(const String &name)
{
    for (const auto &entry : Registry())
        if (SameText(entry.name, name))
            return String(reinterpret_cast<const char *>(entry.data), entry.size);
    return std::nullopt;
}

} // namespace vcl
