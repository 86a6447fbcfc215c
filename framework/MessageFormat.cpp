#include "framework/MessageFormat.h"

std::string FormatMessage1(const std::string& format, const std::string& argument)
{
    std::string text;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '1') {
            text += argument;
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}
