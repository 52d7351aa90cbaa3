#include "adapters/report/sheet_expression.h"

#include "core/ports/print_row.h"

#include <QtNumeric>

#include <algorithm>

namespace {

// The name under which the expressions know the print query.
const QString kDataSet = QStringLiteral("Qr1");

// Thrown wherever an expression stops making sense; expandSheetText() then prints the
// expression as written.
struct Malformed { };

// Every level of nesting costs stack; real templates nest a few levels.
constexpr int kMaxNesting = 100;

struct Nesting {
    explicit Nesting(int& depth)
        : m_depth {depth}
    {
        if (m_depth == kMaxNesting)
            throw Malformed {};
        ++m_depth;
    }
    ~Nesting() { --m_depth; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

    int& m_depth;
};

// Values are texts or integers; like the report scripts' variants, a text meets an
// integer by being read as one.
struct Value {
    bool isNumber = false;
    qint64 number = 0;
    QString text;

    static Value ofNumber(qint64 n) { return {true, n, {}}; }
    static Value ofText(const QString& t) { return {false, 0, t}; }

    QString toText() const { return isNumber ? QString::number(number) : text; }
    qint64 toNumber() const
    {
        if (isNumber)
            return number;
        bool ok = false;
        const qint64 n = text.trimmed().toLongLong(&ok);
        if (!ok)
            throw Malformed {};
        return n;
    }
};

// Copy(s, start, count) of Pascal: a start before the first character counts as 1,
// and the count is clipped to what the text holds.
QString copy(const QString& s, qint64 start, qint64 count)
{
    start = std::max<qint64>(start, 1);
    const qint64 length = s.size();
    if (count <= 0 || start > length)
        return {};
    return s.mid(start - 1, std::min(count, length - start + 1));
}

qint64 add(qint64 a, qint64 b)
{
    qint64 r = 0;
    if (qAddOverflow(a, b, &r))
        throw Malformed {};
    return r;
}

qint64 subtract(qint64 a, qint64 b)
{
    qint64 r = 0;
    if (qSubOverflow(a, b, &r))
        throw Malformed {};
    return r;
}

// Pos(sub, s) of Pascal: 0 for an empty sub or no occurrence.
qint64 pos(const QString& sub, const QString& s)
{
    return sub.isEmpty() ? 0 : s.indexOf(sub) + 1;
}

// Index of the "]" that closes the "[" at `open`, or -1. Brackets inside quotes do
// not count.
qsizetype closingBracket(const QString& text, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'"') {
            i = text.indexOf(c, i + 1);
            if (i < 0)
                return -1;
        } else if (c == u'[') {
            ++depth;
        } else if (c == u']' && --depth == 0) {
            return i;
        }
    }
    return -1;
}

// Recursive descent over one bracketed expression:
//   sum     := unary (("+" | "-") unary)*
//   unary   := ("-" | "+") unary | primary
//   primary := "[" sum "]" | "(" sum ")" | 'text' | digits
//            | name "." "column" | name "(" [sum ("," sum)*] ")" | name
class Evaluator {
public:
    Evaluator(QStringView text, const PrintRow& row, const QString& dateText)
        : m_text {text}
        , m_row {row}
        , m_dateText {dateText}
    {
    }

    QString evaluate()
    {
        const Value v = sum();
        skipBlanks();
        if (m_pos != m_text.size())
            throw Malformed {};
        return v.toText();
    }

private:
    Value sum()
    {
        Value v = unary();
        for (;;) {
            if (accept(u'+')) {
                const Value rhs = unary();
                if (!v.isNumber && !rhs.isNumber)
                    v = Value::ofText(v.text + rhs.text);
                else
                    v = Value::ofNumber(add(v.toNumber(), rhs.toNumber()));
            } else if (accept(u'-')) {
                const Value rhs = unary();
                v = Value::ofNumber(subtract(v.toNumber(), rhs.toNumber()));
            } else {
                return v;
            }
        }
    }

    Value unary()
    {
        // Every level of nesting passes here.
        const Nesting nesting {m_depth};
        if (accept(u'-'))
            return Value::ofNumber(subtract(0, unary().toNumber()));
        if (accept(u'+'))
            return Value::ofNumber(unary().toNumber());
        return primary();
    }

    Value primary()
    {
        if (accept(u'['))
            return enclosed(u']');
        if (accept(u'('))
            return enclosed(u')');
        if (accept(u'\''))
            return Value::ofText(stringLiteral());
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos].isDigit())
            return Value::ofNumber(integerLiteral());
        const QString name = identifier();
        if (accept(u'.'))
            return column(name);
        if (accept(u'('))
            return call(name, arguments());
        if (name.compare(u"DATE", Qt::CaseInsensitive) == 0)
            return Value::ofText(m_dateText);
        throw Malformed {};
    }

    Value enclosed(QChar close)
    {
        const Value v = sum();
        expect(close);
        return v;
    }

    // 'text' with '' for a quote inside; the opening quote is read.
    QString stringLiteral()
    {
        QString s;
        for (;;) {
            if (m_pos >= m_text.size())
                throw Malformed {};
            const QChar c = m_text[m_pos++];
            if (c != u'\'') {
                s += c;
            } else if (m_pos < m_text.size() && m_text[m_pos] == u'\'') {
                s += c;
                ++m_pos;
            } else {
                return s;
            }
        }
    }

    qint64 integerLiteral()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos].isDigit())
            ++m_pos;
        bool ok = false;
        const qint64 n = m_text.sliced(start, m_pos - start).toLongLong(&ok);
        if (!ok)
            throw Malformed {};
        return n;
    }

    QString identifier()
    {
        skipBlanks();
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && (m_text[m_pos].isLetterOrNumber() || m_text[m_pos] == u'_'))
            ++m_pos;
        if (m_pos == start)
            throw Malformed {};
        return m_text.sliced(start, m_pos - start).toString();
    }

    // dataset."column"; the dot is read.
    Value column(const QString& dataSet)
    {
        if (dataSet.compare(kDataSet, Qt::CaseInsensitive) != 0)
            throw Malformed {};
        expect(u'"');
        const qsizetype end = m_text.indexOf(u'"', m_pos);
        if (end < 0)
            throw Malformed {};
        const QString name = m_text.sliced(m_pos, end - m_pos).toString();
        m_pos = end + 1;
        return Value::ofText(m_row.value(name));
    }

    // The arguments of a call whose "(" is read, up to and with its ")".
    QList<Value> arguments()
    {
        QList<Value> args;
        if (accept(u')'))
            return args;
        do
            args.append(sum());
        while (accept(u','));
        expect(u')');
        return args;
    }

    static Value call(const QString& name, const QList<Value>& args)
    {
        if (name.compare(u"COPY", Qt::CaseInsensitive) == 0 && args.size() == 3)
            return Value::ofText(copy(args[0].toText(), args[1].toNumber(), args[2].toNumber()));
        if (name.compare(u"POS", Qt::CaseInsensitive) == 0 && args.size() == 2)
            return Value::ofNumber(pos(args[0].toText(), args[1].toText()));
        throw Malformed {};
    }

    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }

    bool accept(QChar c)
    {
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    void expect(QChar c)
    {
        if (!accept(c))
            throw Malformed {};
    }

    QStringView m_text;
    const PrintRow& m_row;
    const QString& m_dateText;
    qsizetype m_pos = 0;
    int m_depth = 0;
};

} // namespace

QString expandSheetText(const QString& text, const PrintRow& row, const QString& dateText)
{
    QString out;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype open = text.indexOf(u'[', i);
        if (open < 0) {
            out += QStringView(text).sliced(i);
            break;
        }
        out += QStringView(text).sliced(i, open - i);
        const qsizetype close = closingBracket(text, open);
        if (close < 0) {
            out += QStringView(text).sliced(open);
            break;
        }
        const QStringView expression = QStringView(text).sliced(open + 1, close - open - 1);
        try {
            out += Evaluator(expression, row, dateText).evaluate();
        } catch (const Malformed&) {
            out += QStringView(text).sliced(open, close - open + 1);
        }
        i = close + 1;
    }
    return out;
}
