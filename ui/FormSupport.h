#pragma once
// Behaviour every form of the program shares: centring, Enter moving the focus, no
// auto-default buttons, and Esc closing only dialogs that have a cancel button.

#include <QDialog>
#include <QList>

class QLineEdit;

// left := (screen width - form width) / 2, top likewise, from the available screen area.
void CentreOnScreen(QWidget* form);
// Enter must never press a button the dialog does not make its default.
void TurnOffAutoDefault(QWidget* form);
// Queues a move of the focus to the next control in tab order (the next-dialog-control request).
void PostNextControl(QWidget* form);
// True for Return and the keypad Enter.
bool IsEnterKey(const QEvent* event);

// A dialog whose Esc key does nothing unless the form names a cancel button.
class TDialogForm : public QDialog {
    Q_OBJECT
public:
    explicit TDialogForm(QWidget* parent = nullptr) : QDialog(parent) {}
    void setEscapeCloses(bool closes) { escapeCloses_ = closes; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool escapeCloses_ = false;
};
