#pragma once
// Whether a radio transfer is pending (its start requested) or running
// anywhere in the program. While it is, the commands that would end a
// document, its window or the program (New, Open, Close, Exit, the language
// restart) are refused: the transfer runs inside a handler of the document's
// view and needs view, document and progress dialog until it returns.

bool IsRadioTransferBusy();

// Marks a transfer busy for its lifetime.
class CTransferBusy
{
public:
    CTransferBusy();
    ~CTransferBusy();
    CTransferBusy(const CTransferBusy&) = delete;
    CTransferBusy& operator=(const CTransferBusy&) = delete;
};
