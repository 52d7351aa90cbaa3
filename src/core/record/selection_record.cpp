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
    s.Bore = LeadingDigits(s[Field::SizeSpec]);
    s.CorrectorModel = correctorModel;
    s.TempSensorL = s[Field::TempMin];
    s.TempSensorH = s[Field::TempMax];
    s.TempMaxError = tempMaxError(s[Field::CorrectorAccuracy]);
    return s;
}

QString LeadingDigits(const QString& text)
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

const std::array<const char*, kColumnCount>& columnNames()
{
    static const std::array<const char*, kColumnCount> names = {
        "选型编号", "仪表型号规格", "使用介质", "最小标况流量", "最大标况流量", "压缩因子", "Zn_Zg_1",
        "Zn_Zg_2", "最小绝压", "最大绝牙", "最低温度", "最高温度", "参比条件", "CO2摩尔含量",
        "H2摩尔含量", "高位发热量", "相对密度", "卡表结算单位", "综合准确度", "最小工况流量",
        "最大工况流量", "产品名称", "基表产地", "机械计数器", "卡控", "通经", "公称压力",
        "基表准确度", "修正仪型号", "安装形式", "GPRS", "短程无线", "电流输出", "HART", "防爆类型",
        "修正方式", "温度传感器L", "温度传感器H", "压力传感器上限", "修正仪准确度", "显示转换系数",
        "机械计数器带脉冲", "连接方式", "通径规格", "温度最大误差",
    };
    return names;
}

QStringList toRow(const TSelection& s)
{
    using F = Field;
    return {
        s[F::SelectionNo], s.ModelCode, s[F::Medium], s[F::StdFlowMin], s[F::StdFlowMax],
        s[F::ZMode], s[F::ZnZgMin], s[F::ZnZgMax], s[F::PabsMin], s[F::PabsMax],
        s[F::TempMin], s[F::TempMax], s[F::RefCondition], s[F::XCO2], s[F::XH2],
        s[F::Hs], s[F::RelDensity], s[F::SettlementUnit], s[F::CombinedAccuracy], s[F::WorkFlowMin],
        s[F::WorkFlowMax], s.ProductName, s[F::BaseOrigin], s[F::MechCounter], s[F::CardControl],
        s.Bore, s[F::NominalPressure], s[F::BaseAccuracy], s.CorrectorModel, s[F::Installation],
        s[F::Gprs], s[F::ShortRangeWireless], s[F::CurrentOutput], s[F::Hart], s[F::ExProof],
        s[F::CorrectionMode], s.TempSensorL, s.TempSensorH, s[F::PressSensorUpper], s[F::CorrectorAccuracy],
        s[F::DisplayFactor], s[F::CounterPulse], s[F::PipeConnection], s[F::SizeSpec], s.TempMaxError,
    };
}
