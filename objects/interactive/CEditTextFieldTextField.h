// The text entries of the text field's and the instruction box's in-place
// editors: a multi-line edit that is made read-only while the current frame
// may not be edited and switches its scroll bars on a "Yes"/"No" word. A
// press never reaches the edit's own handling: a click does not move the
// text cursor.
#pragma once

#include <QPlainTextEdit>

#include <functional>

class CEditTextField;
class InteractiveHost;

class CEditTextEntry : public QPlainTextEdit {
    Q_OBJECT

  public:
    CEditTextEntry(InteractiveHost* host, QWidget* editor, const char* name);

  public slots:
    // "yes" in any case turns both automatic scroll bars on, "no" off; any
    // other word changes nothing.
    void slotSetScrollBar(QString word);

  protected:
    bool locked() const;
    // Frame locked: gives up the focus and turns read-only; answers true.
    bool refuseWhileLocked();
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    InteractiveHost* m_host; // not owned
    QWidget* m_editor;       // the parent editor
};

class CEditTextFieldTextField : public CEditTextEntry {
    Q_OBJECT

  public:
    CEditTextFieldTextField(InteractiveHost* host, CEditTextField* editor, const char* name);

  protected:
    // Presses, moves and releases go to the editor's frame, once each.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // A key goes to the edit, or nowhere when the field reads a text file;
    // never on to the editor.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    CEditTextField* m_textEditor;
};

class CEditInstructionBoxTextField : public CEditTextEntry {
    Q_OBJECT

  public:
    CEditInstructionBoxTextField(InteractiveHost* host, QWidget* editor, const char* name);

    // The instruction box's title-bar byte; 0 when no source is set.
    void setTitleBarSource(std::function<int()> source) { m_titleBar = std::move(source); }

  signals:
    void signalLabelReleased(QMouseEvent* event);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::function<int()> m_titleBar;
};
