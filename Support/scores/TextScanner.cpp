#include "scores/TextScanner.h"

#include "engine/Errors.h"

RefPtr<TextScanner> TextScanner::scannerWithString(std::string_view utf8) {
    RefPtr<TextScanner> scanner = makeRef<TextScanner>();
    scanner->text_ = decode(utf8);
    return scanner;
}

std::u32string TextScanner::decode(std::string_view utf8) {
    // Valid UTF-8 first, so that every sequence below is whole.
    std::string valid;
    appendValidUTF8(valid, utf8);
    std::u32string out;
    for (size_t i = 0; i < valid.size();) {
        unsigned char b = static_cast<unsigned char>(valid[i]);
        size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
        for (size_t k = 1; k < n; ++k) c = c << 6 | (static_cast<unsigned char>(valid[i + k]) & 0x3F);
        out += c;
        i += n;
    }
    return out;
}

std::string TextScanner::encode(std::u32string_view text) {
    std::string out;
    for (char32_t c : text) appendCodePoint(out, c);
    return out;
}

std::string TextScanner::string() const { return encode(text_); }

std::string TextScanner::remainingString() const { return encode(std::u32string_view(text_).substr(location_)); }

bool TextScanner::scanString(std::string_view utf8, std::string* out) {
    std::u32string wanted = decode(utf8);
    if (wanted.empty() || text_.compare(location_, wanted.size(), wanted) != 0) return false;
    location_ += wanted.size();
    if (out) *out = encode(wanted);
    return true;
}

bool TextScanner::scanUpToString(std::string_view utf8, std::string* out) {
    std::u32string wanted = decode(utf8);
    if (isAtEnd() || wanted.empty()) return false;
    size_t at = text_.find(wanted, location_);
    if (at == std::u32string::npos) at = text_.size();
    if (at == location_) return false;
    if (out) *out = encode(std::u32string_view(text_).substr(location_, at - location_));
    location_ = at;
    return true;
}

bool TextScanner::scanWhile(bool member, const CharacterSet& set, std::string* out) {
    size_t end = location_;
    while (end < text_.size() && set.characterIsMember(text_[end]) == member) ++end;
    if (end == location_) return false;
    if (out) *out = encode(std::u32string_view(text_).substr(location_, end - location_));
    location_ = end;
    return true;
}

bool TextScanner::scanCharactersFromSet(const CharacterSet& set, std::string* out) {
    return scanWhile(true, set, out);
}

bool TextScanner::scanUpToCharactersFromSet(const CharacterSet& set, std::string* out) {
    return scanWhile(false, set, out);
}

char32_t TextScanner::scanCharacter() {
    if (isAtEnd()) return 0;
    return text_[location_++];
}

bool TextScanner::scanCharacter(char32_t c) {
    if (isAtEnd() || text_[location_] != c) return false;
    ++location_;
    return true;
}

bool TextScanner::scanCStyleComment(std::string* out) {
    if (!scanString("/*", nullptr)) return false;
    size_t close = text_.find(U"*/", location_);
    if (close == std::u32string::npos)
        ccRaise("NSGenericException", "Started to scan a C style comment but it wasn't terminated.");
    std::u32string_view body = std::u32string_view(text_).substr(location_, close - location_);
    if (body.find(U"/*") != std::u32string_view::npos)
        ccRaise("NSGenericException", "C style comments should not be nested.");
    location_ = close;
    if (!scanString("*/", nullptr)) ccRaise("NSGenericException", "C style comment did not end correctly.");
    if (out) *out = encode(body);
    return true;
}

bool TextScanner::scanCPlusPlusStyleComment(std::string* out) {
    if (!scanString("//", nullptr)) return false;
    const CharacterSet& breaks = CharacterSet::linebreaksCharacterSet();
    std::string text;
    scanUpToCharactersFromSet(breaks, &text);
    scanCharactersFromSet(breaks, nullptr);
    if (out) *out = std::move(text);
    return true;
}

void TextScanner::backtrack(size_t n) {
    if (n > location_) ccRaise("NSGenericException", "Backtracked too far.");
    location_ -= n;
}
