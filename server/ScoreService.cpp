#include "ScoreService.h"

#include <openssl/evp.h>

#include <charconv>
#include <cmath>
#include <ctime>

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool percentDecode(std::string_view in, std::string& out) {
    out.clear();
    for (size_t i = 0; i < in.size(); ++i) {
        char c = in[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%') {
            if (i + 2 >= in.size()) return false;
            int hi = hexDigit(in[i + 1]), lo = hexDigit(in[i + 2]);
            if (hi < 0 || lo < 0) return false;
            out += static_cast<char>(hi << 4 | lo);
            i += 2;
        } else {
            out += c;
        }
    }
    return true;
}

bool validUTF8(std::string_view s) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data());
    size_t n = s.size();
    for (size_t i = 0; i < n;) {
        unsigned char b = p[i];
        size_t len;
        uint32_t c;
        if (b < 0x80) {
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            len = 2, c = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3, c = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4, c = b & 0x07;
        } else {
            return false;
        }
        if (i + len > n) return false;
        for (size_t k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
            c = c << 6 | (p[i + k] & 0x3F);
        }
        static const uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < minimum[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

void appendJSONString(std::string& out, std::string_view s) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

void appendJSONNumber(std::string& out, double v) {
    char text[32];
    out.append(text, std::to_chars(text, text + sizeof text, v).ptr);
}

bool parseInteger(std::string_view text, int64_t& value) {
    if (text.empty()) return false;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size();
}

bool parseScore(std::string_view text, double& value) {
    if (text.empty()) return false;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size() && std::isfinite(value);
}

std::string isoDate(int64_t seconds) {
    time_t t = static_cast<time_t>(seconds);
    struct tm utc;
    gmtime_r(&t, &utc);
    char text[32];
    strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

ServiceAnswer refuse(int status, std::string reason) { return {status, "Refused: " + std::move(reason) + "\n"}; }

std::string trim(std::string_view s) {
    size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string_view::npos) return {};
    size_t b = s.find_last_not_of(" \t\r");
    return std::string(s.substr(a, b - a + 1));
}

} // namespace

std::string ScoreService::md5Hex(std::string_view data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(data.data(), data.size(), digest, &size, EVP_md5(), nullptr);
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < size; ++i) {
        out += hex[digest[i] >> 4];
        out += hex[digest[i] & 0xF];
    }
    return out;
}

bool ScoreService::parseForm(std::string_view body, std::vector<std::pair<std::string, std::string>>& fields) {
    fields.clear();
    if (body.empty()) return true;
    size_t start = 0;
    for (;;) {
        size_t end = body.find('&', start);
        std::string_view pair = body.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (fields.size() >= kMaxFields) return false;
        size_t eq = pair.find('=');
        if (eq == std::string_view::npos) return false;
        std::string key, value;
        if (!percentDecode(pair.substr(0, eq), key) || !percentDecode(pair.substr(eq + 1), value)) return false;
        fields.emplace_back(std::move(key), std::move(value));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return true;
}

bool ScoreService::parseGames(std::string_view text, std::map<std::string, std::string>& games, std::string& error) {
    size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        if (size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
        std::string content = trim(line);
        if (content.empty()) continue;
        size_t eq = content.find('=');
        std::string name = eq == std::string::npos ? "" : trim(std::string_view(content).substr(0, eq));
        std::string key = eq == std::string::npos ? "" : trim(std::string_view(content).substr(eq + 1));
        if (name.empty() || key.empty()) {
            error = "line " + std::to_string(lineNumber) + " is not \"name = key\"";
            return false;
        }
        games[name] = key;
    }
    return true;
}

ServiceAnswer ScoreService::postScore(std::string_view body, int64_t now) {
    if (body.size() > kMaxBodyBytes) return refuse(413, "the form is too large");
    std::vector<std::pair<std::string, std::string>> fields;
    if (!parseForm(body, fields)) return refuse(400, "the form is malformed or has too many fields");

    std::map<std::string, std::string> seen;
    std::string digestInput;
    std::string game, device, hash, version, category;
    double score = 0;
    bool hasScore = false;
    std::string fieldsJSON = "{";
    for (const auto& [key, value] : fields) {
        if (key.empty() || key.size() > kMaxKeyBytes || value.size() > kMaxValueBytes)
            return refuse(400, "a field is empty or too long");
        if (!validUTF8(key) || !validUTF8(value)) return refuse(400, "a field is not UTF-8 text");
        if (!seen.emplace(key, value).second) return refuse(400, "the field " + key + " comes twice");
        if (key == "cc_gamename") {
            game = value;
        } else if (key == "cc_device_id") {
            device = value;
        } else if (key == "cc_hash") {
            hash = value;
        } else if (key == "cc_prot_ver") {
            version = value;
        } else if (key.starts_with("cc_") || key == "position" || key == "date") {
            // The service's own names in a record it answers with.
            return refuse(400, "the field name " + key + " is reserved");
        } else {
            // The digest covers the record's own values in the order they were sent.
            digestInput += value;
            if (key == "score") {
                if (!parseScore(value, score)) return refuse(400, "the score is not a number");
                hasScore = true;
                continue;
            }
            if (key == "category") category = value;
            if (fieldsJSON.size() > 1) fieldsJSON += ',';
            appendJSONString(fieldsJSON, key);
            fieldsJSON += ':';
            appendJSONString(fieldsJSON, value);
        }
    }
    fieldsJSON += '}';
    if (version != "1.0") return refuse(400, "protocol version 1.0 expected");
    auto gameKey = games_.find(game);
    if (gameKey == games_.end()) return refuse(404, "unknown game");
    if (device.empty()) return refuse(400, "no device identifier");
    if (!hasScore) return refuse(400, "no score");
    std::string expected = md5Hex(digestInput + gameKey->second);
    std::string given = hash;
    for (char& c : given)
        if (c >= 'A' && c <= 'F') c = static_cast<char>(c + 32);
    if (given != expected) return refuse(403, "the digest does not match");

    std::string error;
    if (!store_.add(game, category, device, score, fieldsJSON, now, error))
        return {500, "Failed: the score could not be stored\n"};
    return {200, "OK"};
}

ServiceAnswer ScoreService::getScores(const std::multimap<std::string, std::string>& params, int64_t now) {
    auto param = [&](const char* name) -> const std::string* {
        auto it = params.find(name);
        return it == params.end() ? nullptr : &it->second;
    };
    ScoreQuery q;
    const std::string* game = param("gamename");
    if (!game || games_.find(*game) == games_.end()) return refuse(404, "unknown game");
    q.game = *game;
    int64_t type = 0, flags = 0;
    if (const std::string* t = param("querytype"); t && !t->empty() && !parseInteger(*t, type))
        return refuse(400, "querytype is not a number");
    switch (type) {
    case 0: q.since = 0; break;
    case 1: q.since = now - 24 * 3600; break;
    case 2: q.since = now - 7 * 24 * 3600; break;
    default: return refuse(400, "querytype must be 0, 1 or 2");
    }
    if (const std::string* f = param("flags"); f && !f->empty() && !parseInteger(*f, flags))
        return refuse(400, "flags is not a number");
    q.ascending = flags & 1;
    q.bestPerDevice = flags & 2;
    if (const std::string* o = param("offset"); o && !o->empty() && (!parseInteger(*o, q.offset) || q.offset < 0))
        return refuse(400, "offset must be 0 or more");
    q.limit = kDefaultLimit;
    if (const std::string* l = param("limit"); l && !l->empty() && (!parseInteger(*l, q.limit) || q.limit < 1))
        return refuse(400, "limit must be 1 or more");
    if (q.limit > kMaxLimit) q.limit = kMaxLimit;
    if (const std::string* c = param("category")) q.category = *c;

    std::vector<ScoreRow> rows;
    std::string error;
    if (!store_.query(q, rows, error)) return {500, "Failed: the scores could not be read\n"};
    std::string out = "{\"scores\":[";
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i) out += ',';
        out += "{\"position\":";
        out += std::to_string(q.offset + static_cast<int64_t>(i) + 1);
        out += ",\"score\":";
        appendJSONNumber(out, rows[i].score);
        out += ",\"date\":";
        appendJSONString(out, isoDate(rows[i].created));
        const std::string& f = rows[i].fieldsJSON;
        if (f.size() > 2) {
            out += ',';
            out.append(f, 1, f.size() - 2);
        }
        out += '}';
    }
    out += "]}";
    return {200, std::move(out), "application/json"};
}
