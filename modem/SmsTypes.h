#pragma once
// Types shared by the modem link and its owners.

#include <QtGlobal>

enum TTP_DCS { td7_Bit, td8_Bit, tdUCS2 };
enum TSpeechState { RING, HANDUP, HANDDOWN };
enum TByteSize { _5, _6, _7, _8 };
enum TParity { None, Odd, Even, Mark, Space };
enum TStopBits { _1, _1_5, _2 };
