#include "ui/FormSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QToolButton>

void CentreOnScreen(QWidget* form)
{
    const QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = form->frameGeometry().size();
    form->move(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2);
}

namespace {

// Watches the buttons of one form and presses the one Enter reaches.
class EnterPressesButton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!IsEnterKey(event))
            return false;
        // A held key presses once: each press may send a request to the meter.
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
            static_cast<QAbstractButton*>(watched)->click();
        return true;
    }
};

}  // namespace

void EnterPressesFocusedButton(QWidget* form)
{
    for (QPushButton* button : form->findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    auto* filter = new EnterPressesButton(form);
    for (QAbstractButton* button : form->findChildren<QAbstractButton*>()) {
        if (qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button))
            button->installEventFilter(filter);
    }
}

void PostNextControl(QWidget* form)
{
    QMetaObject::invokeMethod(
        form,
        [form] {
            QWidget* current = QApplication::focusWidget();
            if (!current || current->window() != form->window())
                return;
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QApplication::sendEvent(current, &tab);
        },
        Qt::QueuedConnection);
}

bool IsEnterKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool EnterMovesFocus(QWidget* form, QEvent* event)
{
    if (!IsEnterKey(event))
        return false;
    PostNextControl(form);
    return true;
}

void RefuseInput(QWidget* edit, const QString& text, const QString& title, BoxIcon icon)
{
    Beep();
    ShowMessageBox(text, title, icon);
    edit->setFocus();
}

void TDialogForm::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cancel) && !escapeCloses_) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TDialogForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A window restored from the task bar is not shown anew by the program.
    if (!event->spontaneous())
        FormShow();
}
