#pragma once
// The per-user key-value store: a few texts and whole numbers kept in
// $XDG_CONFIG_HOME/tindervale/defaults.toml (~/.config when unset), a TOML
// file of `Key = value` lines. Every change is written to disk at once and
// atomically, so the file is always either the old or the new version.
//
// The file is the player's: a broken one is moved aside (defaults.toml.bad-
// <time>) and defaults are used; keys this program does not know are kept
// (in TOML's normal form; their order may change). A settings file that is a
// symbolic link is written through the link.
// Failures: logged here (see Log.h).

#include <concepts>
#include <memory>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform {

// One stored object: a text or a whole number.
class DefaultsValue {
  public:
    DefaultsValue(std::string text) : value_(std::move(text)) {}
    DefaultsValue(const char* text) : value_(std::string(text)) {}
    template <std::integral T>
    requires(!std::same_as<T, bool>) DefaultsValue(T number) : value_(toInt64(number)) {}

    bool isText() const { return std::holds_alternative<std::string>(value_); }
    bool isNumber() const { return !isText(); }
    // The text, or the number written in decimal.
    std::string text() const;
    // The number, or the whole number a text starts with (0 when it starts
    // with none; saturated when it is too large).
    int64_t integerValue() const;

    friend bool operator==(const DefaultsValue&, const DefaultsValue&) = default;

  private:
    template <class T> static int64_t toInt64(T n) {
        if constexpr (std::is_unsigned_v<T> && sizeof(T) >= sizeof(int64_t))
            if (n > static_cast<T>(std::numeric_limits<int64_t>::max()))
                return std::numeric_limits<int64_t>::max();
        return static_cast<int64_t>(n);
    }
    std::variant<std::string, int64_t> value_;
};

class UserDefaults {
  public:
    // The store of this user, loaded on first use from defaultFilePath().
    static UserDefaults& standardUserDefaults();
    // Forgets the shared store; the next standardUserDefaults() loads the
    // file again (from where the environment then points).
    static void resetStandardUserDefaults();
    // $XDG_CONFIG_HOME/tindervale/defaults.toml, or under ~/.config; empty
    // when there is no home folder either.
    static std::string defaultFilePath();

    // A store kept in `filePath` (loaded now); an empty path keeps the
    // values in memory only.
    explicit UserDefaults(std::string filePath);
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // The object stored under `key`, or none.
    std::optional<DefaultsValue> objectForKey(const std::string& key) const;
    // Stores `value` and writes the file; false (logged) when the file could
    // not be written: the value is kept until the program ends.
    bool setObject(const DefaultsValue& value, const std::string& key);
    // The number under `key` (a text gives the number it starts with); 0 when absent.
    int64_t integerForKey(const std::string& key) const;
    bool setInteger(int64_t value, const std::string& key);

    const std::string& filePath() const { return filePath_; }

  private:
    struct Contents; // the parsed file, kept whole so that unknown keys survive a save
    void load();
    void setAside(const std::string& reason);
    bool set(const std::string& key, const DefaultsValue& value);
    bool save();

    std::string filePath_;
    std::unique_ptr<Contents> contents_;
};

} // namespace platform
