#pragma once
// A scanner over a buffer of bytes, the base of the JSON reader, and the
// character sets it scans with.
//
// The end of the data counts as the absence of a character: nothing past the
// buffer is ever read, and `currentCharacter` there is 0.

#include "engine/Ref.h"

#include <bitset>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// A set of Unicode characters.
class CharacterSet {
  public:
    CharacterSet() = default;
    // The characters of a UTF-8 text.
    static CharacterSet characterSetWithCharactersInString(std::string_view utf8);
    // U+000A, U+000C, U+000D, U+0085, U+2028 and U+2029 (group NSCharacterSet_Extensions).
    static const CharacterSet& linebreaksCharacterSet();

    bool characterIsMember(char32_t c) const;
    // Whether a byte of UTF-8 data is a member: only plain ASCII bytes can be,
    // so a scan never stops inside a multi-byte character.
    bool byteIsMember(uint8_t b) const { return b < 0x80 && ascii_[b]; }

    void addCharacter(char32_t c);

  private:
    std::bitset<128> ascii_;
    std::vector<char32_t> others_;
};

// Decodes the UTF-8 sequence at `p` (before `end`) into `c`: its length in
// bytes, 0 when broken (overlong, a surrogate, past U+10FFFF, cut short).
size_t decodeUTF8(const uint8_t* p, const uint8_t* end, char32_t& c);
// Appends `bytes` to `out` as UTF-8, each byte of a broken sequence replaced by U+FFFD.
void appendValidUTF8(std::string& out, std::string_view bytes);
// Appends the code point `c` (a surrogate or a value past U+10FFFF becomes U+FFFD).
void appendCodePoint(std::string& out, char32_t c);

class CDataScanner : public Ref {
  public:
    // A new scanner over a copy of `data`.
    static RefPtr<CDataScanner> scannerWithData(std::string_view data);

    CDataScanner();
    bool init();

    // Keeps a copy of `data` and starts the scan at its beginning; the same
    // buffer again changes nothing.
    virtual void setData(std::string_view data);
    std::string_view data() const { return {reinterpret_cast<const char*>(start_), length_}; }

    size_t scanLocation() const { return static_cast<size_t>(current_ - start_); }
    // Past the end moves to the end.
    void setScanLocation(size_t n);
    bool isAtEnd() const { return scanLocation() >= length_; }

    const CharacterSet& doubleCharacters() const { return doubleCharacters_; }
    void setDoubleCharacters(const CharacterSet& set) {
        doubleCharacters_ = set;
        defaultDoubleCharacters_ = false;
    }

    // The byte at the scan location, 0 at the end.
    uint8_t currentCharacter() const { return current_ < end_ ? *current_ : 0; }
    // That byte, advancing past it (0 and no move at the end).
    uint8_t scanCharacter() { return current_ < end_ ? *current_++ : 0; }
    bool scanCharacter(char c) {
        if (current_ >= end_ || *current_ != static_cast<uint8_t>(c)) return false;
        ++current_;
        return true;
    }

    bool scanUTF8String(const char* s, std::string* out);
    bool scanString(std::string_view text, std::string* out);
    bool scanCharactersFromSet(const CharacterSet& set, std::string* out);
    bool scanUpToCharactersFromSet(const CharacterSet& set, std::string* out);
    // A zero byte in the data ends the search.
    bool scanUpToString(std::string_view text, std::string* out);
    // The longest leading part of the run of `doubleCharacters` that reads as
    // a decimal number, in any locale; the scan advances over that part only.
    bool scanNumber(double* out);
    // Space, tab, line feed, vertical tab, form feed, carriage return.
    void skipWhitespace() {
        while (current_ < end_ && isSpace(*current_)) {
            ++current_;
            // Indented documents have long runs of spaces: take them eight at a time.
            while (end_ - current_ >= 8 && isEightSpaces(current_)) current_ += 8;
        }
    }
    std::string remainingString() const;

    // Group CDataScanner_Extensions: comments. Both raise NSGenericException
    // for a broken C comment (see the source for the messages).
    bool scanCStyleComment(std::string* out);
    bool scanCPlusPlusStyleComment(std::string* out);

  protected:
    // Takes the bytes for which `taken` holds, at least one, into `out` (valid UTF-8).
    template <class Predicate> bool scanWhile(Predicate taken, std::string* out) {
        const uint8_t* p = current_;
        while (p < end_ && taken(*p)) ++p;
        if (p == current_) return false;
        if (out) {
            out->clear();
            appendValidUTF8(*out, {reinterpret_cast<const char*>(current_), static_cast<size_t>(p - current_)});
        }
        current_ = p;
        return true;
    }
    // Scans `bytes` from their beginning; they must outlive the scan.
    void useBytes(std::string_view bytes);
    bool isSameData(std::string_view data) const {
        return start_ && data.data() == given_.data() && data.size() == given_.size();
    }

    std::string_view given_; // what setData was last given
    std::string owned_;      // the bytes scanned, unless borrowed
    static bool isDigit(uint8_t b) { return b >= '0' && b <= '9'; }
    static bool isSpace(uint8_t b) { return b == ' ' || (b >= '\t' && b <= '\r'); }
    static bool isEightSpaces(const uint8_t* p) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        return word == 0x2020202020202020ull;
    }

    const uint8_t* start_ = nullptr;
    const uint8_t* end_ = nullptr;
    const uint8_t* current_ = nullptr;
    size_t length_ = 0;
    CharacterSet doubleCharacters_;
    bool defaultDoubleCharacters_ = true;
};
