#pragma once
// Small sound files for tests, written with libsndfile.

#include <string>

struct TestSound {
    enum Container { WAV, CAF };
    Container container = WAV;
    int rate = 22050;
    int channels = 1;
    double seconds = 0.25;
    double frequency = 440; // a sine tone
    float amplitude = 0.5f;
};

// Writes `sound` to `path`; false when libsndfile cannot.
bool writeTestSound(const std::string& path, const TestSound& sound = {});
