#pragma once

class SelectionContext;

// A size is chosen: offers its pressure ratings, the sensor ranges and the pipe
// connection, and sets the corrector options afresh.
void onSizeChanged(SelectionContext& w);
