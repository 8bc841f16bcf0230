// The document the main window keeps for its New, Save and custom-colour
// commands; it holds no project data.
#pragma once

#include <QObject>
#include <QString>

class VelmoraDoc : public QObject {
    Q_OBJECT

  public:
    VelmoraDoc();

    void newDoc() {}
    bool save() { return true; }
    bool saveAs(const QString&) { return true; }
    bool load(const QString&);
    bool isModified() const { return m_modified; }

  signals:
    void documentChanged();

  private:
    bool m_modified = false;
};
