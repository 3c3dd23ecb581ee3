#include "platform/FileResult.h"

#include "base/Errors.h"

namespace vendora {

void RaiseFileError(int code, FileErrorAs as, const AnsiString& path, int fallback) {
    if (code == 0)
        code = fallback;
    switch (as) {
    case FileErrorAs::Open:
        throw EFOpenError(path, code);
    case FileErrorAs::Create:
        throw EFCreateError(path, code);
    case FileErrorAs::InOut:
        break;
    }
    throw EInOutError(code);
}

} // namespace vendora
