#include "monitor/RunState.h"

TRunState RunState;
