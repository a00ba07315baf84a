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
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class JSONArray;
class JSONDictionary;

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
            // Taken first: `other` may be an element of this value.
            auto taken = other.raw_;
            other.setTag(Tag::Null);
            destroy();
            raw_ = taken;
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
        if (tag() >= Tag::LongString) __builtin_prefetch(reinterpret_cast<const void*>(raw_.b));
    }

  private:
    // A value is its 16 bytes: moving one is copying them, and all-zero bytes are null.
    enum class Tag : uint8_t { Null = 0, Boolean, Number, ShortString, LongString, Array, Dictionary };
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
            // A JSONArray or JSONDictionary: one pointer to its block.
            alignas(void*) unsigned char container[sizeof(void*)];
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
    JSONArray& array() const;
    JSONDictionary& dictionary() const;
    void setString(const char* chars, size_t size);
    void destroy() noexcept {
        if (tag() >= Tag::LongString) release();
    }
    void release() noexcept;
};
static_assert(sizeof(JSONValue) == 16);

// An array: one block holding its length, its room and its elements, or no
// block at all while empty. The part of a vector's interface that callers use.
class JSONArray {
  public:
    using value_type = JSONValue;
    using iterator = JSONValue*;
    using const_iterator = const JSONValue*;

    JSONArray() noexcept = default;
    JSONArray(std::initializer_list<JSONValue> values);
    // Moves `values` into an array of exactly their number.
    static JSONArray withValues(std::span<JSONValue> values);
    JSONArray(const JSONArray& other);
    JSONArray(JSONArray&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    JSONArray& operator=(const JSONArray& other);
    JSONArray& operator=(JSONArray&& other) noexcept {
        // Taken first: `other` may live inside this one.
        Block* taken = std::exchange(other.block_, nullptr);
        reset();
        block_ = taken;
        return *this;
    }
    ~JSONArray() { reset(); }

    size_t size() const { return block_ ? block_->size : 0; }
    bool empty() const { return size() == 0; }
    size_t capacity() const { return block_ ? block_->capacity : 0; }
    JSONValue* data() { return block_ ? block_->values() : nullptr; }
    const JSONValue* data() const { return block_ ? block_->values() : nullptr; }
    iterator begin() { return data(); }
    iterator end() { return data() + size(); }
    const_iterator begin() const { return data(); }
    const_iterator end() const { return data() + size(); }
    JSONValue& operator[](size_t i) { return data()[i]; }
    const JSONValue& operator[](size_t i) const { return data()[i]; }
    JSONValue& front() { return data()[0]; }
    const JSONValue& front() const { return data()[0]; }
    JSONValue& back() { return data()[size() - 1]; }
    const JSONValue& back() const { return data()[size() - 1]; }

    void reserve(size_t n) {
        if (n > capacity()) regrow(n);
    }
    void push_back(const JSONValue& value) { emplace_back(value); }
    void push_back(JSONValue&& value) { emplace_back(std::move(value)); }
    template <class... Args> JSONValue& emplace_back(Args&&... args) {
        // Made before the block may move: the arguments can be elements of this very array.
        JSONValue value(std::forward<Args>(args)...);
        if (size() == capacity()) regrow(capacity() < 4 ? 4 : capacity() * 2);
        JSONValue* at = new (block_->values() + block_->size) JSONValue(std::move(value));
        ++block_->size;
        return *at;
    }
    void pop_back() { block_->values()[--block_->size].~JSONValue(); }
    // Keeps the room.
    void clear();

    friend bool operator==(const JSONArray& a, const JSONArray& b);

  private:
    struct Block {
        size_t size;
        size_t capacity;
        JSONValue* values() { return reinterpret_cast<JSONValue*>(this + 1); }
    };
    static Block* allocate(size_t capacity);
    // Fills this empty array with copies of `count` values.
    void copyFrom(const JSONValue* values, size_t count);
    void regrow(size_t capacity);
    void reset() noexcept;

    Block* block_ = nullptr;
};

// A dictionary: one block holding its entries and, past a handful of keys,
// the table that finds them; no block at all while empty.
class JSONDictionary {
  public:
    using Entry = std::pair<std::string, JSONValue>;

    JSONDictionary() noexcept = default;
    JSONDictionary(std::initializer_list<Entry> entries);
    // Moves `entries` in, in order; a later equal key replaces an earlier one's value, keeping its place.
    static JSONDictionary withEntries(std::span<Entry> entries);
    JSONDictionary(const JSONDictionary& other);
    JSONDictionary(JSONDictionary&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    JSONDictionary& operator=(const JSONDictionary& other);
    JSONDictionary& operator=(JSONDictionary&& other) noexcept {
        // Taken first: `other` may live inside this one.
        Block* taken = std::exchange(other.block_, nullptr);
        reset();
        block_ = taken;
        return *this;
    }
    ~JSONDictionary() { reset(); }

    size_t size() const { return block_ ? block_->size : 0; }
    bool empty() const { return size() == 0; }
    // Entries in enumeration order (first insertion).
    const Entry* begin() const { return block_ ? block_->entries() : nullptr; }
    const Entry* end() const { return begin() + size(); }
    std::span<const Entry> entries() const { return {begin(), size()}; }

    // The value under `key`, or null when absent.
    const JSONValue* find(std::string_view key) const;
    JSONValue* find(std::string_view key);
    bool contains(std::string_view key) const { return find(key) != nullptr; }
    // The value under `key`, or a null value when absent.
    const JSONValue& operator[](std::string_view key) const;
    // Stores `value` under `key`: an existing key keeps its place.
    void set(std::string key, JSONValue value);
    void reserve(size_t n) {
        if (n > capacity()) regrow(n);
    }

    friend bool operator==(const JSONDictionary& a, const JSONDictionary& b);

  private:
    // The entries, then (past kIndexThreshold of room) an open-addressing
    // table of entry positions + 1 (0 = free), at most half full.
    struct Block {
        uint32_t size;
        uint32_t capacity;
        uint32_t slots;
        uint32_t unused;
        Entry* entries() { return reinterpret_cast<Entry*>(this + 1); }
        uint32_t* index() { return reinterpret_cast<uint32_t*>(entries() + capacity); }
    };
    static Block* allocate(size_t capacity);
    size_t capacity() const { return block_ ? block_->capacity : 0; }
    void regrow(size_t capacity);
    void reset() noexcept;
    ptrdiff_t indexOf(std::string_view key) const;
    // Both say whether the keys indexed so far are distinct.
    bool rebuildIndex();
    bool addToIndex(uint32_t entry);

    Block* block_ = nullptr;
};

static_assert(sizeof(JSONArray) == sizeof(void*) && sizeof(JSONDictionary) == sizeof(void*));
