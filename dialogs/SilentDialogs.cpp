#include "dialogs/SilentDialogs.h"

#include "platform/Platform.h"

namespace vendora {

void SilentDialogs::WaitForMessage(int milliseconds) {
    machine_.Sleep(static_cast<std::uint32_t>(milliseconds));
}

} // namespace vendora
