#pragma once
// A one-line text drawn from a character-map picture: equal tiles laid out
// left to right and top to bottom, tile k showing the character
// mapStartChar + k. Changing the text only rewrites quads in memory, so it is
// cheap enough for every frame (the frame-rate counter).
//
// The text is taken byte by byte: each byte of it is one tile. The node's
// position is the lower-left corner of the first character.

#include "engine/AtlasNode.h"

#include <cstdint>
#include <string>

class LabelAtlas : public AtlasNode {
  public:
    static RefPtr<LabelAtlas> labelAtlasWithString(const std::string& string, const std::string& charMapFile,
                                                   int32_t itemWidth, int32_t itemHeight, char startCharMap);
    bool initWithString(const std::string& string, const std::string& charMapFile, int32_t itemWidth,
                        int32_t itemHeight, char startCharMap);

    // Grows the atlas when the text is longer than it has ever been; it never shrinks.
    void setString(const std::string& string);
    const std::string& string() const { return string_; }
    char mapStartChar() const { return mapStartChar_; }

    void updateAtlasValues() override;
    // Draws as many quads as the text has characters.
    void draw() override;
    // (length x itemWidth, itemHeight).
    ccSize contentSize() const override;

  private:
    std::string string_;
    char mapStartChar_ = 0;
};
