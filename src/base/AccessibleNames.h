#pragma once
// Accessible names that Qt cannot find by itself.

#include <QString>

class QStatusBar;

// The status bar reads as the note it shows: its temporary message, else
// the text of its first pane. Screen readers are told when it changes.
void NameStatusBarByNote(QStatusBar* bar);

// The name a status bar reads as now (see above).
QString StatusBarNote(const QStatusBar* bar);
