#include "adapters/report/sheet_template.h"

namespace {

constexpr SheetBandKind Header = SheetBandKind::PageHeader;
constexpr SheetBandKind Footer = SheetBandKind::PageFooter;

constexpr SheetFrame Grid = SheetFrame::DottedGrid;
constexpr SheetFrame Underline = SheetFrame::Underline;
constexpr SheetFrame NoFrame = SheetFrame::None;

constexpr Qt::Alignment Centre = Qt::AlignCenter;

// The title asks for the GB2312 FangSong face of Chinese Windows; Qt has no character
// set choice, the face is found through the substitution table.
constexpr SheetFont Title {"仿宋_GB2312", 18, false};
constexpr SheetFont Label {"Arial", 10, true};
constexpr SheetFont Value {"Arial", 10, false};
constexpr SheetFont Small {"Arial", 9, false};

// clang-format off
const SheetBand kBands[] = {
    {Header,  71, 352, 757},
    {Footer, 880,  84, 757},
};

// Every object is centred in its box and prints its text as it comes. The grid is
// five rows 20 high from x 18 to x 732; each row's cells are listed left to right.
const SheetObject kObjects[] = {
    // band    x    y    w    h   font   align   frame      content
    {Header, 200,  96, 344,  32, Title, Centre, Underline, "Corvane仪表集团气体流量计选型单"},
    {Header, 556, 107, 132,  20, Value, Centre, NoFrame,   R"([Qr1."选型编号"])"},

    // row 1
    {Header,  18, 163,  68,  20, Label, Centre, Grid,      "产品名称"},
    {Header,  86, 163, 136,  20, Value, Centre, Grid,      R"([Qr1."产品名称"])"},
    {Header, 222, 163,  68,  20, Label, Centre, Grid,      "型号代号"},
    {Header, 290, 163, 354,  20, Value, Centre, Grid,      R"([Qr1."仪表型号规格"])"},
    {Header, 644, 163,  40,  20, Label, Centre, Grid,      "基表"},
    {Header, 684, 163,  48,  20, Value, Centre, Grid,      R"([Qr1."基表产地"])"},

    // row 2; the flow range is the text between the size label's parentheses
    {Header,  18, 183,  68,  20, Label, Centre, Grid,      "通径mm"},
    {Header,  86, 183,  41,  20, Value, Centre, Grid,      R"([Qr1."通经"])"},
    {Header, 127, 183,  88,  20, Label, Centre, Grid,      "机械指示器"},
    {Header, 215, 183,  35,  20, Value, Centre, Grid,      R"([Qr1."机械计数器"])"},
    {Header, 250, 183, 108,  20, Label, Centre, Grid,      "公称压力(MPa)"},
    {Header, 358, 183,  48,  20, Value, Centre, Grid,      R"([Qr1."公称压力"])"},
    {Header, 406, 183, 152,  20, Label, Centre, Grid,      "工况流量范围(m3/h)"},
    {Header, 558, 183, 174,  20, Value, Centre, Grid,
        R"([COPY([Qr1."通径规格"], POS('(', [Qr1."通径规格"])+ 1, POS(')', [Qr1."通径规格"])- 1-POS('(', [Qr1."通径规格"]))])"},

    // row 3
    {Header,  18, 203,  68,  20, Label, Centre, Grid,      "体积修正"},
    {Header,  86, 203, 164,  20, Value, Centre, Grid,      R"([Qr1."修正仪型号"])"},
    {Header, 250, 203,  37,  20, Label, Centre, Grid,      "卡控"},
    {Header, 287, 203,  31,  20, Value, Centre, Grid,      R"([Qr1."卡控"])"},
    {Header, 318, 203, 108,  20, Label, Centre, Grid,      "上限压力(MPa)"},
    {Header, 426, 203,  46,  20, Value, Centre, Grid,      R"([Qr1."压力传感器上限"])"},
    {Header, 472, 203, 108,  20, Label, Centre, Grid,      "压力最大误差"},
    {Header, 580, 203, 152,  20, Value, Centre, Grid,      "±0.2%（-20℃~+65℃）"},

    // row 4
    {Header,  18, 223,  68,  20, Label, Centre, Grid,      "修正方式"},
    {Header,  86, 223, 212,  20, Value, Centre, Grid,      R"([Qr1."修正方式"])"},
    {Header, 298, 223,  68,  20, Label, Centre, Grid,      "防爆形式"},
    {Header, 366, 223, 106,  20, Value, Centre, Grid,      R"([Qr1."防爆类型"])"},
    {Header, 472, 223, 108,  20, Label, Centre, Grid,      "温度最大误差"},
    {Header, 580, 223, 152,  20, Value, Centre, Grid,      R"([Qr1."温度最大误差"])"},

    // row 5; the combined accuracy is the one value in 9 point
    {Header,  18, 243,  68,  20, Label, Centre, Grid,      "4~20mA"},
    {Header,  86, 243,  37,  20, Value, Centre, Grid,      R"([Qr1."电流输出"])"},
    {Header, 123, 243,  47,  20, Label, Centre, Grid,      "GPRS"},
    {Header, 170, 243,  39,  20, Value, Centre, Grid,      R"([Qr1."GPRS"])"},
    {Header, 209, 243,  72,  20, Label, Centre, Grid,      "短程无线"},
    {Header, 281, 243,  45,  20, Value, Centre, Grid,      R"([Qr1."短程无线"])"},
    {Header, 326, 243,  92,  20, Label, Centre, Grid,      "综合准确度"},
    {Header, 418, 243,  40,  20, Small, Centre, Grid,      R"([Qr1."综合准确度"]级)"},
    {Header, 458, 243, 104,  20, Label, Centre, Grid,      "修正仪准确度"},
    {Header, 562, 243,  42,  20, Value, Centre, Grid,      R"([Qr1."修正仪准确度"]级)"},
    {Header, 604, 243,  88,  20, Label, Centre, Grid,      "基表准确度"},
    {Header, 692, 243,  40,  20, Value, Centre, Grid,      R"([Qr1."基表准确度"]级)"},

    // below the grid; nothing follows "选型人：", the space is for a signature
    {Header, 432, 287,  96,  20, Label, Centre, NoFrame,   "选型人："},
    {Header, 532, 323,  84,  20, Label, Centre, NoFrame,   "选型日期："},
    {Header, 616, 323, 114,  20, Value, Centre, NoFrame,   "[DATE]"},

    {Footer, 604, 896,  96,  20, Label, Centre, NoFrame,   "[DATE]"},
};

const SheetLine kLines[] = {
    // band   x1   x2    y  thickness
    {Footer,  44, 708, 940, 2},
};
// clang-format on

} // namespace

std::span<const SheetBand> sheetBands()
{
    return kBands;
}

std::span<const SheetObject> sheetObjects()
{
    return kObjects;
}

std::span<const SheetLine> sheetLines()
{
    return kLines;
}
