#pragma once
// The serial port of the system the program runs on: a COM port on Windows,
// a terminal device elsewhere.

#ifdef _WIN32
#include "core/link/Win32SerialPort.h"
using SystemSerialPort = Win32SerialPort;
#else
#include "core/link/PosixSerialPort.h"
using SystemSerialPort = PosixSerialPort;
#endif
