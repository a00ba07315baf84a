#pragma once
// The gallery's pictures: every demo at its picture moment, on virtual time
// with the engine's random numbers seeded, so that every run gives the same
// files; and contact sheets that put them side by side with their names.

#include "platform/Image.h"

#include <string>
#include <vector>

struct DemoPicture {
    std::string name;
    platform::Bitmap frame;
};

// Runs demo `index` from its start on a fresh director and virtual time, up
// to its picture moment, and returns the frame. The display must be up.
platform::Bitmap pictureOfDemo(int index);

// The contact sheet pages of `pictures`: thumbnails at half the screen's
// size in points, captioned, twelve to a page.
std::vector<platform::Bitmap> contactSheets(const std::vector<DemoPicture>& pictures);

// Writes DIR/NAME.png for every demo and DIR/contact-sheet-N.png (N from 1);
// false (logged) when a file cannot be written.
bool writeContactSheet(const std::string& dir);

// The file name of contact sheet page `page` (from 0).
std::string contactSheetFileName(int page);
