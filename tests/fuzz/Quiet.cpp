// Every harness starts here: log lines about refused input are expected by
// the thousand, so they go nowhere.
#include "platform/Log.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::setLogSink([](std::string_view) {});
    return 0;
}
