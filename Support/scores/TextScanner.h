#pragma once
// A small scanner over a text, counting in characters (Unicode code points)
// rather than bytes: the engine's own stand-in for the platform's text
// scanner, with the operations of group NSScanner_Extensions. It skips
// nothing on its own.

#include "engine/Ref.h"
#include "scores/CDataScanner.h"

#include <algorithm>
#include <string>
#include <string_view>

class TextScanner : public Ref {
  public:
    static RefPtr<TextScanner> scannerWithString(std::string_view utf8);

    // The text (invalid UTF-8 reads as U+FFFD).
    std::string string() const;
    size_t scanLocation() const { return location_; }
    // Past the end moves to the end.
    void setScanLocation(size_t n) { location_ = std::min(n, text_.size()); }
    bool isAtEnd() const { return location_ >= text_.size(); }

    bool scanString(std::string_view utf8, std::string* out);
    bool scanUpToString(std::string_view utf8, std::string* out);
    bool scanCharactersFromSet(const CharacterSet& set, std::string* out);
    bool scanUpToCharactersFromSet(const CharacterSet& set, std::string* out);

    // Group NSScanner_Extensions.
    std::string remainingString() const;
    // The character at the scan location, 0 at the end.
    char32_t currentCharacter() const { return isAtEnd() ? 0 : text_[location_]; }
    char32_t scanCharacter();
    bool scanCharacter(char32_t c);
    bool scanCStyleComment(std::string* out);
    bool scanCPlusPlusStyleComment(std::string* out);
    // Moves back by `n` characters; raises NSGenericException "Backtracked too
    // far." when that is before the start.
    void backtrack(size_t n);

  private:
    // Takes the characters whose membership of `set` is `member`, at least one.
    bool scanWhile(bool member, const CharacterSet& set, std::string* out);
    static std::u32string decode(std::string_view utf8);
    static std::string encode(std::u32string_view text);

    std::u32string text_;
    size_t location_ = 0;
};
