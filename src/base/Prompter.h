#pragma once
// Every message box and file chooser of the program goes through the
// prompter, so a test can answer without a human.

#include <QString>

class IAppServices;

class QPrintPreviewDialog;
class QPrinter;
class QWidget;

enum class PromptButtons { Ok, OkCancel, RetryCancel, SaveDiscardCancel };
enum class PromptIcon { None, Information, Exclamation, Stop, Question };
enum class PromptAnswer { Ok, Cancel, Retry, Save, Discard };

class IPrompter
{
public:
    virtual ~IPrompter() = default;

    virtual PromptAnswer Message(QWidget* parent, const QString& caption, const QString& text, PromptButtons buttons,
                                 PromptIcon icon) = 0;

    // An empty result means the user cancelled.
    // directory: where the dialog starts (empty: the platform's choice).
    virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                                 const QString& filter) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& initialName,
                                 const QString& filter) = 0;
    // The same with several filters (separated by ";;"); selectedFilter
    // receives the one the user chose. By default the first filter is taken.
    virtual QString SaveFileNameWithFilter(QWidget* parent, const QString& caption, const QString& initialName,
                                           const QString& filters, QString& selectedFilter);

    // The print dialog on the printer for pages 1..lastPage; true to print.
    // pdfFile: the file proposed for PDF output (empty: the dialog's own).
    virtual bool PrintDialog(QWidget* parent, QPrinter& printer, int lastPage, const QString& pdfFile) = 0;
    // Shows a print preview window until it is closed.
    virtual void PrintPreview(QPrintPreviewDialog& preview) = 0;
};

// The prompter in use: the one set last, or the one that shows real boxes.
IPrompter& Prompter();
// Installs a prompter (not owned); null goes back to the real boxes.
void SetPrompter(IPrompter* prompter);

// The application whose main window owns its message boxes and whose name
// is their caption (not owned; null when there is none).
void SetAppMessageBoxOwner(const IAppServices* app);

// A message box of the application: its caption is the application name
// (the configured company once start-up has read it).
PromptAnswer AppMessageBox(const QString& text, PromptButtons buttons = PromptButtons::Ok,
                           PromptIcon icon = PromptIcon::Exclamation);
