#include "core/link/SerialPort.h"

namespace {

class SerialPortCategory final : public std::error_category
{
public:
    const char* name() const noexcept override { return "serial port"; }
    std::string message(int) const override { return "not a serial port"; }
};

} // namespace

std::error_code NotASerialPortError()
{
    static const SerialPortCategory category;
    return {1, category};
}
