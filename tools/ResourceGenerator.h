#pragma once
// The resource generator: every picture and sound the game loads by name,
// drawn and synthesised from code.

#include <string>

// Each writes its files into `directory` (which must exist); false, with a
// message on stderr, at the first failure.
bool writePictures(const std::string& directory);
bool writeSounds(const std::string& directory);

// Screen mock-ups and a contact sheet put together from the pictures in
// `resources`, for judging the artwork without the game.
bool writeMockups(const std::string& resources, const std::string& directory);
