#include "link/TransferBusy.h"

namespace {

int g_nBusyTransfers = 0;

} // namespace

bool IsRadioTransferBusy()
{
    return g_nBusyTransfers > 0;
}

CTransferBusy::CTransferBusy()
{
    ++g_nBusyTransfers;
}

CTransferBusy::~CTransferBusy()
{
    --g_nBusyTransfers;
}
