#pragma once
// Starting and ending the engine as a whole: the program, every test fixture
// and the benchmarks go through these two calls, so the shared objects are
// always torn down in the one order that works.

#include <string>

// Brings up the video subsystem the engine draws with: SDL's offscreen
// driver when `headless`, else the desktop's. False, with a one-line reason
// in `error`, when there is no display. Calling it again is harmless.
bool startEngine(bool headless, std::string* error);

// Ends what startEngine and the engine's use brought up: the texture cache
// first (its GL names belong to the director's context), then the director
// with its view and context, the scheduler, the application's windows,
// timers and touches, the clock, the sounds and the video subsystem. The
// engine can be started again afterwards; a later start sees nothing of
// this one.
void endEngine();
