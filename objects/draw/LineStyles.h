// The six line styles that rectangle borders and lines share: their display
// words in the property box and the dash lists X draws them with.
#pragma once

#include <QByteArray>
#include <QStringList>

class LineStyles {
  public:
    enum Style : int { SOLID = 0, DASH = 1, DOT = 2, DASH_DOT = 3, DASH_DOT_DOT = 4, NONE = 5 };
    static constexpr int LAST_STYLE = NONE;

    // "Solid", "Dash", "Dot", "Dash Dot", "Dash Dot Dot", "Null"; index = code.
    static const QStringList& words();
    // The code of a word; -1 for any other text.
    static int codeOf(const QString& word);
    // Dash list of a style in pixels; empty for solid lines and codes
    // outside the dashed ones.
    static QByteArray dashList(int style);
};
