#pragma once
// Every message box, beep and cursor change of the program goes through here, so tests can
// record them and boxes never block a test.

#include <QString>
#include <vector>

enum class BoxIcon { NoIcon, Information, Warning, Critical };

// The screen cursor. At most one override cursor is ever set.
enum class CursorState { Arrow, Hourglass };

struct UiEvent {
    enum Kind { Box, Beep } kind;
    QString text;
    QString title;
    BoxIcon icon;
    CursorState cursor = CursorState::Arrow;   // a box's: the pointer while it waited
};

// While a recorder is installed, boxes and beeps are appended to it and boxes return at once.
struct UiRecorder {
    std::vector<UiEvent> events;
    int beeps() const;
    int boxes() const;
    const UiEvent* lastBox() const;
    void clear() { events.clear(); }
};
void InstallUiRecorder(UiRecorder* recorder);   // nullptr uninstalls

// A real modal QMessageBox with one OK button; the text shows as plain text. A box with an
// empty title (the plain NoIcon boxes) is titled "QVT_N2"; recorded boxes carry that title too.
// The pointer is the arrow while the box waits; the cursor from before returns after it.
int ShowMessageBox(const QString& text, const QString& title, BoxIcon icon);
void Beep();

CursorState CurrentCursor();
void SetHourglassCursor();
void SetDefaultCursor();
void RestoreCursor(CursorState remembered);
