#include "platform/linux/EmbeddedResources.h"

#include "base/Text.h"

#include <mutex>
#include <vector>

namespace vendora {

namespace {

struct Resource {
    AnsiString Type;
    int Id;
    std::span<const std::uint8_t> Bytes;
};

// Function-local, so that registrations from other translation units' initialisers find it built.
std::vector<Resource>& Resources() {
    static std::vector<Resource> resources;
    return resources;
}

std::mutex& ResourcesLock() {
    static std::mutex lock;
    return lock;
}

} // namespace

bool RegisterEmbeddedResource(std::string_view type, int id, const std::uint8_t* begin,
                              const std::uint8_t* end) {
    std::lock_guard guard(ResourcesLock());
    Resources().push_back(Resource{UpperAscii(type), id, std::span<const std::uint8_t>(begin, end)});
    return true;
}

std::optional<std::span<const std::uint8_t>> FindEmbeddedResource(std::string_view type, int id) {
    std::lock_guard guard(ResourcesLock());
    const AnsiString wanted = UpperAscii(type);
    for (const Resource& resource : Resources())
        if (resource.Type == wanted && resource.Id == id)
            return resource.Bytes;
    return std::nullopt;
}

} // namespace vendora
