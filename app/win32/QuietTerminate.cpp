// The C++ runtime's last resort, for an exception that leaves a destructor or a function that may not
// throw (WinMain catches every other one). The runtime's default handler writes the exception's type to a
// standard error that this windowed program does not have, then aborts; writing the type links the whole
// C++ name demangler, a fifth of the program. This program's handler aborts at once.

#include <cstdlib>
#include <cxxabi.h>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx
