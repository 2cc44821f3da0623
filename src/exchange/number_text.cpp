// %.17g through to_chars: the same text as printf gives, without its locale and parsing costs.
#include "exchange/number_text.h"

#include <charconv>

void appendNumber(std::string& out, double value) {
    char text[40];
    const std::to_chars_result result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 17);
    out.append(text, result.ptr);
}
