#pragma once
// The process-wide services that remain: what the program's entry and start-up put in place for code not
// yet handed what it uses. Each is installed the one same way, by the programs' entries, start-up, the
// tools, benchmarks, fuzz targets and tests alike: an Install object puts
// a service in place for its own lifetime and puts the one it replaced back when it goes, also when an
// exception ends its scope, so that nothing is left pointing at a service that is gone. Asking for a service
// that is not installed is a fault of the program's start-up or of a test's set-up, never something to
// paper over: it raises std::logic_error naming the service.

#include <utility>

namespace vendora {

// How the error names a service. Each service's header gives its interface's (ServiceOf<Platform> =
// {"platform", "Platform"}).
struct ServiceInfo {
    const char* What = nullptr; // "platform"
    const char* Type = nullptr; // "Platform", as Install<Platform> installs it
};
template <class Service> inline constexpr ServiceInfo ServiceOf{};

// std::logic_error("no platform installed (Install<Platform>)").
[[noreturn]] void RaiseNotInstalled(const ServiceInfo& service);

template <class Service> class Installed {
public:
    static Service& Get() {
        if (current_ == nullptr)
            RaiseNotInstalled(ServiceOf<Service>);
        return *current_;
    }
    static bool Has() { return current_ != nullptr; }

private:
    template <class> friend class Install;
    static inline Service* current_ = nullptr;
};

template <class Service> class [[nodiscard]] Install {
    static_assert(ServiceOf<Service>.What != nullptr, "the service's header names it (ServiceOf)");

public:
    explicit Install(Service& service) : previous_(Replace(&service)) {}
    ~Install() { Replace(previous_); }
    Install(const Install&) = delete;
    Install& operator=(const Install&) = delete;

private:
    static Service* Replace(Service* next) { return std::exchange(Installed<Service>::current_, next); }

    Service* previous_;
};

} // namespace vendora
