#pragma once
// Runs a test under a chosen default locale and puts the previous one back afterwards.

#include <QLocale>

class LocaleGuard {
public:
    explicit LocaleGuard(const QLocale& locale) : previous_(QLocale()) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(previous_); }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

private:
    QLocale previous_;
};

// Full stop as decimal separator, comma as group separator: catches stray grouping.
inline QLocale DotLocale() { return QLocale(QLocale::English, QLocale::UnitedStates); }
// Comma as decimal separator, full stop as group separator.
inline QLocale CommaLocale() { return QLocale(QLocale::German, QLocale::Germany); }
