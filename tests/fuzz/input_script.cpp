// Input scripts: every text parses or names its bad line; numbers that come
// out are ones the runner can use.
#include "engine/InputScript.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ScriptParseResult r = parseInputScript(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!r.ok && (r.errorLine < 1 || !r.commands.empty())) std::abort();
    for (const ScriptCommand& c : r.commands) {
        for (float v : {c.x1, c.y1, c.x2, c.y2})
            if (!std::isfinite(v)) std::abort();
        if (!std::isfinite(c.seconds) || c.seconds < 0 || c.count < 0) std::abort();
    }
    return 0;
}
