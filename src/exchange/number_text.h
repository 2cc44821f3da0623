// Numbers in the text formats: seventeen significant digits (%.17g), so every double reads back as itself.
#pragma once

#include <string>

void appendNumber(std::string& out, double value);
