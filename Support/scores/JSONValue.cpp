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

void* allocateBytes(size_t bytes) {
    void* p = std::malloc(bytes);
    if (!p) throw std::bad_alloc();
    return p;
}

size_t hashOf(std::string_view key) {
    return std::hash<std::string_view>()(key);
}

} // namespace

// ---- JSONValue

JSONValue::JSONValue(JSONArray array) {
    setTag(Tag::Array);
    new (wide_.container) JSONArray(std::move(array));
}

JSONValue::JSONValue(JSONDictionary dictionary) {
    setTag(Tag::Dictionary);
    new (wide_.container) JSONDictionary(std::move(dictionary));
}

JSONArray& JSONValue::array() const {
    return *std::launder(reinterpret_cast<JSONArray*>(const_cast<unsigned char*>(wide_.container)));
}

JSONDictionary& JSONValue::dictionary() const {
    return *std::launder(reinterpret_cast<JSONDictionary*>(const_cast<unsigned char*>(wide_.container)));
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
        new (wide_.container) JSONArray(other.array());
        break;
    case Tag::Dictionary:
        setTag(Tag::Dictionary);
        new (wide_.container) JSONDictionary(other.dictionary());
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
    case Tag::Array: array().~JSONArray(); break;
    case Tag::Dictionary: dictionary().~JSONDictionary(); break;
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
    return array();
}

JSONArray& JSONValue::asArray() {
    ccAssert(isArray(), "JSON value is not an array");
    return array();
}

const JSONDictionary& JSONValue::asDictionary() const {
    ccAssert(isDictionary(), "JSON value is not a dictionary");
    return dictionary();
}

JSONDictionary& JSONValue::asDictionary() {
    ccAssert(isDictionary(), "JSON value is not a dictionary");
    return dictionary();
}

std::string JSONValue::stringOr(std::string_view fallback) const {
    return std::string(isString() ? asString() : fallback);
}

const JSONValue& JSONValue::null() {
    static const JSONValue none;
    return none;
}

const JSONValue& JSONValue::element(size_t index) const {
    if (isArray() && index < array().size()) return array()[index];
    return null();
}

const JSONValue& JSONValue::operator[](std::string_view key) const {
    if (isDictionary()) return dictionary()[key];
    return null();
}

size_t JSONValue::size() const {
    if (isArray()) return array().size();
    if (isDictionary()) return dictionary().size();
    return 0;
}

bool operator==(const JSONValue& a, const JSONValue& b) {
    if (a.type() != b.type()) return false;
    switch (a.type()) {
    case JSONValue::Type::Null: return true;
    case JSONValue::Type::Boolean: return a.wide_.boolean == b.wide_.boolean;
    case JSONValue::Type::Number: return a.wide_.number == b.wide_.number;
    case JSONValue::Type::String: return a.asString() == b.asString();
    case JSONValue::Type::Array: return a.array() == b.array();
    case JSONValue::Type::Dictionary: return a.dictionary() == b.dictionary();
    }
    return false;
}

// ---- JSONArray

JSONArray::Block* JSONArray::allocate(size_t capacity) {
    Block* block = static_cast<Block*>(allocateBytes(sizeof(Block) + capacity * sizeof(JSONValue)));
    block->size = 0;
    block->capacity = capacity;
    return block;
}

// Copies go into a local array first, so that a failing copy releases what was made.
void JSONArray::copyFrom(const JSONValue* values, size_t count) {
    if (count == 0) return;
    JSONArray made;
    made.block_ = allocate(count);
    for (size_t i = 0; i < count; ++i) {
        new (made.block_->values() + i) JSONValue(values[i]);
        ++made.block_->size;
    }
    std::swap(block_, made.block_);
}

JSONArray::JSONArray(std::initializer_list<JSONValue> values) { copyFrom(values.begin(), values.size()); }

JSONArray JSONArray::withValues(std::span<JSONValue> values) {
    JSONArray array;
    if (values.empty()) return array;
    array.block_ = allocate(values.size());
    // Moved as bytes; all-zero bytes, left behind, are null values.
    std::memcpy(static_cast<void*>(array.block_->values()), values.data(), values.size_bytes());
    std::memset(static_cast<void*>(values.data()), 0, values.size_bytes());
    array.block_->size = values.size();
    return array;
}

JSONArray::JSONArray(const JSONArray& other) { copyFrom(other.data(), other.size()); }

JSONArray& JSONArray::operator=(const JSONArray& other) {
    if (this != &other) *this = JSONArray(other);
    return *this;
}

void JSONArray::regrow(size_t capacity) {
    Block* block = allocate(capacity);
    if (block_) {
        // A value is its bytes: moving it is copying them.
        std::memcpy(static_cast<void*>(block->values()), block_->values(), block_->size * sizeof(JSONValue));
        block->size = block_->size;
        std::free(block_);
    }
    block_ = block;
}

void JSONArray::clear() {
    if (!block_) return;
    JSONValue* values = block_->values();
    const size_t size = block_->size;
    for (size_t i = 0; i < size; ++i) values[i].~JSONValue();
    block_->size = 0;
}

void JSONArray::reset() noexcept {
    if (!block_) return;
    clear();
    std::free(std::exchange(block_, nullptr));
}

bool operator==(const JSONArray& a, const JSONArray& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!(a[i] == b[i])) return false;
    return true;
}

// ---- JSONDictionary

JSONDictionary::Block* JSONDictionary::allocate(size_t capacity) {
    size_t slots = 0;
    if (capacity > kIndexThreshold)
        for (slots = 16; slots < capacity * 2;)
            slots *= 2;
    Block* block = static_cast<Block*>(
        allocateBytes(sizeof(Block) + capacity * sizeof(Entry) + slots * sizeof(uint32_t)));
    block->size = 0;
    block->capacity = static_cast<uint32_t>(capacity);
    block->slots = static_cast<uint32_t>(slots);
    return block;
}

// The constructors copy into a local dictionary first, so that a failing
// copy releases what was made.
JSONDictionary::JSONDictionary(std::initializer_list<Entry> entries) {
    JSONDictionary made;
    made.reserve(entries.size());
    for (const Entry& e : entries)
        made.set(e.first, e.second);
    std::swap(block_, made.block_);
}

JSONDictionary JSONDictionary::withEntries(std::span<Entry> entries) {
    JSONDictionary d;
    if (entries.empty()) return d;
    d.block_ = allocate(entries.size());
    Entry* moved = d.block_->entries();
    for (Entry& e : entries)
        new (moved + d.block_->size++) Entry(std::move(e));
    // Keys are nearly always distinct: keep the entries as they are while that
    // holds (checked pairwise for a few, by the index for more).
    bool unique = true;
    if (d.block_->slots == 0) {
        for (size_t i = 1; unique && i < entries.size(); ++i)
            for (size_t j = 0; j < i; ++j)
                if (moved[i].first == moved[j].first) {
                    unique = false;
                    break;
                }
    } else {
        unique = d.rebuildIndex();
    }
    if (unique) return d;
    JSONDictionary distinct;
    distinct.reserve(entries.size());
    for (size_t i = 0; i < d.size(); ++i)
        distinct.set(std::move(moved[i].first), std::move(moved[i].second));
    return distinct;
}

JSONDictionary::JSONDictionary(const JSONDictionary& other) {
    if (other.empty()) return;
    JSONDictionary made;
    made.block_ = allocate(other.size());
    for (const Entry& e : other) {
        new (made.block_->entries() + made.block_->size) Entry(e);
        ++made.block_->size;
    }
    if (made.block_->slots) made.rebuildIndex();
    std::swap(block_, made.block_);
}

JSONDictionary& JSONDictionary::operator=(const JSONDictionary& other) {
    if (this != &other) *this = JSONDictionary(other);
    return *this;
}

void JSONDictionary::regrow(size_t capacity) {
    Block* block = allocate(capacity);
    if (block_) {
        Entry* from = block_->entries();
        Entry* to = block->entries();
        for (uint32_t i = 0; i < block_->size; ++i) {
            new (to + i) Entry(std::move(from[i]));
            from[i].~Entry();
        }
        block->size = block_->size;
        std::free(block_);
    }
    block_ = block;
    if (block_->slots) rebuildIndex();
}

void JSONDictionary::reset() noexcept {
    if (!block_) return;
    Entry* entries = block_->entries();
    for (uint32_t i = 0; i < block_->size; ++i)
        entries[i].~Entry();
    std::free(std::exchange(block_, nullptr));
}

ptrdiff_t JSONDictionary::indexOf(std::string_view key) const {
    if (!block_) return -1;
    Entry* entries = block_->entries();
    if (block_->slots == 0) {
        for (uint32_t i = 0; i < block_->size; ++i)
            if (entries[i].first == key) return static_cast<ptrdiff_t>(i);
        return -1;
    }
    const uint32_t* index = block_->index();
    size_t mask = block_->slots - 1;
    for (size_t slot = hashOf(key) & mask;; slot = (slot + 1) & mask) {
        uint32_t at = index[slot];
        if (at == 0) return -1;
        if (entries[at - 1].first == key) return at - 1;
    }
}

const JSONValue* JSONDictionary::find(std::string_view key) const {
    ptrdiff_t i = indexOf(key);
    return i < 0 ? nullptr : &block_->entries()[i].second;
}

JSONValue* JSONDictionary::find(std::string_view key) {
    ptrdiff_t i = indexOf(key);
    return i < 0 ? nullptr : &block_->entries()[i].second;
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
    if (size() == capacity()) regrow(capacity() < 4 ? 4 : capacity() * 2);
    uint32_t at = block_->size;
    new (block_->entries() + at) Entry(std::move(key), std::move(value));
    ++block_->size;
    if (block_->slots) addToIndex(at);
}

bool JSONDictionary::rebuildIndex() {
    std::memset(block_->index(), 0, block_->slots * sizeof(uint32_t));
    bool unique = true;
    for (uint32_t i = 0; i < block_->size; ++i)
        unique &= addToIndex(i);
    return unique;
}

bool JSONDictionary::addToIndex(uint32_t entry) {
    uint32_t* index = block_->index();
    Entry* entries = block_->entries();
    size_t mask = block_->slots - 1;
    const std::string& key = entries[entry].first;
    size_t slot = hashOf(key) & mask;
    bool unique = true;
    for (; index[slot] != 0; slot = (slot + 1) & mask)
        if (unique && entries[index[slot] - 1].first == key) unique = false;
    index[slot] = entry + 1;
    return unique;
}

bool operator==(const JSONDictionary& a, const JSONDictionary& b) {
    if (a.size() != b.size()) return false;
    for (const auto& [key, value] : a) {
        const JSONValue* other = b.find(key);
        if (!other || !(*other == value)) return false;
    }
    return true;
}
