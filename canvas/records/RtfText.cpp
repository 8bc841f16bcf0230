#include "canvas/records/RtfText.h"

namespace {

const QLatin1String kPar("\\par ");

int hexValue(QChar c) {
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

QString RtfText::escape(const QString& plain) {
    QString out;
    out.reserve(plain.size() + plain.size() / 8);
    for (int i = 0; i < plain.size(); ++i) {
        const QChar c = plain.at(i);
        const ushort u = c.unicode();
        if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (c == QLatin1Char('\n')) {
            out += kPar;
        } else if (u < 0x80) {
            out += c;
        } else if (u <= 0xFF) {
            out += QStringLiteral("\\'%1").arg(u, 2, 16, QLatin1Char('0'));
        } else {
            // One "?" per character, also for a surrogate pair.
            if (c.isHighSurrogate() && i + 1 < plain.size() && plain.at(i + 1).isLowSurrogate())
                ++i;
            out += QLatin1Char('?');
        }
    }
    return out;
}

QString RtfText::unescape(const QString& body) {
    QString out;
    out.reserve(body.size());
    for (int i = 0; i < body.size(); ++i) {
        const QChar c = body.at(i);
        if (c != QLatin1Char('\\') || i + 1 >= body.size()) {
            out += c;
            continue;
        }
        const QChar n = body.at(i + 1);
        if (n == QLatin1Char('\\') || n == QLatin1Char('{') || n == QLatin1Char('}')) {
            out += n;
            ++i;
        } else if (body.mid(i, kPar.size()) == kPar) {
            out += QLatin1Char('\n');
            i += kPar.size() - 1;
        } else if (n == QLatin1Char('\'') && i + 3 < body.size() && hexValue(body.at(i + 2)) >= 0 &&
                   hexValue(body.at(i + 3)) >= 0) {
            out += QChar(ushort(hexValue(body.at(i + 2)) * 16 + hexValue(body.at(i + 3))));
            i += 3;
        } else {
            out += c; // an unknown sequence stays as written
        }
    }
    return out;
}

QString RtfText::header(const NVColor& color, const QFont& font) {
    QString h = QStringLiteral("{\\rtf1\\deff0{\\fonttbl {\\f0\\fcharset0 ");
    h += escape(font.family());
    h += QStringLiteral(";}}{\\colortbl;\\red%1\\green%2\\blue%3;}")
             .arg(color.red)
             .arg(color.green)
             .arg(color.blue);
    h += QStringLiteral("\\cf1\\f2\\fs%1").arg(font.pointSize() * 2);
    if (font.bold() && font.italic())
        h += QStringLiteral("\\b\\i ");
    else if (font.bold())
        h += QStringLiteral("\\b ");
    else if (font.italic())
        h += QStringLiteral("\\i ");
    return h;
}

void RtfText::convertIntoRTF(QString& text, const NVColor& color, const QFont& font) {
    text = header(color, font) + escape(text) + QLatin1Char('}');
}

void RtfText::convertFromRTF(QString& text, const NVColor& color, const QFont& font, int) {
    const QString h = header(color, font);
    if (text.startsWith(h))
        text.remove(0, h.size());
    text.chop(1); // the closing brace
    text = unescape(text);
}
