#include "ui/config_editor/ServiceTextLayout.h"

#include <QStringList>

namespace ServiceTextLayout {

Result wrap(const QString& text, int caret)
{
    Result out;
    out.text.reserve(text.size() + text.size() / kLineLength + 1);
    int column = 0;
    int inserted = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n')) {
            column = 0;
        } else if (column == kLineLength) {
            out.text.append(QLatin1Char('\n'));
            // A break in front of the caret's character moves the caret on
            // with it; one exactly at the caret leaves it at the line's end.
            if (i < caret)
                ++inserted;
            column = 0;
        }
        if (c != QLatin1Char('\n'))
            ++column;
        out.text.append(c);
    }
    out.caret = qBound(0, caret, int(text.size())) + inserted;
    return out;
}

Result limit(const QString& text, int caret)
{
    Result current = wrap(text, caret);
    while (editorLength(current.text) > kEditorMaxLength && !current.text.isEmpty()) {
        const int excess = editorLength(current.text) - kEditorMaxLength;
        // Each removed character shortens the count by one or two.
        int remove = qMax(1, excess / 2);
        int at = current.caret - remove;
        if (at < 0) {
            at = qMax(0, int(current.text.size()) - remove);
            remove = int(current.text.size()) - at;
            current.text.remove(at, remove);
        } else {
            current.text.remove(at, remove);
            current.caret = at;
        }
        // Joining lines may have made one longer than 40 again.
        current = wrap(current.text, current.caret);
    }
    return current;
}

int characterCount(const QString& text)
{
    return int(text.size());
}

int editorLength(const QString& text)
{
    return int(text.size() + text.count(QLatin1Char('\n')));
}

int lineCount(const QString& text)
{
    return Service_Text_Line_Count(text);
}

} // namespace ServiceTextLayout
