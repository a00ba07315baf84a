#include "scores/JSONValue.h"

#include "engine/Errors.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>

namespace {

// A long text's block: its length, then its bytes.
char* makeBlock(const char* chars, size_t size) {
    char* block = static_cast<char*>(std::malloc(sizeof(size_t) + size));
    if (!block) throw std::bad_alloc();
    std::memcpy(block, &size, sizeof(size_t));
    if (size) std::memcpy(block + sizeof(size_t), chars, size);
    return block;
}

std::string_view blockText(const char* block) {
    size_t size;
    std::memcpy(&size, block, sizeof(size_t));
    return {block + sizeof(size_t), size};
}

constexpr size_t kIndexThreshold = 8;

} // namespace

// ---- JSONValue

JSONValue::JSONValue(JSONArray array) {
    setTag(Tag::Array);
    wide_.array = new JSONArray(std::move(array));
}

JSONValue::JSONValue(JSONDictionary dictionary) {
    setTag(Tag::Dictionary);
    wide_.dictionary = new JSONDictionary(std::move(dictionary));
}

void JSONValue::setString(const char* chars, size_t size) {
    if (size <= kShortCapacity) {
        setTag(Tag::ShortString);
        small_.size = static_cast<uint8_t>(size);
        if (size) std::memcpy(small_.chars, chars, size);
    } else {
        setTag(Tag::LongString);
        wide_.block = makeBlock(chars, size);
    }
}

JSONValue::JSONValue(const JSONValue& other) {
    switch (other.tag()) {
    case Tag::LongString:
        setTag(Tag::LongString);
        wide_.block = makeBlock(other.asString().data(), other.asString().size());
        break;
    case Tag::Array:
        setTag(Tag::Array);
        wide_.array = new JSONArray(*other.wide_.array);
        break;
    case Tag::Dictionary:
        setTag(Tag::Dictionary);
        wide_.dictionary = new JSONDictionary(*other.wide_.dictionary);
        break;
    default:
        raw_ = other.raw_;
        break;
    }
}

JSONValue& JSONValue::operator=(const JSONValue& other) {
    if (this != &other) *this = JSONValue(other);
    return *this;
}

void JSONValue::release() noexcept {
    switch (tag()) {
    case Tag::LongString: std::free(wide_.block); break;
    case Tag::Array: delete wide_.array; break;
    case Tag::Dictionary: delete wide_.dictionary; break;
    default: break;
    }
    setTag(Tag::Null);
}

const char* JSONValue::typeName() const {
    switch (type()) {
    case Type::Null: return "null";
    case Type::Boolean: return "boolean";
    case Type::Number: return "number";
    case Type::String: return "string";
    case Type::Array: return "array";
    case Type::Dictionary: return "dictionary";
    }
    return "null";
}

bool JSONValue::asBoolean() const {
    ccAssert(isBoolean(), "JSON value is not a boolean");
    return wide_.boolean;
}

double JSONValue::asNumber() const {
    ccAssert(isNumber(), "JSON value is not a number");
    return wide_.number;
}

std::string_view JSONValue::asString() const {
    if (tag() == Tag::ShortString) return {small_.chars, small_.size};
    ccAssert(tag() == Tag::LongString, "JSON value is not a string");
    return blockText(wide_.block);
}

const JSONArray& JSONValue::asArray() const {
    ccAssert(isArray(), "JSON value is not an array");
    return *wide_.array;
}

JSONArray& JSONValue::asArray() {
    ccAssert(isArray(), "JSON value is not an array");
    return *wide_.array;
}

const JSONDictionary& JSONValue::asDictionary() const {
    ccAssert(isDictionary(), "JSON value is not a dictionary");
    return *wide_.dictionary;
}

JSONDictionary& JSONValue::asDictionary() {
    ccAssert(isDictionary(), "JSON value is not a dictionary");
    return *wide_.dictionary;
}

std::string JSONValue::stringOr(std::string_view fallback) const {
    return std::string(isString() ? asString() : fallback);
}

const JSONValue& JSONValue::null() {
    static const JSONValue none;
    return none;
}

const JSONValue& JSONValue::element(size_t index) const {
    if (isArray() && index < wide_.array->size()) return (*wide_.array)[index];
    return null();
}

const JSONValue& JSONValue::operator[](std::string_view key) const {
    if (isDictionary()) return (*wide_.dictionary)[key];
    return null();
}

size_t JSONValue::size() const {
    if (isArray()) return wide_.array->size();
    if (isDictionary()) return wide_.dictionary->size();
    return 0;
}

bool operator==(const JSONValue& a, const JSONValue& b) {
    if (a.type() != b.type()) return false;
    switch (a.type()) {
    case JSONValue::Type::Null: return true;
    case JSONValue::Type::Boolean: return a.wide_.boolean == b.wide_.boolean;
    case JSONValue::Type::Number: return a.wide_.number == b.wide_.number;
    case JSONValue::Type::String: return a.asString() == b.asString();
    case JSONValue::Type::Array: return *a.wide_.array == *b.wide_.array;
    case JSONValue::Type::Dictionary: return *a.wide_.dictionary == *b.wide_.dictionary;
    }
    return false;
}

// ---- JSONDictionary

JSONDictionary::JSONDictionary(std::initializer_list<Entry> entries) {
    entries_.reserve(entries.size());
    for (const Entry& e : entries) set(e.first, e.second);
}

JSONDictionary JSONDictionary::withEntries(std::vector<Entry> entries) {
    JSONDictionary d;
    // Keys are nearly always distinct: take the entries as they are while that
    // holds (checked pairwise for a few, by the index for more).
    bool unique = true;
    if (entries.size() <= kIndexThreshold) {
        for (size_t i = 1; unique && i < entries.size(); ++i)
            for (size_t j = 0; j < i; ++j)
                if (entries[i].first == entries[j].first) {
                    unique = false;
                    break;
                }
        if (unique) {
            d.entries_ = std::move(entries);
            return d;
        }
    } else {
        d.entries_ = std::move(entries);
        unique = d.rebuildIndex();
        if (unique) return d;
        entries = std::move(d.entries_);
        d.entries_.clear();
        d.index_.clear();
    }
    d.entries_.reserve(entries.size());
    for (Entry& e : entries) d.set(std::move(e.first), std::move(e.second));
    return d;
}

ptrdiff_t JSONDictionary::indexOf(std::string_view key) const {
    if (index_.empty()) {
        for (size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].first == key) return static_cast<ptrdiff_t>(i);
        return -1;
    }
    size_t mask = index_.size() - 1;
    for (size_t slot = std::hash<std::string_view>()(key) & mask;; slot = (slot + 1) & mask) {
        uint32_t at = index_[slot];
        if (at == 0) return -1;
        if (entries_[at - 1].first == key) return at - 1;
    }
}

const JSONValue* JSONDictionary::find(std::string_view key) const {
    ptrdiff_t i = indexOf(key);
    return i < 0 ? nullptr : &entries_[static_cast<size_t>(i)].second;
}

JSONValue* JSONDictionary::find(std::string_view key) {
    ptrdiff_t i = indexOf(key);
    return i < 0 ? nullptr : &entries_[static_cast<size_t>(i)].second;
}

const JSONValue& JSONDictionary::operator[](std::string_view key) const {
    const JSONValue* v = find(key);
    return v ? *v : JSONValue::null();
}

void JSONDictionary::set(std::string key, JSONValue value) {
    if (JSONValue* existing = find(key)) {
        *existing = std::move(value);
        return;
    }
    entries_.emplace_back(std::move(key), std::move(value));
    if (entries_.size() > kIndexThreshold) {
        // Keep the table at most half full.
        if (index_.size() < entries_.size() * 2)
            rebuildIndex();
        else
            addToIndex(static_cast<uint32_t>(entries_.size() - 1));
    }
}

bool JSONDictionary::rebuildIndex() {
    size_t slots = 16;
    while (slots < entries_.size() * 4) slots *= 2;
    index_.assign(slots, 0);
    bool unique = true;
    for (size_t i = 0; i < entries_.size(); ++i) unique &= addToIndex(static_cast<uint32_t>(i));
    return unique;
}

bool JSONDictionary::addToIndex(uint32_t entry) {
    size_t mask = index_.size() - 1;
    const std::string& key = entries_[entry].first;
    size_t slot = std::hash<std::string_view>()(key) & mask;
    bool unique = true;
    for (; index_[slot] != 0; slot = (slot + 1) & mask)
        if (unique && entries_[index_[slot] - 1].first == key) unique = false;
    index_[slot] = entry + 1;
    return unique;
}

bool operator==(const JSONDictionary& a, const JSONDictionary& b) {
    if (a.size() != b.size()) return false;
    for (const auto& [key, value] : a.entries_) {
        const JSONValue* other = b.find(key);
        if (!other || !(*other == value)) return false;
    }
    return true;
}
