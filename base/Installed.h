#pragma once
// A process-wide service that start-up installs and shut-down removes (the platform, the text engine, the
// dialog windows, the extraction's windows, the window back end, the picture cache). Asking for one that
// is not installed is a fault of the program's start-up or of a test's set-up, never something to paper
// over: it raises std::logic_error naming the service and the call that installs it.

#include <stdexcept>
#include <string>

namespace vendora {

[[noreturn]] inline void RaiseNotInstalled(const char* what, const char* installer) {
    throw std::logic_error(std::string("no ") + what + " installed (" + installer + ")");
}

template <class Service> class Installed {
public:
    // what: the service as the error names it; installer: the call that installs it.
    constexpr Installed(const char* what, const char* installer) : what_(what), installer_(installer) {}

    Service& Get() const {
        if (current_ == nullptr)
            RaiseNotInstalled(what_, installer_);
        return *current_;
    }
    void Set(Service* service) { current_ = service; }
    bool Has() const { return current_ != nullptr; }

private:
    const char* what_;
    const char* installer_;
    Service* current_ = nullptr;
};

} // namespace vendora
