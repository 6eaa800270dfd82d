#pragma once
// What documents, views and their commands ask of the application: a parent
// for their boxes and dialogs, the caption of its message boxes, the printer
// shared by every window, the channel window in front, and the restart that
// a language change needs. The application implements it and hands it to
// what it makes; tests hand in a small fake.

#include <QString>

class QPrinter;
class QWidget;

class IAppServices
{
public:
    virtual ~IAppServices() = default;

    // The main window, parent of message boxes and dialogs; null before it
    // exists.
    virtual QWidget* MainWindow() const = 0;
    // Caption of every message box: "Program", then the configured company.
    virtual QString AppName() const = 0;
    // The printer of the session (print setup, print, preview).
    virtual QPrinter* Printer() = 0;
    // The channel window in front of the workspace, or null.
    virtual QWidget* ActiveChannelWindow() const = 0;
    // Closes the main window (asking about unsaved documents) and starts the
    // program again; nothing happens when the user cancels.
    virtual void CloseAndRestart() = 0;
};
