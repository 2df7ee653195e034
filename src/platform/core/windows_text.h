#pragma once

#include <string>

namespace ferrowyn {

// UTF-16 text from the Windows API as UTF-8; a lone surrogate becomes U+FFFD. Windows only.
std::string utf8Of(const std::wstring& wide);

} // namespace ferrowyn
