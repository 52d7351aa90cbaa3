// The selection window's layout: every control made in the widget that shows it, in
// the window's order from the top left, and the order Tab follows.
#include "apps/desktop/filtered_line_edit.h"
#include "apps/desktop/list_box.h"
#include "apps/desktop/radio_group.h"
#include "apps/desktop/selection_tab_order.h"
#include "apps/desktop/selection_widget.h"
#include "core/form/buttons.h"
#include "core/form/vocabulary.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <variant>

using F = Field;

namespace {

const QString kStatusNote = QStringLiteral(
    "注意：1、\"特殊要求\"是指综合准确度要求1.0级或（且）基表准确度要求0.5级和带卡控且上限压力要求0.9MPa等情况。 "
    "2、 选型结果仅供参考，请核对Corvane最新的产品选型手册。");

QString captionOf(Field f)
{
    return QString::fromUtf8(fieldControl(f).caption);
}

// Radio groups whose caption is a label beside them ("综合准确度：") rather than the
// title of their frame.
bool labelCaptioned(Field f)
{
    return captionOf(f).endsWith(u'：');
}

// The widest text a list can show, so that its closed box never cuts an item.
QString widestItem(Field f)
{
    switch (f) {
    case F::MeterType: return vocab::RotaryLobe.toString();
    case F::Size: return QStringLiteral("100RKD-G400-4C(2.5<=Qg<=650)");
    case F::NominalPressure:
    case F::PressSensorUpper: return QStringLiteral("10.0");
    default: break;
    }
    QString widest;
    for (const QString& item : fieldControl(f).items) {
        if (item.size() > widest.size())
            widest = item;
    }
    return widest;
}

// A text in its own colour in every state, as a style sheet's colour would be; a
// palette costs nothing when the window opens and paints, a style sheet a great deal.
void paintText(QWidget* w, QPalette::ColorRole role, const QColor& colour)
{
    QPalette p = w->palette();
    p.setColor(role, colour);
    w->setPalette(p);
}

QLabel* label(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QLabel* caption(const QString& text, QWidget* parent)
{
    return label(text, parent);
}

QGroupBox* group(const QString& title, QWidget* parent)
{
    auto* g = new QGroupBox(title, parent);
    return g;
}

} // namespace

QWidget* SelectionWidget::place(Field f, QWidget* parent)
{
    QWidget*& made = m_controls[static_cast<size_t>(f)];
    Q_ASSERT(!made);
    made = makeControl(f, parent);
    return made;
}

QWidget* SelectionWidget::makeControl(Field f, QWidget* parent)
{
    const FieldControl& control = fieldControl(f);
    QWidget* w = nullptr;
    switch (control.kind) {
    case ControlKind::Edit: {
        auto* e = new FilteredLineEdit(control.filter, m_platform.get(), parent);
        if (f == F::SelectionNo) {
            QFont bold = e->font();
            bold.setBold(true);
            e->setFont(bold);
            paintText(e, QPalette::Text, Qt::blue);
            e->setMinimumWidth(150);
        } else {
            e->setMaximumWidth(f == F::XCO2 || f == F::XH2 || f == F::Hs || f == F::RelDensity ? 70 : 80);
        }
        w = e;
        break;
    }
    case ControlKind::Label: {
        auto* l = label(QString(), parent);
        if (f == F::ResultText) {
            QFont big = l->font();
            big.setPointSize(14);
            big.setBold(true);
            l->setFont(big);
            paintText(l, QPalette::WindowText, Qt::blue);
            l->setTextInteractionFlags(Qt::TextSelectableByMouse);
            l->setMinimumWidth(420);
        } else {
            l->setMinimumWidth(60);
            l->setFrameShape(QFrame::StyledPanel);
        }
        w = l;
        break;
    }
    case ControlKind::List: {
        auto* c = new ListBox(parent);
        c->setMinimumWidth(c->fontMetrics().horizontalAdvance(widestItem(f)) + 32);
        w = c;
        break;
    }
    case ControlKind::Radio:
        w = new RadioGroup(labelCaptioned(f) ? QString() : captionOf(f), control.items, control.columns, parent);
        if (labelCaptioned(f))
            static_cast<RadioGroup*>(w)->setFlat(true);
        break;
    }
    w->setObjectName(QString::fromLatin1(control.name));
    return w;
}

QLabel* SelectionWidget::caption(Field f, QWidget* parent)
{
    return ::caption(captionOf(f), parent);
}

QWidget* SelectionWidget::captioned(Field f, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(caption(f, row));
    h->addWidget(place(f, row), 1);
    return row;
}

void SelectionWidget::buildLayout()
{
    // Every widget is made inside the one that shows it: a widget moved there later
    // takes on its new parent's font, palette and style again, one by one.
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(4, 4, 4, 0);
    root->setSpacing(4);

    // The selection and the comparison of its candidates share the window's room: the
    // form keeps its size, and the comparison is one click away.
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("selectionTabs"));
    m_tabs->setDocumentMode(true);
    auto* form = new QWidget(m_tabs);
    // the page goes in without its layout: a page added whole is laid out at once, at
    // a size the window does not have yet
    m_tabs->addTab(form, QStringLiteral("选型"));
    auto* body = new QHBoxLayout;
    body->setSpacing(4);
    body->addLayout(buildInputColumn(form), 1);
    body->addLayout(buildOutputColumn(form));
    body->setContentsMargins(0, 2, 0, 0);
    form->setLayout(body);
    // The comparison's table is made when it is first shown or asked for: most windows
    // never show it, and a window among hundreds opens faster without it.
    m_comparePage = new QWidget(m_tabs);
    m_tabs->addTab(m_comparePage, compareTabCaption());
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0 && m_tabs->widget(index) == m_comparePage)
            candidatesPane();
    });
    root->addWidget(m_tabs, 1);
    root->addLayout(buildResultStrip());
    buildFooter(root);
    connectButtons();
}

QVBoxLayout* SelectionWidget::buildInputColumn(QWidget* page)
{
    auto* left = new QVBoxLayout;
    left->setSpacing(4);

    // medium and standard flows
    auto* top = new QHBoxLayout;
    top->addWidget(caption(F::Medium, page));
    top->addWidget(place(F::Medium, page));
    top->addSpacing(12);
    top->addWidget(caption(F::StdFlowMin, page));
    top->addWidget(place(F::StdFlowMin, page));
    top->addWidget(::caption(QStringLiteral("～"), page));
    top->addWidget(place(F::StdFlowMax, page));
    top->addStretch();
    left->addLayout(top);

    // compressibility mode, Zn/Zg and conversion factors
    auto* second = new QHBoxLayout;
    second->addWidget(place(F::ZMode, page));
    auto* znzg = group(QStringLiteral("标况和工况下的气体压缩系数比：Zn/Zg"), page);
    auto* znzgGrid = new QGridLayout(znzg);
    znzgGrid->setVerticalSpacing(2);
    znzgGrid->addWidget(caption(F::ZnZgMin, znzg), 0, 0);
    znzgGrid->addWidget(place(F::ZnZgMin, znzg), 0, 1);
    znzgGrid->addWidget(caption(F::ZnZgMax, znzg), 1, 0);
    znzgGrid->addWidget(place(F::ZnZgMax, znzg), 1, 1);
    second->addWidget(znzg, 1);
    auto* factors = group(QStringLiteral("转换系数：Zn/Zg*Pg/Pn*Tn/Tg"), page);
    auto* factorGrid = new QGridLayout(factors);
    factorGrid->setVerticalSpacing(2);
    factorGrid->addWidget(caption(F::ConvFactorMin, factors), 0, 0);
    factorGrid->addWidget(place(F::ConvFactorMin, factors), 0, 1);
    factorGrid->addWidget(caption(F::ConvFactorMax, factors), 1, 0);
    factorGrid->addWidget(place(F::ConvFactorMax, factors), 1, 1);
    second->addWidget(factors, 1);
    left->addLayout(second);

    left->addWidget(buildGasGroup(page));

    // the working flow
    auto* flow = new QHBoxLayout;
    m_compute = new QPushButton(buttonCaption(Button::ComputeFlow), page);
    m_compute->setObjectName(QStringLiteral("computeButton"));
    flow->addWidget(m_compute);
    flow->addSpacing(8);
    flow->addWidget(caption(F::WorkFlowMin, page));
    flow->addWidget(place(F::WorkFlowMin, page));
    flow->addWidget(::caption(QStringLiteral("～"), page));
    flow->addWidget(place(F::WorkFlowMax, page));
    flow->addSpacing(12);
    flow->addWidget(caption(F::CombinedAccuracy, page));
    flow->addWidget(place(F::CombinedAccuracy, page));
    flow->addStretch();
    left->addLayout(flow);

    left->addWidget(buildMeterGroup(page));
    left->addStretch();
    return left;
}

QGroupBox* SelectionWidget::buildGasGroup(QWidget* page)
{
    // the gas: pressures, temperatures, reference condition, composition
    auto* gas = group(vocab::GasGroupCaption.toString(), page);
    gas->setObjectName(QStringLiteral("gasGroup"));
    gas->setFocusPolicy(Qt::StrongFocus);
    m_gasGroup = gas;
    auto* gasGrid = new QGridLayout(gas);
    gasGrid->setVerticalSpacing(3);
    auto* pressures = new QHBoxLayout;
    pressures->addWidget(caption(F::PabsMin, gas));
    pressures->addWidget(place(F::PabsMin, gas));
    pressures->addWidget(::caption(QStringLiteral("～"), gas));
    pressures->addWidget(place(F::PabsMax, gas));
    m_gauge = new QPushButton(QStringLiteral("表压换算…"), gas);
    m_gauge->setObjectName(QStringLiteral("gaugeButton"));
    m_gauge->setAutoDefault(false);
    pressures->addWidget(m_gauge);
    pressures->addSpacing(16);
    pressures->addWidget(caption(F::TempMin, gas));
    pressures->addWidget(place(F::TempMin, gas));
    pressures->addWidget(::caption(QStringLiteral("～"), gas));
    pressures->addWidget(place(F::TempMax, gas));
    pressures->addStretch();
    gasGrid->addLayout(pressures, 0, 0, 1, 5);
    auto* reference = new QHBoxLayout;
    reference->addWidget(caption(F::RefCondition, gas));
    reference->addWidget(place(F::RefCondition, gas), 1);
    gasGrid->addLayout(reference, 1, 0, 1, 5);
    gasGrid->addWidget(caption(F::XCO2, gas), 2, 0);
    gasGrid->addWidget(place(F::XCO2, gas), 2, 1);
    gasGrid->addWidget(caption(F::Hs, gas), 2, 2);
    gasGrid->addWidget(place(F::Hs, gas), 2, 3);
    gasGrid->addWidget(::caption(QStringLiteral("MJ/m3"), gas), 2, 4);
    gasGrid->addWidget(caption(F::XH2, gas), 3, 0);
    gasGrid->addWidget(place(F::XH2, gas), 3, 1);
    gasGrid->addWidget(caption(F::RelDensity, gas), 3, 2);
    gasGrid->addWidget(place(F::RelDensity, gas), 3, 3);
    gasGrid->setColumnStretch(4, 1);
    return gas;
}

QGroupBox* SelectionWidget::buildMeterGroup(QWidget* page)
{
    // the meter
    auto* meter = group(QStringLiteral("选型内容"), page);
    auto* meterGrid = new QGridLayout(meter);
    meterGrid->setContentsMargins(6, 4, 6, 4);
    meterGrid->setHorizontalSpacing(4);
    meterGrid->setVerticalSpacing(3);
    const Field chain[3][3] = {{F::MeterType, F::BaseOrigin, F::MechCounter},
        {F::CardControl, F::Size, F::NominalPressure}, {F::BaseAccuracy, F::Corrector, F::Installation}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            meterGrid->addWidget(caption(chain[r][c], meter), r, 2 * c, Qt::AlignRight);
            meterGrid->addWidget(place(chain[r][c], meter), r, 2 * c + 1);
        }
    }
    meterGrid->setColumnStretch(3, 1);
    return meter;
}

QVBoxLayout* SelectionWidget::buildOutputColumn(QWidget* page)
{
    // outputs and functions
    auto* right = new QVBoxLayout;
    right->setSpacing(4);
    auto* outputs = group(QStringLiteral("输出及功能要求配置"), page);
    auto* out = new QVBoxLayout(outputs);
    out->setContentsMargins(4, 4, 4, 4);
    out->setSpacing(3);
    auto* radios = new QHBoxLayout;
    radios->addWidget(place(F::Gprs, outputs));
    radios->addWidget(place(F::ShortRangeWireless, outputs));
    radios->addWidget(place(F::CurrentOutput, outputs));
    out->addLayout(radios);
    auto* hartRow = new QHBoxLayout;
    hartRow->addWidget(place(F::Hart, outputs));
    hartRow->addWidget(place(F::ExProof, outputs), 1);
    out->addLayout(hartRow);
    out->addWidget(place(F::CorrectionMode, outputs));
    auto* sensor = new QHBoxLayout;
    sensor->addWidget(caption(F::PressSensorUpper, outputs));
    sensor->addWidget(place(F::PressSensorUpper, outputs), 1);
    sensor->addWidget(::caption(QStringLiteral("MPa"), outputs));
    out->addLayout(sensor);
    for (Field f : {F::CorrectorAccuracy, F::DisplayFactor, F::SettlementUnit})
        out->addWidget(captioned(f, outputs));
    right->addWidget(outputs);
    auto* counter = new QHBoxLayout;
    counter->addWidget(place(F::CounterPulse, page));
    counter->addWidget(place(F::PipeConnection, page));
    right->addLayout(counter);
    right->addStretch();
    return right;
}

QHBoxLayout* SelectionWidget::buildResultStrip()
{
    // the result
    auto* strip = new QHBoxLayout;
    m_select = new QPushButton(buttonCaption(Button::Select), this);
    m_select->setObjectName(QStringLiteral("selectButton"));
    m_select->setMinimumHeight(40);
    strip->addWidget(m_select);
    auto* result = group(QStringLiteral("选型结果"), this);
    auto* resultLayout = new QHBoxLayout(result);
    resultLayout->addWidget(place(F::ResultText, result));
    strip->addWidget(result, 1);
    strip->addWidget(caption(F::SelectionNo, this));
    strip->addWidget(place(F::SelectionNo, this));
    m_smallPrint = new QPushButton(QStringLiteral("…"), this);
    m_smallPrint->setToolTip(QStringLiteral("选型信息打印输出..."));
    strip->addWidget(m_smallPrint);

    return strip;
}

void SelectionWidget::buildFooter(QVBoxLayout* root)
{
    // Warnings stay in view beside the result, unlike a status-bar note that the next
    // message replaces.
    m_warningLine = label(QString(), this);
    m_warningLine->setObjectName(QStringLiteral("warningLine"));
    m_warningLine->setWordWrap(true);
    paintText(m_warningLine, QPalette::WindowText, QColor(0xc0, 0, 0));
    root->addWidget(m_warningLine);

    auto* panel = new QHBoxLayout;
    panel->addStretch();
    m_save = new QPushButton(buttonCaption(Button::Save), this);
    m_save->setObjectName(QStringLiteral("saveButton"));
    m_print = new QPushButton(buttonCaption(Button::Print), this);
    m_print->setObjectName(QStringLiteral("printButton"));
    panel->addWidget(m_save);
    panel->addWidget(m_print);
    panel->addStretch();
    root->addLayout(panel);

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    status->addWidget(::caption(kStatusNote, status), 1);
    root->addWidget(status);
}

QString SelectionWidget::compareTabCaption()
{
    return QStringLiteral("规格比较");
}

void SelectionWidget::setReadingTabOrder()
{
    // The group "介质特性" is a focus target of the computation's messages only.
    m_gasGroup->setFocusPolicy(Qt::ClickFocus);
    const auto button = [this](WindowButton b) -> QWidget* {
        switch (b) {
        case WindowButton::GaugePressure: return m_gauge;
        case WindowButton::ComputeFlow: return m_compute;
        case WindowButton::Select: return m_select;
        case WindowButton::Save: return m_save;
        case WindowButton::Print: return m_print;
        }
        return nullptr;
    };
    QWidget* previous = nullptr;
    const auto chain = [&previous](QWidget* w) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    };
    for (const TabStop& stop : readingTabOrder()) {
        if (const auto* b = std::get_if<WindowButton>(&stop)) {
            chain(button(*b));
            continue;
        }
        const Field f = std::get<Field>(stop);
        if (auto* radios = qobject_cast<RadioGroup*>(control(f))) {
            for (int i = 0; i < radios->items().size(); ++i)
                chain(radios->button(i));
        } else {
            chain(control(f));
        }
    }
}
