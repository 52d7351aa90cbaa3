#include "workspace/size_candidates.h"

#include "core/form/numbers.h"
#include "core/form/selection_context.h"
#include "core/ports/platform.h"
#include "core/record/selection_record.h"
#include "core/rules/size_tables.h"
#include "workspace/selection_window.h"

#include <numbers>

using F = Field;

QString SizeCandidate::fitText() const
{
    return widened ? QStringLiteral("widened") : QStringLiteral("exact");
}

QString SizeCandidate::fitWord() const
{
    return widened ? QStringLiteral("放宽") : QStringLiteral("精确");
}

double boreVelocity(double workFlow, double dnMillimetres)
{
    const double dn = dnMillimetres / 1000.0;
    return workFlow / 3600.0 / (std::numbers::pi * dn * dn / 4.0);
}

std::vector<SizeCandidate> sizeCandidates(const SelectionContext& w)
{
    const FormModel& shown = w.form;
    std::vector<SizeCandidate> out;
    // the type list is filled only by a computation that stands; an input change
    // empties it and the working flows with it
    if (shown.text(F::WorkFlowMax).isEmpty() || shown.count(F::MeterType) == 0)
        return out;
    // the messages of a type that no size fits are the probe's own: nobody sees them
    SilentPlatform silent;
    SelectionWindow probe(silent);
    for (int type = 0; type < shown.count(F::MeterType); ++type) {
        probe.form().copyStateFrom(shown);
        probe.context().flows = w.flows;
        probe.choose(F::MeterType, type);
        const FormModel& f = probe.form();
        for (const QString& label : f.items(F::Size)) {
            const std::optional<SizeUse> use = sizeUseOf(label, w.flows);
            const std::optional<SizeFit> fit = sizeFitOf(label, w.flows.qmin, w.flows.qmax);
            if (!use || !fit)
                continue; // every label of the size list is a row of its tables
            const double dn = boreDigits(label).toDouble();
            out.push_back({shown.items(F::MeterType)[type], label, *use, formatFixed(boreVelocity(w.flows.qmax, dn), 2),
                *fit == SizeFit::Widened});
        }
    }
    return out;
}
