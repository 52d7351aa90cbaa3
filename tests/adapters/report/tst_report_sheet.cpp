#include "adapters/report/font_substitutions.h"
#include "adapters/report/selection_sheet.h"
#include "core/ports/print_row.h"
#include "support/full_disk.h"
#include "support/tool_output.h"

#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

const QString kDate = QStringLiteral("2026/12/10");

// clang-format off
// A stored rotary-lobe selection: the 42 columns of the print query.
const char* const kSample[][2] = {
    {"选型编号", "20261210007"},         {"仪表型号规格", "80RKD-G100-CDAR-1.0/1.6-0.5/1.0"},
    {"使用介质", "天然气"},              {"最小标况流量", "5"},
    {"最大标况流量", "100"},             {"最小绝压", "0.2"},
    {"最大绝牙", "0.5"},                 {"最低温度", "-10"},
    {"最高温度", "40"},                  {"参比条件", "20℃,101.325kPa"},
    {"CO2摩尔含量", "0.6"},              {"H2摩尔含量", "0"},
    {"高位发热量", "40.66"},             {"相对密度", "0.581"},
    {"卡表结算单位", "标况"},            {"综合准确度", "1.5"},
    {"最小工况流量", "1.2"},             {"最大工况流量", "24.5"},
    {"产品名称", "气体腰轮流量计"},      {"基表产地", "国产"},
    {"机械计数器", "有"},                {"卡控", "一体"},
    {"通经", "80"},                      {"公称压力", "1.6"},
    {"基表准确度", "1.0"},               {"修正仪型号", "CPU-G-GW"},
    {"安装形式", "水平"},                {"GPRS", "有"},
    {"短程无线", "无"},                  {"电流输出", "二线制"},
    {"HART", "无"},                      {"防爆类型", "本安 iaIICT4"},
    {"修正方式", "温压修正"},            {"温度传感器L", "-20"},
    {"温度传感器H", "60"},               {"压力传感器上限", "0.6"},
    {"修正仪准确度", "0.5"},             {"显示转换系数", "1"},
    {"机械计数器带脉冲", "无"},          {"连接方式", "法兰"},
    {"通径规格", "80B(13<=Qg<=250)"},    {"温度最大误差", "±0.5℃"},
};

// Everything the page must print for the sample, as laid out.
const char* const kPrinted[] = {
    "Corvane仪表集团气体流量计选型单", "20261210007",
    "产品名称", "气体腰轮流量计", "型号代号", "80RKD-G100-CDAR-1.0/1.6-0.5/1.0", "基表", "国产",
    "通径mm", "80", "机械指示器", "有", "公称压力(MPa)", "1.6", "工况流量范围(m3/h)", "13<=Qg<=250",
    "体积修正", "CPU-G-GW", "卡控", "一体", "上限压力(MPa)", "0.6", "压力最大误差", "±0.2%（-20℃~+65℃）",
    "修正方式", "温压修正", "防爆形式", "本安 iaIICT4", "温度最大误差", "±0.5℃",
    "4~20mA", "二线制", "GPRS", "短程无线", "无", "综合准确度", "1.5级", "修正仪准确度", "0.5级",
    "基表准确度", "1.0级", "选型人：", "选型日期：",
};

// The grid as laid out: each row's top y and its cell borders.
struct GridRow {
    int y;
    std::vector<int> borders;
};
const GridRow kGrid[] = {
    {163, {18, 86, 222, 290, 644, 684, 732}},
    {183, {18, 86, 127, 215, 250, 358, 406, 558, 732}},
    {203, {18, 86, 250, 287, 318, 426, 472, 580, 732}},
    {223, {18, 86, 298, 366, 472, 580, 732}},
    {243, {18, 86, 123, 170, 209, 281, 326, 418, 458, 562, 604, 692, 732}},
};
// clang-format on
constexpr int kRowHeight = 20;

PrintRow sampleRow()
{
    PrintRow row;
    for (const auto& [column, value] : kSample) {
        row.columns.append(QString::fromUtf8(column));
        row.values.append(QString::fromUtf8(value));
    }
    return row;
}

QImage renderPage(int dpi)
{
    const double dotsPerMetre = dpi / 0.0254;
    QImage image(qRound(210 / 25.4 * dpi), qRound(297 / 25.4 * dpi), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dotsPerMetre));
    image.setDotsPerMeterY(qRound(dotsPerMetre));
    image.fill(Qt::white);
    QPainter painter(&image);
    paintSelectionSheet(painter, sampleRow(), kDate);
    return image;
}

bool isGreen(QRgb c)
{
    return qGreen(c) > 90 && qRed(c) < 80 && qBlue(c) < 80;
}

bool isDark(QRgb c)
{
    return qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) < 80;
}

// A straight piece of the layout in template pixels; horizontal when y1 == y2.
struct Segment {
    int x1;
    int y1;
    int x2;
    int y2;
};

std::vector<Segment> gridSegments()
{
    std::vector<Segment> segments;
    for (int y = kGrid[0].y; y <= kGrid[std::size(kGrid) - 1].y + kRowHeight; y += kRowHeight)
        segments.push_back({18, y, 732, y});
    for (const GridRow& row : kGrid) {
        for (int x : row.borders)
            segments.push_back({x, row.y, x, row.y + kRowHeight});
    }
    return segments;
}

// The image seen along a segment: pixels across it (within the tolerance) are the
// "offsets", pixels along it run from one end to the other.
struct Track {
    const QImage& image;
    Segment s;
    double scale;
    bool horizontal() const { return s.y1 == s.y2; }
    int across(int offset) const { return qRound((horizontal() ? s.y1 : s.x1) * scale) + offset; }
    int from() const { return qRound((horizontal() ? s.x1 : s.y1) * scale); }
    int to() const { return qRound((horizontal() ? s.x2 : s.y2) * scale); }
    QRgb pixel(int offset, int along) const
    {
        return horizontal() ? image.pixel(along, across(offset)) : image.pixel(across(offset), along);
    }
};

} // namespace

class TestReportSheet final : public QObject {
    Q_OBJECT

private slots:
    void fonts_data()
    {
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("face");
        QTest::newRow("title FangSong") << "仿宋_GB2312"
                                        << "AR PL UKai CN";
        QTest::newRow("FangSong") << "FangSong"
                                  << "AR PL UKai CN";
        QTest::newRow("SimSun") << "宋体"
                                << "Noto Serif CJK SC";
        QTest::newRow("SimHei") << "黑体"
                                << "Noto Sans CJK SC";
        QTest::newRow("KaiTi") << "楷体_GB2312"
                               << "AR PL UKai CN";
        QTest::newRow("Arial") << "Arial"
                               << "Liberation Sans";
    }

    // The faces are found on this machine, both through the families the sheet
    // builds and through the substitutions the desktop program installs.
    void fonts()
    {
        QFETCH(QString, asked);
        QFETCH(QString, face);
        QFont sheet;
        sheet.setFamilies(fontFamiliesFor(asked));
        QCOMPARE(QFontInfo(sheet).family(), face);

        installFontSubstitutions();
        QCOMPARE(QFontInfo(QFont(asked)).family(), face);
    }

    void geometry_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::newRow("screen, 96 dpi") << 96;
        QTest::newRow("150 dpi") << 150;
    }

    // Frames and rules sit where the layout puts them, to a template pixel.
    void geometry()
    {
        QFETCH(int, dpi);
        const QImage page = renderPage(dpi);
        const double scale = dpi / 96.0;
        const int tolerance = std::max(1, qRound(scale));

        // Each grid line is there from end to end, and dotted: no stretch of about
        // one dot period is empty, yet not every pixel is set.
        const std::vector<Segment> grid = gridSegments();
        for (const Segment& s : grid) {
            const Track t {page, s, scale};
            int best = 0;
            int bestCount = 0;
            for (int offset = -tolerance; offset <= tolerance; ++offset) {
                int count = 0;
                for (int a = t.from(); a <= t.to(); ++a)
                    count += isGreen(t.pixel(offset, a));
                if (count > bestCount) {
                    best = offset;
                    bestCount = count;
                }
            }
            const QString where = QStringLiteral("line %1,%2-%3,%4").arg(s.x1).arg(s.y1).arg(s.x2).arg(s.y2);
            QVERIFY2(bestCount > 0, qPrintable(where + " missing"));
            const int length = t.to() - t.from() - 2 * tolerance;
            QVERIFY2(bestCount < 0.8 * length, qPrintable(where + " is solid"));
            const int stretch = qCeil(4 * scale);
            for (int a = t.from() + tolerance; a + stretch <= t.to() - tolerance; a += stretch) {
                bool dot = false;
                for (int i = 0; i < stretch; ++i)
                    dot = dot || isGreen(t.pixel(best, a + i));
                QVERIFY2(dot, qPrintable(where + QStringLiteral(" has a gap at %1").arg(a)));
            }
        }

        // Nothing else is green.
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                if (!isGreen(page.pixel(x, y)))
                    continue;
                const bool onGrid = std::any_of(grid.begin(), grid.end(), [&](const Segment& s) {
                    return x >= s.x1 * scale - tolerance && x <= s.x2 * scale + tolerance
                        && y >= s.y1 * scale - tolerance && y <= s.y2 * scale + tolerance;
                });
                QVERIFY2(onGrid, qPrintable(QStringLiteral("green at %1,%2").arg(x).arg(y)));
            }
        }

        // The title's rule and the footer's rule: solid black, from end to end; the
        // footer's is two pixels thick.
        struct Rule {
            Segment s;
            int thickness;
        };
        for (const Rule& rule : {Rule {{200, 128, 544, 128}, 1}, Rule {{44, 940, 708, 940}, 2}}) {
            const Track t {page, rule.s, scale};
            int solidRows = 0;
            for (int offset = -3 * tolerance; offset <= 3 * tolerance; ++offset) {
                int first = t.from() - 3 * tolerance;
                while (first < t.to() && !isDark(t.pixel(offset, first)))
                    ++first;
                int last = first;
                while (last + 1 < page.width() && isDark(t.pixel(offset, last + 1)))
                    ++last;
                if (std::abs(first - t.from()) <= tolerance && std::abs(last - t.to()) <= tolerance) {
                    QVERIFY2(std::abs(offset) <= tolerance * rule.thickness,
                        qPrintable(QStringLiteral("rule at y %1 is off by %2").arg(rule.s.y1).arg(offset)));
                    ++solidRows;
                }
            }
            const QString what = QStringLiteral("rule at y %1: %2 solid rows").arg(rule.s.y1).arg(solidRows);
            const double thickness = rule.thickness * scale;
            QVERIFY2(solidRows >= std::floor(thickness) && solidRows <= std::ceil(thickness) + 1, qPrintable(what));
        }
    }

    void pdf()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("选型单.pdf"));
        QString error;
        QVERIFY2(writeSelectionSheetPdf(path, sampleRow(), kDate, &error), qPrintable(error));

        // One A4 portrait page, titled after the report.
        const QString info = toolOutput(QStringLiteral("/usr/bin/pdfinfo"), {path});
        QVERIFY2(
            info.contains(QRegularExpression(QStringLiteral("^Pages:\\s+1$"), QRegularExpression::MultilineOption)),
            qPrintable(info));
        QVERIFY2(info.contains(
                     QRegularExpression(QStringLiteral("^Title:\\s+Corvane$"), QRegularExpression::MultilineOption)),
            qPrintable(info));
        const QRegularExpressionMatch size
            = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
        QVERIFY2(size.hasMatch(), qPrintable(info));
        QCOMPARE(qRound(size.captured(1).toDouble()), 595);
        QCOMPARE(qRound(size.captured(2).toDouble()), 842);

        // Every label and value comes back as text; the flow range is the part of the
        // size label inside its parentheses, and the date is printed twice.
        const QString text = toolOutput(QStringLiteral("/usr/bin/pdftotext"), {"-layout", path, "-"});
        for (const char* printed : kPrinted)
            QVERIFY2(text.contains(QString::fromUtf8(printed)), qPrintable(QString::fromUtf8(printed) + "\n" + text));
        QVERIFY2(!text.contains(QStringLiteral("80B(")), qPrintable(text));
        QCOMPARE(text.count(kDate), 2);

        // Every font is embedded, none is drawn as Type 3 glyph procedures, and
        // every face is one the sheet asks for: no glyph came from a chance fallback.
        const QStringList fonts
            = toolOutput(QStringLiteral("/usr/bin/pdffonts"), {path}).split('\n', Qt::SkipEmptyParts);
        QVERIFY2(fonts.size() > 2, qPrintable(fonts.join('\n')));
        const QRegularExpression line(QStringLiteral(
            "^(?:[A-Z]{6}\\+)?(\\S+)\\s+(.+?)\\s+\\S+\\s+(yes|no)\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+$"));
        const QRegularExpression expectedFaces(QStringLiteral("^(UKaiCN|LiberationSans(-Bold)?|WenQuanYiZenHei)$"));
        for (const QString& font : fonts.mid(2)) {
            const QRegularExpressionMatch m = line.match(font);
            QVERIFY2(m.hasMatch(), qPrintable(font));
            QVERIFY2(!m.captured(2).contains(QStringLiteral("Type 3")), qPrintable(font));
            QVERIFY2(m.captured(3) == QStringLiteral("yes"), qPrintable(font + " is not embedded"));
            QVERIFY2(expectedFaces.match(m.captured(1)).hasMatch(), qPrintable(font));
        }

        // The preview window's caption.
        QCOMPARE(selectionSheetPreviewCaption(QStringLiteral("20261210001")),
            QStringLiteral("打印预览 – 选型编号 20261210001"));
    }

    void pdfIntoMissingFolder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/sheet.pdf"));
        QString error;
        QVERIFY(!writeSelectionSheetPdf(path, sampleRow(), kDate, &error));
        QVERIFY2(error.contains(path), qPrintable(error));
        QVERIFY(!QFile::exists(path));
    }

    // A disk that fills while the sheet is written: the process may write files up
    // to `room` bytes only (RLIMIT_FSIZE cuts a write short, then refuses the next one,
    // as a full disk does). The sheet is reported as not written and no file is left;
    // a sheet that was there before stays as it was.
    void pdfOnAFullDisk_data()
    {
        QTest::addColumn<qint64>("room");
        QTest::addColumn<bool>("earlierSheet");
        for (const FillLevel& level : kFillLevels)
            QTest::newRow(level.name) << level.room << false;
        QTest::newRow("over an earlier sheet") << qint64(36864) << true;
    }

    void pdfOnAFullDisk()
    {
        QFETCH(qint64, room);
        QFETCH(bool, earlierSheet);
        QTemporaryDir dir;
        const QString whole = dir.filePath(QStringLiteral("whole.pdf"));
        QVERIFY(writeSelectionSheetPdf(whole, sampleRow(), kDate));
        const qint64 size = QFileInfo(whole).size();
        QVERIFY(size > 40960);
        room = roomIn(room, size);
        const QString path = dir.filePath(QStringLiteral("y.pdf"));
        QByteArray before;
        if (earlierSheet) {
            QVERIFY(QFile::copy(whole, path));
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            before = f.readAll();
        }
        QVERIFY(QFile::remove(whole));

        QString error;
        QVERIFY(!onAFullDisk(room, [&] { return writeSelectionSheetPdf(path, sampleRow(), kDate, &error); }));
        QVERIFY2(error.startsWith(QStringLiteral("选型单未能保存为PDF文件：") + path), qPrintable(error));
        const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        if (earlierSheet) {
            QCOMPARE(left, QStringList {QStringLiteral("y.pdf")});
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), before);
        } else {
            QCOMPARE(left, QStringList());
        }
    }
};

QTEST_MAIN(TestReportSheet)
#include "tst_report_sheet.moc"
