#include "apps/desktop/desktop.h"
#include "apps/desktop/desktop_style.h"
#include "apps/desktop/radio_group.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>

#include <functional>
#include <memory>

namespace {

using MakeWidget = std::function<QWidget*()>;

QLabel* label(const QString& text, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* l = new QLabel(text);
    l->setAlignment(alignment);
    return l;
}

// The widget drawn by `style` on white, at `size`.
QImage drawn(const MakeWidget& make, QStyle* style, QSize size)
{
    std::unique_ptr<QWidget> widget(make());
    widget->setStyle(style);
    widget->resize(size);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    widget->render(&image);
    return image;
}

// The largest difference of a colour channel between two pictures of one size.
int largestDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max(
                {largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

} // namespace

Q_DECLARE_METATYPE(MakeWidget)

class TestDesktopStyle : public QObject {
    Q_OBJECT

private slots:
    // The program's style draws as Fusion draws, whether it takes its own quicker way
    // (one line of text, a frame) or leaves the drawing to Fusion (several lines,
    // mnemonics, a text too wide for its place). Texts are drawn to the pixel; a
    // frame's far edges and a radio button's smoothed circle may differ by one step
    // of a colour channel.
    void drawsAsFusion_data()
    {
        QTest::addColumn<MakeWidget>("make");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("tolerance");
        const QString caption = QStringLiteral("标况流量范围（Nm3/h）：");
        QTest::newRow("caption") << MakeWidget([=] { return label(caption); }) << QSize(200, 24) << 0;
        QTest::newRow("centred, odd room")
            << MakeWidget([=] { return label(caption, Qt::AlignCenter); }) << QSize(217, 27) << 0;
        QTest::newRow("right, bottom") << MakeWidget([=] { return label(caption, Qt::AlignRight | Qt::AlignBottom); })
                                       << QSize(233, 31) << 0;
        QTest::newRow("large bold") << MakeWidget([] {
            QLabel* l = label(QStringLiteral("VRNA-80B-1.0-KEV"), Qt::AlignCenter);
            QFont f = l->font();
            f.setPointSize(14);
            f.setBold(true);
            l->setFont(f);
            return l;
        }) << QSize(301, 33) << 0;
        QTest::newRow("disabled") << MakeWidget([=] {
            QLabel* l = label(caption);
            l->setEnabled(false);
            return l;
        }) << QSize(200, 24) << 0;
        QTest::newRow("too narrow: cut") << MakeWidget([=] { return label(caption); }) << QSize(60, 24) << 0;
        QTest::newRow("two lines") << MakeWidget([] { return label(QStringLiteral("最小流量时\n最大流量时")); })
                                   << QSize(120, 40) << 0;
        QTest::newRow("mnemonic") << MakeWidget([] { return new QPushButton(QStringLiteral("&保存")); })
                                  << QSize(90, 30) << 0;
        QTest::newRow("push button") << MakeWidget([] { return new QPushButton(QStringLiteral("计算工况流量")); })
                                     << QSize(110, 30) << 0;
        QTest::newRow("radio") << MakeWidget([] {
            auto* r = new QRadioButton(QStringLiteral("不修正"));
            r->setChecked(true);
            return r;
        }) << QSize(90, 22) << 1;
        QTest::newRow("radio, not chosen, disabled") << MakeWidget([] {
            auto* r = new QRadioButton(QStringLiteral("带卡控"));
            r->setEnabled(false);
            return r;
        }) << QSize(90, 22) << 1;
        QTest::newRow("line edit") << MakeWidget([] { return new QLineEdit(QStringLiteral("150")); }) << QSize(80, 22)
                                   << 1;
        QTest::newRow("line edit, disabled") << MakeWidget([] {
            auto* e = new QLineEdit(QStringLiteral("-20"));
            e->setEnabled(false);
            return e;
        }) << QSize(80, 22) << 1;
        QTest::newRow("line edit, no frame") << MakeWidget([] {
            auto* e = new QLineEdit(QStringLiteral("0.000"));
            e->setFrame(false);
            return e;
        }) << QSize(70, 22) << 1;
        // drawn by the list itself, as Fusion draws it
        QTest::newRow("editable list") << MakeWidget([] {
            auto* c = new QComboBox;
            c->setEditable(true);
            c->addItem(QStringLiteral("20℃，101.325kPa"));
            return c;
        }) << QSize(160, 24) << 1;
        QTest::newRow("titled frame") << MakeWidget([] { return new QGroupBox(QStringLiteral("选型内容")); })
                                      << QSize(311, 127) << 1;
        // taller than the rows Qt fills at once: filled in bands
        QTest::newRow("tall frame") << MakeWidget([] { return new QGroupBox(QStringLiteral("输出及功能要求配置")); })
                                    << QSize(253, 421) << 1;
        QTest::newRow("untitled frame") << MakeWidget([] { return new QGroupBox; }) << QSize(150, 80) << 1;
        QTest::newRow("checkable frame") << MakeWidget([] {
            auto* g = new QGroupBox(QStringLiteral("输出及功能要求配置"));
            g->setCheckable(true);
            return g;
        }) << QSize(260, 90) << 1;
        QTest::newRow("frame too small") << MakeWidget([] { return new QGroupBox(QStringLiteral("选型结果")); })
                                         << QSize(10, 12) << 0;
    }

    void drawsAsFusion()
    {
        QFETCH(MakeWidget, make);
        QFETCH(QSize, size);
        QFETCH(int, tolerance);
        std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
        DesktopStyle quick(QStyleFactory::create(QStringLiteral("fusion")));
        const QImage expected = drawn(make, fusion.get(), size);
        QImage white(size, QImage::Format_ARGB32);
        white.fill(Qt::white);
        QVERIFY(largestDifference(expected, white) > 0);
        // twice: laid out, then drawn from what was laid out
        for (int pass = 0; pass < 2; ++pass) {
            const QImage got = drawn(make, &quick, size);
            QVERIFY2(largestDifference(expected, got) <= tolerance,
                qPrintable(QStringLiteral("pass %1: %2").arg(pass).arg(largestDifference(expected, got))));
        }
    }

    // Line edits and radio buttons that look alike share their pictures, also when each
    // was given a palette of its own with the same colours: windows opened one after
    // another add none.
    void alikeWidgetsShareTheirPictures()
    {
        DesktopStyle quick(QStyleFactory::create(QStringLiteral("fusion")));
        const auto paintAll = [&quick](int windows) {
            for (int i = 0; i < windows; ++i) {
                QWidget window;
                auto* edit = new QLineEdit(QStringLiteral("20261210001"), &window);
                QPalette blue = edit->palette();
                blue.setColor(QPalette::Text, Qt::blue);
                edit->setPalette(blue);
                auto* plain = new QLineEdit(QStringLiteral("150"), &window);
                auto* radio = new QRadioButton(QStringLiteral("有"), &window);
                for (QWidget* w : window.findChildren<QWidget*>()) {
                    w->setStyle(&quick);
                    w->resize(120, 22);
                }
                QImage image(QSize(120, 22), QImage::Format_ARGB32);
                for (QWidget* w :
                    {static_cast<QWidget*>(edit), static_cast<QWidget*>(plain), static_cast<QWidget*>(radio)})
                    w->render(&image);
            }
        };
        paintAll(1);
        const int kept = quick.picturesKept();
        QVERIFY(kept >= 2);
        paintAll(20);
        QCOMPARE(quick.picturesKept(), kept);
        // other colours are another look
        QWidget window;
        auto* red = new QLineEdit(&window);
        QPalette p = red->palette();
        p.setColor(QPalette::Base, Qt::red);
        red->setPalette(p);
        red->setStyle(&quick);
        red->resize(120, 22);
        QImage image(QSize(120, 22), QImage::Format_ARGB32);
        red->render(&image);
        QCOMPARE(quick.picturesKept(), kept + 1);
    }

    // A group box's parts lie where Fusion puts them, for each look, also when the
    // program's style answers from what it worked out before.
    void groupPartsAsFusion_data()
    {
        QTest::addColumn<MakeWidget>("make");
        QTest::addColumn<QSize>("size");
        QTest::newRow("titled") << MakeWidget([] { return new QGroupBox(QStringLiteral("选型内容")); })
                                << QSize(311, 127);
        QTest::newRow("untitled") << MakeWidget([] { return new QGroupBox; }) << QSize(150, 80);
        QTest::newRow("centred title") << MakeWidget([] {
            auto* g = new QGroupBox(QStringLiteral("选型结果"));
            g->setAlignment(Qt::AlignHCenter);
            return g;
        }) << QSize(200, 60);
        QTest::newRow("checkable") << MakeWidget([] {
            auto* g = new QGroupBox(QStringLiteral("输出及功能要求配置"));
            g->setCheckable(true);
            return g;
        }) << QSize(260, 90);
        QTest::newRow("large font") << MakeWidget([] {
            auto* g = new QGroupBox(QStringLiteral("选型内容"));
            g->setFont(QFont(g->font().family(), g->font().pointSize() + 6));
            return g;
        }) << QSize(311, 127);
        QTest::newRow("right to left") << MakeWidget([] {
            auto* g = new QGroupBox(QStringLiteral("选型内容"));
            g->setLayoutDirection(Qt::RightToLeft);
            return g;
        }) << QSize(311, 127);
    }

    void groupPartsAsFusion()
    {
        QFETCH(MakeWidget, make);
        QFETCH(QSize, size);
        std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
        DesktopStyle quick(QStyleFactory::create(QStringLiteral("fusion")));
        std::unique_ptr<QWidget> widget(make());
        auto* box = static_cast<QGroupBox*>(widget.get());
        box->resize(size);
        for (const QPoint at : {QPoint(0, 0), QPoint(7, 3), QPoint(0, 0)}) {
            QStyleOptionGroupBox option;
            option.initFrom(box);
            option.rect.moveTopLeft(at);
            option.text = box->title();
            option.textAlignment = box->alignment();
            option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxContents;
            if (box->isCheckable())
                option.subControls |= QStyle::SC_GroupBoxCheckBox;
            for (const QStyle::SubControl part : {QStyle::SC_GroupBoxFrame, QStyle::SC_GroupBoxLabel,
                     QStyle::SC_GroupBoxContents, QStyle::SC_GroupBoxCheckBox}) {
                QCOMPARE(quick.subControlRect(QStyle::CC_GroupBox, &option, part, box),
                    fusion->subControlRect(QStyle::CC_GroupBox, &option, part, box));
            }
        }
    }

    // A radio group beside its caption label ("综合准确度：") shows its choices alone:
    // no frame, and no room kept for one, so it stands level with the label.
    void bareRadioGroupShowsOnlyItsChoices()
    {
        const QStringList items {QStringLiteral("1.5"), QStringLiteral("1.0")};
        RadioGroup group(QString(), items, 2);
        group.setFlat(true);
        group.setIndex(0);
        QWidget plain;
        auto* layout = new QGridLayout(&plain);
        layout->setContentsMargins(2, 0, 2, 0);
        layout->setHorizontalSpacing(6);
        layout->setVerticalSpacing(0);
        for (int i = 0; i < items.size(); ++i) {
            auto* b = new QRadioButton(items[i], &plain);
            b->setChecked(i == 0);
            layout->addWidget(b, 0, i);
        }
        QCOMPARE(group.minimumSizeHint(), plain.minimumSizeHint());
        QCOMPARE(group.sizeHint(), plain.sizeHint());
        const QSize size = plain.sizeHint() + QSize(20, 6);
        const auto picture = [size](QWidget& w) {
            w.resize(size);
            QImage image(size, QImage::Format_ARGB32);
            image.fill(Qt::white);
            w.render(&image);
            return image.convertToFormat(QImage::Format_RGB32); // as shown, on an opaque window
        };
        // also after a change of font, which makes a group box work out its frame again
        for (int pass = 0; pass < 2; ++pass) {
            QCOMPARE(group.contentsMargins(), QMargins());
            QCOMPARE(picture(group), picture(plain));
            group.setFont(QFont(group.font().family(), group.font().pointSize() + 2));
            plain.setFont(group.font());
        }
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepareDesktop(app);
    TestDesktopStyle test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktop_style.moc"
