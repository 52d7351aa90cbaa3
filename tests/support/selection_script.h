#pragma once

#include "support/script_fixture.h"
#include "support/window_script.h"

// A window of the script runner with helpers for whole selections.
using SelectionScript = SelectionOf<ScriptFixture>;
