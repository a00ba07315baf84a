#pragma once
// The resource generator: every picture and sound the game loads by name,
// drawn and synthesised from code.

#include <string>

// Each writes its files into `directory` (which must exist); false, with a
// message on stderr, at the first failure.
bool writePictures(const std::string& directory);
bool writeSounds(const std::string& directory);
// The engine's tile picture, tile maps (TGA) and streak texture.
bool writeTileMaps(const std::string& directory);

// Every picture in `resources` on a checkerboard with its name, written to the PNG file `path`.
bool writeContactSheet(const std::string& resources, const std::string& path);
