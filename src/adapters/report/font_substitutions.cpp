#include "adapters/report/font_substitutions.h"

#include <QFont>

namespace {

struct Substitution {
    const char* names; // '|'-separated names asked for
    const char* faces; // '|'-separated stand-ins, best first
};

// clang-format off
// Debian has no Simplified-Chinese FangSong face; AR PL UKai CN is the closest look
// with every glyph. Arial lists Liberation Sans by name because QFont::setFamilies()
// does not follow fontconfig's Arial alias; a CJK face follows it so that Chinese in
// Arial text does not depend on the locale's fallback. That face is WenQuanYi Zen Hei
// rather than Noto Sans CJK: Noto draws 气, 力, 大, 无 ... with the glyphs of their
// Kangxi radicals, and Qt's PDF writer then maps those glyphs back to the radicals,
// so the sheet's text would not be found or copied as written.
const Substitution kSubstitutions[] = {
    {"仿宋_GB2312|仿宋|FangSong|FangSong_GB2312", "AR PL UKai CN|Noto Serif CJK SC|AR PL UMing CN"},
    {"宋体|SimSun|新宋体|NSimSun",                "Noto Serif CJK SC|AR PL UMing CN"},
    {"黑体|SimHei|微软雅黑|Microsoft YaHei",       "Noto Sans CJK SC|WenQuanYi Zen Hei"},
    {"楷体_GB2312|楷体|KaiTi",                    "AR PL UKai CN"},
    {"Arial",                                     "Liberation Sans|WenQuanYi Zen Hei|Noto Sans CJK SC"},
};
// clang-format on

QStringList split(const char* list)
{
    return QString::fromUtf8(list).split(QLatin1Char('|'));
}

} // namespace

void installFontSubstitutions()
{
    for (const Substitution& s : kSubstitutions) {
        const QStringList faces = split(s.faces);
        for (const QString& name : split(s.names))
            QFont::insertSubstitutions(name, faces);
    }
}

QStringList fontFamiliesFor(const QString& family)
{
    for (const Substitution& s : kSubstitutions) {
        if (split(s.names).contains(family, Qt::CaseInsensitive))
            return QStringList {family} + split(s.faces);
    }
    return {family};
}
