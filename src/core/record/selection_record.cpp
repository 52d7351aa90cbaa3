#include "core/record/selection_record.h"

#include "core/form/form_model.h"
#include "core/form/numbers.h"
#include "core/form/vocabulary.h"

TSelection snapshot(const FormModel& form, const QString& correctorModel)
{
    TSelection s;
    for (Field f : allFields())
        s[f] = form.text(f);
    s.ModelCode = trimmed(s[Field::ResultText]);
    s.ProductName = productName(s[Field::MeterType], s[Field::BaseOrigin]);
    s.Bore = boreDigits(s[Field::Size]);
    s.CorrectorModel = correctorModel;
    s.TempSensorL = s[Field::TempMin];
    s.TempSensorH = s[Field::TempMax];
    s.TempMaxError = tempMaxError(s[Field::CorrectorAccuracy]);
    return s;
}

QString boreDigits(const QString& text)
{
    qsizetype n = 0;
    while (n < text.size() && text[n] >= u'0' && text[n] <= u'9')
        ++n;
    return text.left(n);
}

QString productName(const QString& meterType, const QString& baseOrigin)
{
    if (meterType == vocab::RotaryLobe)
        return (baseOrigin == vocab::Imported ? vocab::RootsProduct : vocab::RotaryLobeProduct).toString();
    return meterType;
}

QString tempMaxError(const QString& correctorAccuracy)
{
    if (correctorAccuracy == vocab::Class05)
        return QStringLiteral("±0.5℃");
    if (correctorAccuracy == vocab::Class10)
        return QStringLiteral("±1.0℃");
    return QString();
}

const QString& TSelection::operator[](Derived d) const
{
    switch (d) {
    case Derived::ModelCode: return ModelCode;
    case Derived::ProductName: return ProductName;
    case Derived::Bore: return Bore;
    case Derived::CorrectorModel: return CorrectorModel;
    case Derived::TempSensorL: return TempSensorL;
    case Derived::TempSensorH: return TempSensorH;
    case Derived::TempMaxError: return TempMaxError;
    }
    return TempMaxError;
}

const QString& TSelection::valueOf(const Column& column) const
{
    return std::visit([this](auto v) -> const QString& { return (*this)[v]; }, column.value);
}

QStringList toRow(const TSelection& s)
{
    QStringList row;
    row.reserve(kColumnCount);
    for (const Column& c : columns())
        row << s.valueOf(c);
    return row;
}
