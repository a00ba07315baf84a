#pragma once
// The log lines written while it lives, in order; the sink it replaced is put
// back when it goes. It is the list of lines itself, so tests compare,
// index and clear it as one.

#include "platform/Log.h"

#include <string>
#include <vector>

class LogRecorder : public std::vector<std::string> {
  public:
    LogRecorder() : previous_(platform::setLogSink([this](std::string_view line) { emplace_back(line); })) {}
    ~LogRecorder() { platform::setLogSink(previous_); }
    LogRecorder(const LogRecorder&) = delete;
    LogRecorder& operator=(const LogRecorder&) = delete;

  private:
    platform::LogSink previous_;
};
