#include "ui/config_editor/ServiceTextLayout.h"

#include <algorithm>

namespace ServiceTextLayout {

namespace {
void appendTyped(Layout& out, QStringView text)
{
    out.shown.append(text);
    for (qsizetype i = 0; i < text.size(); ++i)
        out.kinds.append(Shown::Typed);
}

void appendBreak(Layout& out, Shown kind)
{
    out.shown.append(QLatin1Char('\n'));
    out.kinds.append(kind);
}

// One paragraph (no user's break inside) flowed into lines.
void flowParagraph(Layout& out, QStringView paragraph)
{
    qsizetype start = 0;
    while (paragraph.size() - start > kLineLength) {
        qsizetype space = -1;
        for (qsizetype k = start + kLineLength; k > start; --k)
            if (paragraph.at(k) == QLatin1Char(' ')) {
                space = k;
                break;
            }
        if (space >= 0) {
            appendTyped(out, paragraph.sliced(start, space - start));
            appendBreak(out, Shown::SpaceBreak);
            start = space + 1;
        } else {
            // Never between the two halves of a character outside the BMP.
            qsizetype cut = kLineLength;
            if (paragraph.at(start + cut - 1).isHighSurrogate())
                --cut;
            appendTyped(out, paragraph.sliced(start, cut));
            appendBreak(out, Shown::CutBreak);
            start += cut;
        }
    }
    appendTyped(out, paragraph.sliced(start));
}

// What can be typed into the box: a line break is the user's own, a tab a
// space; other control characters have no place on the controller's screen.
QString typeable(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                continue;
            out.append(QLatin1Char('\n'));
        } else if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QLatin1Char('\n')) {
            out.append(QLatin1Char('\n'));
        } else if (c == QLatin1Char('\t')) {
            out.append(QLatin1Char(' '));
        } else if (c.category() != QChar::Other_Control) {
            out.append(c);
        }
    }
    return out;
}
} // namespace

Layout wrap(const QString& typed)
{
    Layout out;
    qsizetype start = 0;
    for (;;) {
        qsizetype end = typed.indexOf(QLatin1Char('\n'), start);
        const bool last = end < 0;
        if (last)
            end = typed.size();
        flowParagraph(out, QStringView(typed).sliced(start, end - start));
        if (last)
            break;
        appendBreak(out, Shown::Typed);
        start = end + 1;
    }
    return out;
}

Layout asStored(const QString& shown)
{
    Layout out;
    appendTyped(out, shown);
    return out;
}

int shownToTyped(const Layout& layout, int shownPosition)
{
    const int end = qBound(0, shownPosition, int(layout.kinds.size()));
    return end - int(std::count(layout.kinds.cbegin(), layout.kinds.cbegin() + end, Shown::CutBreak));
}

int typedToShown(const Layout& layout, int typedPosition)
{
    int shown = 0;
    for (int typed = 0; typed < typedPosition && shown < layout.kinds.size(); ++shown)
        if (layout.kinds.at(shown) != Shown::CutBreak)
            ++typed;
    return shown;
}

QString typedText(const Layout& layout)
{
    QString out;
    out.reserve(layout.shown.size());
    for (qsizetype i = 0; i < layout.shown.size(); ++i) {
        switch (layout.kinds.at(i)) {
        case Shown::Typed: out.append(layout.shown.at(i)); break;
        case Shown::SpaceBreak: out.append(QLatin1Char(' ')); break;
        case Shown::CutBreak: break;
        }
    }
    return out;
}

QByteArray storedBytes(const QString& shown)
{
    QString record = shown;
    record.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return record.toUtf8();
}

bool fits(const QString& shown)
{
    return lineCount(shown) <= kMaxLines && storedBytes(shown).size() <= kServiceTextBytes;
}

Edit findEdit(const QString& before, const QString& after, int caretAfter)
{
    const int lb = int(before.size());
    const int la = int(after.size());
    // Typing, pasting, Backspace and Delete leave the caret at the edit's
    // end: where equal characters make the change ambiguous, that decides.
    if (la > lb) {
        const int n = la - lb;
        const int s = caretAfter - n;
        if (s >= 0 && s <= lb && QStringView(after).first(s) == QStringView(before).first(s)
            && QStringView(after).sliced(s + n) == QStringView(before).sliced(s))
            return {s, 0, after.mid(s, n)};
    } else if (la < lb) {
        const int n = lb - la;
        const int s = caretAfter;
        if (s >= 0 && s <= la && QStringView(after).first(s) == QStringView(before).first(s)
            && QStringView(after).sliced(s) == QStringView(before).sliced(s + n))
            return {s, n, QString()};
    }
    int p = 0;
    while (p < lb && p < la && before.at(p) == after.at(p))
        ++p;
    int q = 0;
    while (q < lb - p && q < la - p && before.at(lb - 1 - q) == after.at(la - 1 - q))
        ++q;
    return {p, lb - p - q, after.mid(p, la - p - q)};
}

Result apply(const Layout& current, const Edit& edit)
{
    const QString typed = typedText(current);
    const int from = shownToTyped(current, edit.from);
    const int to = shownToTyped(current, edit.from + edit.removed);
    const QString inserted = typeable(edit.inserted);
    QString base = typed;
    base.remove(from, to - from);
    auto flowWith = [&](int count) {
        QString text = base;
        text.insert(from, QStringView(inserted).first(count));
        return wrap(text);
    };

    Result result;
    result.layout = flowWith(int(inserted.size()));
    if (inserted.isEmpty() || fits(result.layout.shown)) {
        result.caret = typedToShown(result.layout, from + int(inserted.size()));
        return result;
    }
    // Every character takes at least one byte of the field, so no more than
    // the field's size can ever fit; more inserted means more lines and
    // bytes, so the longest start that fits is found by halving.
    int fitting = 0;
    int tooMany = std::min(int(inserted.size()), kServiceTextBytes + 1);
    if (fits(flowWith(0).shown)) {
        while (tooMany - fitting > 1) {
            const int middle = (fitting + tooMany) / 2;
            (fits(flowWith(middle).shown) ? fitting : tooMany) = middle;
        }
        if (fitting > 0 && inserted.at(fitting - 1).isHighSurrogate())
            --fitting;
    }
    result.leftOut = int(inserted.size()) - fitting;
    if (fitting == 0) {
        result.layout = current;
        result.caret = edit.from;
        result.outcome = Outcome::Refused;
        return result;
    }
    result.layout = flowWith(fitting);
    result.caret = typedToShown(result.layout, from + fitting);
    result.outcome = Outcome::Cut;
    return result;
}

int characterCount(const QString& text)
{
    return int(text.size());
}

int lineCount(const QString& text)
{
    return serviceTextLineCount(text);
}

} // namespace ServiceTextLayout
