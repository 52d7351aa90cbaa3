#pragma once

#include <QString>

// The buttons of a selection window.
enum class Button { ComputeFlow, Select, Save, Print };

// A button's caption in the window, by which scripts name it.
QString buttonCaption(Button button);
