#include "reminder/RestEngine.h"

TRestEngine* RestEngine = nullptr;

TRestEngine::TRestEngine(TRunState& state, IRestHost& host, IRestSettings* settings)
    : state_(state), host_(host), settings_(settings) {}

void TRestEngine::SetSettings(IRestSettings* settings) {
  settings_ = settings;
}
