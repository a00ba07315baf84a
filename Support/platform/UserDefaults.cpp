#include "platform/UserDefaults.h"

#include "platform/File.h"
#include "platform/Log.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <mutex>

namespace fs = std::filesystem;

namespace platform {

namespace {

// Far more than a handful of keys will ever need; anything bigger is not ours.
constexpr size_t kMaxFileSize = 1 << 20;

const char* const kFileHeader = "# Tindervale settings and progress, saved by the game on every change.\n";

// Reads a decimal whole number with optional sign and TOML's single
// underscores between digits; saturates at the int64 limits.
enum class IntegerParse { NotAnInteger, Ok, OutOfRange };
IntegerParse parseInteger(std::string_view s, int64_t& out) {
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i >= s.size()) return IntegerParse::NotAnInteger;
    uint64_t magnitude = 0;
    bool overflow = false;
    bool lastWasDigit = false;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c == '_') {
            if (!lastWasDigit || i + 1 >= s.size() || s[i + 1] < '0' || s[i + 1] > '9')
                return IntegerParse::NotAnInteger;
            lastWasDigit = false;
            continue;
        }
        if (c < '0' || c > '9') return IntegerParse::NotAnInteger;
        lastWasDigit = true;
        unsigned digit = static_cast<unsigned>(c - '0');
        if (magnitude > (UINT64_MAX - digit) / 10)
            overflow = true;
        else
            magnitude = magnitude * 10 + digit;
    }
    const uint64_t limit = negative ? uint64_t(1) << 63 : uint64_t(INT64_MAX);
    if (overflow || magnitude > limit) {
        out = negative ? INT64_MIN : INT64_MAX;
        return IntegerParse::OutOfRange;
    }
    out = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return IntegerParse::Ok;
}

void appendUTF8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// A cursor over one line of the file.
struct LineReader {
    std::string_view line;
    size_t pos = 0;

    bool atEnd() const { return pos >= line.size(); }
    char peek() const { return atEnd() ? '\0' : line[pos]; }
    void skipSpace() {
        while (!atEnd() && (line[pos] == ' ' || line[pos] == '\t'))
            ++pos;
    }
    // Nothing but blanks and a comment left.
    bool onlyCommentLeft() {
        skipSpace();
        return atEnd() || peek() == '#';
    }

    // "..." with escapes; the cursor is on the opening quote.
    bool basicString(std::string& out, std::string& error) {
        ++pos;
        while (!atEnd()) {
            char c = line[pos++];
            if (c == '"') return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (atEnd()) break;
            char e = line[pos++];
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case 'b':
                out += '\b';
                break;
            case 't':
                out += '\t';
                break;
            case 'n':
                out += '\n';
                break;
            case 'f':
                out += '\f';
                break;
            case 'r':
                out += '\r';
                break;
            case 'u':
            case 'U': {
                size_t digits = e == 'u' ? 4 : 8;
                if (line.size() - pos < digits) {
                    error = "a \\" + std::string(1, e) + " escape needs " + std::to_string(digits) +
                            " hex digits";
                    return false;
                }
                uint32_t cp = 0;
                for (size_t k = 0; k < digits; ++k) {
                    char h = line[pos++];
                    int v = h >= '0' && h <= '9'   ? h - '0'
                            : h >= 'a' && h <= 'f' ? h - 'a' + 10
                            : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                                   : -1;
                    if (v < 0) {
                        error = "bad hex digit in a \\" + std::string(1, e) + " escape";
                        return false;
                    }
                    cp = cp << 4 | static_cast<uint32_t>(v);
                }
                if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
                    error = "a \\" + std::string(1, e) + " escape names no character";
                    return false;
                }
                appendUTF8(out, cp);
                break;
            }
            default:
                error = std::string("unknown escape \\") + e;
                return false;
            }
        }
        error = "the text has no closing quote";
        return false;
    }

    // '...' taken as written; the cursor is on the opening quote.
    bool literalString(std::string& out, std::string& error) {
        size_t end = line.find('\'', pos + 1);
        if (end == std::string_view::npos) {
            error = "the text has no closing quote";
            return false;
        }
        out = std::string(line.substr(pos + 1, end - pos - 1));
        pos = end + 1;
        return true;
    }

    bool quoted(std::string& out, std::string& error) {
        if (peek() == '"') return basicString(out, error);
        return literalString(out, error);
    }
};

bool isBareKeyChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

std::string quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                out += ccFormat("\\u%04X", static_cast<unsigned>(static_cast<unsigned char>(c)));
            else
                out += c;
        }
    }
    return out + "\"";
}

std::string formatKey(const std::string& key) {
    bool bare = !key.empty();
    for (char c : key)
        bare = bare && isBareKeyChar(c);
    return bare ? key : quote(key);
}

// Values in log lines are cut short: a hand-edited file may hold anything.
std::string shortened(std::string_view text) {
    constexpr size_t kMax = 60;
    if (text.size() <= kMax) return std::string(text);
    return std::string(text.substr(0, kMax)) + "...";
}

std::string errnoText(int err) {
    return std::strerror(err);
}

std::string timestampUTC() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%d-%H%M%S", &tm);
    return buffer;
}

// Creates the missing folders of `dir`, private to the user as config folders should be.
void createFolders(const fs::path& dir) {
    fs::path partial;
    for (const fs::path& part : dir) {
        partial /= part;
        if (part.empty() || partial == partial.root_path()) continue;
        ::mkdir(partial.c_str(), 0700); // an existing one is fine; other failures show up when writing
    }
}

bool writeAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Replaces `path` with `content` so that a reader (or a crash) sees either
// the old file or the whole new one: a temporary file beside it, flushed to
// disk, then renamed over it.
bool replaceFileAtomically(const std::string& path, const std::string& content, std::string& error) {
    std::error_code ec;
    fs::path target = path;
    // A linked settings file (kept with the user's dotfiles) is written through the link.
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    fs::path dir = target.parent_path();
    if (!dir.empty()) createFolders(dir);
    // Named after this process so that a run killed mid-write leaves nothing we would read.
    fs::path temp = target;
    temp += "." + std::to_string(::getpid()) + ".tmp";

    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        error = "cannot create " + temp.string() + ": " + errnoText(errno);
        return false;
    }
    auto fail = [&](const std::string& what) {
        error = what + ": " + errnoText(errno);
        if (fd >= 0) ::close(fd);
        ::unlink(temp.c_str());
        return false;
    };
    if (!writeAll(fd, content)) return fail("cannot write " + temp.string());
    if (::fsync(fd) != 0) return fail("cannot flush " + temp.string());
    int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return fail("cannot write " + temp.string());
    if (::rename(temp.c_str(), target.c_str()) != 0) return fail("cannot replace " + target.string());
    // Make the rename itself durable.
    int dirFd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

enum class ReadResult { Missing, Ok, Failed };
ReadResult readSmallFile(const std::string& path, std::string& out, std::string& error) {
    std::vector<uint8_t> bytes;
    switch (readFile(path, kMaxFileSize, bytes, &error)) {
    case ReadFileResult::Ok:
        out.assign(bytes.begin(), bytes.end());
        return ReadResult::Ok;
    case ReadFileResult::Missing:
        return ReadResult::Missing;
    default:
        return ReadResult::Failed;
    }
}

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    struct passwd pw {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(::getuid(), &pw, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir &&
        *found->pw_dir)
        return found->pw_dir;
    return {};
}

} // namespace

// ---- DefaultsValue

std::string DefaultsValue::text() const {
    if (isText()) return std::get<std::string>(value_);
    return std::to_string(std::get<int64_t>(value_));
}

int64_t DefaultsValue::integerValue() const {
    if (isNumber()) return std::get<int64_t>(value_);
    // Like reading a number off the front of the text: blanks, a sign, digits.
    std::string_view s = std::get<std::string>(value_);
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r'))
        ++i;
    size_t start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;
    int64_t n = 0;
    if (parseInteger(s.substr(start, i - start), n) == IntegerParse::NotAnInteger) return 0;
    return n;
}

// ---- parsing and formatting

bool UserDefaults::parse(std::string_view text, std::vector<Entry>& entries, std::string& error,
                         std::vector<std::string>* warnings) {
    entries.clear();
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(lineNumber) + ": " + why;
            return false;
        };
        for (char c : line)
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F)
                return fail("control character");

        LineReader r{line};
        if (r.onlyCommentLeft()) continue;
        if (r.peek() == '[') return fail("sections are not used in this file");

        Entry entry;
        if (r.peek() == '"' || r.peek() == '\'') {
            if (!r.quoted(entry.key, error)) return fail(error);
        } else {
            size_t start = r.pos;
            while (!r.atEnd() && isBareKeyChar(r.peek()))
                ++r.pos;
            if (r.pos == start) return fail("expected a key");
            entry.key = std::string(line.substr(start, r.pos - start));
        }
        r.skipSpace();
        if (r.peek() == '.') return fail("dotted keys are not used in this file");
        if (r.peek() != '=') return fail("expected '=' after the key");
        ++r.pos;
        r.skipSpace();

        if (r.peek() == '"' || r.peek() == '\'') {
            if (line.substr(r.pos).starts_with("\"\"\"") || line.substr(r.pos).starts_with("'''"))
                return fail("multi-line texts are not used in this file");
            std::string value;
            if (!r.quoted(value, error)) return fail(error);
            if (!r.onlyCommentLeft()) return fail("unexpected text after the value");
            entry.value = DefaultsValue(std::move(value));
        } else {
            // Up to a comment outside quotes.
            size_t start = r.pos;
            char inQuote = 0;
            for (; !r.atEnd(); ++r.pos) {
                char c = r.peek();
                if (inQuote) {
                    if (c == '\\' && inQuote == '"')
                        ++r.pos;
                    else if (c == inQuote)
                        inQuote = 0;
                } else if (c == '"' || c == '\'') {
                    inQuote = c;
                } else if (c == '#') {
                    break;
                }
            }
            if (inQuote) return fail("a text in the value has no closing quote");
            std::string_view raw = line.substr(start, r.pos - start);
            while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\t'))
                raw.remove_suffix(1);
            if (raw.empty()) return fail("missing value");
            int64_t number = 0;
            switch (parseInteger(raw, number)) {
            case IntegerParse::Ok:
                entry.value = DefaultsValue(number);
                break;
            case IntegerParse::OutOfRange:
                entry.value = DefaultsValue(number);
                if (warnings)
                    warnings->push_back(ccFormat("%s = %s is out of range; %lld is used",
                                                 shortened(entry.key).c_str(), shortened(raw).c_str(),
                                                 static_cast<long long>(number)));
                break;
            case IntegerParse::NotAnInteger:
                entry.raw = std::string(raw);
                if (warnings)
                    warnings->push_back(
                        ccFormat("%s = %s is neither a text nor a whole number; it is kept but not read",
                                 shortened(entry.key).c_str(), shortened(entry.raw).c_str()));
                break;
            }
        }

        auto same =
            std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.key == entry.key; });
        if (same != entries.end()) {
            if (warnings)
                warnings->push_back("key " + shortened(entry.key) +
                                    " appears more than once; the last value is used");
            *same = std::move(entry);
        } else {
            entries.push_back(std::move(entry));
        }
    }
    return true;
}

std::string UserDefaults::format(const std::vector<Entry>& entries) {
    std::string out = kFileHeader;
    for (const Entry& e : entries) {
        out += formatKey(e.key) + " = ";
        if (!e.value)
            out += e.raw;
        else if (e.value->isText())
            out += quote(e.value->text());
        else
            out += e.value->text();
        out += '\n';
    }
    return out;
}

// ---- the store

UserDefaults::UserDefaults(std::string filePath) : filePath_(std::move(filePath)) {
    load();
}

void UserDefaults::load() {
    entries_.clear();
    if (filePath_.empty()) {
        ccLog("Settings: there is no home folder to keep them in; changes last until the program ends");
        return;
    }
    std::string text, error;
    switch (readSmallFile(filePath_, text, error)) {
    case ReadResult::Missing:
        return;
    case ReadResult::Failed:
        setAside(error);
        return;
    case ReadResult::Ok:
        break;
    }
    std::vector<std::string> warnings;
    if (!parse(text, entries_, error, &warnings)) {
        entries_.clear();
        setAside("is malformed at " + error);
        return;
    }
    for (const std::string& w : warnings)
        ccLogf("Settings file %s: %s", filePath_.c_str(), w.c_str());
}

void UserDefaults::setAside(const std::string& reason) {
    entries_.clear();
    std::string base = filePath_ + ".bad-" + timestampUTC();
    std::string aside = base;
    std::error_code ec;
    for (int n = 2; fs::symlink_status(aside, ec).type() != fs::file_type::not_found && n < 1000; ++n)
        aside = base + "-" + std::to_string(n);
    if (::rename(filePath_.c_str(), aside.c_str()) == 0)
        ccLogf("Settings file %s %s; moved aside to %s, defaults are used", filePath_.c_str(), reason.c_str(),
               aside.c_str());
    else
        ccLogf("Settings file %s %s and could not be moved aside (%s); defaults are used", filePath_.c_str(),
               reason.c_str(), errnoText(errno).c_str());
}

UserDefaults::Entry* UserDefaults::find(const std::string& key) {
    for (Entry& e : entries_)
        if (e.key == key) return &e;
    return nullptr;
}

std::optional<DefaultsValue> UserDefaults::objectForKey(const std::string& key) const {
    for (const Entry& e : entries_)
        if (e.key == key) return e.value;
    return std::nullopt;
}

int64_t UserDefaults::integerForKey(const std::string& key) const {
    std::optional<DefaultsValue> v = objectForKey(key);
    return v ? v->integerValue() : 0;
}

void UserDefaults::setObject(const DefaultsValue& value, const std::string& key) {
    set(key, value);
}

void UserDefaults::setInteger(int64_t value, const std::string& key) {
    set(key, DefaultsValue(value));
}

void UserDefaults::set(const std::string& key, const DefaultsValue& value) {
    Entry* existing = find(key);
    if (existing) {
        existing->value = value;
        existing->raw.clear();
    } else {
        entries_.push_back(Entry{key, value, {}});
    }
    save();
}

bool UserDefaults::save() {
    if (filePath_.empty()) return lastWriteOk_ = true;
    std::string error;
    lastWriteOk_ = replaceFileAtomically(filePath_, format(entries_), error);
    if (!lastWriteOk_)
        ccLogf("Settings could not be saved (%s); they are kept until the program ends", error.c_str());
    return lastWriteOk_;
}

// ---- the shared store

namespace {
std::mutex& sharedMutex() {
    static std::mutex m;
    return m;
}
std::unique_ptr<UserDefaults>& sharedStore() {
    static std::unique_ptr<UserDefaults> store;
    return store;
}
} // namespace

std::string UserDefaults::defaultFilePath() {
    // Only an absolute XDG_CONFIG_HOME counts, as the XDG rules say.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    fs::path base;
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        std::string home = homeFolder();
        if (home.empty()) return {};
        base = fs::path(home) / ".config";
    }
    return (base / "tindervale" / "defaults.toml").string();
}

UserDefaults& UserDefaults::standardUserDefaults() {
    std::lock_guard<std::mutex> lock(sharedMutex());
    if (!sharedStore()) sharedStore() = std::make_unique<UserDefaults>(defaultFilePath());
    return *sharedStore();
}

void UserDefaults::resetStandardUserDefaults() {
    std::lock_guard<std::mutex> lock(sharedMutex());
    sharedStore().reset();
}

} // namespace platform
