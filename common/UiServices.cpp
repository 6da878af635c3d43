#include "common/UiServices.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <algorithm>

namespace {

UiRecorder* InstalledRecorder = nullptr;

QMessageBox::Icon ToQtIcon(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::Information: return QMessageBox::Information;
    case BoxIcon::Warning: return QMessageBox::Warning;
    case BoxIcon::Critical: return QMessageBox::Critical;
    case BoxIcon::NoIcon: break;
    }
    return QMessageBox::NoIcon;
}

int ExecBox(const QString& text, const QString& title, BoxIcon icon)
{
    QMessageBox box(ToQtIcon(icon), title, text, QMessageBox::Ok, QApplication::activeWindow());
    // Boxes quote what the user typed; markup in it must show as typed.
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

}  // namespace

int UiRecorder::beeps() const
{
    return int(std::count_if(events.begin(), events.end(), [](const UiEvent& e) { return e.kind == UiEvent::Beep; }));
}

int UiRecorder::boxes() const
{
    return int(std::count_if(events.begin(), events.end(), [](const UiEvent& e) { return e.kind == UiEvent::Box; }));
}

const UiEvent* UiRecorder::lastBox() const
{
    const auto it = std::find_if(events.rbegin(), events.rend(), [](const UiEvent& e) { return e.kind == UiEvent::Box; });
    return it == events.rend() ? nullptr : &*it;
}

void InstallUiRecorder(UiRecorder* recorder)
{
    InstalledRecorder = recorder;
}

int ShowMessageBox(const QString& text, const QString& title, BoxIcon icon)
{
    const QString shownTitle = title.isEmpty() ? QStringLiteral("QVT_N2") : title;
    // A box shown during a wait waits for the person, who must not see the hourglass over it.
    const CursorState before = CurrentCursor();
    SetDefaultCursor();
    int result = QMessageBox::Ok;
    if (InstalledRecorder)
        InstalledRecorder->events.push_back({UiEvent::Box, text, shownTitle, icon, CurrentCursor()});
    else
        result = ExecBox(text, shownTitle, icon);
    RestoreCursor(before);
    return result;
}

void Beep()
{
    if (InstalledRecorder) {
        InstalledRecorder->events.push_back({UiEvent::Beep, QString(), QString(), BoxIcon::NoIcon});
        return;
    }
    QApplication::beep();
}

CursorState CurrentCursor()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return !cursor || cursor->shape() == Qt::ArrowCursor ? CursorState::Arrow : CursorState::Hourglass;
}

void SetHourglassCursor()
{
    if (QGuiApplication::overrideCursor())
        QGuiApplication::changeOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void SetDefaultCursor()
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

void RestoreCursor(CursorState remembered)
{
    if (remembered == CursorState::Hourglass)
        SetHourglassCursor();
    else
        SetDefaultCursor();
}
