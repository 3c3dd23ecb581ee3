#pragma once
// The Windows headers, the one way every Windows source of the project includes them. They define macros
// named like the project's own methods (CreateFile, CopyFile, FindResource, ShellExecute, DrawText...),
// which would rename those methods; the macros go, and the code calls the wide functions by their full
// names. Include it after the project's headers all the same: the headers define other such macros.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#undef CopyFile
#undef CreateDirectory
#undef CreateFile
#undef DeleteFile
#undef DrawText
#undef FindResource
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#undef ShellExecute

namespace vendora {

// A call of a library looked up at run time, as its own type (GetProcAddress's use); null when the library
// or the call is missing, so that an older Windows without it still runs.
template <typename Call> Call LookupCall(HMODULE module, const char* name) {
    if (module == nullptr)
        return nullptr;
    return reinterpret_cast<Call>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace vendora
