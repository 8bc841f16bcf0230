// One of the Style menu's looks: a style of the toolkit that carries the
// look's name as its object name, so that code painting differently for a
// look (the Motif branch of the movable tool bar) can tell which one is set.
#pragma once

#include <QProxyStyle>
#include <QString>

class TaggedStyle : public QProxyStyle {
    Q_OBJECT
  public:
    // `tag`: "platinum", "windows", "cde", "motif", "motifplus" or "sgi".
    // Only "Windows" and "Fusion" exist as styles here; every look other than
    // Windows is drawn by Fusion.
    explicit TaggedStyle(const QString& tag);

    static QString baseStyleFor(const QString& tag);
    // The look's name of any style: its tag, or the style's own name.
    static QString tagOf(const QStyle* style);
};
