// Texts in the log lines of the driver's trace and of the test tools: in double quotes, with
// backslash, quote and every byte outside printable ASCII escaped (\\ \" \n \r \t \xHH), so window
// texts in any code page survive the round trip and a line never holds a raw line break.
#pragma once

#include <string>

namespace qvl {

std::string QuoteText(const std::string& text);

} // namespace qvl
