#pragma once

class SelectionContext;

// The button "计算工况流量": checks the inputs, computes Zn/Zg by SGERG-88 or takes
// the typed values, shows the conversion factors and the working flow range, keeps
// the working flows, refills the sensor ranges and the meter types, starts the chain.
void computeWorkingFlow(SelectionContext& w);

// ZMode changed: switches between computed and typed Zn/Zg.
void onZModeClicked(SelectionContext& w);

// The focus leaves the medium list: computes the working flow once both flows are typed.
void onMediumLeft(SelectionContext& w);
