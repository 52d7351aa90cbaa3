#include "apps/common/candidate_columns.h"

#include "workspace/size_candidates.h"

CandidateMembers candidateMembers(const SizeCandidate& c)
{
    return {{
        {"MeterType", c.meterType, false},
        {"SizeSpec", c.sizeSpec, false},
        {"Low", c.use.capacity.lowText, true},
        {"High", c.use.capacity.highText, true},
        {"UseAtMax", c.use.useAtMax, true},
        {"MarginAtMin", c.use.marginAtMin, true},
        {"Velocity", c.velocity, true},
        {"Fit", c.fitText(), false},
    }};
}
