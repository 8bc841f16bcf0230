// Answers the main window's message boxes from a test, as an author would.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <vector>

namespace mainwin {

// One message box as the author saw it.
struct Box {
    QString title, text;
};

// Answers the message boxes that show while `run` runs, in order, with the
// buttons named; gives the boxes seen. A box with no answer left is escaped.
inline std::vector<Box> answering(const QStringList& answers, const std::function<void()>& run) {
    std::vector<Box> seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box->property("answered").toBool())
            return;
        box->setProperty("answered", true);
        seen.push_back({box->windowTitle(), box->text()});
        const QString want =
            seen.size() <= size_t(answers.size()) ? answers[int(seen.size()) - 1] : QString();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == want) {
                b->click();
                return;
            }
        box->reject();
    });
    poll.start(10);
    run();
    return seen;
}

} // namespace mainwin
