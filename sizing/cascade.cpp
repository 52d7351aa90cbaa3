#include "cascade.h"

#include "selection_context.h"
#include "vocabulary.h"

using F = Field;

namespace {

void emptyLists(FormModel& f, std::initializer_list<Field> lists)
{
    for (Field l : lists)
        f.clearItems(l);
}

} // namespace

void ComboBox10Change(SelectionContext& w)
{
    FormModel& f = w.form;
    emptyLists(f, {F::MeterType, F::BaseOrigin, F::MechCounter, F::CardControl, F::SizeSpec, F::NominalPressure});
    f.setText(F::WorkFlowMin, QString());
    f.setText(F::WorkFlowMax, QString());
    f.setText(F::ResultText, QString());
    f.select(F::CombinedAccuracy, vocab::Class15);
    f.select(F::BaseAccuracy, vocab::Class10);
    const int medium = f.index(F::Medium);
    const bool oilOrCoal = medium == vocab::MediumOilField || medium == vocab::MediumCoalBed;
    f.select(F::CorrectorAccuracy, oilOrCoal ? vocab::Class10 : vocab::Class05);
}

void ComboBox12Change(SelectionContext&)
{
}

void ComboBox13Change(SelectionContext&)
{
}

void ComboBox14Change(SelectionContext&)
{
}

void RadioGroup8Click(SelectionContext& w)
{
    FormModel& f = w.form;
    f.setText(F::ResultText, QString());
    if (f.text(F::CombinedAccuracy) == vocab::Class10) {
        f.setEnabled(F::BaseAccuracy, true);
        f.select(F::BaseAccuracy, vocab::Class10);
        if (f.enabled(F::CorrectorAccuracy)) {
            f.select(F::CorrectorAccuracy, vocab::Class05);
            f.setEnabled(F::CorrectorAccuracy, false);
        }
        return;
    }
    f.select(F::BaseAccuracy, vocab::Class10);
    f.setEnabled(F::BaseAccuracy, false);
    const bool noCard = f.text(F::CardControl) == vocab::CardNone;
    f.select(F::CorrectorAccuracy, noCard ? vocab::Class10 : vocab::Class05);
    f.setEnabled(F::CorrectorAccuracy, noCard);
}

void ComboBox2Change(SelectionContext&)
{
}

void RadioGroup12Click(SelectionContext& w)
{
    w.form.setText(F::ResultText, QString());
}
