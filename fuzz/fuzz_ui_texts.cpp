// The interface texts file ("Texts") on arbitrary bytes. A broken file is reported through the
// dialog service, which answers by itself here.

#include "data/ui_texts.h"
#include "fuzz/fuzz_support.h"
#include "platform/core/dialogs.h"

using namespace tv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DialogService::instance().setAutomated(true);
    UiTexts texts;
    texts.load(fuzz::writeInputFile(data, size, "Texts"));
    for (int i = -1; i <= UiTexts::kSize; ++i)
        (void)texts[i];
    return 0;
}
