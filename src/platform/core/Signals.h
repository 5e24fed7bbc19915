#pragma once

#include <functional>

namespace platform {

// Turns SIGTERM and SIGINT into a call of onQuit on the user-interface thread
// (through a self-pipe, so nothing unsafe runs in the signal handler).
void InstallQuitSignals(std::function<void()> onQuit);

}  // namespace platform
