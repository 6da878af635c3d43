#pragma once
// Behaviour every form of the program shares: centring, Enter moving the focus or pressing the
// focused button, no auto-default buttons, and Esc closing only dialogs that have a cancel button.

#include <QDialog>

#include "common/UiServices.h"

class QLineEdit;

// left := (screen width - form width) / 2, top likewise, from the available screen area.
void CentreOnScreen(QWidget* form);
// Enter on a focused button presses that button. No button makes itself the default, so Enter
// in an edit or on a check box presses nothing but a default the form names itself.
void EnterPressesFocusedButton(QWidget* form);
// Queues a move of the focus to the next control in tab order (the next-dialog-control request).
void PostNextControl(QWidget* form);
// True for Return and the keypad Enter.
bool IsEnterKey(const QEvent* event);
// The key handler of edits that move on with Enter: the key is swallowed and the focus moves
// to the next control. False, and the event passes, for anything else.
bool EnterMovesFocus(QWidget* form, QEvent* event);
// A refused input: beep, the box, then the focus into the edit the box is about.
void RefuseInput(QWidget* edit, const QString& text, const QString& title, BoxIcon icon);

// A value the meter did not confirm again keeps its text but looks old: the palette's
// disabled-text colour, until the value is written anew.
void ShowAsOld(QWidget* field, bool old);
// Writes a value the meter holds: the text, in the normal look.
void ShowValue(QLineEdit* field, const QString& text);

// A dialog whose Esc key does nothing unless the form names a cancel button, and whose
// FormShow runs each time the program shows it.
class TDialogForm : public QDialog {
    Q_OBJECT
public:
    explicit TDialogForm(QWidget* parent = nullptr) : QDialog(parent) {}
    void setEscapeCloses(bool closes) { escapeCloses_ = closes; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    virtual void FormShow() {}

private:
    bool escapeCloses_ = false;
};
