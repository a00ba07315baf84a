// The command line: NUL-separated arguments in, options or one error out.
#include "runner/CommandLine.h"

#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back().push_back(static_cast<char>(data[i]));
    }
    CommandLineResult r = parseCommandLine(args);
    if (r.ok == !r.error.empty()) std::abort();
    if (r.ok && (r.options.scale < 0 || r.options.frames < 0)) std::abort();
    return 0;
}
