#include "base/Installed.h"

#include <stdexcept>
#include <string>

namespace vendora {

void RaiseNotInstalled(const ServiceInfo& service) {
    throw std::logic_error(std::string("no ") + service.What + " installed (Install<" + service.Type + ">)");
}

} // namespace vendora
