#include "vcl/SysUtils.h"

#include <cstdint>
#include <utility>

namespace vcl {

Exception::Exception(String message) : message_(std::move(message)) {}

EReadError::EReadError(String message, int line, int column)
    : Exception(std::move(message)), line_(line), column_(column)
{
}

String ErrorReportText(const String &message)
{
    if (message.empty())
        return message;
    const auto last = static_cast<unsigned char>(message.back());
    if (last > static_cast<unsigned char>('.'))
        return message + '.';
    return message;
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    const std::uint64_t magnitude = product < 0 ? -static_cast<std::uint64_t>(product)
                                                : static_cast<std::uint64_t>(product);
    const std::uint64_t divisor = denominator < 0 ? -static_cast<std::uint64_t>(
                                                        static_cast<std::int64_t>(denominator))
                                                  : static_cast<std::uint64_t>(denominator);
    const std::uint64_t rounded = (magnitude + divisor / 2) / divisor;
    if (rounded > 0x7fffffffu)
        return -1;
    const auto result = static_cast<int>(rounded);
    return negative ? -result : result;
}

} // namespace vcl
