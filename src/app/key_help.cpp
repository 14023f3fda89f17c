#include "app/key_help.h"

#include "app/key_dispatch.h"
#include "app/key_names.h"

namespace vx {

namespace {

// The modifiers a row needs, as the user presses them.
QString modifiers(KeyWhen when) {
    switch (when) {
        case KeyWhen::Shift:
        case KeyWhen::ShiftNoCtrl:
            return QStringLiteral("Shift+");
        case KeyWhen::Ctrl:
        case KeyWhen::CtrlNotAlt:
            return QStringLiteral("Ctrl+");
        case KeyWhen::AltNotCtrl:
            return QStringLiteral("Alt+");
        case KeyWhen::CtrlAndAlt:
            return QStringLiteral("Ctrl+Alt+");
        case KeyWhen::CtrlShift:
            return QStringLiteral("Ctrl+Shift+");
        case KeyWhen::Always:
        case KeyWhen::Neither:
            break;
    }
    return {};
}

// The row's comment without the modifiers it starts with ("Ctrl+Alt: left pitch..."), which the key
// column shows, and with a capital first letter.
QString action(const char* comment) {
    QString text = QString::fromUtf8(comment);
    const qsizetype colon = text.indexOf(QStringLiteral(": "));
    if (colon > 0 && !text.left(colon).contains(u' ')) text = text.mid(colon + 2);
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text.toHtmlEscaped();
}

}  // namespace

QString keyTableHtml() {
    QString html = QStringLiteral("<table>\n  <tr><th>Key</th><th>Action</th><th>In keys.conf</th></tr>\n");
    for (const KeyRow& row : keyRows()) {
        html += QStringLiteral("  <tr><td>") +
                (modifiers(row.when) + keys::keyName(row.defaultKey)).toHtmlEscaped() +
                QStringLiteral("</td><td>") + action(row.comment) + QStringLiteral("</td><td><code>") +
                QString::fromLatin1(row.action) + QStringLiteral("</code></td></tr>\n");
    }
    return html + QStringLiteral("</table>\n");
}

}  // namespace vx
