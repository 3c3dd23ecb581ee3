#include "archive/ExtractionUi.h"

#include "base/Installed.h"

namespace vendora {

namespace {
Installed<ExtractionUi> installed("progress window", "SetExtractionUi");
}

ExtractionUi& CurrentExtractionUi() {
    return installed.Get();
}

void SetExtractionUi(ExtractionUi* ui) {
    installed.Set(ui);
}

} // namespace vendora
