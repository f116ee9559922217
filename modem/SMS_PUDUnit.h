#pragma once
// The modem link: TSMSPDUproc and the PDU unit routines.

#include "PduCodec.h"
#include "SmsTypes.h"
#include "TSMSPDUproc.h"
