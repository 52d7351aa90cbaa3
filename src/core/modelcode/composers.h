#pragma once

#include <QString>

class ModelCode;

// The model-code composers of the three meter families. Each returns the model
// code (empty: this combination has no code), sets the option groups the product
// fixes and the corrector model, or stops the command with a message
// (CommandStopped).
QString composeTurbine(ModelCode& m);
QString composeRotaryLobe(ModelCode& m);
QString composeVortex(ModelCode& m);
