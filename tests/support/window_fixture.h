#pragma once

#include "support/recording_platform.h"
#include "workspace/selection_window.h"

#include <QTest>

// A selection window with a recording platform, driven as a user would.
struct WindowFixture {
    RecordingPlatform ui;
    SelectionWindow window {ui};

    FormModel& form() { return window.form(); }
    QString text(Field f) { return window.form().text(f); }
    QStringList items(Field f) { return window.form().items(f); }

    void paste(Field f, const QString& text) { window.paste(f, text); }
    // choose by item text; fails the test when the item is not offered
    void choose(Field f, const QString& item)
    {
        const qsizetype i = window.form().items(f).indexOf(item);
        QVERIFY2(i >= 0, qPrintable(QStringLiteral("%1 has no item %2").arg(fieldName(f), item)));
        window.choose(f, static_cast<int>(i));
    }
    void compute() { window.clickComputeFlow(); }

    // flows, pressures and temperatures in one go, Zn/Zg typed as 1.0
    void typedZnZg(const QString& qmin, const QString& qmax, const QString& pmin, const QString& pmax,
        const QString& tmin = QStringLiteral("-20"), const QString& tmax = QStringLiteral("60"))
    {
        paste(Field::StdFlowMin, qmin);
        paste(Field::StdFlowMax, qmax);
        paste(Field::PabsMin, pmin);
        paste(Field::PabsMax, pmax);
        paste(Field::TempMin, tmin);
        paste(Field::TempMax, tmax);
        choose(Field::ZMode, QStringLiteral("不修正"));
    }
};
