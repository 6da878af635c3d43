#include "ui/FormSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
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

namespace {

const char* const OldValueProperty = "shownAsOld";

bool ShownAsOld(const QWidget* field)
{
    return field->property(OldValueProperty).toBool();
}

}  // namespace

void ShowAsOld(QWidget* field, bool old)
{
    if (ShownAsOld(field) == old)
        return;
    field->setProperty(OldValueProperty, old);
    if (!old) {
        field->setPalette(QPalette());   // back to the form's own colours
        return;
    }
    // The form darkens its disabled text so that display fields read well; an old value
    // takes the lighter colour every other disabled text has.
    const QColor oldText = QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    QPalette palette = field->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Text, oldText);
        palette.setColor(group, QPalette::WindowText, oldText);
    }
    field->setPalette(palette);
}

void ShowValue(QLineEdit* field, const QString& text)
{
    field->setText(text);
    ShowAsOld(field, false);
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
