#pragma once
// The values the JSON reader produces and the writer takes: null, a boolean
// (kept apart from numbers), a 64-bit floating-point number, a UTF-8 text, an
// array and a dictionary with text keys. Plain value semantics: copies are deep.
//
// A dictionary enumerates its keys in the order they were first added — for a
// document that was read, the order in which they appear in the text. Setting
// a key that is already there replaces its value in place.

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class JSONValue;
class JSONDictionary;
using JSONArray = std::vector<JSONValue>;

// The null object.
struct JSONNull {
    friend bool operator==(JSONNull, JSONNull) { return true; }
};
inline constexpr JSONNull kJSONNull{};

// A failure of the reader: its domain, its (negative) code and, for scanner
// errors, the message shown to people (the localized description).
struct JSONError {
    std::string domain;
    int code = 0;
    std::string localizedDescription;
};

class JSONValue {
  public:
    enum class Type : uint8_t { Null, Boolean, Number, String, Array, Dictionary };

    JSONValue() noexcept { setTag(Tag::Null); }
    JSONValue(JSONNull) noexcept : JSONValue() {}
    JSONValue(std::nullptr_t) noexcept : JSONValue() {}
    JSONValue(bool b) noexcept {
        setTag(Tag::Boolean);
        wide_.boolean = b;
    }
    template <class T>
    requires(std::is_arithmetic_v<T> && !std::same_as<T, bool>) JSONValue(T n) noexcept {
        setTag(Tag::Number);
        wide_.number = static_cast<double>(n);
    }
    JSONValue(std::string_view text) { setString(text.data(), text.size()); }
    JSONValue(const std::string& text) : JSONValue(std::string_view(text)) {}
    JSONValue(const char* text) : JSONValue(std::string_view(text)) {}
    JSONValue(JSONArray array);
    JSONValue(JSONDictionary dictionary);

    JSONValue(const JSONValue& other);
    JSONValue(JSONValue&& other) noexcept {
        raw_ = other.raw_;
        other.setTag(Tag::Null);
    }
    JSONValue& operator=(const JSONValue& other);
    JSONValue& operator=(JSONValue&& other) noexcept {
        if (this != &other) {
            destroy();
            raw_ = other.raw_;
            other.setTag(Tag::Null);
        }
        return *this;
    }
    ~JSONValue() { destroy(); }

    Type type() const {
        static constexpr Type types[] = {Type::Null,   Type::Boolean, Type::Number,    Type::String,
                                         Type::String, Type::Array,   Type::Dictionary};
        return types[static_cast<uint8_t>(tag())];
    }
    bool isNull() const { return tag() == Tag::Null; }
    bool isBoolean() const { return tag() == Tag::Boolean; }
    bool isNumber() const { return tag() == Tag::Number; }
    bool isString() const { return tag() == Tag::ShortString || tag() == Tag::LongString; }
    bool isArray() const { return tag() == Tag::Array; }
    bool isDictionary() const { return tag() == Tag::Dictionary; }

    // The value as the kind asked for; a value of another kind throws
    // AssertionFailure ("JSON value is not a ...").
    bool asBoolean() const;
    double asNumber() const;
    std::string_view asString() const;
    const JSONArray& asArray() const;
    JSONArray& asArray();
    const JSONDictionary& asDictionary() const;
    JSONDictionary& asDictionary();

    // Forgiving reads for answers from outside: the fallback when the value is of another kind.
    double numberOr(double fallback) const { return isNumber() ? wide_.number : fallback; }
    std::string stringOr(std::string_view fallback) const;
    // An element or a key's value; a null value when absent or not a container.
    template <std::integral I> const JSONValue& operator[](I index) const {
        if constexpr (std::is_signed_v<I>)
            if (index < 0) return null();
        return element(static_cast<size_t>(index));
    }
    const JSONValue& operator[](std::string_view key) const;
    const JSONValue& operator[](const char* key) const { return (*this)[std::string_view(key)]; }
    // Elements of an array or entries of a dictionary; 0 for anything else.
    size_t size() const;

    // The kind's name, for messages ("null", "boolean", "number", "string", "array", "dictionary").
    const char* typeName() const;
    // Deep equality; dictionaries compare as sets of key-value pairs, whatever their order.
    friend bool operator==(const JSONValue& a, const JSONValue& b);

    static const JSONValue& null();

    // Asks the processor to start fetching the value's heap part (a long
    // text, an array or a dictionary): walks over large documents call it a
    // step ahead.
    void prefetch() const {
        if (tag() >= Tag::LongString) __builtin_prefetch(wide_.block);
    }

  private:
    enum class Tag : uint8_t { Null, Boolean, Number, ShortString, LongString, Array, Dictionary };
    static constexpr size_t kShortCapacity = 14;
    // Texts of up to 14 bytes live inside the value; longer ones in one block
    // holding their length and bytes.
    struct Small {
        Tag tag;
        uint8_t size;
        char chars[kShortCapacity];
    };
    struct Wide {
        Tag tag;
        uint8_t unused[7];
        union {
            bool boolean;
            double number;
            char* block;
            JSONArray* array;
            JSONDictionary* dictionary;
        };
    };
    union {
        Small small_;
        Wide wide_;
        struct {
            uint64_t a, b;
        } raw_;
    };

    Tag tag() const { return small_.tag; }
    void setTag(Tag t) {
        raw_ = {0, 0};
        small_.tag = t;
    }
    const JSONValue& element(size_t index) const;
    void setString(const char* chars, size_t size);
    void destroy() noexcept {
        if (tag() >= Tag::LongString) release();
    }
    void release() noexcept;
};
static_assert(sizeof(JSONValue) == 16);

class JSONDictionary {
  public:
    using Entry = std::pair<std::string, JSONValue>;

    JSONDictionary() = default;
    JSONDictionary(std::initializer_list<Entry> entries);
    // The entries in order; a later equal key replaces an earlier one's value, keeping its place.
    static JSONDictionary withEntries(std::vector<Entry> entries);

    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    // Entries in enumeration order (first insertion).
    std::vector<Entry>::const_iterator begin() const { return entries_.begin(); }
    std::vector<Entry>::const_iterator end() const { return entries_.end(); }
    const std::vector<Entry>& entries() const { return entries_; }

    // The value under `key`, or null when absent.
    const JSONValue* find(std::string_view key) const;
    JSONValue* find(std::string_view key);
    bool contains(std::string_view key) const { return find(key) != nullptr; }
    // The value under `key`, or a null value when absent.
    const JSONValue& operator[](std::string_view key) const;
    // Stores `value` under `key`: an existing key keeps its place.
    void set(std::string key, JSONValue value);
    void reserve(size_t n) { entries_.reserve(n); }

    friend bool operator==(const JSONDictionary& a, const JSONDictionary& b);

  private:
    ptrdiff_t indexOf(std::string_view key) const;
    // Both say whether the keys indexed so far are distinct.
    bool rebuildIndex();
    bool addToIndex(uint32_t entry);

    std::vector<Entry> entries_;
    // Past a handful of keys, an open-addressing table of entry positions + 1
    // (0 = free) keeps look-ups, and so the reader's duplicate check, fast.
    std::vector<uint32_t> index_;
};
