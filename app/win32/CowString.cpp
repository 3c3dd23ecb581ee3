// The standard library's exception classes (std::logic_error and its kin, which the library's own code
// raises) keep their message in the library's older, copy-on-write std::string. The library supplies that
// string as one object file with every member of it and more besides (std::random_device), about 33 KB
// that the linker keeps whole on Windows, where it cannot drop the unused functions of an object whose
// unwind tables it must keep. Instantiated here from the library's own header, whole-program optimisation
// keeps only the members that those classes call, and the library's object is never needed.
//
// Compiled with the older string ABI (app/win32/CMakeLists.txt), in which std::string is that string.
#include <string>

template class std::basic_string<char>;
