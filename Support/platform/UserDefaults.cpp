#include "platform/UserDefaults.h"

#include "platform/File.h"
#include "platform/Log.h"

#include <toml++/toml.h>

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <sstream>

namespace fs = std::filesystem;

namespace platform {

struct UserDefaults::Contents {
    toml::table table;
};

namespace {

// Far more than a handful of keys will ever need; anything bigger is not ours.
constexpr size_t kMaxFileSize = 1 << 20;

const char* const kFileHeader = "# Tindervale settings and progress, saved by the game on every change.\n";

// The file a settings path names, following symbolic links (a settings file
// kept with the user's dotfiles); a relative target counts from the link's folder.
bool resolveLinks(fs::path path, fs::path& out, std::string& error) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) {
            out = path;
            return true;
        }
        fs::path target = fs::read_symlink(path, ec);
        if (ec) {
            error = "cannot read the link " + path.string() + ": " + ec.message();
            return false;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    error = path.string() + " is one of a loop of symbolic links";
    return false;
}

// The temporary file a save by process `pid` writes before renaming it over
// `target`. Named after the process so that concurrent runs never share one.
fs::path temporaryFile(const fs::path& target, pid_t pid) {
    fs::path temp = target;
    temp += "." + std::to_string(pid) + ".tmp";
    return temp;
}

// Removes what saves killed mid-write left beside `target`: only names of our
// own pattern, and only of processes that are gone (or of this one, whose
// saves are over when it loads).
void removeStaleTemporaryFiles(const fs::path& target) {
    std::error_code ec;
    const std::string prefix = target.filename().string() + ".";
    fs::directory_iterator it(target.parent_path().empty() ? fs::path(".") : target.parent_path(), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!name.starts_with(prefix) || !name.ends_with(".tmp")) continue;
        std::string_view digits(name.data() + prefix.size(), name.size() - prefix.size() - 4);
        pid_t pid = 0;
        auto [end, err] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
        if (err != std::errc() || end != digits.data() + digits.size() || pid <= 0) continue;
        if (pid != ::getpid() && !(::kill(pid, 0) != 0 && errno == ESRCH)) continue;
        std::error_code removeError;
        if (fs::is_regular_file(fs::symlink_status(it->path(), removeError))) fs::remove(it->path(), removeError);
    }
}

// TOML refuses whole numbers beyond 64 bits. Such a number is read as the
// nearest limit instead, so that one odd value does not set the whole file
// aside: it is rewritten in place at the position the parser reports (a
// line, and a column in characters just past the digits). False when the
// error is of another kind.
bool clampHugeNumber(std::string& text, const toml::parse_error& e) {
    const std::string_view what = e.description();
    if (what.find("decimal integer") == std::string_view::npos ||
        what.find("not representable") == std::string_view::npos)
        return false;
    size_t pos = 0;
    for (uint32_t line = 1; line < e.source().begin.line; ++line) {
        pos = text.find('\n', pos);
        if (pos == std::string::npos) return false;
        ++pos;
    }
    for (uint32_t column = 1; column < e.source().begin.column && pos < text.size(); ++column)
        do
            ++pos;
        while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80);
    size_t start = pos;
    while (start > 0 && ((text[start - 1] >= '0' && text[start - 1] <= '9') || text[start - 1] == '_'))
        --start;
    if (start == pos) return false;
    bool negative = start > 0 && text[start - 1] == '-';
    if (start > 0 && (text[start - 1] == '-' || text[start - 1] == '+')) --start;
    text.replace(start, pos - start, negative ? "-9223372036854775808" : "9223372036854775807");
    return true;
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
    fs::path target;
    if (!resolveLinks(path, target, error)) return false;
    fs::path dir = target.parent_path();
    if (!dir.empty()) createFolders(dir);
    fs::path temp = temporaryFile(target, ::getpid());

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
    size_t start = s.find_first_not_of(" \t\n\r");
    if (start == std::string_view::npos) return 0;
    if (s[start] == '+' && ++start < s.size() && s[start] == '-') return 0; // from_chars takes a minus only
    size_t digits = start + (s[start] == '-' ? 1 : 0), end = digits;
    while (end < s.size() && s[end] >= '0' && s[end] <= '9')
        ++end;
    if (end == digits) return 0;
    int64_t n = 0;
    if (std::from_chars(s.data() + start, s.data() + end, n).ec == std::errc::result_out_of_range)
        return s[start] == '-' ? INT64_MIN : INT64_MAX;
    return n;
}

// ---- the store

UserDefaults::UserDefaults(std::string filePath) : filePath_(std::move(filePath)), contents_(new Contents) {
    load();
}

UserDefaults::~UserDefaults() = default;

void UserDefaults::load() {
    contents_->table.clear();
    if (filePath_.empty()) {
        ccLog("Settings: there is no home folder to keep them in; changes last until the program ends");
        return;
    }
    fs::path target;
    std::string error;
    if (resolveLinks(filePath_, target, error)) removeStaleTemporaryFiles(target);

    std::vector<uint8_t> bytes;
    switch (readFile(filePath_, kMaxFileSize, bytes, &error)) {
    case ReadFileResult::Ok:
        break;
    case ReadFileResult::Missing:
        return;
    default:
        setAside(error);
        return;
    }
    std::string text(bytes.begin(), bytes.end());
    for (int clamped = 0;; ++clamped) {
        try {
            contents_->table = toml::parse(text, filePath_);
            return;
        } catch (const toml::parse_error& e) {
            if (clamped < 16 && clampHugeNumber(text, e)) {
                ccLogf("Settings file %s: line %u holds a whole number beyond 64 bits; the nearest limit is used",
                       filePath_.c_str(), e.source().begin.line);
                continue;
            }
            setAside(ccFormat("is malformed at line %u: %s", e.source().begin.line,
                              shortened(e.description()).c_str()));
            return;
        }
    }
}

void UserDefaults::setAside(const std::string& reason) {
    contents_->table.clear();
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

std::optional<DefaultsValue> UserDefaults::objectForKey(const std::string& key) const {
    const toml::node* node = contents_->table.get(key);
    if (!node) return std::nullopt;
    if (const auto* text = node->as_string()) return DefaultsValue(text->get());
    if (const auto* number = node->as_integer()) return DefaultsValue(number->get());
    return std::nullopt; // a kind this program does not read; kept as it is
}

int64_t UserDefaults::integerForKey(const std::string& key) const {
    std::optional<DefaultsValue> v = objectForKey(key);
    return v ? v->integerValue() : 0;
}

bool UserDefaults::setObject(const DefaultsValue& value, const std::string& key) {
    return set(key, value);
}

bool UserDefaults::setInteger(int64_t value, const std::string& key) {
    return set(key, DefaultsValue(value));
}

bool UserDefaults::set(const std::string& key, const DefaultsValue& value) {
    if (value.isText())
        contents_->table.insert_or_assign(key, value.text());
    else
        contents_->table.insert_or_assign(key, value.integerValue());
    return save();
}

bool UserDefaults::save() {
    if (filePath_.empty()) return true;
    std::ostringstream out;
    out << kFileHeader << contents_->table << '\n';
    std::string error;
    if (replaceFileAtomically(filePath_, out.str(), error)) return true;
    ccLogf("Settings could not be saved (%s); they are kept until the program ends", error.c_str());
    return false;
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
