#pragma once

#include "core/ports/selection_store.h"

// A stored selection as a project's line shows it: its number and model code, the
// medium, the flow and pressure ranges and the size; the other values empty.
inline StoredRow projectSelectionRow(const QString& number, const QString& code)
{
    StoredRow r(45);
    r[0] = number;
    r[1] = code;
    r[2] = QStringLiteral("城市天然气或城市煤气");
    r[3] = QStringLiteral("10");
    r[4] = QStringLiteral("100");
    r[8] = QStringLiteral("150");
    r[9] = QStringLiteral("200");
    r[43] = QStringLiteral("50RKD-G25(0.5<=Qg<=40)");
    return r;
}
