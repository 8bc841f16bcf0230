// Object texts travel in the output file as RTF: a fixed header naming the
// object's font and colour, the text, and a closing brace. This is that one
// template, not a general RTF writer or reader.
//
// Backslashes, braces and characters outside ASCII are escaped on writing
// (\\, \{, \}, \'hh) and unescaped on reading; a character outside Latin-1 is
// written as "?". The reader leaves backslash sequences it does not know as
// they are, so texts written without escaping read back unchanged unless
// they contain one of the escapes literally.
#pragma once

#include "canvas/records/ObjectRecords.h"

#include <QFont>
#include <QString>

class RtfText {
  public:
    // The header for a colour and font: font table, colour table, colour,
    // size in half points, then "\b\i ", "\b ", "\i " or nothing.
    static QString header(const NVColor& color, const QFont& font);
    // Replaces the text with its RTF form.
    static void convertIntoRTF(QString& text, const NVColor& color, const QFont& font);
    // Replaces an RTF text with the plain text. The colour and font must be
    // the ones it was written with; otherwise the header stays in the text.
    // The stored length is not needed.
    static void convertFromRTF(QString& text, const NVColor& color, const QFont& font, int length = 0);

    static QString escape(const QString& plain);
    static QString unescape(const QString& rtfBody);
};
