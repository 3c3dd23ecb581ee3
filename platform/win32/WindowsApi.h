#pragma once
// The Windows headers for this folder's sources only. They define macros named like the platform's own
// methods (CreateFile, CopyFile, FindResource, ShellExecute...), which would rename those methods here;
// the macros go, and the code calls the wide functions by their full names.

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
#undef FindResource
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#undef ShellExecute
