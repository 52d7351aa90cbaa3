#include "apps/desktop/gauge_pressure_dialog.h"

#include "core/form/gauge_pressure.h"
#include "core/form/numbers.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kGaugeMinCaption = QStringLiteral("表压下限");
const QString kGaugeMaxCaption = QStringLiteral("表压上限");
const QString kAtmosphereCaption = QStringLiteral("当地大气压");

// The atmospheric pressure of the last OK, for as long as the program runs: the
// desktop keeps no settings of its own (flowsel.conf beside the program is read for
// the store, and never written), and a site's atmosphere is the same all session.
QString& rememberedAtmosphere()
{
    static QString text = pressureBoxText(kStandardAtmosphereKpa);
    return text;
}

QLineEdit* numberBox(const QString& objectName, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(objectName);
    box->setMaximumWidth(100);
    return box;
}

} // namespace

GaugePressureDialog::GaugePressureDialog(QWidget* parent)
    : QDialog(parent)
    , m_gaugeMin(numberBox(QStringLiteral("gaugeMinEdit"), this))
    , m_gaugeMax(numberBox(QStringLiteral("gaugeMaxEdit"), this))
    , m_unit(new QComboBox(this))
    , m_atmosphere(numberBox(QStringLiteral("atmosphereEdit"), this))
    , m_problem(new QLabel(this))
{
    setWindowTitle(QStringLiteral("表压换算"));
    m_unit->setObjectName(QStringLiteral("unitCombo"));
    m_unit->addItems(pressureUnitNames());
    m_unit->setCurrentIndex(static_cast<int>(PressureUnit::MPa)); // what data sheets give most
    m_atmosphere->setText(rememberedAtmosphere());
    m_problem->setObjectName(QStringLiteral("problemLabel"));
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->setStyleSheet(QStringLiteral("color: red;"));
    m_problem->setWordWrap(true);
    m_problem->hide();

    auto* form = new QFormLayout;
    form->addRow(kGaugeMinCaption + u'：', m_gaugeMin);
    form->addRow(kGaugeMaxCaption + u'：', m_gaugeMax);
    form->addRow(QStringLiteral("单位："), m_unit);
    auto* atmosphere = new QHBoxLayout;
    atmosphere->addWidget(m_atmosphere);
    atmosphere->addWidget(new QLabel(QStringLiteral("kPa"), this));
    atmosphere->addStretch();
    form->addRow(kAtmosphereCaption + u'：', atmosphere);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &GaugePressureDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &GaugePressureDialog::reject);

    auto* root = new QVBoxLayout(this);
    root->addWidget(new QLabel(QStringLiteral("换算为绝对压力（kPa）：绝压 = 当地大气压 + 表压"), this));
    root->addLayout(form);
    root->addWidget(m_problem);
    root->addWidget(buttons);
}

void GaugePressureDialog::refuse(QLineEdit* box, const QString& text)
{
    m_problem->setText(text);
    m_problem->show();
    box->setFocus();
    box->selectAll();
}

bool GaugePressureDialog::convert(QLineEdit* gauge, const QString& caption, double atmosphere, QString* absolute)
{
    absolute->clear();
    if (trimmed(gauge->text()).isEmpty())
        return true;
    const std::optional<double> value = parseDecimalTrimmed(gauge->text());
    if (!value) {
        refuse(gauge, QStringLiteral("%1“%2”不是数字").arg(caption, gauge->text()));
        return false;
    }
    const auto unit = static_cast<PressureUnit>(m_unit->currentIndex());
    const std::optional<double> kpa = absolutePressureKpa(*value, unit, atmosphere);
    if (!kpa) {
        refuse(gauge, QStringLiteral("%1“%2”换算成绝对压力超出数值范围").arg(caption, gauge->text()));
        return false;
    }
    *absolute = pressureBoxText(*kpa);
    return true;
}

void GaugePressureDialog::accept()
{
    // Whether the pressures make sense together (a minimum above the maximum, below
    // vacuum) is the window's own check, as for typed pressures.
    const std::optional<double> atmosphere = parseDecimalTrimmed(m_atmosphere->text());
    if (!atmosphere) {
        refuse(m_atmosphere, QStringLiteral("%1“%2”不是数字").arg(kAtmosphereCaption, m_atmosphere->text()));
        return;
    }
    if (trimmed(m_gaugeMin->text()).isEmpty() && trimmed(m_gaugeMax->text()).isEmpty()) {
        refuse(m_gaugeMin, QStringLiteral("请填写%1或%2").arg(kGaugeMinCaption, kGaugeMaxCaption));
        return;
    }
    if (!convert(m_gaugeMin, kGaugeMinCaption, *atmosphere, &m_absoluteMin)
        || !convert(m_gaugeMax, kGaugeMaxCaption, *atmosphere, &m_absoluteMax))
        return;
    rememberedAtmosphere() = m_atmosphere->text();
    QDialog::accept();
}
