// The JSON reader and writer against two well-known libraries, side by side
// on the same three documents: reading the text into values, and writing the
// values back as text. Compare bytes per second of the same document:
//   build/bench/benchmarks --benchmark_filter=JSON

#include "scores/CJSONDeserializer.h"
#include "scores/CJSONSerializer.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace {

std::string corpus(const std::string& name) {
    std::ifstream in(std::string(TV_JSON_CORPUS_DIR) + "/" + name, std::ios::binary);
    if (!in) return {};
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void parseOurs(benchmark::State& state, const std::string& text) {
    RefPtr<CJSONDeserializer> reader = CJSONDeserializer::deserializer();
    for (auto _ : state) {
        std::optional<JSONValue> v = reader->deserialize(text, nullptr);
        if (!v) state.SkipWithError("not read");
        benchmark::DoNotOptimize(v);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void parseNlohmann(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        nlohmann::json v = nlohmann::json::parse(text);
        benchmark::DoNotOptimize(v);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void parseRapid(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        rapidjson::Document d;
        d.Parse(text.data(), text.size());
        if (d.HasParseError()) state.SkipWithError("not read");
        benchmark::DoNotOptimize(d);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void writeOurs(benchmark::State& state, const std::string& text) {
    JSONValue v = *CJSONDeserializer::deserializer()->deserialize(text, nullptr);
    size_t bytes = 0;
    for (auto _ : state) {
        std::string out;
        CJSONSerializer::appendObject(out, v);
        bytes += out.size();
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

void writeNlohmann(benchmark::State& state, const std::string& text) {
    nlohmann::json v = nlohmann::json::parse(text);
    size_t bytes = 0;
    for (auto _ : state) {
        std::string out = v.dump();
        bytes += out.size();
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

void writeRapid(benchmark::State& state, const std::string& text) {
    rapidjson::Document d;
    d.Parse(text.data(), text.size());
    size_t bytes = 0;
    for (auto _ : state) {
        rapidjson::StringBuffer buffer;
        rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
        d.Accept(writer);
        bytes += buffer.GetSize();
        benchmark::DoNotOptimize(buffer.GetString());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

// Registered at start-up: one run per document and library.
const bool registered = [] {
    for (const char* name : {"canada.json", "citm_catalog.json", "twitter.json"}) {
        auto text = std::make_shared<std::string>(corpus(name));
        if (text->empty()) {
            std::fprintf(stderr, "JSON benchmarks: %s is missing from %s\n", name, TV_JSON_CORPUS_DIR);
            continue;
        }
        std::string n = name;
        n = n.substr(0, n.find('.'));
        auto add = [&](const char* what, void (*f)(benchmark::State&, const std::string&)) {
            benchmark::RegisterBenchmark(("JSON/" + n + "/" + what).c_str(),
                                         [text, f](benchmark::State& s) { f(s, *text); })
                ->Unit(benchmark::kMillisecond);
        };
        add("parse/tindervale", parseOurs);
        add("parse/nlohmann", parseNlohmann);
        add("parse/rapidjson", parseRapid);
        add("write/tindervale", writeOurs);
        add("write/nlohmann", writeNlohmann);
        add("write/rapidjson", writeRapid);
    }
    return true;
}();

} // namespace
