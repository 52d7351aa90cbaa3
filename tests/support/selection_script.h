#pragma once

#include "support/script_fixture.h"

#include <QTest>

inline const QString kCity = QStringLiteral("城市天然气或城市煤气");
inline const QString kOil = QStringLiteral("油田天然气");
inline const QString kCoal = QStringLiteral("煤层气");
inline const QString kAir = QStringLiteral("空气或氮气或惰性气体");
inline const QString kOxygen = QStringLiteral("氧气或氢气");

// A window of the script runner with helpers for whole selections.
struct SelectionScript : ScriptFixture {
    using ScriptFixture::ScriptFixture;

    const FormModel& form() { return workspace.current()->form(); }
    QString text(Field f) { return form().text(f); }
    QStringList pending()
    {
        const auto& p = workspace.current()->context().pending;
        return p ? *p : QStringList();
    }
    bool hasPending() { return workspace.current()->context().pending.has_value(); }

    bool ranCleanly(const QStringList& out)
    {
        for (const QString& line : out)
            if (line.contains(QStringLiteral("\"script-error\"")))
                return false;
        return true;
    }
};

// Inputs at -20 C to 60 C and 300 to 400 kPa with Zn/Zg typed 1: working flows 17.500
// to 57.575 m3/h, sizes such as 50B, 80B and 50D, sensor range 0.5 MPa first.
inline QString meteringPointLines(const QString& medium)
{
    return QStringLiteral("choose Medium %1\n"
                          "paste StdFlowMin 80\npaste StdFlowMax 150\n"
                          "paste PabsMin 300\npaste PabsMax 400\n"
                          "paste TempMin -20\npaste TempMax 60\n"
                          "choose ZMode 不修正\nclick 计算工况流量\n")
        .arg(medium);
}
